#include "protocol/commands.h"

#include <QTest>

using namespace tvk;

class TestCommands : public QObject {
    Q_OBJECT
private slots:
    void everyCommandEndsInOneCrLf()
    {
        const QStringList all = {
            cmd::ping(), cmd::disableChecking(), cmd::terse(), cmd::verbose(), cmd::statusMessages(true),
            cmd::readFirmwareVersion(), cmd::readModelNumber(u"s"), cmd::readDac(u"v"),
            cmd::setDac(u"v", 3, 128), cmd::renameScanSet(u" Night "), cmd::setModeWord(20),
            cmd::hvLowerLimit(u" 25 "), cmd::probeI2c(u"A0"), cmd::hexRecord(u":00000001FF"),
            cmd::typed(u"dt"), cmd::setOperating(u'h', u"12"), cmd::storeDacInitial(u"l"),
        };
        for (const QString &c : all) {
            QVERIFY2(c.endsWith(QStringLiteral("\r\n")), qPrintable(c));
            QCOMPARE(c.count(u'\r'), 1);
            QCOMPARE(c.count(u'\n'), 1);
        }
    }

    void argumentsJoinWithoutSeparator()
    {
        QCOMPARE(cmd::setDac(u"v", 3, 128), QStringLiteral("cdv3128\r\n"));
        QCOMPARE(cmd::setContrast(-5), QStringLiteral("cdl0-5\r\n"));
        QCOMPARE(cmd::readDacFactory(u"s"), QStringLiteral("ddfs\r\n"));
        QCOMPARE(cmd::storeDacInitial(u"h"), QStringLiteral("cdhp\r\n"));
        QCOMPARE(cmd::selectScanSet(4), QStringLiteral("CC4\r\n"));
        QCOMPARE(cmd::userBrightness(false), QStringLiteral("CPB0\r\n"));
        QCOMPARE(cmd::photocell(true), QStringLiteral("cp9\r\n"));
        QCOMPARE(cmd::readBacklight(u'w'), QStringLiteral("drw\r\n"));
    }

    void textArgumentsAreTrimmed_rawOnesAreNot()
    {
        QCOMPARE(cmd::setSerialNumber(u"s", u"  A123 "), QStringLiteral("cssA123\r\n"));
        QCOMPARE(cmd::renameScanSet(u" Night "), QStringLiteral("ccnNight\r\n"));
        QCOMPARE(cmd::hvLowerLimit(u" 25 "), QStringLiteral("chl 25 \r\n"));
        QCOMPARE(cmd::setAddress(u"0x1F "), QStringLiteral("a0x1F \r\n"));
        QCOMPARE(cmd::writeWord(u" 0xBEEF"), QStringLiteral("ww 0xBEEF\r\n"));
        QCOMPARE(cmd::typed(u" dt "), QStringLiteral(" dt \r\n"));
    }

    void everyCommandSaysWhetherItReadsOrSets()
    {
        for (const QString &c : {cmd::readDac(u"v"), cmd::readDacFactory(u"s"), cmd::readHighVoltage(),
                                 cmd::readTestPoints(), cmd::readByte(), cmd::probeI2c(u"A0"),
                                 cmd::readModelNumber(u"s"), cmd::readVideoExtra(u'p')})
            QVERIFY2(cmd::kindOf(c) == cmd::Kind::Read, qPrintable(c));
        for (const QString &c : {cmd::setDac(u"v", 3, 128), cmd::hvControl(u'h', 50), cmd::selectScanSet(2),
                                 cmd::disableChecking(), cmd::bootBlock(false), cmd::startFlashLoad(),
                                 cmd::writeByte(u"12"), cmd::setAddress(u"1F"), cmd::reset(),
                                 cmd::storeDacInitial(u"h"), cmd::deflection(true), cmd::typed(u"zz9")})
            QVERIFY2(cmd::isSet(c), qPrintable(c));
        QCOMPARE(cmd::kindOf(cmd::hexRecord(u":00000001FF")), cmd::Kind::Transfer);
        QCOMPARE(cmd::kindOf(cmd::ping()), cmd::Kind::Link);
        QCOMPARE(cmd::kindOf(cmd::verbose()), cmd::Kind::Link);
    }

    void onlyAControlsValueNamesItsControl()
    {
        QCOMPARE(cmd::controlOf(cmd::setDac(u"v", 3, 128)), QStringLiteral("cdv3"));
        QCOMPARE(cmd::controlOf(cmd::setDac(u"b", 0, -4)), QStringLiteral("cdb0"));
        QCOMPARE(cmd::controlOf(cmd::setContrast(40)), QStringLiteral("cdl0"));
        QCOMPARE(cmd::controlOf(cmd::hvControl(u'g', 9)), QStringLiteral("chg"));
        QCOMPARE(cmd::controlOf(cmd::filament(u'w', u"30")), QStringLiteral("crw"));
        for (const QString &c : {cmd::storeDacInitial(u"v"), cmd::selectScanSet(2), cmd::enableScanSet(1),
                                 cmd::hvLowerLimit(u"25"), cmd::storeHvInitial(), cmd::readDac(u"v"),
                                 cmd::filament(u'f', u"3x"), cmd::line(u"cdv"), cmd::line(u"cdv1-"),
                                 cmd::copyToScanSet()})
            QVERIFY2(cmd::controlOf(c).isEmpty(), qPrintable(c));
    }
};

QTEST_GUILESS_MAIN(TestCommands)
#include "test_commands.moc"

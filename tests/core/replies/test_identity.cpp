// The identity parsers on replies as the framing delivers them (echo, CR LF,
// output lines, marker), through the dispatcher into the control book, the
// monitor image and the main window's profiles and menus (recorded; what each
// profile does to the menus is the shell's own test).

#include "replybench.h"
#include "base/windownames.h"
#include "core/replies/identity.h"

#include <QTest>

using namespace tvk;
using namespace tvk::test;

class TestIdentity : public QObject {
    Q_OBJECT
private slots:
    void firmwareVersion_textAndType_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("version");
        QTest::addColumn<int>("type");
        QTest::newRow("marker right after") << "V 2.17#" << "V 2.17" << 217;
        QTest::newRow("framed") << "V 2.17\r\n#" << "V 2.17" << 217;
        // 2.03f x 100 is 202.99998: the 0.4 keeps it at 203.
        QTest::newRow("single precision") << "V 2.03\r\n#" << "V 2.03" << 203;
        QTest::newRow("lowercase v") << "v 1.38\r\n#" << "V 1.38" << 138;
        QTest::newRow("flat panel") << "V 3.10\r\n#" << "V 3.10" << 310;
        QTest::newRow("suffix after digits") << "V 2.50b\r\n#" << "V 2.50" << 250;
    }
    void firmwareVersion_textAndType()
    {
        QFETCH(QString, text);
        QFETCH(QString, version);
        QFETCH(int, type);
        const auto r = ParseFirmwareVersion(text);
        QVERIFY(r);
        QCOMPARE(r->text, version);
        QCOMPARE(int(r->monitorType), type);
    }

    void firmwareVersion_ignoresWhatIsNoVersion()
    {
        QVERIFY(!ParseFirmwareVersion(u"V 2.17 !\r\n#"));     // interim message
        QVERIFY(!ParseFirmwareVersion(u"d\r\n1,2,3\r\n#"));    // "dfd" read
        QVERIFY(!ParseFirmwareVersion(u"V\r\n#"));             // no digits at all
        QVERIFY(!ParseFirmwareVersion(u"V 999.99\r\n#"));      // beyond 16 bits
        QVERIFY(!ParseFirmwareVersion(u""));
    }

    void dfReply_setsTypeVersionAndMdiProfile()
    {
        ReplyBench c;
        c.dispatch(framedReply("df", "V 2.50"));
        QCOMPARE(c.data.FirmwareVersion, QStringLiteral("V 2.50"));
        QCOMPARE(c.controls.text("frmVersion", "lblMonitorFirmwareVersionValue").value_or(""),
                 QStringLiteral("V 2.50"));
        QCOMPARE(int(c.data.MonitorType), 250);
        QVERIFY(c.data.MdiMonitor);
        // The MDI profile of 250 (mnuAdjustHV on, the flat-panel controls
        // off, "dx" queued), applied after MonitorType is stored.
        QCOMPARE(c.profiles.profiles, QList<int>{250});
        QVERIFY(c.profiles.menus.isEmpty());

        // An interim reply changes nothing.
        c.dispatch(QStringLiteral("df\r\nV 3.10!\r\n#"));
        QCOMPARE(int(c.data.MonitorType), 250);
        QCOMPARE(c.data.FirmwareVersion, QStringLiteral("V 2.50"));
        QCOMPARE(c.profiles.profiles, QList<int>{250});
    }

    void dfReply_rangesSelectProfiles()
    {
        // Each version hands its code to the shell, whose profile for it
        // (none for 150 and 299, flat panel from 300, early firmware up to
        // 138, MDI without "dx" for 205) the shell's own test checks.
        ReplyBench c;
        // 150 (first family, late firmware) leaves menus and MdiMonitor alone.
        c.data.MdiMonitor = true;
        c.dispatch(framedReply("df", "V 1.50"));
        QCOMPARE(int(c.data.MonitorType), 150);
        QVERIFY(c.data.MdiMonitor);
        QCOMPARE(c.profiles.profiles.last(), 150);

        // 299 likewise.
        c.dispatch(framedReply("df", "V 2.99"));
        QVERIFY(c.data.MdiMonitor);
        QCOMPARE(c.profiles.profiles.last(), 299);

        // 300 and above: flat panel, not MDI.
        c.dispatch(framedReply("df", "V 3.00"));
        QVERIFY(!c.data.MdiMonitor);
        QCOMPARE(c.profiles.profiles.last(), 300);

        // 138 and below: early firmware.
        c.data.MdiMonitor = true;
        c.dispatch(framedReply("df", "V 1.38"));
        QVERIFY(!c.data.MdiMonitor);
        QCOMPARE(c.profiles.profiles.last(), 138);

        // 205: MDI, but too early for the capability word.
        c.dispatch(framedReply("df", "V 2.05"));
        QVERIFY(c.data.MdiMonitor);
        QCOMPARE(c.profiles.profiles, (QList<int>{150, 299, 300, 138, 205}));
        // The menus are the profiles' alone.
        QVERIFY(c.profiles.menus.isEmpty());
    }

    void romVersion()
    {
        ReplyBench c;
        c.dispatch(framedReply("de", "V 1.05"));
        QCOMPARE(c.data.RomVersion, QStringLiteral("V 1.05"));
        QCOMPARE(c.controls.text("frmVersion", "lblMonitorEpromVersionValue").value_or(""),
                 QStringLiteral("V 1.05"));
        c.dispatch(QStringLiteral("de\r\nV 1.07 !\r\n#"));
        c.dispatch(QStringLiteral("de\r\nversion unknown\r\n#"));
        QCOMPARE(c.data.RomVersion, QStringLiteral("V 1.05"));
    }

    void capability_wordSetsFlagsAndMenus()
    {
        ReplyBench c;
        const char *menus[] = {"mnuAdjustmentBrightnessContrast", "mnuAdjustVideo",
                               "mnuAdjustGeometry", "mnuAdjustHV"};
        for (const char *m : menus)
            c.profiles.SetMenuItemEnabled(QString::fromLatin1(m), true);
        c.dispatch(framedReply("dx", "Capability = 0"));
        for (const char *m : menus)
            QVERIFY2(!c.profiles.menuOn(m), m);
        QCOMPARE(c.data.CapabilityFlags, (std::array<bool, 8>{}));

        // Video (4) and G2 (64), hexadecimal as the monitor prints it.
        c.dispatch(framedReply("dx", "Capability = 0x45"));
        QVERIFY(c.profiles.menuOn("mnuAdjustmentBrightnessContrast"));
        QVERIFY(c.profiles.menuOn("mnuAdjustVideo"));
        QVERIFY(!c.profiles.menuOn("mnuAdjustGeometry"));
        QVERIFY(c.profiles.menuOn("mnuAdjustHV"));
        QCOMPARE(c.data.CapabilityFlags, (std::array<bool, 8>{true, false, true, false, false, false, true, false}));

        // No label or no number: nothing changes (not "every bit set").
        c.dispatch(framedReply("dx", "Capability = ?"));
        c.dispatch(framedReply("dx", "255"));
        QVERIFY(!c.profiles.menuOn("mnuAdjustGeometry"));
        QCOMPARE(ParseCapability(u"Capability = 200\r\n#").value_or(-1), 200);
    }

    void capabilityColours_followTheTypeRanges()
    {
        const std::array<bool, 8> flags{true, false, true, false, false, false, false, true};
        const int R = Colour::Red, G = Colour::Green;
        const std::array<int, 8> byFlag{G, R, G, R, R, R, R, G};
        const std::array<int, 8> allRed{R, R, R, R, R, R, R, R};
        QCOMPARE(CapabilityIndicatorColours(205, flags), allRed);
        QCOMPARE(CapabilityIndicatorColours(209, flags), byFlag);
        QCOMPARE(CapabilityIndicatorColours(299, flags), byFlag);
        QCOMPARE(CapabilityIndicatorColours(300, flags), allRed);
        QCOMPARE(CapabilityIndicatorColours(310, flags), byFlag);
        QCOMPARE(CapabilityIndicatorColours(400, flags), allRed);
    }

    void serialNumber_ownUnit_keepsNoLineEnd()
    {
        ReplyBench c;
        c.dispatch(framedReply("dss", "Serial Number = 12345"));
        QCOMPARE(c.data.SerialNumber, QStringLiteral("12345"));
        QCOMPARE(c.controls.text("frmID", "lblSerial").value_or(""), QStringLiteral("12345"));
        QCOMPARE(c.controls.text("frmSetModelAndSerialNumber", "txtSerial").value_or(""),
                 QStringLiteral("12345"));

        // First-family firmware: bare "ds", no unit letter in the reply.
        c.dispatch(framedReply("ds", "Serial Number = 777"));
        QCOMPARE(c.data.SerialNumber, QStringLiteral("777"));
        c.dispatch(framedReply("dm", "Model Number = TM-1"));
        QCOMPARE(c.data.ModelNumber, QStringLiteral("TM-1"));
        QCOMPARE(c.controls.text("frmID", "lblModel").value_or(""), QStringLiteral("TM-1"));

        // An empty number is an empty text.
        c.dispatch(framedReply("dss", "Serial Number = "));
        QCOMPARE(c.data.SerialNumber, QString());
    }

    void unitNumbers_landInTheirFields()
    {
        ReplyBench c;
        c.dispatch(framedReply("dmu", "Model Number = P2100-01"));
        QCOMPARE(c.data.PartNumber, QStringLiteral("P2100-01"));
        QCOMPARE(c.controls.text("frmID", "lblPart").value_or(""), QStringLiteral("P2100-01"));
        QCOMPARE(c.controls.text("frmSetModelAndSerialNumber", "txtPart").value_or(""),
                 QStringLiteral("P2100-01"));
        // DS has no unit U.
        c.dispatch(framedReply("dsu", "Serial Number = X"));
        QCOMPARE(c.data.SerialNumber, QString());
        QVERIFY(!c.controls.text("frmID", "lblPart").value_or("").contains(u'X'));

        c.dispatch(framedReply("dmt", "Model Number = CRT-19"));
        c.dispatch(framedReply("dst", "Serial Number = T07712"));
        QCOMPARE(c.data.CrtPartNumber, QStringLiteral("CRT-19"));
        QCOMPARE(c.data.CrtSerialNumber, QStringLiteral("T07712"));
        QCOMPARE(c.controls.text("frmID", "lblCRTSerialValue").value_or(""), QStringLiteral("T07712"));

        c.dispatch(framedReply("dml", "Model Number = LV-150"));
        QCOMPARE(c.controls.text("frmID", "lblLVPSPartNumberValue").value_or(""), QStringLiteral("LV-150"));
        QCOMPARE(c.controls.text("frmSetModelAndSerialNumber", "txtLVPSPart").value_or(""),
                 QStringLiteral("LV-150"));
        // The HVPS keeps one model number: part and model rows show it.
        c.dispatch(framedReply("dmh", "Model Number = HV-250"));
        QCOMPARE(c.controls.text("frmID", "lblHVPSPartValue").value_or(""), QStringLiteral("HV-250"));
        QCOMPARE(c.controls.text("frmID", "lblHVPSModelValue").value_or(""), QStringLiteral("HV-250"));
        QCOMPARE(c.controls.text("frmSetModelAndSerialNumber", "txtHVPSModel").value_or(""),
                 QStringLiteral("HV-250"));
        c.dispatch(framedReply("dsg", "Serial Number = G00093"));
        QCOMPARE(c.controls.text("frmID", "lblG2SerialValue").value_or(""), QStringLiteral("G00093"));

        // Unknown unit letters and replies without their label do nothing.
        c.dispatch(framedReply("dmq", "Model Number = Q"));
        c.dispatch(framedReply("dms", "Model Type = 3"));
        QVERIFY(c.data.ModelNumber.isEmpty());
        QCOMPARE(c.controls.entriesFor("frmID").size(), 7);
    }

    void routeNumber_valueShapes()
    {
        // A line before the label does not leak into the value.
        auto n = RouteModelNumber(u"s\r\nready\r\nModel Number = TM-2\r\n#");
        QVERIFY(n);
        QCOMPARE(n->unit, QChar(u'S'));
        QCOMPARE(n->value, QStringLiteral("TM-2"));
        // Blanks inside the number stay; a lone CR ends it; a marker with no
        // line end before it is not part of it.
        QCOMPARE(RouteModelNumber(u"h\r\nModel Number =  HV 2\r\n#")->value, QStringLiteral(" HV 2"));
        QCOMPARE(RouteSerialNumber(u"c\r\nSerial Number = C1\r")->value, QStringLiteral("C1"));
        QCOMPARE(RouteSerialNumber(u"v Serial Number = V9#")->value, QStringLiteral("V9"));
        QCOMPARE(RouteSerialNumber(u"Serial Number = 5\r\n#")->unit, QChar(u'S'));
        QVERIFY(!RouteSerialNumber(u"u\r\nSerial Number = 1\r\n#"));
        QVERIFY(!RouteSerialNumber(u""));
    }

    void perUnitReads_inTheMonitorsOrder()
    {
        const QStringList expected = {"dmu", "dsl", "dml", "dsd", "dmd", "dsc", "dmc",
                                      "dsv", "dmv", "dsp", "dmp", "dst", "dmt", "dsh",
                                      "dmh", "dsf", "dmf", "dmg", "dsg"};
        QStringList got;
        for (const QString &c : perUnitReadCommands())
            got << QString(c).remove(QStringLiteral("\r\n"));
        QCOMPARE(got, expected);
    }
};

QTEST_GUILESS_MAIN(TestIdentity)
#include "test_identity.moc"

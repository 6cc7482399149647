#include "protocol/dispatcher.h"

#include <QList>
#include <QPair>
#include <QTest>

using namespace tvk;

Q_DECLARE_METATYPE(tvk::Route)

namespace {

using Call = QPair<int, QString>; // route (or -1 for the probe handler), argument

// A dispatcher with a recording handler on every route.
struct Rig {
    int monitorType = 0;
    ResponseDispatcher dispatcher{[this] { return monitorType; }};
    QList<Call> calls;
    QList<int> probeColours;
    QList<PingReply::Kind> pings;

    Rig()
    {
        for (int r = 0; r < int(Route::Count); ++r)
            dispatcher.setHandler(Route(r), [this, r](const QString &text) { calls.append({r, text}); });
        dispatcher.setProbeHandler([this](const QString &text, int colour) {
            calls.append({-1, text});
            probeColours.append(colour);
        });
        dispatcher.setPingHandler([this](const PingReply &reply) { pings.append(reply.kind); });
    }
};

Call call(Route route, const QString &text) { return {int(route), text}; }

} // namespace

class TestDispatcher : public QObject {
    Q_OBJECT
private slots:
    void familiesReachTheirParsers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Route>("route");
        QTest::addColumn<QString>("argument");
        // as the line framing delivers them: echo, CR LF, output, marker
        QTest::newRow("dac values") << "ddv\r\n10,20,30#" << Route::DacValues << "v\r\n10,20,30#";
        QTest::newRow("lowercase df") << "df\r\n2.17#" << Route::FirmwareVersion << "2.17#";
        QTest::newRow("leading crlf, blanks") << "\r\n \tD\t F 2.17#" << Route::FirmwareVersion << "2.17#";
        QTest::newRow("uppercase") << "DX\r\n0x00FF#" << Route::Capability << "0x00FF#";
        QTest::newRow("dt") << "dt\r\n12,34#" << Route::OperatingTime << "12,34#";
        QTest::newRow("du") << "du\r\n1#" << Route::OperatingTime << "1#";
        QTest::newRow("db") << "db\r\n1#" << Route::BootBlockState << "1#";
        QTest::newRow("dc") << "dc\r\n3#" << Route::CurrentScanSet << "3#";
        QTest::newRow("de") << "de\r\n1.0#" << Route::EpromVersion << "1.0#";
        QTest::newRow("dh") << "dh\r\n1#" << Route::HighVoltage << "1#";
        QTest::newRow("dm") << "dms\r\nX#" << Route::ModelNumber << "s\r\nX#";
        QTest::newRow("dp") << "dp\r\n1#" << Route::LimitsReport << "1#";
        QTest::newRow("dr") << "dr\r\n1#" << Route::Backlight << "1#";
        QTest::newRow("ds") << "dss\r\nX#" << Route::SerialNumber << "s\r\nX#";
        QTest::newRow("dv") << "dv\r\n1#" << Route::SyncFrequencies << "1#";
        QTest::newRow("dw") << "dw\r\n1#" << Route::OperatingMode << "1#";
        QTest::newRow("download") << ":10000000AB\r\n#" << Route::DownloadReply << "10000000AB\r\n#";
        QTest::newRow("mem read") << "rb\r\n12#" << Route::MemoryRead << "b\r\n12#";
        QTest::newRow("defl") << "m\r\n1,1#" << Route::DeflHvState << "1,1#";
        QTest::newRow("address") << "a+\r\nAddr = 0x01fFz#" << Route::Address << "0x01fF";
        QTest::newRow("bf3") << "bf3\r\nErased#" << Route::FlashLoadReply << "f3\r\nErased#";
        QTest::newRow("bf 3 spaced") << "B F 3#" << Route::FlashLoadReply << "F 3#";
        QTest::newRow("bs") << "b\r\nsX#" << Route::SramLoadReply << "sX#";
    }
    void familiesReachTheirParsers()
    {
        QFETCH(QString, text);
        QFETCH(Route, route);
        QFETCH(QString, argument);
        Rig rig;
        QCOMPARE(rig.dispatcher.routeOf(text), std::optional<Route>(route));
        rig.dispatcher.DispatchResponse(text);
        QCOMPARE(rig.calls, QList<Call>{call(route, argument)});
        QVERIFY(rig.pings.isEmpty()); // nothing but a ping reaches the ping handler
    }

    void ignoredTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << "";
        QTest::newRow("whitespace only") << " \r\n\t";
        QTest::newRow("marker only") << "\r\n#";
        QTest::newRow("set echo") << "cdv0,12\r\n#";
        QTest::newRow("e") << "e\r\n#";
        QTest::newRow("w") << "w\r\n#";
        QTest::newRow("unknown") << "z\r\n#";
        QTest::newRow("d alone") << "d";
        QTest::newRow("d unknown") << "dz\r\n#";
        QTest::newRow("da type 0") << "da\r\n1,2#";
        QTest::newRow("be") << "be\r\n#";
        QTest::newRow("bf1") << "bf1\r\n#";
        QTest::newRow("bf2") << "bf2\r\n#";
        QTest::newRow("bf other") << "bf\r\n#";
        QTest::newRow("b unknown") << "bx3\r\n#";
        QTest::newRow("address absent") << "a-\r\n#";
        QTest::newRow("probe no code") << "pi0x49\r\nDevice 0x49 ??\r\n#";
        // only a to z are case-mapped: the dotless i would upper-case to "I"
        // and the long s to "S"; neither is a family or sub-letter
        QTest::newRow("non-ascii sub-letter") << QString::fromUtf8("b\u017F\r\n#");
    }
    void ignoredTexts()
    {
        QFETCH(QString, text);
        Rig rig;
        QVERIFY(!rig.dispatcher.routeOf(text).has_value());
        rig.dispatcher.DispatchResponse(text);
        QVERIFY(rig.calls.isEmpty());
        QVERIFY(rig.pings.isEmpty());
    }

    void testPointsByMonitorType()
    {
        const QList<QPair<int, std::optional<Route>>> cases = {
            {0, std::nullopt},        {99, std::nullopt},       {100, Route::TestPoints1},
            {199, Route::TestPoints1}, {200, Route::TestPoints2}, {298, Route::TestPoints2},
            {299, std::nullopt},      {300, Route::TestPoints3}, {398, Route::TestPoints3},
            {399, std::nullopt},      {-200, std::nullopt},
        };
        Rig rig;
        for (const auto &[type, route] : cases) {
            rig.monitorType = type; // read at each dispatch, not once
            rig.calls.clear();
            rig.dispatcher.DispatchResponse(QStringLiteral("da\r\n1,2,3#"));
            if (route)
                QCOMPARE(rig.calls, QList<Call>{call(*route, QStringLiteral("1,2,3#"))});
            else
                QVERIFY2(rig.calls.isEmpty(), qPrintable(QString::number(type)));
        }
    }

    void pingReplyGoesToPingHandler()
    {
        Rig rig;
        rig.dispatcher.DispatchResponse(QStringLiteral("p\r\n$"));
        rig.dispatcher.DispatchResponse(QStringLiteral("\r\nP#"));
        rig.dispatcher.DispatchResponse(QStringLiteral("p\r\nnoise"));
        using K = PingReply::Kind;
        QCOMPARE(rig.pings, (QList<K>{K::BootBlock, K::Application, K::NotAnswered}));
        QVERIFY(rig.calls.isEmpty());
    }

    void probeResultGoesToProbeHandler()
    {
        Rig rig;
        const QString text = QStringLiteral("pi0x93\r\nDevice 0x93 OK NR\r\n#");
        QCOMPARE(rig.dispatcher.routeOf(text), std::optional<Route>(Route::ProbeResult));
        rig.dispatcher.DispatchResponse(text);
        QCOMPARE(rig.calls, QList<Call>{Call(-1, QStringLiteral("i0x93\r\nDevice 0x93 OK NR\r\n#"))});
        QCOMPARE(rig.probeColours, QList<int>{Colour::Red});
        QVERIFY(rig.pings.isEmpty()); // a probe result is no ping answer
    }

    void missingHandlersAreIgnored()
    {
        ResponseDispatcher dispatcher({}); // no MonitorType source: 0
        for (const char *text : {"df\r\n2.17#", "a\r\nAddr = 0x12#", "bs#", ":00#", "pi OK#", "da\r\n1#", "p#"})
            dispatcher.DispatchResponse(QString::fromLatin1(text));

        Rig rig;
        rig.dispatcher.clearHandler(Route::FirmwareVersion);
        QVERIFY(!rig.dispatcher.hasHandler(Route::FirmwareVersion));
        rig.dispatcher.DispatchResponse(QStringLiteral("df\r\n2.17#"));
        QVERIFY(rig.calls.isEmpty());
        // the probe route is registered through setProbeHandler only
        rig.dispatcher.setHandler(Route::ProbeResult, [](const QString &) { QFAIL("called"); });
        rig.dispatcher.DispatchResponse(QStringLiteral("pi OK#"));
        QCOMPARE(rig.probeColours, QList<int>{Colour::Green});
    }

    void fileLineRoutesLikeMonitorText()
    {
        // A DAC value file holds identity lines without the closing marker;
        // they go the same way as the monitor's own reply.
        Rig fromFile, fromMonitor;
        fromFile.dispatcher.DispatchResponse(QStringLiteral("dm\r\nModel 42"));
        fromMonitor.dispatcher.DispatchResponse(QStringLiteral("dm\r\nModel 42"));
        QCOMPARE(fromFile.calls, QList<Call>{call(Route::ModelNumber, QStringLiteral("Model 42"))});
        QCOMPARE(fromFile.calls, fromMonitor.calls);
        fromFile.dispatcher.DispatchResponse(QStringLiteral("DDV,1,2,3"));
        QCOMPARE(fromFile.calls.last(), call(Route::DacValues, QStringLiteral("V,1,2,3")));
    }

    void handlerMayReplaceItselfWhileRunning()
    {
        ResponseDispatcher dispatcher({});
        QStringList seen;
        dispatcher.setHandler(Route::FirmwareVersion, [&dispatcher, &seen](const QString &text) {
            dispatcher.clearHandler(Route::FirmwareVersion);
            seen << text; // captures must still be alive here
        });
        dispatcher.DispatchResponse(QStringLiteral("df 1#"));
        dispatcher.DispatchResponse(QStringLiteral("df 2#"));
        QCOMPARE(seen, QStringList{QStringLiteral("1#")});
    }
};

QTEST_GUILESS_MAIN(TestDispatcher)
#include "test_dispatcher.moc"

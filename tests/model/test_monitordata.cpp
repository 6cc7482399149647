#include "base/settings.h"
#include "link/linkglobals.h"
#include "model/monitordata.h"
#include "testsupport.h"

#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

using namespace tvk;

namespace {

// Records what the model asks of the main window, in order.
class RecordingHost : public MonitorDataHost {
public:
    explicit RecordingHost(QStringList *calls) : m_calls(calls) { }
    void EnterNoMonitorState() override { m_calls->append(QStringLiteral("EnterNoMonitorState")); }
    void DisableMonitorMenus() override { m_calls->append(QStringLiteral("DisableMonitorMenus")); }

private:
    QStringList *m_calls;
};

constexpr DacTable kTables[] = { DacTable::Present, DacTable::Accepted, DacTable::Factory,
                                 DacTable::Initial };

// Sum of the absolute values of every table entry of every group.
long long tableWeight(const MonitorData &d)
{
    long long sum = 0;
    for (const DacGroupDesc &g : kDacGroups)
        for (DacTable t : kTables)
            for (int c = 0; c < kDacChannels; ++c)
                for (int s = 0; s < kDacScanSets; ++s)
                    sum += qAbs(int(*d.value(g.id, t, c, s)));
    return sum;
}

void clearConfigs()
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tarvikon"));
    store.remove(QStringLiteral("Configs"));
    store.sync();
}

} // namespace

class TestMonitorData : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // Run by hand (outside ctest) the settings must still not be the user's own.
        if (qEnvironmentVariableIsEmpty("TVK_TEST_CONFIG")) {
            QVERIFY(m_config.isValid());
            qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
        }
    }
    void init() { clearConfigs(); }

    void groupTable_fileOrderKeysAndReadCommands()
    {
        const QStringList letters { "L", "B", "H", "V", "N", "CO", "CHR", "CHP", "CVR", "CVP",
                                    "CPP" };
        const int counts[] = { 8, 2, 4, 7, 3, 4, 4, 4, 4, 4, 4 };
        for (int i = 0; i < kDacGroupCount; ++i) {
            const DacGroupDesc &g = kDacGroups[size_t(i)];
            QCOMPARE(QString::fromLatin1(g.letter), letters[i]);
            QCOMPARE(QString::fromLatin1(g.countKey), "Num" + letters[i] + "Dacs");
            QCOMPARE(int(g.startCount), counts[i]);
            QCOMPARE(dacGroupByLetter(letters[i]), std::optional(g.id));
            QCOMPARE(dacGroupByCountKey(QString::fromLatin1(g.countKey)), std::optional(g.id));
        }
        QVERIFY(!dacGroupByLetter(u"l"));
        QVERIFY(!dacGroupByLetter(u"C"));
        QVERIFY(!dacGroupByCountKey(u"numldacs"));
    }

    void init_startState()
    {
        MonitorData d;
        LinkGlobals link;
        ConnectionFlagsForTests::setOnline(link, true);
        d.InitMonitorData(link, Settings());

        QCOMPARE(tableWeight(d), 0);
        QCOMPARE(int(d.NumScanSets), 6);
        QCOMPARE(int(d.CurrentScanSet), 0);
        QCOMPARE(int(d.FileScanSet), 0);
        for (const DacGroupDesc &g : kDacGroups)
            QCOMPARE(d.count(g.id), g.startCount);
        QCOMPARE(d.FileHeaderText, QStringLiteral("Velloran Monitor DAC Value File"));
        QCOMPARE(d.FileVersionText, QStringLiteral("Version 2.0"));
        QCOMPARE(d.ScanSetCaption, QStringLiteral("Scan Set Selected: (None Selected)"));
        QVERIFY(!d.FileIsOpen);
        QVERIFY(!d.DataChanged);
        QVERIFY(link.connection.online()); // the connector's flag: cleared through the host's no-monitor state
        QCOMPARE(link.CommPort, 1);
        QVERIFY(!link.CommLogEcho);
        QCOMPARE(d.channelName(DacGroupId::CPP, 3), QStringLiteral("Convergence HParabola Balance"));
        QCOMPARE(d.channelName(DacGroupId::V, 6), QStringLiteral("Horiz Bow"));
        QCOMPARE(d.channelName(DacGroupId::L, 8), QString());
    }

    void groupH_namesChannelEightBesideItsCount()
    {
        MonitorData d;
        LinkGlobals link;
        d.InitMonitorData(link, Settings());
        QCOMPARE(int(d.count(DacGroupId::H)), 4);
        for (int c = 0; c < kDacChannels; ++c)
            QCOMPARE(d.channelName(DacGroupId::H, c).isEmpty(), !(c <= 3 || c == 8));
        QCOMPARE(d.channelName(DacGroupId::H, 8), QStringLiteral("Horiz S Cap"));
        QCOMPARE(d.channelsOf(DacGroupId::H), (std::vector<int> { 0, 1, 2, 3, 8 }));

        // Channel 8 is walked even with no counted channels, and only once.
        QVERIFY(d.setCount(DacGroupId::H, 0));
        QCOMPARE(d.channelsOf(DacGroupId::H), std::vector<int> { 8 });
        QVERIFY(d.setCount(DacGroupId::H, 10));
        QCOMPARE(d.channelsOf(DacGroupId::H).size(), size_t(10));
        QCOMPARE(d.channelsOf(DacGroupId::B), (std::vector<int> { 0, 1 }));
        QVERIFY(!d.setCount(DacGroupId::B, -1));
        QVERIFY(!d.setCount(DacGroupId::B, 11));
        QCOMPARE(int(d.count(DacGroupId::B)), 2);
    }

    void findChannel_exactNameOnly()
    {
        MonitorData d;
        LinkGlobals link;
        d.InitMonitorData(link, Settings());
        QCOMPARE(d.findChannel(u"Master Contrast"), std::optional(DacChannelRef { DacGroupId::L, 0 }));
        QCOMPARE(d.findChannel(u"Horiz S Cap"), std::optional(DacChannelRef { DacGroupId::H, 8 }));
        QCOMPARE(d.findChannel(u"Convergence RGB V VParabola"),
                 std::optional(DacChannelRef { DacGroupId::CVP, 3 }));
        QVERIFY(!d.findChannel(u"master contrast"));
        QVERIFY(!d.findChannel(u"Master Contrast "));
        // Unnamed channels must not be reachable through an empty field.
        QVERIFY(!d.findChannel(u""));
    }

    void outOfRange_refusedAndNothingChanges()
    {
        MonitorData d;
        LinkGlobals link;
        d.InitMonitorData(link, Settings());

        for (int s : { -1, 7 }) {
            QVERIFY(!d.value(DacGroupId::V, DacTable::Present, 0, s));
            QVERIFY(!d.setValue(DacGroupId::V, DacTable::Present, 0, s, 5));
        }
        for (int c : { -1, 10 }) {
            QVERIFY(!d.value(DacGroupId::V, DacTable::Initial, c, 0));
            QVERIFY(!d.setValue(DacGroupId::V, DacTable::Initial, c, 0, 5));
        }
        QVERIFY(!d.setValue(DacGroupId::V, DacTable::Factory, 0, 0, 32768));
        QVERIFY(!d.setValue(DacGroupId::V, DacTable::Factory, 0, 0, -32769));
        QVERIFY(!d.setValue(DacGroupId::V, DacTable(4), 0, 0, 1));
        QVERIFY(!d.setValue(DacGroupId(11), DacTable::Present, 0, 0, 1));

        // No scan set selected: the current-scan-set accessors refuse.
        d.CurrentScanSet = -1;
        QVERIFY(!d.currentValue(DacGroupId::L, DacTable::Present, 0));
        QVERIFY(!d.setCurrentValue(DacGroupId::L, DacTable::Present, 0, 9));
        d.CurrentScanSet = 7;
        QVERIFY(!d.setCurrentValue(DacGroupId::L, DacTable::Present, 0, 9));

        d.FileScanSet = -1;
        QVERIFY(!d.StoreFileDac(DacGroupId::L, 0, 1, 2, 3));
        d.FileScanSet = 7;
        QVERIFY(!d.StoreFileDac(DacGroupId::L, 0, 1, 2, 3));
        d.FileScanSet = 0;
        QVERIFY(!d.StoreFileDac(DacGroupId::L, 10, 1, 2, 3));
        QVERIFY(!d.StoreFileDac(DacGroupId::L, -1, 1, 2, 3));
        QVERIFY(!d.StoreFileDac(DacGroupId::L, 0, 1, 2, 40000)); // no partial write

        QCOMPARE(tableWeight(d), 0);
    }

    void access_addressesOneEntry()
    {
        MonitorData d;
        LinkGlobals link;
        d.InitMonitorData(link, Settings());

        d.CurrentScanSet = 5;
        QVERIFY(d.setCurrentValue(DacGroupId::N, DacTable::Factory, 2, 63));
        QCOMPARE(d.value(DacGroupId::N, DacTable::Factory, 2, 5), std::optional<qint16>(63));
        QVERIFY(d.setValue(DacGroupId::CPP, DacTable::Initial, 9, 6, -32768));
        QCOMPARE(d.value(DacGroupId::CPP, DacTable::Initial, 9, 6), std::optional<qint16>(-32768));
        QCOMPARE(tableWeight(d), 63 + 32768);

        d.FileScanSet = 6;
        QVERIFY(d.StoreFileDac(DacGroupId::H, 8, 100, 90, 80));
        QCOMPARE(d.value(DacGroupId::H, DacTable::Present, 8, 6), std::optional<qint16>(100));
        QCOMPARE(d.value(DacGroupId::H, DacTable::Accepted, 8, 6), std::optional<qint16>(100));
        QCOMPARE(d.value(DacGroupId::H, DacTable::Factory, 8, 6), std::optional<qint16>(90));
        QCOMPARE(d.value(DacGroupId::H, DacTable::Initial, 8, 6), std::optional<qint16>(80));
        QCOMPARE(tableWeight(d), 63 + 32768 + 370); // nothing else was touched
    }

    void init_callsTheWindowInOrder()
    {
        MonitorData d;
        LinkGlobals link;
        QStringList calls;
        RecordingHost host(&calls);
        ConnectionFlagsForTests::setOnline(link, true);
        d.InitMonitorData(link, Settings(), &host);

        const QStringList expected {
            "EnterNoMonitorState",
            "DisableMonitorMenus",
        };
        QCOMPARE(calls, expected);
    }

    void init_readsPortAndLogEcho_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("logEnabled");
        QTest::addColumn<int>("expectedPort");
        QTest::addColumn<bool>("expectedEcho");
        QTest::newRow("absent") << QString() << QString() << 1 << false;
        QTest::newRow("port 3, echo on") << "3" << "True" << 3 << true;
        QTest::newRow("port 0") << "0" << "False" << 1 << false;
        QTest::newRow("negative port") << "-4" << "" << 1 << false;
        QTest::newRow("not a number") << "abc" << "maybe" << 1 << false;
    }

    void init_readsPortAndLogEcho()
    {
        QFETCH(QString, port);
        QFETCH(QString, logEnabled);
        QFETCH(int, expectedPort);
        QFETCH(bool, expectedEcho);
        {
            Settings writer;
            if (!port.isNull())
                writer.write(AppName::Tarvikon, "Configs", "CommPort", port);
            if (!logEnabled.isNull())
                writer.write(AppName::Tarvikon, "Configs", "CommLogEnabled", logEnabled);
            writer.sync();
        }
        MonitorData d;
        LinkGlobals link;
        link.CommPort = 7;
        link.CommLogEcho = !expectedEcho;
        d.InitMonitorData(link, Settings());
        QCOMPARE(link.CommPort, expectedPort);
        QCOMPARE(link.CommLogEcho, expectedEcho);
    }

    // A second start-up gives the listed fields their start values again but
    // never clears the DAC image.
    void secondInit_keepsDacValues()
    {
        MonitorData d;
        LinkGlobals link;
        d.InitMonitorData(link, Settings());

        d.FileScanSet = 3;
        QVERIFY(d.StoreFileDac(DacGroupId::V, 2, 11, 12, 13));
        QVERIFY(d.setCount(DacGroupId::V, 5));
        d.NumScanSets = 4;
        d.CurrentScanSet = -1;
        d.FilePath = QStringLiteral("/tmp/a.mdv");
        d.ModelNumber = QStringLiteral("M1");
        d.PartNumber = QStringLiteral("P1");
        d.DataChanged = true;
        d.MonitorType = 217;
        d.MdiMonitor = true;
        d.CapabilityFlags.fill(true);

        QStringList calls;
        RecordingHost host(&calls);
        d.InitMonitorData(link, Settings(), &host);

        QCOMPARE(d.value(DacGroupId::V, DacTable::Present, 2, 3), std::optional<qint16>(11));
        QCOMPARE(d.value(DacGroupId::V, DacTable::Initial, 2, 3), std::optional<qint16>(13));
        QCOMPARE(int(d.count(DacGroupId::V)), 7);
        QCOMPARE(int(d.NumScanSets), 6);
        QCOMPARE(int(d.CurrentScanSet), 0);
        QCOMPARE(d.FilePath, QString());
        QCOMPARE(d.ModelNumber, QString());
        QCOMPARE(d.PartNumber, QStringLiteral("P1")); // not one of the start-up steps
        QVERIFY(!d.DataChanged);
        QCOMPARE(int(d.MonitorType), 0);
        QVERIFY(!d.MdiMonitor);
        QVERIFY(!d.capability(Capability::G2Adjustment));
        QCOMPARE(calls.size(), 2); // both window steps again
    }

private:
    QTemporaryDir m_config;
};

QTEST_GUILESS_MAIN(TestMonitorData)
#include "test_monitordata.moc"

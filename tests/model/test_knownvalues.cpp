// Which values of the monitor image are known: read from the monitor or
// loaded from a file. Start zeros never are.

#include "apptest.h"
#include "core/dacfile.h"
#include "model/monitordata.h"

#include <QTest>

using namespace tvk;
using namespace tvk::test;

class TestKnownValues : public QObject {
    Q_OBJECT
private slots:
    void startZerosAreUnknown_writesMarkTheirEntryOnly()
    {
        MonitorData d;
        QVERIFY(!d.isKnown(DacGroupId::V, DacTable::Factory, 0, 0));
        QCOMPARE(d.knownCurrentValue(DacGroupId::V, DacTable::Factory, 0), std::nullopt);
        QVERIFY(d.setValue(DacGroupId::V, DacTable::Factory, 2, 3, 0));
        QVERIFY(d.isKnown(DacGroupId::V, DacTable::Factory, 2, 3));
        QVERIFY(!d.isKnown(DacGroupId::V, DacTable::Factory, 2, 2));
        QVERIFY(!d.isKnown(DacGroupId::V, DacTable::Initial, 2, 3));
        QVERIFY(!d.isKnown(DacGroupId::H, DacTable::Factory, 2, 3));
        // A refused write marks nothing; out-of-range lookups are unknown.
        QVERIFY(!d.setValue(DacGroupId::V, DacTable::Initial, 2, 3, 70000));
        QVERIFY(!d.isKnown(DacGroupId::V, DacTable::Initial, 2, 3));
        QVERIFY(!d.isKnown(DacGroupId::V, DacTable::Factory, 10, 3));
        QVERIFY(!d.isKnown(DacGroupId::V, DacTable::Factory, 2, -1));
        // knownCurrentValue follows the selected scan set, none selected included.
        d.CurrentScanSet = 3;
        QCOMPARE(d.knownCurrentValue(DacGroupId::V, DacTable::Factory, 2), std::optional<qint16>(0));
        d.CurrentScanSet = -1;
        QCOMPARE(d.knownCurrentValue(DacGroupId::V, DacTable::Factory, 2), std::nullopt);
    }

    void fileValuesAndReplies_areKnown()
    {
        MonitorData d;
        d.FileScanSet = 4;
        QVERIFY(d.StoreFileDac(DacGroupId::L, 6, 1, 2, 3));
        for (DacTable t : {DacTable::Present, DacTable::Accepted, DacTable::Factory, DacTable::Initial})
            QVERIFY(d.isKnown(DacGroupId::L, t, 6, 4));
        QVERIFY(!d.isKnown(DacGroupId::L, DacTable::Present, 6, 0));

        CoreHarness h;
        AppCore &c = *h.core;
        c.data.InitMonitorData(c.globals, c.settings);
        c.dispatcher.DispatchResponse(QStringLiteral("ddfv\r\n10,20,300,40\r\n#"));
        QVERIFY(c.data.isKnown(DacGroupId::V, DacTable::Factory, 1, 0));
        // The list ended at 300: channels 2.. stay unknown.
        QVERIFY(!c.data.isKnown(DacGroupId::V, DacTable::Factory, 2, 0));
        QVERIFY(!c.data.isKnown(DacGroupId::V, DacTable::Initial, 0, 0));
    }
};

QTEST_MAIN(TestKnownValues)
#include "test_knownvalues.moc"

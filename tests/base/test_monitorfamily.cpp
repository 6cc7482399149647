#include "base/monitorfamily.h"

#include <QTest>

using namespace tvk;

class TestMonitorFamily : public QObject
{
    Q_OBJECT
private slots:
    void familyByHundreds_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("family");
        QTest::addColumn<int>("exceptX99");
        const auto row = [](int type, MonitorFamily f, MonitorFamily g) {
            QTest::addRow("%d", type) << type << int(f) << int(g);
        };
        using F = MonitorFamily;
        row(0, F::Unknown, F::Unknown);
        row(99, F::Unknown, F::Unknown);
        row(100, F::Early, F::Early);
        row(199, F::Early, F::Early);
        row(200, F::Mdi, F::Mdi);
        row(298, F::Mdi, F::Mdi);
        row(299, F::Mdi, F::Unknown);
        row(300, F::FlatPanel, F::FlatPanel);
        row(398, F::FlatPanel, F::FlatPanel);
        row(399, F::FlatPanel, F::Unknown);
        row(400, F::Unknown, F::Unknown);
        row(-1, F::Unknown, F::Unknown);
    }
    void familyByHundreds()
    {
        QFETCH(int, type);
        QFETCH(int, family);
        QFETCH(int, exceptX99);
        QCOMPARE(int(monitorFamily(type)), family);
        QCOMPARE(int(monitorFamilyExceptX99(type)), exceptX99);
    }

    void openEndedRanges()
    {
        // Not yet read (0) counts with the first family; newer codes than
        // the flat panels count with them.
        QVERIFY(belowMdiFamily(0));
        QVERIFY(belowMdiFamily(199));
        QVERIFY(!belowMdiFamily(200));
        QVERIFY(!flatPanelOrLater(299));
        QVERIFY(flatPanelOrLater(300));
        QVERIFY(flatPanelOrLater(450));
        QVERIFY(!hasCrt(99));
        QVERIFY(hasCrt(100));
        QVERIFY(hasCrt(299));
        QVERIFY(!hasCrt(300));
    }
};

QTEST_APPLESS_MAIN(TestMonitorFamily)
#include "test_monitorfamily.moc"

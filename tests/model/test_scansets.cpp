#include "model/scansets.h"

#include <QSignalSpy>
#include <QTest>

using namespace tvk;

class TestScanSets : public QObject {
    Q_OBJECT
private slots:
    // Reset returns to the start, telling the windows of each row it changes;
    // a scan set loaded from a file is no longer saved unmarked.
    void reset_returnsToTheStart()
    {
        ScanSets sets;
        sets.setTitle(1, QStringLiteral("1280x1024 @ 75Hz"));
        sets.setMark(1, 2);
        sets.setMark(4, 1);
        sets.setLoadedFromFile(3);
        QSignalSpy titles(&sets, &ScanSets::titleChanged);
        QSignalSpy marks(&sets, &ScanSets::markChanged);
        sets.reset();
        QCOMPARE(titles.count(), 1);
        QCOMPARE(marks.count(), 2);
        for (int i = 0; i < ScanSets::kCount; ++i) {
            QCOMPARE(sets.title(i), ScanSets::defaultTitle(i));
            QCOMPARE(sets.mark(i), 0);
            QVERIFY(!sets.loadedFromFile(i));
        }
    }
};

QTEST_GUILESS_MAIN(TestScanSets)
#include "test_scansets.moc"

// Returning to a state taken earlier (the fuzz targets do so before every
// input): the manual clock's time and timers, the control book's entries.

#include "base/clock.h"
#include "base/controlbook.h"

#include <QSignalSpy>
#include <QTest>

using namespace tvk;

namespace {

// Every change the book reports, as "window/control/property".
struct Changes {
    explicit Changes(ControlBook &book)
    {
        QObject::connect(&book, &ControlBook::changed, &book, [this](const QString &w, const QString &c, ControlProperty p) {
            seen.append(w + u'/' + c + u'/' + QString::number(int(p)));
        });
    }
    QStringList seen;
};

QString change(const char *window, const char *control, ControlProperty p)
{
    return QString::fromLatin1(window) + u'/' + QString::fromLatin1(control) + u'/' + QString::number(int(p));
}

} // namespace

class TestRestore : public QObject {
    Q_OBJECT
private slots:
    void clock_returnsToTheMoment_timersAsTheyWere_newOnesStopped()
    {
        ManualClock clock;
        QObject owner;
        Timer *periodic = clock.createTimer(&owner);
        Timer *stopped = clock.createTimer(&owner);
        periodic->start(100);
        clock.advance(30);
        const ManualClock::Snapshot mark = clock.snapshot();

        QSignalSpy ticks(periodic, &Timer::timeout);
        clock.advance(250); // ticks at 100 and 200
        periodic->start(1000);
        stopped->start(10);
        Timer *made = clock.createTimer(&owner);
        made->start(10);
        QSignalSpy madeTicks(made, &Timer::timeout);

        clock.restore(mark);
        QCOMPARE(clock.nowMs(), 30);
        QVERIFY(periodic->isActive() && !stopped->isActive() && !made->isActive());
        QCOMPARE(periodic->interval(), 100);
        ticks.clear();
        clock.advance(70); // due at 100 again, as before the mark was left
        QCOMPARE(ticks.count(), 1);
        QCOMPARE(madeTicks.count(), 0);
        // A timer deleted since is skipped.
        delete stopped;
        clock.restore(mark);
        QCOMPARE(clock.nowMs(), 30);
    }

    void book_putsEntriesBack_reportingEachPropertyThatDiffers()
    {
        ControlBook book;
        book.setText("frmA", "lbl", "before");
        book.setEnabled("frmA", "btn", false);
        book.setValue("frmA", "slider", 5);
        const ControlBook::Pages mark = book.pages();

        book.setText("frmA", "lbl", "after");
        book.setEnabled("frmA", "btn", false); // set again, unchanged
        book.clearValue("frmA", "slider");
        book.setChecked("frmB", "opt", true); // a window new since
        Changes changes(book);
        book.restore(mark);
        QCOMPARE(book.pages(), mark);
        QStringList seen = changes.seen;
        seen.sort();
        QCOMPARE(seen, QStringList({change("frmA", "lbl", ControlProperty::Text),
                                    change("frmA", "slider", ControlProperty::Value),
                                    change("frmB", "opt", ControlProperty::Checked)}));
        QVERIFY(!book.checked("frmB", "opt").has_value());
    }

    // Only the named controls are compared and put back: a caller that
    // watched the book knows which moved.
    void book_putsBackTheNamedControlsOnly()
    {
        ControlBook book;
        book.setText("frmA", "lbl", "before");
        const ControlBook::Pages mark = book.pages();
        book.setText("frmA", "lbl", "after");
        book.setText("frmA", "other", "new");
        book.setText("frmC", "lbl", "new");
        Changes changes(book);
        book.restore(mark, {{QStringLiteral("frmA"), QStringLiteral("lbl")}, {QStringLiteral("frmC"), QStringLiteral("lbl")}});
        QCOMPARE(changes.seen.size(), 2);
        QCOMPARE(book.text("frmA", "lbl"), QStringLiteral("before"));
        QVERIFY(!book.text("frmC", "lbl").has_value());
        QVERIFY(!book.windowNames().contains(QStringLiteral("frmC")));
        QCOMPARE(book.text("frmA", "other"), QStringLiteral("new")); // not named: left
    }
};

QTEST_GUILESS_MAIN(TestRestore)
#include "test_restore.moc"

// Reading a monitor never writes it: the whole tool against the simulator on
// a pseudo-terminal, every adjustment panel open and armed, replies whole,
// cut short by line noise, or without the field a slider shows. What the
// monitor received is read from the simulator's own report.

#include "base/windownames.h"
#include "panels/panel.h"
#include "protocol/commands.h"
#include "ptyharness.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

using namespace tvk;
using namespace tvk::test;

namespace {

const char *const kAdjustmentMenus[] = {"mnuAdjustmentBrightnessContrast", "mnuAdjustGeometry",
                                        "mnuAdjustVideo", "mnuAdjustHV", "mnuAdjustMdiHV"};

// Opens every adjustment panel and lets its reads be answered.
void openEveryAdjustmentPanel(PtyHarness &h)
{
    for (const char *menu : kAdjustmentMenus)
        h.window->trigger(QString::fromLatin1(menu));
    QTRY_VERIFY_WITH_TIMEOUT(!h.core->link.XmitBusy() && h.core->link.XmitQueue().isEmpty(), 8000);
}

// The commands the monitor received from `from` on that change it.
QByteArrayList setsReceived(PtyHarness &h, qsizetype from = 0)
{
    QByteArrayList sets;
    for (const QByteArray &c : h.sim->commands().mid(from)) {
        if (cmd::isSet(QString::fromLatin1(c)))
            sets << c;
    }
    return sets;
}

QString boxText(PtyHarness &h, const QString &window, const char *name)
{
    if (auto *edit = h.child<QLineEdit>(window, QString::fromLatin1(name)))
        return edit->text();
    auto *label = h.child<QLabel>(window, QString::fromLatin1(name));
    return label ? label->text() : QStringLiteral("<none>");
}

} // namespace

class TestReadsOnlyPty : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void fullReadWithEveryPanelOpen_sendsOnlyReads()
    {
        PtyHarness h;
        START_ONLINE(h, QStringLiteral("version=2.25"));
        h.core->shell.SetFactoryMode();
        openEveryAdjustmentPanel(h);
        QSignalSpy finished(&h.core->fullRead, &FullRead::finished);
        h.window->trigger(QStringLiteral("mnuMonitorUpdate"));
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(!h.core->link.XmitBusy(), 3000);
        QVERIFY(h.sim->count("ddl") >= 2); // the panels' reads and the full read's
        QCOMPARE(setsReceived(h), QByteArrayList());
    }

    // Line noise eats the end of the colour reads: the channels they did not
    // reach stay empty, and nothing is written back.
    void cutShortDacReply_sendsNothing_leavesMissingChannelsEmpty()
    {
        PtyHarness h;
        START_ONLINE(h, QStringLiteral("version=2.25,cut=ddl:11"));
        openEveryAdjustmentPanel(h);
        // Eleven characters ("200,128,185") reach contrast, brightness and
        // red gain only.
        QVERIFY(!boxText(h, win::frmVideoAdj, "Text1_2").isEmpty());
        for (const char *box : {"Text1_3", "Text1_4", "Text1_7"})
            QCOMPARE(boxText(h, win::frmVideoAdj, box), QString());
        QVERIFY(!h.core->data.isKnown(DacGroupId::L, DacTable::Present, 3, h.core->data.CurrentScanSet));
        // OK takes no unknown channel, Cancel sends none.
        h.window->trigger(QStringLiteral("mnuAdjustVideo"));
        QTRY_VERIFY_WITH_TIMEOUT(!h.core->link.XmitBusy() && h.core->link.XmitQueue().isEmpty(), 5000);
        h.child<QAbstractButton>(win::frmVideoAdj, QStringLiteral("VideoCancelButton"))->click();
        QTRY_VERIFY_WITH_TIMEOUT(!h.core->link.XmitBusy() && h.core->link.XmitQueue().isEmpty(), 5000);
        for (const QByteArray &c : setsReceived(h))
            QVERIFY2(!c.startsWith("cdl3") && !c.startsWith("cdl4"), c.constData());
        QCOMPARE(setsReceived(h).size(), 0);
    }

    // A high-voltage report without its "HV Control Value = " line.
    void hvReportWithoutField_sendsNothing()
    {
        PtyHarness h;
        START_ONLINE(h, QStringLiteral("version=2.25,cut=dh:0"));
        openEveryAdjustmentPanel(h);
        QCOMPARE(boxText(h, win::frmG2, "Label2_1"), QString());
        QCOMPARE(boxText(h, win::frmMDI_HV, "Text1_0"), QString());
        QCOMPARE(setsReceived(h), QByteArrayList());
    }

    void g2AboveItsRange_cannotSend()
    {
        PtyHarness whole;
        START_ONLINE(whole, QStringLiteral("version=2.25"));
        whole.window->trigger(QStringLiteral("mnuAdjustHV"));
        QTRY_COMPARE_WITH_TIMEOUT(boxText(whole, win::frmG2, "Label2_1"), QStringLiteral("180"), 5000);
        auto *slider = whole.child<QScrollBar>(win::frmG2, QStringLiteral("HScroll1_1"));
        QVERIFY(!slider->isEnabled());
        // The keys a technician would press reach nothing.
        QTest::keyClick(slider, Qt::Key_Left);
        QTest::keyClick(slider, Qt::Key_PageDown);
        QTest::qWait(PtyHarness::scaled(2000));
        QCOMPARE(setsReceived(whole), QByteArrayList());
    }
};

QTEST_MAIN(TestReadsOnlyPty)
#include "test_readsonly_pty.moc"

// The dismiss button of every information and configuration panel on the real
// main window: where it sits and what it does.

#include "guitest.h"
#include "base/windownames.h"

#include <QPushButton>
#include <QTest>

using namespace tvk;
using namespace tvk::test;

class TestPanelButtons : public QObject {
    Q_OBJECT
private slots:
    void init() { tvk::test::freshSettingsFolder(); }

    // Every panel's dismiss button sits at the bottom right and hides the panel.
    void dismissButton_bottomRight_hidesThePanel_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("button");
        // Identity panels.
        QTest::newRow("capability") << win::frmCapability << QStringLiteral("btnDone");
        QTest::newRow("limits") << win::frmLimits << QStringLiteral("btnDone");
        QTest::newRow("version") << win::frmVersion << QStringLiteral("btnOK");
        QTest::newRow("id") << win::frmID << QStringLiteral("btnDone");
        QTest::newRow("set numbers") << win::frmSetModelAndSerialNumber
                                     << QStringLiteral("btnDone");
        // Configuration panels.
        QTest::newRow("operating time") << win::frmOperatingTime << QStringLiteral("btnOK");
        QTest::newRow("set operating times") << win::frmSetOperatingTimes
                                             << QStringLiteral("CloseButton");
        QTest::newRow("operating mode") << win::frmOperatingMode
                                        << QStringLiteral("OperatingModeCloseButton");
        QTest::newRow("defl hv") << win::frmDeflHVEnable << QStringLiteral("btnDone");
        QTest::newRow("video config") << win::frmVideoConfig << QStringLiteral("btnDone");
    }

    void dismissButton_bottomRight_hidesThePanel()
    {
        QFETCH(QString, window);
        QFETCH(QString, button);
        GuiHarness h;
        h.window->show();
        h.window->registry().openWindow(window);
        QVERIFY(h.visible(window));
        Panel *panel = h.window->registry().find(window);
        auto *b = h.child<QPushButton>(window, button);
        QVERIFY(b);
        QVERIFY(b->isVisible());
        QVERIFY2(b->geometry().left() > panel->width() / 2, qPrintable(window));
        QVERIFY2(panel->width() - b->geometry().right() < 20, qPrintable(window));
        QVERIFY2(panel->height() - b->geometry().bottom() < 20, qPrintable(window));
        QTest::mouseClick(b, Qt::LeftButton);
        QVERIFY(!h.visible(window));
    }
};

QTEST_MAIN(TestPanelButtons)
#include "test_panelbuttons.moc"

#include "panels/widgetlayout.h"
#include "base/windownames.h"
#include "testsupport.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QTest>

using namespace tvk;

namespace {

void verifyNear(const QRect &actual, const QRect &expected, const char *what)
{
    const bool near = std::abs(actual.x() - expected.x()) <= 1
                      && std::abs(actual.y() - expected.y()) <= 1
                      && std::abs(actual.width() - expected.width()) <= 1
                      && std::abs(actual.height() - expected.height()) <= 1;
    if (!near) {
        QFAIL(qPrintable(QStringLiteral("%1: got %2,%3 %4x%5, expected %6,%7 %8x%9")
                             .arg(QLatin1String(what))
                             .arg(actual.x()).arg(actual.y()).arg(actual.width())
                             .arg(actual.height()).arg(expected.x()).arg(expected.y())
                             .arg(expected.width()).arg(expected.height())));
    }
}

QRect rectOf(const QWidget *w)
{
    return QRect(w->pos(), w->size());
}

} // namespace

class TestWidgetLayout : public QObject {
    Q_OBJECT
private slots:
    void init() { tvk::test::freshSettingsFolder(); }

    void twipsFollowTheScreenDpi()
    {
        QWidget w;
        WidgetLayoutTarget t(&w);
        const double dpi = w.screen()->logicalDotsPerInchX();
        QVERIFY(dpi > 0);
        QCOMPARE(t.dpiX(), dpi);
        w.resize(int(dpi), 50);
        QCOMPARE(t.width(), 1440.0);
        t.setWidth(2880);
        QCOMPARE(w.width(), int(2 * dpi));
        QCOMPARE(twipsToPixels(1440, 0), kFallbackDpi); // no DPI: 96
    }

    void mainWindow_emptyStore_topLeftHalfScreen()
    {
        Settings s;
        QWidget main;
        QVERIFY(restoreWindowLayout(&main, win::frmMain, s));
        const QSize screen = main.screen()->geometry().size();
        verifyNear(rectOf(&main), QRect(0, 0, screen.width() / 2, screen.height() / 2),
                   "frmMain");
    }

    void topLevel_roundTrip()
    {
        Settings s;
        {
            QWidget w;
            w.move(37, 51);
            w.resize(413, 287);
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            QVERIFY(saveWindowLayout(&w, win::frmCommLog, s));
        }
        QWidget again;
        QVERIFY(restoreWindowLayout(&again, win::frmCommLog, s));
        verifyNear(rectOf(&again), QRect(37, 51, 413, 287), "frmCommLog");
        QVERIFY(!saveWindowLayout(&again, win::frmAbout, s));
    }

    void maximisedTopLevel_savesItsNormalGeometry()
    {
        Settings s;
        QRect normal;
        {
            QWidget w;
            w.setGeometry(60, 70, 320, 240);
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            normal = rectOf(&w); // frame position, client size
            w.showMaximized();
            QTRY_VERIFY(w.isMaximized());
            QTRY_VERIFY(w.size() != normal.size());
            QVERIFY(saveWindowLayout(&w, win::frmVideoAdj, s));
        }
        QWidget again;
        QVERIFY(restoreWindowLayout(&again, win::frmVideoAdj, s));
        QVERIFY(again.windowState() & Qt::WindowMaximized);
        again.setWindowState(Qt::WindowNoState);
        verifyNear(rectOf(&again), normal, "normal geometry");
    }

    void mdiPanel_roundTripAndMaximised()
    {
        Settings s;
        QMdiArea area;
        area.resize(800, 600);
        area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&area));

        QMdiSubWindow *sub = area.addSubWindow(new QWidget);
        sub->setGeometry(30, 40, 300, 200);
        sub->show();
        QVERIFY(saveWindowLayout(sub, win::frmGeometryAdj, s));
        delete sub;

        QMdiSubWindow *sub2 = area.addSubWindow(new QWidget);
        sub2->setGeometry(5, 5, 211, 99); // design geometry
        QVERIFY(restoreWindowLayout(sub2, win::frmGeometryAdj, s));
        sub2->show();
        verifyNear(rectOf(sub2), QRect(30, 40, 300, 200), "panel");

        sub2->showMaximized();
        QVERIFY(sub2->isMaximized());
        QVERIFY(saveWindowLayout(sub2, win::frmGeometryAdj, s));
        QCOMPARE(s.readInt(AppName::Tarvikon, SettingsSection::Configs,
                           QStringLiteral("GeometryWindowState"), -1),
                 2);
        delete sub2;

        QMdiSubWindow *sub3 = area.addSubWindow(new QWidget);
        sub3->setGeometry(5, 5, 211, 99);
        QVERIFY(restoreWindowLayout(sub3, win::frmGeometryAdj, s));
        sub3->show();
        QVERIFY(sub3->isMaximized());
        sub3->showNormal();
        verifyNear(rectOf(sub3), QRect(5, 5, 211, 99), "design geometry");
    }

    void centredPanel_inTheMainWindow()
    {
        Settings s;
        QMdiArea area;
        area.resize(800, 600);
        area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&area));
        QMdiSubWindow *sub = area.addSubWindow(new QWidget);
        QVERIFY(restoreWindowLayout(sub, win::frmBootBlock, s, &area));
        WidgetLayoutTarget t(sub);
        const int w = int(std::lround(twipsToPixels(4410, t.dpiX())));
        const int h = int(std::lround(twipsToPixels(2895, t.dpiY())));
        verifyNear(rectOf(sub), QRect((800 - w) / 2, (600 - h) / 2, w, h), "frmBootBlock");
    }

    // A first layout larger than the main window's area is fitted inside
    // it; a stored layout is restored as it was.
    void firstLayout_fitsInsideTheArea_storedLayoutKept()
    {
        Settings s;
        QMdiArea area;
        area.resize(300, 200);
        area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&area));
        QWidget *viewport = area.viewport();
        QMdiSubWindow *sub = area.addSubWindow(new QWidget);
        QVERIFY(restoreWindowLayout(sub, win::frmMDI_HV, s, viewport));
        QVERIFY(sub->width() <= viewport->width());
        QVERIFY(sub->height() <= viewport->height());
        QVERIFY(sub->x() >= 0 && sub->x() + sub->width() <= viewport->width());
        QVERIFY(sub->y() >= 0 && sub->y() + sub->height() <= viewport->height());

        sub->setGeometry(10, 10, 600, 500);
        QVERIFY(saveWindowLayout(sub, win::frmMDI_HV, s, viewport));
        QMdiSubWindow *again = area.addSubWindow(new QWidget);
        QVERIFY(restoreWindowLayout(again, win::frmMDI_HV, s, viewport));
        verifyNear(rectOf(again), QRect(10, 10, 600, 500), "stored layout");
    }

    void windowStoredOffScreen_comesBackReachable()
    {
        Settings s;
        const QString loc = SettingsSection::Locations;
        s.writeReal(AppName::Tarvikon, loc, QStringLiteral("frmMainLeft"), -200000);
        s.writeReal(AppName::Tarvikon, loc, QStringLiteral("frmMainTop"), 900000);
        QWidget main;
        QVERIFY(restoreWindowLayout(&main, win::frmMain, s));
        QCOMPARE(main.pos(), main.screen()->availableGeometry().topLeft());
    }
};

QTEST_MAIN(TestWidgetLayout)
#include "test_widgetlayout.moc"

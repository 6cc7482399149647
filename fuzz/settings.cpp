// The settings store reading hostile Tarvikon.conf and Tarvik.conf files
// (huge numbers, negative sizes, missing sections, broken encoding): the main
// window starts up on them as the tool does, the data model and the port map
// read theirs, and every window with a stored layout is placed from them.
//
// Input: Tarvikon.conf, then (after a NUL byte) Tarvik.conf.
//
// The main window is built anew for every input, as the tool starts; the
// core under it is the rig's, reset between inputs, and its store reloads the
// files the input wrote (as it does when another program changes them).

#include "apprig.h"

#include "base/windownames.h"
#include "core/windowlayout.h"
#include "panels/widgetlayout.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

using namespace tvk;
using namespace tvk::fuzz;

namespace {

CoreRig *g_rig = nullptr;

// The store notices a changed file by its size and time: every input gets a
// time of its own, so an input of the same size is never taken for the last.
void writeConfig(const QString &name, const QByteArray &bytes)
{
    static qint64 stamp = 1000000000;
    const QString path = configDir() + u'/' + name;
    writeFile(path, bytes);
    QFile f(path);
    if (f.open(QIODevice::ReadWrite))
        f.setFileTime(QDateTime::fromSecsSinceEpoch(++stamp), QFileDevice::FileModificationTime);
}

bool onSomeScreen(const QWidget &w)
{
    const QRect r(w.pos(), w.size());
    for (const QScreen *s : QGuiApplication::screens())
        if (s->availableGeometry().intersects(r))
            return true;
    return QGuiApplication::screens().isEmpty();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    initProcess(AppKind::Widgets);
    g_rig = new CoreRig;
    g_rig->markStart();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    CoreRig &rig = *g_rig;
    const QList<QByteArray> files = splitAtNul(data, size, 2);
    writeConfig(QStringLiteral("Tarvikon.conf"), files.value(0));
    writeConfig(QStringLiteral("Tarvik.conf"), files.value(1));
    AppCore &core = *rig.core;
    core.settings.sync();

    NoLauncher launcher;
    {
        MainWindow main(core, launcher);
        // Shown as far as every widget can tell, but never painted: painting
        // would take most of the time and reads no settings.
        main.setAttribute(Qt::WA_DontShowOnScreen);
        main.resize(1000, 800);
        main.show();
        main.startUp();
        rig.advance(2500);
        if (!(main.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)))
            TVK_FUZZ_CHECK(onSomeScreen(main));
        TVK_FUZZ_CHECK(core.globals.CommPort >= 1);

        // Every window with a stored layout, placed in a shown work area.
        QWidget area(&main);
        area.resize(900, 700);
        area.show();
        for (const LayoutEntry &entry : layoutEntries()) {
            if (entry.windowName == win::frmMain)
                continue;
            QWidget panel(&area);
            panel.resize(300, 200);
            restoreWindowLayout(&panel, entry.windowName, core.settings, &area);
            TVK_FUZZ_CHECK(panel.width() >= 0 && panel.height() >= 0);
            if (!(panel.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)))
                TVK_FUZZ_CHECK(QRect(panel.pos(), panel.size()).intersects(area.rect()));
        }
        main.shutDown();
    }
    core.windows.setTarget(nullptr);
    // The data model and the port map on the same store.
    core.data.InitMonitorData(core.globals, core.settings, &core.modelStart);
    for (int port = 1; port <= 4; ++port)
        core.portMap.describe(port);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // Back to the mark within the input: what it allocated is let go of.
    rig.reset();
    return 0;
}

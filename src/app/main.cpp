// The tool's entry: the command line, the platform services, the core, the
// main window.

#include "core/appcore.h"
#include "app/mainwindow.h"
#include "app/qtplatform.h"
#include "app/startupreport.h"
#include "core/commandline.h"
#include "link/compositeportfactory.h"
#include "link/qtserialport.h"
#include "simport.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    const auto began = std::chrono::steady_clock::now();
    // The command line is read before any window system is needed, so that
    // --help and --version work without a display.
    tvk::CommandLine line;
    {
        QCoreApplication early(argc, argv);
        QCoreApplication::setApplicationName(tvk::applicationTitle());
        QCoreApplication::setApplicationVersion(tvk::applicationVersionText());
        line = tvk::parseCommandLine(QCoreApplication::arguments());
    }
    if (line.stop) {
        std::fputs(line.output.toLocal8Bit().constData(), line.outputIsError ? stderr : stdout);
        return line.exitCode;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(tvk::applicationTitle());
    QApplication::setApplicationVersion(tvk::applicationVersionText());
    if (!line.settingsDir.isEmpty()) {
        QString error;
        if (!tvk::useSettingsFolder(line.settingsDir, &error)) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(QApplication::applicationName()), qPrintable(error));
            return 2;
        }
    }

    tvk::SystemClock clock;
    tvk::QtPortFactory serialPorts;
    tvk::sim::SimPortFactory simPorts(nullptr, &clock);
    tvk::CompositePortFactory ports(&serialPorts);
    ports.addRoute(QStringLiteral("sim:"), &simPorts);
    tvk::QtBeeper beeper;
    tvk::QtMessages messages;
    tvk::QtFileDialogs fileDialogs;
    tvk::QtInputBox inputBox;
    tvk::QtDesktopLauncher launcher;

    tvk::AppCore core(tvk::Platform{&clock, &ports, &beeper, &messages, &fileDialogs, &inputBox});
    core.CommPortThisRun = tvk::applyPortChoice(line, core.portMap, core.settings);
    // The entry applies User mode before the main window loads.
    core.shell.SetUserMode();
    tvk::MainWindow window(core, launcher);
    messages.setParent(&window);
    fileDialogs.setParent(&window);
    inputBox.setParent(&window);
    tvk::reportFirstDraw(&window, began);
    window.show();
    window.startUp();
    return app.exec();
}

// The tool's entry: the command line, the platform services, the core, the
// main window.

#include "core/appcore.h"
#include "app/mainwindow.h"
#include "app/qtplatform.h"
#include "app/startupreport.h"
#include "core/clisession.h"
#include "core/commandline.h"
#include "link/compositeportfactory.h"
#include "link/qtserialport.h"
#include "simport.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QTemporaryDir>

#include <cstdio>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_UNIX
int g_interruptPipe[2] = {-1, -1};
void onInterrupt(int)
{
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_interruptPipe[1], &c, 1);
}
#endif

// A verb of the command line: one job on the monitor, without windows and
// without a display.
int runVerb(int argc, char *argv[], const tvk::CommandLine &line)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(tvk::applicationTitle());
    QCoreApplication::setApplicationVersion(tvk::applicationVersionText());
#ifdef Q_OS_UNIX
    // Ctrl+C (and a polite kill) from the start: the job stops cleanly.
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_interruptPipe) == 0) {
        struct sigaction sa {};
        sa.sa_handler = onInterrupt;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        ::sigaction(SIGINT, &sa, nullptr);
        ::sigaction(SIGTERM, &sa, nullptr);
    }
#endif
    // The user's settings are left alone unless --settings names a folder.
    QTemporaryDir scratch;
    QString error;
    if (!tvk::useSettingsFolder(line.settingsDir.isEmpty() ? scratch.path() : line.settingsDir, &error)) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()), qPrintable(error));
        return tvk::exitstatus::Usage;
    }

    tvk::SystemClock clock;
    tvk::QtPortFactory serialPorts;
    tvk::sim::SimPortFactory simPorts(nullptr, &clock);
    tvk::CompositePortFactory ports(&serialPorts);
    ports.addRoute(QStringLiteral("sim:"), &simPorts);
    tvk::ConsoleServices services;
    tvk::AppCore core(tvk::Platform{&clock, &ports, &services, &services, &services, &services});
    core.CommPortThisRun = tvk::applyPortChoice(line, core.portMap, core.settings);

    tvk::CliSession::Output output;
    output.out = [](const QString &text) {
        std::fputs(text.toLocal8Bit().constData(), stdout);
        std::fflush(stdout);
    };
    output.err = [](const QString &text) {
        std::fputs(text.toLocal8Bit().constData(), stderr);
        std::fflush(stderr);
    };
#ifdef Q_OS_UNIX
    output.progress = ::isatty(STDOUT_FILENO) && !line.json;
#endif
    tvk::CliSession session(core, services, line, output);

#ifdef Q_OS_UNIX
    std::unique_ptr<QSocketNotifier> interrupts;
    if (g_interruptPipe[0] >= 0) {
        interrupts = std::make_unique<QSocketNotifier>(g_interruptPipe[0], QSocketNotifier::Read);
        QObject::connect(interrupts.get(), &QSocketNotifier::activated, &session, [&session] {
            char c;
            [[maybe_unused]] const ssize_t n = ::read(g_interruptPipe[0], &c, 1);
            session.interrupt();
        });
    }
#endif
    QObject::connect(&session, &tvk::CliSession::finished, &app, [](int code) { QCoreApplication::exit(code); },
                     Qt::QueuedConnection);
    session.start();
    const int code = app.exec();
    for (const QString &m : services.messages)
        std::fprintf(stderr, "%s\n", qPrintable(m));
    return code;
}

} // namespace

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
    if (line.verb != tvk::CommandLine::Verb::None)
        return runVerb(argc, argv, line);

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

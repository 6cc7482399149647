// The tool's entry: the platform services, the core, the main window.

#include "core/appcore.h"
#include "app/mainwindow.h"
#include "app/qtplatform.h"
#include "link/compositeportfactory.h"
#include "link/qtserialport.h"
#include "simport.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(tvk::applicationTitle());
    QApplication::setApplicationVersion(tvk::applicationVersionText());

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
    // The entry applies User mode before the main window loads.
    core.shell.SetUserMode();
    tvk::MainWindow window(core, launcher);
    messages.setParent(&window);
    fileDialogs.setParent(&window);
    inputBox.setParent(&window);
    window.show();
    window.startUp();
    return app.exec();
}

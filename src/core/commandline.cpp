#include "core/commandline.h"

#include "base/settings.h"
#include "core/ports/portmapping.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace tvk {

namespace {
const QString kDefaultDemo = QStringLiteral("version=2.25");
}

QString CommandLine::thisRunDevice() const
{
    if (demo)
        return QStringLiteral("sim:") + demoOptions;
    return port;
}

CommandLine parseCommandLine(const QStringList &arguments)
{
    CommandLine out;
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Service tool for display monitors on a serial port (9600,N,8,1)."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("Com1 opens <device> for this run only (not stored), "
                                                 "e.g. /dev/ttyUSB0 or COM3."),
                                  QStringLiteral("device"));
    const QCommandLineOption settings(QStringLiteral("settings"),
                                      QStringLiteral("Keep the settings files (Tarvikon.conf, Tarvik.conf) "
                                                     "in <dir>."),
                                      QStringLiteral("dir"));
    const QCommandLineOption demo(QStringLiteral("demo"),
                                  QStringLiteral("Com1 is the bundled monitor simulator for this run. "
                                                 "Its options follow, comma-separated (default %1), "
                                                 "e.g. version=1.38 or version=2.25,boot.")
                                      .arg(kDefaultDemo));
    parser.addOption(port);
    parser.addOption(settings);
    parser.addOption(demo);
    parser.addPositionalArgument(QStringLiteral("simulator-options"),
                                 QStringLiteral("The simulator's options, after --demo."),
                                 QStringLiteral("[simulator-options]"));

    const auto fail = [&out](const QString &message) {
        out.stop = true;
        out.exitCode = 2;
        out.outputIsError = true;
        out.output = QCoreApplication::applicationName() + QStringLiteral(": ") + message
            + QStringLiteral("\nTry '") + QFileInfo(QCoreApplication::applicationFilePath()).fileName()
            + QStringLiteral(" --help'.\n");
        return out;
    };

    if (!parser.parse(arguments))
        return fail(parser.errorText());
    if (parser.isSet(help)) {
        out.stop = true;
        out.output = parser.helpText();
        return out;
    }
    if (parser.isSet(version)) {
        out.stop = true;
        out.output = QCoreApplication::applicationName() + u' ' + QCoreApplication::applicationVersion()
            + u'\n';
        return out;
    }
    const QStringList rest = parser.positionalArguments();
    out.demo = parser.isSet(demo);
    if (out.demo) {
        if (rest.size() > 1)
            return fail(QStringLiteral("--demo takes one list of options, e.g. version=2.25,boot"));
        out.demoOptions = rest.isEmpty() ? kDefaultDemo : rest.first().trimmed();
    } else if (!rest.isEmpty()) {
        return fail(QStringLiteral("unexpected argument '%1'").arg(rest.first()));
    }
    if (parser.isSet(port)) {
        out.port = parser.value(port).trimmed();
        if (out.port.isEmpty())
            return fail(QStringLiteral("--port needs a device, e.g. /dev/ttyUSB0"));
        if (out.demo)
            return fail(QStringLiteral("--port and --demo both choose the device of Com1; give one"));
    }
    if (parser.isSet(settings)) {
        out.settingsDir = parser.value(settings).trimmed();
        if (out.settingsDir.isEmpty())
            return fail(QStringLiteral("--settings needs a folder"));
    }
    return out;
}

bool useSettingsFolder(const QString &dir, QString *error)
{
    const QString path = QDir(dir).absolutePath();
    if (!QDir().mkpath(path) || !QFileInfo(path).isDir()) {
        if (error)
            *error = QStringLiteral("the settings folder %1 cannot be made").arg(path);
        return false;
    }
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, path);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, path);
    return true;
}

int applyPortChoice(const CommandLine &line, PortMappingStore &ports, Settings &settings)
{
    const QString device = line.thisRunDevice();
    if (device.isEmpty())
        return 0;
    ports.setThisRunDevice(1, device);
    const QString echo = QStringLiteral("CommLogEnabled");
    if (line.demo && !settings.contains(AppName::Tarvikon, SettingsSection::Configs, echo))
        settings.writeBool(AppName::Tarvikon, SettingsSection::Configs, echo, true);
    return 1;
}

} // namespace tvk

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
    const QCommandLineOption save(QStringLiteral("save"),
                                  QStringLiteral("Read the monitor and save its settings to <file> (.mdv): the "
                                                 "scan set it runs, or those of --scan-sets."),
                                  QStringLiteral("file"));
    const QCommandLineOption compare(QStringLiteral("compare"),
                                     QStringLiteral("Compare the monitor with <file> and print the differences."),
                                     QStringLiteral("file"));
    const QCommandLineOption restore(QStringLiteral("restore"),
                                     QStringLiteral("Write the present values of <file> that differ into the "
                                                    "monitor, read them back and check them."),
                                     QStringLiteral("file"));
    const QCommandLineOption info(QStringLiteral("info"),
                                  QStringLiteral("Print the monitor's identity, firmware, operating time and cycles."));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Print one JSON document."));
    const QCommandLineOption initial(QStringLiteral("initial"),
                                     QStringLiteral("With --restore: restore the initial (power-on) values too."));
    const QCommandLineOption groups(QStringLiteral("groups"),
                                    QStringLiteral("Only these DAC groups, e.g. L,B,H,V,N."), QStringLiteral("list"));
    const QCommandLineOption scanSets(QStringLiteral("scan-sets"),
                                      QStringLiteral("Only these scan sets, numbered from 1, e.g. 1,3."),
                                      QStringLiteral("list"));
    parser.addOption(port);
    parser.addOption(settings);
    parser.addOption(demo);
    for (const QCommandLineOption *o : {&save, &compare, &restore, &info, &json, &initial, &groups, &scanSets})
        parser.addOption(*o);
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
        out.output = parser.helpText() + commandLineExitStatusText();
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

    int verbs = 0;
    const struct {
        const QCommandLineOption *option;
        CommandLine::Verb verb;
    } verbOptions[] = {{&save, CommandLine::Verb::Save},
                       {&compare, CommandLine::Verb::Compare},
                       {&restore, CommandLine::Verb::Restore},
                       {&info, CommandLine::Verb::Info}};
    for (const auto &v : verbOptions) {
        if (!parser.isSet(*v.option))
            continue;
        ++verbs;
        out.verb = v.verb;
        if (v.verb != CommandLine::Verb::Info) {
            out.verbFile = parser.value(*v.option).trimmed();
            if (out.verbFile.isEmpty())
                return fail(QStringLiteral("--%1 needs a file").arg(v.option->names().first()));
        }
    }
    if (verbs > 1)
        return fail(QStringLiteral("give one of --save, --compare, --restore and --info"));
    out.json = parser.isSet(json);
    out.initial = parser.isSet(initial);
    if (out.verb == CommandLine::Verb::None) {
        for (const QCommandLineOption *o : {&json, &initial, &groups, &scanSets})
            if (parser.isSet(*o))
                return fail(QStringLiteral("--%1 goes with --save, --compare, --restore or --info")
                                .arg(o->names().first()));
        return out;
    }
    if (out.thisRunDevice().isEmpty())
        return fail(QStringLiteral("--%1 needs --port <device>").arg(
            out.verb == CommandLine::Verb::Info ? QStringLiteral("info") : QStringLiteral("save, --compare and --restore")));
    if (out.initial && out.verb != CommandLine::Verb::Restore)
        return fail(QStringLiteral("--initial goes with --restore"));
    if (parser.isSet(groups)) {
        for (const QString &item : parser.value(groups).split(u',', Qt::SkipEmptyParts)) {
            const QString letter = item.trimmed().toUpper();
            const auto g = dacGroupByLetter(letter);
            if (!g)
                return fail(QStringLiteral("--groups: no DAC group '%1' (L, B, H, V, N, CO, CHR, CHP, CVR, CVP, CPP)")
                                .arg(item.trimmed()));
            if (!out.groups.contains(*g))
                out.groups << *g;
        }
        if (out.groups.isEmpty())
            return fail(QStringLiteral("--groups needs a list, e.g. L,V"));
    }
    if (parser.isSet(scanSets)) {
        for (const QString &item : parser.value(scanSets).split(u',', Qt::SkipEmptyParts)) {
            bool ok = false;
            const int n = item.trimmed().toInt(&ok);
            if (!ok || n < 1 || n > 6)
                return fail(QStringLiteral("--scan-sets: '%1' is no scan set 1 to 6").arg(item.trimmed()));
            if (!out.scanSets.contains(n - 1))
                out.scanSets << n - 1;
        }
        if (out.scanSets.isEmpty())
            return fail(QStringLiteral("--scan-sets needs a list, e.g. 1,3"));
    }
    return out;
}

QString commandLineExitStatusText()
{
    return QStringLiteral("\nExit status of --save, --compare, --restore and --info:\n"
                          "  0    done (compare: equal; restore: everything written and checked)\n"
                          "  1    the monitor differs from the file\n"
                          "  2    usage error\n"
                          "  3    the port cannot be opened\n"
                          "  4    no monitor answers (or only its boot block)\n"
                          "  5    the monitor stopped answering\n"
                          "  6    the file is refused (cannot be read or written, not a DAC value file)\n"
                          "  130  interrupted (Ctrl+C); a restore stops cleanly and says what was written\n");
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

// The command line: what each option decides, the refusals, and what a
// run's port choice leaves in the settings (nothing but the demo's echo).

#include "base/settings.h"
#include "core/commandline.h"
#include "core/ports/portmapping.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>

using namespace tvk;

namespace {
CommandLine parse(QStringList args)
{
    args.prepend(QStringLiteral("tarvik"));
    return parseCommandLine(args);
}
} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QCoreApplication::setApplicationName(QStringLiteral("Tarvikon"));
        QCoreApplication::setApplicationVersion(QStringLiteral("3.0.13"));
    }

    void optionsAreRead()
    {
        CommandLine c = parse({});
        QVERIFY(!c.stop);
        QVERIFY(c.thisRunDevice().isEmpty());

        c = parse({"--port", "/dev/ttyUSB0", "--settings", "/tmp/x"});
        QVERIFY(!c.stop);
        QCOMPARE(c.thisRunDevice(), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(c.settingsDir, QStringLiteral("/tmp/x"));

        c = parse({"--demo"});
        QVERIFY(!c.stop);
        QCOMPARE(c.thisRunDevice(), QStringLiteral("sim:version=2.25"));
        c = parse({"--demo", "version=2.25,boot", "--settings=.demo/config"});
        QCOMPARE(c.thisRunDevice(), QStringLiteral("sim:version=2.25,boot"));
        QCOMPARE(c.settingsDir, QStringLiteral(".demo/config"));
    }

    void helpVersionAndRefusals()
    {
        CommandLine c = parse({"--help"});
        QVERIFY(c.stop);
        QCOMPARE(c.exitCode, 0);
        QVERIFY(!c.outputIsError);
        for (const char *option : {"--port <device>", "--settings <dir>", "--demo", "--version"})
            QVERIFY2(c.output.contains(QLatin1String(option)), option);

        c = parse({"--version"});
        QVERIFY(c.stop);
        QCOMPARE(c.output, QStringLiteral("Tarvikon 3.0.13\n"));

        const QList<QStringList> refused = {
            {"--bogus"}, {"stray"}, {"--port"}, {"--port", " "}, {"--demo", "a", "b"},
            {"--demo", "--port", "/dev/ttyS1"}, {"--settings", ""}};
        for (const QStringList &args : refused) {
            c = parse(args);
            QVERIFY2(c.stop && c.exitCode == 2 && c.outputIsError, qPrintable(args.join(u' ')));
            QVERIFY(c.output.contains(QStringLiteral("--help")));
        }
    }

    void verbsAndTheirLists()
    {
        CommandLine c = parse({"--port", "/dev/ttyS0", "--restore", "a.mdv", "--initial", "--groups", "l,V",
                               "--scan-sets", "3,1", "--json"});
        QVERIFY(!c.stop);
        QCOMPARE(c.verb, CommandLine::Verb::Restore);
        QCOMPARE(c.verbFile, QStringLiteral("a.mdv"));
        QVERIFY(c.initial && c.json);
        QCOMPARE(c.groups, QList<DacGroupId>({DacGroupId::L, DacGroupId::V}));
        QCOMPARE(c.scanSets, QList<int>({2, 0}));
        QCOMPARE(parse({"--demo", "--info"}).verb, CommandLine::Verb::Info);
        QVERIFY(parse({"--help"}).output.contains("6    the file is refused"));

        const QList<QStringList> refused = {
            {"--compare", "a.mdv"},                                  // no port
            {"--port", "p", "--compare", "a", "--save", "b"},        // two verbs
            {"--port", "p", "--compare", "a", "--initial"},          // initial goes with restore
            {"--port", "p", "--info", "--groups", "Q"},              // no such group
            {"--port", "p", "--info", "--scan-sets", "7"},           // no such scan set
            {"--port", "p", "--json"}};                              // a list without a verb
        for (const QStringList &args : refused) {
            c = parse(args);
            QVERIFY2(c.stop && c.exitCode == 2 && c.outputIsError, qPrintable(args.join(u' ')));
        }
    }

    void aRunsPortChoice_isNotStored()
    {
        test::freshSettingsFolder();
        Settings settings;
        ListPortInfoSource none;
        PortMappingStore ports(settings, none);
        settings.write(AppName::Tarvikon, SettingsSection::Configs, "Com1Device", "/dev/ttyS0");

        QCOMPARE(applyPortChoice(parse({}), ports, settings), 0);
        QCOMPARE(ports.resolve(1), QStringLiteral("/dev/ttyS0"));

        QCOMPARE(applyPortChoice(parse({"--port", "/dev/ttyUSB3"}), ports, settings), 1);
        QCOMPARE(ports.resolve(1), QStringLiteral("/dev/ttyUSB3"));
        QCOMPARE(settings.read(AppName::Tarvikon, SettingsSection::Configs, "Com1Device", {}), QStringLiteral("/dev/ttyS0"));
        QVERIFY(!settings.contains(AppName::Tarvikon, SettingsSection::Configs, "CommLogEnabled"));

        // The demo shows the traffic unless the user chose before.
        QCOMPARE(applyPortChoice(parse({"--demo"}), ports, settings), 1);
        QCOMPARE(ports.resolve(1), QStringLiteral("sim:version=2.25"));
        QCOMPARE(settings.read(AppName::Tarvikon, SettingsSection::Configs, "CommLogEnabled", {}), QStringLiteral("True"));
        settings.writeBool(AppName::Tarvikon, SettingsSection::Configs, "CommLogEnabled", false);
        applyPortChoice(parse({"--demo"}), ports, settings);
        QCOMPARE(settings.read(AppName::Tarvikon, SettingsSection::Configs, "CommLogEnabled", {}), QStringLiteral("False"));
    }

    void settingsFolderIsMadeAndUsed()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("a/b"));
        QVERIFY(useSettingsFolder(folder, nullptr));
        {
            Settings s;
            s.write(AppName::Tarvikon, SettingsSection::Configs, "CommPort", "3");
            QCOMPARE(s.location(AppName::Tarvikon), folder + QStringLiteral("/Tarvikon.conf"));
        }
        QVERIFY(QFile::exists(folder + QStringLiteral("/Tarvikon.conf")));
        QFile blocker(dir.filePath(QStringLiteral("file")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QString error;
        QVERIFY(!useSettingsFolder(dir.filePath(QStringLiteral("file/sub")), &error));
        QVERIFY(error.contains(QStringLiteral("cannot be made")));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_commandline.moc"

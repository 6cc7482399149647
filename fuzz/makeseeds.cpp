// Writes the seed corpus of the fuzz targets into <folder>/<target>/: the
// simulated monitor's answers to the tool's commands, downloads answered by
// it, DAC value files the tool wrote after reading it, and the settings files
// the tool leaves behind. Run by hand when the protocol changes:
//   tvk-fuzz-seeds fuzz/corpus

#include "apprig.h"

#include "app/mainwindow.h"
#include "app/windowregistry.h"
#include "base/windownames.h"
#include "core/dacfile.h"
#include "core/windowlayout.h"
#include "monitorsim.h"
#include "protocol/commands.h"
#include "simport.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <cstdio>

using namespace tvk;
using namespace tvk::fuzz;

namespace {

QString g_out;

void writeSeed(const QString &target, const QString &name, const QByteArray &bytes)
{
    QDir().mkpath(g_out + u'/' + target);
    writeFile(g_out + u'/' + target + u'/' + name, bytes);
}

QString fileSafe(const QString &command)
{
    QString s;
    for (QChar c : command.trimmed())
        s += (c.isLetterOrNumber() ? c : u'_');
    return s;
}

// The first byte of a reply seed (see replies.cpp).
char situationByte(int situation, int family) { return char(situation | (family << 2) | (2 << 4)); }

struct SimCase {
    const char *name;
    const char *options;
    int family;
};
const SimCase kSims[] = {
    {"v138", "version=1.38", 1},
    {"v225", "version=2.25,i2c=50:a0", 2},
    {"v310", "version=3.10,g2guns", 3},
    {"v225busy", "version=2.25,busy", 2},
};

QStringList commandList()
{
    using namespace cmd;
    return {ping(), readFirmwareVersion(), readEpromVersion(), readCapability(), readOperatingTime(),
            readUserControls(), readModeWord(), readBootBlock(), readCurrentScanSet(),
            readSyncFrequencies(), readTestPoints(), readHighVoltage(), readLimitsReport(),
            readLimitsReportFull(), readBacklight(u's'), readBacklight(u'w'), readVideoExtra(u'd'),
            readModelNumber(), readModelNumber(u"t"), readSerialNumber(u"t"), readDac(u"v"),
            readDac(u"h"), readDac(u"s"), readDac(u"l"), readDac(u"b"), readDacInitial(u"v"),
            readDacFactory(u"l"), setDac(u"v", 2, 130), selectScanSet(2), enableScanSet(3),
            setAddress(u"1F00"), readByte(), readWord(), probeI2c(u"50"), probeI2c(u"52"),
            setModeWord(3), deflection(true), startFlashLoad(), typed(u"zz\r\n")};
}

void replySeeds()
{
    for (const SimCase &c : kSims) {
        sim::MonitorConfig config;
        sim::applyOptions(config, QString::fromLatin1(c.options));
        sim::MonitorSimulator monitor(config);
        QByteArray session(1, situationByte(1, c.family));
        for (const QString &command : commandList()) {
            const QByteArray answer = monitor.feed(command.toLatin1());
            writeSeed(QStringLiteral("replies"),
                      QString::fromLatin1(c.name) + u'-' + fileSafe(command),
                      QByteArray(1, situationByte(1, c.family)) + answer);
            session += answer + '\0';
        }
        writeSeed(QStringLiteral("replies"), QString::fromLatin1(c.name) + QStringLiteral("-session"), session);
    }
    // The boot block and a running download.
    sim::MonitorConfig boot;
    sim::applyOptions(boot, u"version=2.25,boot");
    sim::MonitorSimulator bootMonitor(boot);
    QByteArray bootSession(1, situationByte(2, 2));
    for (const char *command : {"p\r\n", "db\r\n", "cb1\r\n", "g\r\n", "df\r\n"})
        bootSession += bootMonitor.feed(command) + '\0';
    writeSeed(QStringLiteral("replies"), QStringLiteral("boot-session"), bootSession);
    // The download's "bf3" is queued when the input begins: the erase is
    // answered first.
    writeSeed(QStringLiteral("replies"), QStringLiteral("download-acks"),
              QByteArray(1, situationByte(3, 2)) + "bf3\r\nFlash Erased\r\n#" + '\0' + ":020000040000FA\r\n#"
                  + '\0' + ":0400000001020304F2\r\nBad Checksum!\r\n#" + '\0'
                  + ":00000001FF\r\nEOF Checksum OK\r\n#");
}

// An Intel HEX record with its checksum.
QByteArray record(int type, int address, const QByteArray &bytes)
{
    QByteArray r;
    r.append(char(bytes.size()));
    r.append(char(address >> 8));
    r.append(char(address));
    r.append(char(type));
    r += bytes;
    int sum = 0;
    for (char b : r)
        sum += quint8(b);
    r.append(char(-sum));
    return ':' + r.toHex().toUpper() + "\r\n";
}

QByteArray hexImage(int records)
{
    QByteArray hex = record(4, 0, QByteArray::fromHex("0000"));
    for (int i = 0; i < records; ++i)
        hex += record(0, i * 16, QByteArray::fromHex("0102030405060708090A0B0C0D0E0F10"));
    return hex + record(1, 0, {});
}

void downloadSeeds()
{
    struct Case {
        const char *name;
        const char *options;
        char flags;
    };
    const Case cases[] = {
        {"flash", "version=2.25", 0},
        {"sram", "version=2.25", 1},
        {"bootflash", "version=2.25,boot", 2},
        {"refused", "version=2.25,refuse=2:3,refusetimes=2", 0},
        {"refusedprompt", "version=2.25,refuse=2,refuseform=prompt", 0},
        {"eofbad", "version=2.25,eofbad", 0},
        {"eofunreported", "version=2.25,eofunreported", 0},
        {"erasefail", "version=2.25,erasefail", 0},
    };
    const QByteArray image = hexImage(4);
    for (const Case &c : cases) {
        sim::MonitorConfig config;
        sim::applyOptions(config, QString::fromLatin1(c.options));
        sim::MonitorSimulator monitor(config);
        QByteArray seed = QByteArray(1, c.flags) + image;
        seed += '\0' + monitor.feed((c.flags & 1) ? "bs\r\n" : "bf3\r\n");
        for (const QByteArray &line : image.split('\n')) {
            if (line.trimmed().isEmpty())
                continue;
            const QByteArray answer = monitor.feed(line.trimmed() + "\r\n");
            seed += '\0' + answer;
            if (answer.contains('!')) // resent until accepted
                seed += '\0' + monitor.feed(line.trimmed() + "\r\n");
        }
        writeSeed(QStringLiteral("hexdownload"), QString::fromLatin1(c.name), seed);
    }
}

// The tool reads the simulated monitor in full and saves its image.
void mdvSeeds()
{
    for (const SimCase &c : kSims) {
        if (QByteArray(c.options).contains("busy"))
            continue;
        clearSettings();
        ManualClock clock;
        sim::SimPortFactory ports(nullptr, &clock);
        QuietPlatform quiet;
        AppCore core(Platform{&clock, &ports, &quiet, &quiet, &quiet, &quiet});
        for (int i = 1; i <= 4; ++i)
            core.settings.write(AppName::Tarvikon, SettingsSection::Configs, QStringLiteral("Com%1Device").arg(i),
                                QStringLiteral("sim:") + QString::fromLatin1(c.options));
        auto pump = [&](int ms) {
            for (int t = 0; t < ms; t += 5) {
                QCoreApplication::processEvents();
                clock.advance(5);
            }
        };
        core.data.InitMonitorData(core.globals, core.settings, &core.modelStart);
        core.connector.LoadConnectWindow();
        pump(2600);
        core.fullRead.start();
        for (int i = 0; i < 600 && core.fullRead.isRunning(); ++i)
            pump(100);
        pump(500);
        // Scan sets 0 and 2 marked for saving, with a title of their own.
        core.scanSets.setMark(0, 1);
        core.scanSets.setMark(2, 1);
        core.scanSets.setTitle(2, QStringLiteral("1280x1024 @ 75Hz"));
        writeSeed(QStringLiteral("mdvfile"), QString::fromLatin1(c.name),
                  FormatMdfFile(core.mdf(), QDateTime(QDate(2024, 5, 17), QTime(9, 30))));
        std::printf("mdv %s: online %d, model '%s'\n", c.name, int(core.globals.connection.online()),
                    qPrintable(core.data.ModelNumber));
    }
    // And the image of a tool that never saw a monitor.
    CoreRig rig;
    writeSeed(QStringLiteral("mdvfile"), QStringLiteral("offline"),
              FormatMdfFile(rig.core->mdf(), QDateTime(QDate(2024, 5, 17), QTime(9, 30))));
}

// The settings files after a run that opened every window.
void settingsSeeds()
{
    clearSettings();
    {
        CoreRig rig(false);
        NoLauncher launcher;
        MainWindow main(*rig.core, launcher);
        main.resize(1000, 800);
        main.show();
        main.startUp();
        for (const LayoutEntry &e : layoutEntries())
            if (e.windowName != win::frmMain)
                main.registry().openWindow(e.windowName);
        QCoreApplication::processEvents();
        main.shutDown();
    }
    auto read = [](const char *name) {
        QFile f(configDir() + u'/' + QLatin1String(name));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    };
    const QByteArray tarvikon = read("Tarvikon.conf");
    const QByteArray tarvik = read("Tarvik.conf");
    writeSeed(QStringLiteral("settings"), QStringLiteral("after-run"), tarvikon + '\0' + tarvik);
    writeSeed(QStringLiteral("settings"), QStringLiteral("first-run"), QByteArray());
    writeSeed(QStringLiteral("settings"), QStringLiteral("ports"),
              "[Configs]\nCommPort=2\nCom1Device=/dev/ttyUSB0\nCom2Device=sim:version=2.25\n"
              "Com2SerialNumber=A50285BI\nCom2UsbIds=0403:6001\nConnectRetryLimit=5\n"
              "CommLogEnabled=True\nCommLogOpen=True\nFileSaveInitDir=/tmp\n"
              "[StartUp]\nRunType=1\nInitialMode=ServiceMode\n");
}

} // namespace

int main(int argc, char **argv)
{
    initProcess(AppKind::Widgets);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    g_out = QString::fromLocal8Bit(argv[1]);
    replySeeds();
    downloadSeeds();
    mdvSeeds();
    settingsSeeds();
    return 0;
}

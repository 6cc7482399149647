// The DAC value file: the exact text written, reading it back, the reader's
// refusals and errors, saving safely, and the File menu's dialogs and state.

#include "apptest.h"
#include "base/windownames.h"
#include "core/mainmenu.h"
#include "core/dacfile.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

using namespace tvk;
using namespace tvk::test;

namespace {

const char *const kCrLf = "\r\n";

// Channel names per group as the file names them, channel 0 first.
struct GroupNames {
    DacGroupId id;
    const char *countKey;
    QStringList names;
};

const QList<GroupNames> &groupNames()
{
    static const QList<GroupNames> groups = {
        {DacGroupId::L, "NumLDacs", {"Master Contrast", "Master Brightness", "Red Gain", "Green Gain",
                                     "Blue Gain", "Red Offset", "Green Offset", "Blue Offset"}},
        {DacGroupId::B, "NumBDacs", {"White Level", "Bias Adjust"}},
        {DacGroupId::H, "NumHDacs", {"Horizontal Size", "Horizontal Center", "Horizontal Linearity",
                                     "Trace Rotation"}},
        {DacGroupId::V, "NumVDacs", {"Vertical Size", "Vertical Center", "Vert Linearity",
                                     "E-W Correction", "Horiz Trapezoid", "Horiz Parabola", "Horiz Bow"}},
        {DacGroupId::N, "NumNDacs", {"North-South Correction", "North-South Trapezoid", "North-South Phase"}},
        {DacGroupId::CO, "NumCODacs", {"Convergence RB V DC", "Convergence RB H DC", "Convergence RGB H DC",
                                       "Convergence RGB V DC"}},
        {DacGroupId::CHR, "NumCHRDacs", {"Convergence RB V HRamp", "Convergence RB H HRamp",
                                         "Convergence RGB H HRamp", "Convergence RGB V HRamp"}},
        {DacGroupId::CHP, "NumCHPDacs", {"Convergence RB V HParabola", "Convergence RB H HParabola",
                                         "Convergence RGB H HParabola", "Convergence RGB V HParabola"}},
        {DacGroupId::CVR, "NumCVRDacs", {"Convergence RB V VRamp", "Convergence RB H VRamp",
                                         "Convergence RGB H VRamp", "Convergence RGB V VRamp"}},
        {DacGroupId::CVP, "NumCVPDacs", {"Convergence RB V VParabola", "Convergence RB H VParabola",
                                         "Convergence RGB H VParabola", "Convergence RGB V VParabola"}},
        {DacGroupId::CPP, "NumCPPDacs", {"Purity Horizontal", "Purity Vertical",
                                         "Convergence VParabola Balance", "Convergence HParabola Balance"}},
    };
    return groups;
}

// A distinct value for every table, group, channel and scan set; some negative.
int sample(DacTable table, DacGroupId g, int channel, int scanSet)
{
    return (int(table) * 97 + int(g) * 37 + channel * 11 + scanSet * 5) % 300 - 20;
}

void fillTables(MonitorData &d)
{
    for (const GroupNames &g : groupNames())
        for (int c = 0; c < kDacChannels; ++c)
            for (int k = 0; k < kDacScanSets; ++k)
                for (DacTable t : {DacTable::Present, DacTable::Accepted, DacTable::Factory, DacTable::Initial})
                    QVERIFY(d.setValue(g.id, t, c, k, t == DacTable::Accepted ? 999 : sample(t, g.id, c, k)));
}

QString q(const QString &text) { return QLatin1Char('"') + text + QLatin1Char('"'); }

// The file text of an offline image, built line by line from the format's rules.
QByteArray expectedOffline(const QDateTime &when, const QList<int> &written, const QStringList &titles)
{
    QString t;
    auto line = [&](const QString &s) { t += s + QLatin1String(kCrLf); };
    line(q("Velloran Monitor DAC Value File"));
    line(q("Version 2.0"));
    line(q("File Created: ") + "," + q(QLocale::system().toString(when, QLocale::ShortFormat)));
    line(q("NumScanSets") + ",6");
    const int counts[] = {8, 2, 4, 7, 3, 4, 4, 4, 4, 4, 4};
    for (int i = 0; i < groupNames().size(); ++i)
        line(q(groupNames()[i].countKey) + "," + QString::number(counts[i]));
    for (int k : written) {
        line(q("ScanSet") + "," + QString::number(k));
        line(q("ScanSetName") + "," + q(titles[k]));
        for (const GroupNames &g : groupNames()) {
            QList<QPair<int, QString>> channels;
            for (int c = 0; c < g.names.size(); ++c)
                channels.append({c, g.names[c]});
            if (g.id == DacGroupId::H)
                channels.append({8, QStringLiteral("Horiz S Cap")});
            for (const auto &[c, name] : channels)
                line(q(name) + "," + QString::number(sample(DacTable::Present, g.id, c, k)) + ","
                     + QString::number(sample(DacTable::Factory, g.id, c, k)) + ","
                     + QString::number(sample(DacTable::Initial, g.id, c, k)));
        }
    }
    return t.toLatin1();
}

void initCore(CoreHarness &h)
{
    h.core->data.InitMonitorData(h.core->globals, h.core->settings);
}

// A file of the given lines after the header and version lines, each ended
// by CR LF; a comment line first makes it long enough to be read.
QByteArray fileOf(const QStringList &body)
{
    QByteArray b = "\"Velloran Monitor DAC Value File\"\r\n\"Version 2.0\"\r\n"
                   "\"#\",\"written by hand for a test of the reader\"\r\n";
    for (const QString &l : body)
        b += l.toLatin1() + kCrLf;
    return b;
}

// 1-based byte position of body line i in fileOf(body).
qint64 positionOf(const QStringList &body, int i)
{
    QStringList before = body.mid(0, i);
    return fileOf(before).size() + 1;
}

void attach(AppCore &core, const QString &path)
{
    core.data.FilePath = path;
    core.data.FileTitle = QFileInfo(path).fileName();
    core.data.FileIsOpen = true;
    core.data.FileOpenForInput = true;
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestDacFile : public QObject {
    Q_OBJECT
private slots:
    void fields_splitAtCommasOutsideQuotes()
    {
        QCOMPARE(SplitMdfFields(u"\"Model Number: \",\"TM, 2100\""),
                 QStringList({"Model Number: ", "TM, 2100"}));
        QCOMPARE(SplitMdfFields(u"\"Master Contrast\",128,-5, 7 "),
                 QStringList({"Master Contrast", "128", "-5", "7"}));
        QCOMPARE(SplitMdfFields(u"\"ScanSetName\",\"\""), QStringList({"ScanSetName", ""}));
        QVERIFY(SplitMdfFields(u"  ").isEmpty());
    }

    // The whole text, byte for byte: marked scan sets only, H channel 8 last
    // in its group, no identity lines while no monitor answers.
    void writer_offlineText_isExact()
    {
        CoreHarness h;
        initCore(h);
        fillTables(h.core->data);
        QStringList titles;
        for (int k = 0; k < 6; ++k) {
            titles << QStringLiteral("%1x768 @ %2 Hz").arg(1024 + k).arg(60 + k);
            h.core->scanSets.setTitle(k, titles.last());
        }
        h.core->scanSets.setMark(0, 1);
        h.core->scanSets.setMark(1, 2); // greyed: not written
        h.core->scanSets.setMark(2, 1);
        h.core->scanSets.setMark(5, 1);
        const QDateTime when(QDate(2024, 3, 14), QTime(10, 22, 5));
        QCOMPARE(FormatMdfFile(h.core->mdf(), when), expectedOffline(when, {0, 2, 5}, titles));
    }

    void writer_identityLines_onlineAndByMonitorType()
    {
        CoreHarness h;
        initCore(h);
        MonitorData &d = h.core->data;
        d.ModelNumber = "TM-2100";
        d.SerialNumber = "SN-42";
        d.PartNumber = "P-7";
        d.CrtSerialNumber = "CRT-SN";
        d.CrtPartNumber = "CRT-P";
        d.FirmwareVersion = "V 2.25";
        d.RomVersion = "V 1.05";
        d.OperatingTimeText = "12:03:04:05";
        d.OperatingCyclesText = "77";
        d.HvUpperLimit = 1250;
        d.HvLowerLimit = -3;
        const QDateTime when(QDate(2024, 1, 2), QTime(3, 4, 5));

        auto lines = [&] {
            return QString::fromLatin1(FormatMdfFile(h.core->mdf(), when)).split(QLatin1String(kCrLf));
        };
        QVERIFY(!lines().join('\n').contains("Model Number"));

        ConnectionFlagsForTests::setOnline(h.core->globals, true);
        d.MonitorType = 225;
        const QStringList crt = lines().mid(3, 12);
        QCOMPARE(crt, QStringList({"\"Model Number: \",\"TM-2100\"", "\"Serial Number: \",\"SN-42\"",
                                   "\"Part Number: \",\"P-7\"", "\"CRT Serial Number: \",\"CRT-SN\"",
                                   "\"CRT Part Number: \",\"CRT-P\"", "\"Firmware Version: \",\"V 2.25\"",
                                   "\"ROM Version: \",\"V 1.05\"", "\"Operating Hours: \",\"12:03:04:05\"",
                                   "\"Operating Cycles: \",\"77\"", "\"HV Upper Limit: \",\"1250\"",
                                   "\"HV Lower Limit: \",\"-3\"", "\"NumScanSets\",6"}));
        d.MonitorType = 310; // flat panel: no tube
        QVERIFY(!lines().join('\n').contains("CRT "));
        QCOMPARE(lines().at(6), QStringLiteral("\"Firmware Version: \",\"V 2.25\""));
    }

    // The H channel 8 line is there even when the group counts no channel;
    // no scan set marked: header, date, counts, nothing else.
    void writer_edgeCounts()
    {
        CoreHarness h;
        initCore(h);
        const QDateTime when(QDate(2024, 1, 2), QTime(3, 4, 5));
        QCOMPARE(QString::fromLatin1(FormatMdfFile(h.core->mdf(), when)).count(QLatin1String(kCrLf)), 15);
        QVERIFY(h.core->data.setCount(DacGroupId::H, 0));
        h.core->scanSets.setMark(3, 1);
        const QString text = QString::fromLatin1(FormatMdfFile(h.core->mdf(), when));
        QVERIFY(text.contains("\"NumHDacs\",0\r\n"));
        QVERIFY(text.contains("\"Bias Adjust\",0,0,0\r\n\"Horiz S Cap\",0,0,0\r\n\"Vertical Size\""));
    }

    void roundTrip_restoresEveryWrittenValue()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("image.mdv");
        QStringList titles;
        {
            CoreHarness h;
            initCore(h);
            fillTables(h.core->data);
            for (int k = 0; k < 6; ++k) {
                titles << QStringLiteral("Timing %1").arg(k + 1);
                h.core->scanSets.setTitle(k, titles.last());
                h.core->scanSets.setMark(k, k == 3 ? 0 : 1);
            }
            attach(*h.core, path);
            QVERIFY(WriteMDF(h.core->mdf()));
            QVERIFY(h.messages.messages.isEmpty());
            QVERIFY(!h.core->data.FileIsOpen);
            // Every line but the date is exactly as built from the rules.
            QStringList got = QString::fromLatin1(readBytes(path)).split(QLatin1String(kCrLf));
            QStringList want = QString::fromLatin1(expectedOffline(QDateTime::currentDateTime(),
                                                                  {0, 1, 2, 4, 5}, titles))
                                   .split(QLatin1String(kCrLf));
            QVERIFY(got.at(2).startsWith("\"File Created: \",\""));
            got.removeAt(2);
            want.removeAt(2);
            QCOMPARE(got, want);
        }
        CoreHarness h;
        initCore(h);
        attach(*h.core, path);
        h.core->data.DataChanged = true;
        QVERIFY(ReadMDF(h.core->mdf()));
        QVERIFY(h.messages.messages.isEmpty());
        const MonitorData &d = h.core->data;
        for (int k : {0, 1, 2, 4, 5}) {
            QCOMPARE(h.core->scanSets.title(k), titles[k]);
            for (const GroupNames &g : groupNames()) {
                std::vector<int> channels = d.channelsOf(g.id);
                for (int c : channels) {
                    const qint16 present = sample(DacTable::Present, g.id, c, k);
                    QCOMPARE(*d.value(g.id, DacTable::Present, c, k), present);
                    QCOMPARE(*d.value(g.id, DacTable::Accepted, c, k), present);
                    QCOMPARE(*d.value(g.id, DacTable::Factory, c, k), qint16(sample(DacTable::Factory, g.id, c, k)));
                    QCOMPARE(*d.value(g.id, DacTable::Initial, c, k), qint16(sample(DacTable::Initial, g.id, c, k)));
                }
            }
        }
        // Scan set 4 (index 3) was not written and keeps its zeros.
        QCOMPARE(*d.value(DacGroupId::L, DacTable::Present, 0, 3), qint16(0));
        QCOMPARE(h.core->scanSets.title(3), ScanSets::defaultTitle(3));
        QVERIFY(d.FileIsOpen);
        QVERIFY(d.FileOpenForInput);
        QVERIFY(!d.DataChanged);
    }

    // A file opened offline and saved under another name keeps its scan sets,
    // although no enable box is marked.
    void openedFile_savedAgain_keepsItsScanSets()
    {
        QTemporaryDir dir;
        const QString first = dir.filePath("first.mdv");
        const QStringList body = {"\"NumScanSets\",6", "\"ScanSet\",2", "\"ScanSetName\",\"Night\"",
                                  "\"Vertical Size\",140,120,125", "\"Horiz S Cap\",70,60,65"};
        QVERIFY(writeBytes(first, fileOf(body)));
        CoreHarness h;
        initCore(h);
        attach(*h.core, first);
        QVERIFY(ReadMDF(h.core->mdf()));
        QCOMPARE(h.core->scanSets.mark(2), 0);

        const QString second = dir.filePath("second.mdv");
        attach(*h.core, second);
        h.core->data.FileOpenForInput = false;
        QVERIFY(WriteMDF(h.core->mdf()));
        const QString text = QString::fromLatin1(readBytes(second));
        QVERIFY(text.contains("\"ScanSet\",2\r\n\"ScanSetName\",\"Night\"\r\n"));
        QVERIFY(text.contains("\"Vertical Size\",140,120,125\r\n"));
        QVERIFY(text.contains("\"Horiz S Cap\",70,60,65\r\n"));
        // Scan sets neither marked nor loaded stay out, as before.
        QVERIFY(!text.contains("\"ScanSet\",0\r\n"));
    }

    // Identity lines restore the numbers, versions, counters and limits, and
    // show them on the ID panel.
    void reader_restoresIdentity()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("id.mdv");
        QVERIFY(writeBytes(path, fileOf({
            "\"Model Number: \",\"TM-2100\"", "\"Serial Number: \",\"SN-42\"", "\"Part Number: \",\"P-7\"",
            "\"CRT Serial Number: \",\"CRT-SN\"", "\"CRT Part Number: \",\"CRT-P\"",
            "\"Firmware Version: \",\"V 2.25\"", "\"ROM Version: \",\"V 1.05\"",
            "\"Operating Hours: \",\"12:03:04:05\"", "\"Operating Cycles: \",\"77\"",
            "\"HV Upper Limit: \",\"1250.6\"", "\"HV Lower Limit: \",\"-3\"", "\"NumScanSets\",6"})));
        CoreHarness h;
        initCore(h);
        attach(*h.core, path);
        QVERIFY(ReadMDF(h.core->mdf()));
        QCOMPARE(h.messages.messages, QStringList());
        const MonitorData &d = h.core->data;
        QCOMPARE(d.ModelNumber, QStringLiteral("TM-2100"));
        QCOMPARE(d.SerialNumber, QStringLiteral("SN-42"));
        QCOMPARE(d.PartNumber, QStringLiteral("P-7"));
        QCOMPARE(d.CrtSerialNumber, QStringLiteral("CRT-SN"));
        QCOMPARE(d.CrtPartNumber, QStringLiteral("CRT-P"));
        QCOMPARE(d.FirmwareVersion, QStringLiteral("V 2.25"));
        QCOMPARE(d.MonitorType, qint16(225));
        QCOMPARE(d.RomVersion, QStringLiteral("V 1.05"));
        QCOMPARE(d.OperatingTimeText, QStringLiteral("12:03:04:05"));
        QCOMPARE(d.OperatingCyclesText, QStringLiteral("77"));
        QCOMPARE(d.HvUpperLimit, qint16(1251));
        QCOMPARE(d.HvLowerLimit, qint16(-3));
        QCOMPARE(h.core->controls.text("frmID", "lblModel"), std::optional<QString>("TM-2100"));
        QCOMPARE(h.core->controls.text("frmID", "lblSerial"), std::optional<QString>("SN-42"));
    }

    void reader_refusesWhatIsNoDacFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        QTest::newRow("short") << QByteArray("\"Velloran Monitor DAC Value File\"\r\n\"Version 2.0\"\r\n")
                               << "File f.mdv is not a valid .mdv file";
        QByteArray header = fileOf({"\"NumScanSets\",6"});
        QByteArray wrongCase = header;
        wrongCase.replace("Velloran Monitor DAC", "Velloran Monitor Dac");
        QTest::newRow("header case") << wrongCase << "File f.mdv is not in .mdv format";
        QByteArray wrongVersion = header;
        wrongVersion.replace("Version 2.0", "Version 2.1");
        QTest::newRow("version") << wrongVersion << "File f.mdv is a wrong version number";
    }
    void reader_refusesWhatIsNoDacFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath("f.mdv");
        QVERIFY(writeBytes(path, bytes));
        CoreHarness h;
        initCore(h);
        attach(*h.core, path);
        QVERIFY(!ReadMDF(h.core->mdf()));
        QCOMPARE(h.messages.messages, QStringList({message}));
        QVERIFY(!h.core->data.FileIsOpen);
        QCOMPARE(h.core->data.NumScanSets, qint16(6));
    }

    // Errors inside the file end the read with one message; what was read
    // before stays.
    void reader_errorsEndTheRead_data()
    {
        QTest::addColumn<QStringList>("body");
        QTest::addColumn<QString>("message"); // %1: position of the last line
        QTest::newRow("count too large") << QStringList({"\"NumScanSets\",6", "\"NumLDacs\",9"})
                                         << "Bad Input - NumLDacs Value Too Large\rLine %1";
        QTest::newRow("count below zero") << QStringList({"\"NumScanSets\",6", "\"NumLDacs\",-1"})
                                          << "Bad Input - NumLDacs Value Too Small\rLine %1";
        QTest::newRow("identity line ends early") << QStringList({"\"Model Number: \""})
                                                  << "In ReadMDF, Error # 62: Input past end of file";
        QTest::newRow("HV limit beyond 16 bits") << QStringList({"\"HV Upper Limit: \",\"99999 V\""})
                                                 << "In ReadMDF, Error # 6: Overflow";
        QTest::newRow("scan set too large") << QStringList({"\"NumScanSets\",6", "\"ScanSet\",6"})
                                            << "Bad Input - ScanSet Value Too Large\rLine %1";
        QTest::newRow("no name") << QStringList({"\"ScanSet\",1", "\"ScanSetName\",\"\""})
                                 << "Bad Input - ScanSetName Has No Name Assigned\rLine %1";
        QTest::newRow("unknown name")
            << QStringList({"\"ScanSet\",1", "\"Master Contrast\",10,20,30", "\"master contrast\",1,2,3"})
            << "Name Not Found: master contrast\r\nLine %1\r\nScanSetReading: 1";
        QTest::newRow("not a number") << QStringList({"\"ScanSet\",1", "\"Master Contrast\",10,20,30",
                                                      "\"Red Gain\",abc,1,2"})
                                      << "In ReadMDF, Error # 13: Type mismatch";
        QTest::newRow("beyond 16 bits") << QStringList({"\"ScanSet\",1", "\"Master Contrast\",10,20,30",
                                                        "\"Red Gain\",1,40000,2"})
                                        << "In ReadMDF, Error # 6: Overflow";
        QTest::newRow("line ends early") << QStringList({"\"ScanSet\",1", "\"Master Contrast\",10,20,30",
                                                         "\"Red Gain\",1,2"})
                                         << "In ReadMDF, Error # 62: Input past end of file";
        QTest::newRow("negative scan set")
            << QStringList({"\"ScanSet\",1", "\"Master Contrast\",10,20,30", "\"ScanSet\",-1", "\"Red Gain\",1,2,3"})
            << "In ReadMDF, Error # 9: Subscript out of range";
    }
    void reader_errorsEndTheRead()
    {
        QFETCH(QStringList, body);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath("e.mdv");
        QVERIFY(writeBytes(path, fileOf(body + QStringList({"\"NumBDacs\",1"}))));
        CoreHarness h;
        initCore(h);
        h.core->data.setValue(DacGroupId::L, DacTable::Present, 2, 1, 55);
        attach(*h.core, path);
        QVERIFY(!ReadMDF(h.core->mdf()));
        const qint64 last = positionOf(body, int(body.size()) - 1);
        QCOMPARE(h.messages.messages, QStringList({message.contains("%1") ? message.arg(last) : message}));
        const MonitorData &d = h.core->data;
        QCOMPARE(d.count(DacGroupId::L), qint16(8));
        QCOMPARE(d.count(DacGroupId::B), qint16(2)); // the line after the error is not read
        QVERIFY(d.FileIsOpen);                        // the file stays attached
        if (body.contains("\"Master Contrast\",10,20,30")) {
            QCOMPARE(*d.value(DacGroupId::L, DacTable::Present, 0, 1), qint16(10));
            QCOMPARE(*d.value(DacGroupId::L, DacTable::Initial, 0, 1), qint16(30));
        }
        QCOMPARE(*d.value(DacGroupId::L, DacTable::Present, 2, 1), qint16(55));
    }

    // Lines far beyond byte 32767 are read like the first ones.
    void reader_largeFileReadsCompletely()
    {
        QStringList body;
        for (int i = 0; i < 1200; ++i)
            body << QStringLiteral("\"#\",\"comment line %1 to make the file long\"").arg(i);
        body << "\"ScanSet\",4" << "\"ScanSetName\",\"Far Away\"" << "\"Horiz S Cap\",101,102,103";
        const QByteArray bytes = fileOf(body);
        QVERIFY(bytes.size() > 40000);
        QTemporaryDir dir;
        const QString path = dir.filePath("big.mdv");
        QVERIFY(writeBytes(path, bytes));
        CoreHarness h;
        initCore(h);
        attach(*h.core, path);
        QVERIFY(ReadMDF(h.core->mdf()));
        QCOMPARE(h.messages.messages, QStringList());
        QCOMPARE(*h.core->data.value(DacGroupId::H, DacTable::Present, 8, 4), qint16(101));
        QCOMPARE(*h.core->data.value(DacGroupId::H, DacTable::Initial, 8, 4), qint16(103));
        QCOMPARE(h.core->scanSets.title(4), QStringLiteral("Far Away"));
        QCOMPARE(h.core->data.ReadPosition, positionOf(body, int(body.size()) - 1));
    }

    // A save that cannot complete reports the file and the reason and leaves
    // an existing file untouched.
    void save_failure_keepsTheOldFile()
    {
        QTemporaryDir dir;
        // Whose parent is a regular file: nothing can be created there.
        QVERIFY(writeBytes(dir.filePath("plain"), "x"));
        const QString underFile = dir.filePath("plain/image.mdv");
        // An existing file whose name leaves no room for a temporary file beside it.
        const QString longName = dir.filePath(QString(250, QLatin1Char('n')) + ".mdv");
        const QByteArray old = fileOf({"\"NumScanSets\",6"});
        QVERIFY(writeBytes(longName, old));

        for (const QString &path : {underFile, longName}) {
            CoreHarness h;
            initCore(h);
            h.core->scanSets.setMark(0, 1);
            h.dialogs.saveAnswers << path;
            h.core->data.DataChanged = true;
            h.core->fileActions().saveAs();
            QCOMPARE(h.messages.messages.size(), 1);
            const QString m = h.messages.messages.first();
            QVERIFY2(m.contains(path) && m.contains("Reason: ") && m.contains("not been changed"), qPrintable(m));
            QVERIFY(h.core->data.DataChanged); // still unsaved
            QVERIFY(!h.core->controls.text(win::frmMain, QString()).has_value());
        }
        QCOMPARE(readBytes(longName), old);
    }

    // No monitor: the image is written at once, as it stands.
    void saveAs_offline_writesAtOnceAndRemembersTheFolder()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("saved.mdv");
        CoreHarness h;
        initCore(h);
        h.core->settings.write(AppName::Tarvikon, SettingsSection::Configs, "FileSaveInitDir", "/srv/mdv/");
        h.core->data.DataChanged = true;
        h.dialogs.saveAnswers << path;
        h.core->fileActions().saveAs();
        QCOMPARE(h.messages.messages, QStringList());
        QCOMPARE(h.dialogs.saveRequests.size(), 1);
        const FileDialogOptions &o = h.dialogs.saveRequests.first();
        QCOMPARE(o.initialDir, QStringLiteral("/srv/mdv/"));
        QCOMPARE(o.filter, QStringLiteral("Monitor Data Files (*.mdv);;All Files (*)"));
        QVERIFY(o.promptOverwrite);
        QVERIFY(o.proposedName.isEmpty());
        QVERIFY(readBytes(path).startsWith("\"Velloran Monitor DAC Value File\"\r\n\"Version 2.0\"\r\n"));
        QVERIFY(!readBytes(path).contains("\"Model Number: \""));
        QVERIFY(!h.core->data.DataChanged);
        QVERIFY(!h.core->data.FileIsOpen);
        QCOMPARE(h.core->data.FilePath, path);
        QCOMPARE(h.core->controls.text(win::frmMain, QString()),
                 std::optional<QString>("TVK Monitor Tool V" + applicationVersionText() + " -- saved.mdv"));
        const QString folder = dir.path() + "/";
        QCOMPARE(h.core->settings.read(AppName::Tarvikon, SettingsSection::Configs, "FileSaveInitDir", ""), folder);
        QCOMPARE(h.core->FileSaveInitDir, folder);
        // Nothing was asked of the link.
        QVERIFY(queuedCommands(*h.core).isEmpty());
        QVERIFY(!h.core->fullRead.isRunning());
        QVERIFY(!h.core->fileSaver.isBusy());

        // Cancelling the dialog changes nothing.
        h.core->fileActions().saveAs();
        QCOMPARE(h.core->data.FilePath, path);
    }

    void openAndClose_askToSave_andSetTheTitle()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("in.mdv");
        QVERIFY(writeBytes(path, fileOf({"\"NumScanSets\",6", "\"ScanSet\",2", "\"Red Gain\",5,6,7"})));
        CoreHarness h;
        initCore(h);
        h.core->data.DataChanged = true;
        h.messages.yesNoAnswer = true; // save, though no file is open: reported, and the open goes on
        h.dialogs.openAnswers << path;
        h.core->fileActions().open();
        QCOMPARE(h.messages.questions, QStringList({kSaveChangesQuestion}));
        QCOMPARE(h.messages.messages, QStringList({"InWriteMDF, FileIsOpen is False"}));
        const FileDialogOptions &o = h.dialogs.openRequests.first();
        QVERIFY(o.mustExist);
        QCOMPARE(o.filter, QStringLiteral("Monitor Data Files (*.mdv);;Text Files (*.txt);;All files (*)"));
        QCOMPARE(*h.core->data.value(DacGroupId::L, DacTable::Present, 2, 2), qint16(5));
        QVERIFY(h.core->shell.mainTitle().endsWith(" -- in.mdv"));
        QVERIFY(h.core->data.FileIsOpen);
        QVERIFY(!h.core->data.DataChanged);

        // Changed again, then closed with Yes: written back to the same path.
        h.core->data.setValue(DacGroupId::L, DacTable::Present, 2, 2, 9);
        h.core->scanSets.setMark(2, 1);
        h.core->data.DataChanged = true;
        h.core->fileActions().close();
        QCOMPARE(h.messages.questions.size(), 2);
        QVERIFY(readBytes(path).contains("\"Red Gain\",9,6,7\r\n"));
        QVERIFY(h.core->shell.mainTitle().endsWith(" -- (No File)"));
        QCOMPARE(h.core->data.FilePath, path);

        // Unchanged: no question; a cancelled open leaves everything.
        h.core->fileActions().open();
        QCOMPARE(h.messages.questions.size(), 2);
        QCOMPARE(h.core->data.FilePath, path);
    }
};

QTEST_GUILESS_MAIN(TestDacFile)
#include "test_dacfile.moc"

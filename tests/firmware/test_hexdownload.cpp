// The download engine on its own: replies handed in as the dispatcher would,
// commands recorded, time moved by hand.

#include "apptest.h"
#include "firmware/hexdownload.h"
#include "hexgen.h"
#include "link/seriallink.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace tvk;
using namespace tvk::test;

namespace {

using Tones = QList<QPair<int, int>>;
const Tones kSuccess = {{250, 250}, {500, 250}, {1000, 250}};
const Tones kFailure = {{250, 250}, {125, 250}, {125, 250}};
const Tones kResend = {{250, 250}, {125, 250}};

struct Rig {
    QTemporaryDir dir;
    ManualClock clock;
    RecordingBeeper beeper;
    RecordingMessages messages;
    QStringList sent;
    int dropped = 0;
    HexDownload engine{HexDownload::Seams{clock, beeper, messages,
                                          [this](const QString &c) { sent << c; },
                                          [this] { ++dropped; }}};
    QList<int> keepAlive;

    Rig()
    {
        QObject::connect(&engine, &HexDownload::keepAliveInterval, [this](int ms) { keepAlive << ms; });
    }
    QString write(const QByteArray &text, const QString &name = QStringLiteral("fw.hex"))
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(text);
        return path;
    }
    // Started and the erase acknowledged: the first record is out.
    void flash(const QByteArray &text)
    {
        QVERIFY(engine.start(HexDownload::Target::Flash, write(text)));
        engine.HandleEraseReply(QStringLiteral("F3\r\nFlash Erased\r\n#"));
    }
    Tones tones() const
    {
        Tones t;
        for (const auto &b : beeper.beeps)
            t << qMakePair(b.first, b.second);
        return t;
    }
    // The record lines sent, without line ends.
    QStringList records() const
    {
        QStringList r;
        for (const QString &c : sent)
            if (c.startsWith(u':'))
                r << c.trimmed();
        return r;
    }
};

const QByteArray kThree = ":020000040000FA\r\n:0400000001020304F2\r\n:00000001FF\r\n";

// The text with the checksum of line `line` (from 1) changed.
QByteArray withBadChecksum(const QByteArray &text, int line)
{
    QList<QByteArray> lines = text.split('\n');
    QByteArray &l = lines[line - 1];
    const qsizetype last = l.endsWith('\r') ? l.size() - 2 : l.size() - 1;
    l[last] = l.at(last) == '0' ? '1' : '0';
    return lines.join('\n');
}

} // namespace

class TestHexDownload : public QObject {
    Q_OBJECT
private slots:
    void wholeTransferRecordByRecord();
    void preparingReplies_data();
    void preparingReplies();
    void sramNeedsApplicationPrompt();
    void refusalsUpToTheLimit();
    void refusalAndPromptIsNoAcknowledgement();
    void endOfFileReplies_data();
    void endOfFileReplies();
    void abortTakesEffectAtNextReply();
    void unrecognisedReply();
    void wholeFileCheck_data();
    void wholeFileCheck();
    void badFileSendsNothing();
    void onlyTheCheckedPartIsSent();
    void gaugeNeverReachesHundredBeforeTheEnd();
    void oneTransferAtATime();
    void silenceAndLostLinkEndCleanly();
    void repliesOutsideATransferAreIgnored();
    void givingUpTakesBackOnlyTheDownloadsCommands();
};

void TestHexDownload::wholeTransferRecordByRecord()
{
    Rig r;
    QSignalSpy active(&r.engine, &HexDownload::activeChanged);
    QVERIFY(r.engine.start(HexDownload::Target::Flash, r.write(kThree)));
    QCOMPARE(r.sent, QStringList{QStringLiteral("bf3\r\n")});
    QCOMPARE(r.engine.state(), HexDownload::State::Preparing);
    QVERIFY(!r.engine.DownloadActive());
    QVERIFY(!r.engine.progress().isShown());

    r.engine.HandleEraseReply(QStringLiteral("F3\r\n#"));
    QCOMPARE(r.records(), QStringList{QStringLiteral(":020000040000FA")});
    QCOMPARE(r.sent.last(), QStringLiteral(":020000040000FA\r\n"));
    QVERIFY(r.engine.DownloadActive());
    QVERIFY(r.engine.progress().isShown());
    QCOMPARE(r.engine.progress().retryText(), QStringLiteral("Retries:"));
    QCOMPARE(r.engine.RecordNumber(), 1);
    QCOMPARE(r.keepAlive, QList<int>{7000});

    // Nothing goes out until the monitor acknowledges.
    r.clock.advance(5000);
    QCOMPARE(r.records().size(), 1);

    r.engine.HandleRecordReply(QStringLiteral("020000040000FA\r\n#"));
    QCOMPARE(r.records().last(), QStringLiteral(":0400000001020304F2"));
    QCOMPARE(r.engine.RecordNumber(), 2);
    QCOMPARE(r.engine.BytesSent(), qint64(19));
    r.engine.HandleRecordReply(QStringLiteral("0400000001020304F2\r\n$")); // the boot block's prompt acknowledges too
    QCOMPARE(r.records().last(), QStringLiteral(":00000001FF"));
    QCOMPARE(r.keepAlive.size(), 3);

    r.engine.HandleRecordReply(QStringLiteral("00000001FF\r\nEOF Checksum OK\r\n#"));
    QCOMPARE(r.tones(), kSuccess);
    QVERIFY(r.messages.messages.isEmpty());
    QVERIFY(!r.engine.DownloadActive());
    QVERIFY(!r.engine.isFileOpen());
    QVERIFY(!r.engine.progress().isShown());
    QCOMPARE(r.engine.state(), HexDownload::State::Idle);
    QCOMPARE(active.size(), 2);
    QCOMPARE(r.records().size(), 3);
}

void TestHexDownload::preparingReplies_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<bool>("starts");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("beeps");
    QTest::newRow("application prompt") << "F3\r\n#" << true << "" << "" << 0;
    QTest::newRow("boot prompt") << "f3\r\n$" << true << "" << "" << 0;
    QTest::newRow("refused") << "F3\r\nErase Failed!"
                             << false << "Message was 'F3\r\nErase Failed!'" << "Flash Block Erase Failed" << 0;
    QTest::newRow("no prompt") << "F3 what" << false << "Bad response to bf3 erase command" << "" << 1;
}

void TestHexDownload::preparingReplies()
{
    QFETCH(QString, reply);
    QFETCH(bool, starts);
    QFETCH(QString, message);
    QFETCH(QString, title);
    QFETCH(int, beeps);
    Rig r;
    QVERIFY(r.engine.start(HexDownload::Target::Flash, r.write(kThree)));
    r.engine.HandleEraseReply(reply);
    QCOMPARE(r.records().size(), starts ? 1 : 0);
    QCOMPARE(r.engine.DownloadActive(), starts);
    QCOMPARE(r.engine.isFileOpen(), starts);
    QCOMPARE(r.engine.isBusy(), starts);
    QCOMPARE(r.beeper.beeps.size(), beeps);
    if (message.isEmpty()) {
        QVERIFY(r.messages.messages.isEmpty());
    } else {
        QCOMPARE(r.messages.messages, QStringList{message});
        QCOMPARE(r.messages.titles, QStringList{title});
    }
}

void TestHexDownload::sramNeedsApplicationPrompt()
{
    Rig r;
    QVERIFY(r.engine.start(HexDownload::Target::Sram, r.write(kThree)));
    QCOMPARE(r.sent, QStringList{QStringLiteral("bs\r\n")});
    // The flash reply does not belong to an SRAM load.
    r.engine.HandleEraseReply(QStringLiteral("F3\r\n#"));
    QVERIFY(r.records().isEmpty());
    r.engine.HandleSramLoadReply(QStringLiteral("S\r\n$"));
    QCOMPARE(r.messages.messages, QStringList{QStringLiteral("Bad response to bs command")});
    QCOMPARE(r.tones(), (Tones{{250, 250}}));
    QVERIFY(!r.engine.isBusy());

    QVERIFY(r.engine.start(HexDownload::Target::Sram, r.write(kThree)));
    r.engine.HandleSramLoadReply(QStringLiteral("S\r\nSRAM Ready\r\n#"));
    QCOMPARE(r.records().size(), 1);
    QVERIFY(r.keepAlive.isEmpty()); // not for the first SRAM record
    r.engine.HandleRecordReply(QStringLiteral("020000040000FA\r\n#"));
    QCOMPARE(r.keepAlive, QList<int>{7000});
}

void TestHexDownload::refusalsUpToTheLimit()
{
    Rig r;
    r.flash(kThree);
    r.engine.HandleRecordReply(QStringLiteral("020000040000FA\r\n#"));
    const QString second = QStringLiteral(":0400000001020304F2");

    // Five refusals, then an acknowledgement: the transfer goes on and the
    // next record starts with a clean count.
    for (int i = 1; i <= 5; ++i) {
        r.engine.HandleRecordReply(QStringLiteral("0400000001020304F2\r\nChecksum Error!"));
        QCOMPARE(r.records().last(), second);
        QCOMPARE(r.engine.RecordRetries(), i);
        QCOMPARE(r.engine.progress().retryText(), QStringLiteral("Retries: %1").arg(i));
    }
    QCOMPARE(r.records().count(second), 6);
    QCOMPARE(r.engine.RecordNumber(), 2);
    QCOMPARE(r.beeper.beeps.size(), 10);
    QVERIFY(r.messages.messages.isEmpty());
    r.engine.HandleRecordReply(QStringLiteral("0400000001020304F2\r\n#"));
    QCOMPARE(r.engine.RecordRetries(), 0);
    QCOMPARE(r.records().last(), QStringLiteral(":00000001FF"));

    // The last record refused six times: the transfer gives up.
    for (int i = 0; i < 5; ++i)
        r.engine.HandleRecordReply(QStringLiteral("00000001FF\r\nBad!"));
    QVERIFY(r.engine.DownloadActive());
    r.beeper.beeps.clear();
    r.engine.HandleRecordReply(QStringLiteral("00000001FF\r\nBad!"));
    QCOMPARE(r.records().count(QStringLiteral(":00000001FF")), 6);
    QCOMPARE(r.tones(), kResend);
    QCOMPARE(r.messages.messages,
             QStringList{QStringLiteral("Retry Limit exceeded, quitting.\r\nRecord number was 3")});
    QCOMPARE(r.messages.titles, QStringList{QStringLiteral("Download Error")});
    QVERIFY(!r.engine.DownloadActive());
    QVERIFY(!r.engine.isFileOpen());
    QVERIFY(!r.engine.progress().isShown());
    // The label counts every retry of the transfer.
    QCOMPARE(r.engine.progress().retryText(), QStringLiteral("Retries: 11"));
}

void TestHexDownload::refusalAndPromptIsNoAcknowledgement()
{
    Rig r;
    r.flash(kThree);
    r.engine.HandleRecordReply(QStringLiteral("020000040000FA\r\nRecord Refused!\r\n#"));
    QCOMPARE(r.records(), QStringList(2, QStringLiteral(":020000040000FA")));
    QCOMPARE(r.engine.RecordRetries(), 1);
}

void TestHexDownload::endOfFileReplies_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<Tones>("tones");
    QTest::addColumn<QString>("message");
    QTest::newRow("checksum failed") << "00000001FF\r\nEOF Checksum Failed!" << kFailure
                                     << "Failed checksum after booting flash.\r\n"
                                        "Result was '00000001FF\r\nEOF Checksum Failed!'\r\n"
                                        "Try again or check Flash Chip, Pin 1 = +12V.";
    QTest::newRow("neither fish nor fowl") << "00000001FF EOF" << Tones{}
                                           << "EOF error, result neither fish nor fowl.\r\n"
                                              "Result was '00000001FF EOF'\r\n"
                                              "Try again, check connection & power.";
}

void TestHexDownload::endOfFileReplies()
{
    QFETCH(QString, reply);
    QFETCH(Tones, tones);
    QFETCH(QString, message);
    Rig r;
    r.flash(":00000001FF\r\n");
    r.engine.HandleRecordReply(reply);
    QCOMPARE(r.tones(), tones);
    QCOMPARE(r.messages.messages, QStringList{message});
    QCOMPARE(r.messages.titles, QStringList{QStringLiteral("Download Error")});
    QVERIFY(!r.engine.isBusy());
    QVERIFY(!r.engine.isFileOpen());
    QVERIFY(!r.engine.progress().isShown());
}

void TestHexDownload::abortTakesEffectAtNextReply()
{
    Rig r;
    r.flash(kThree);
    r.engine.Abort();
    QVERIFY(r.engine.DownloadActive());
    QVERIFY(r.engine.progress().isShown());
    QCOMPARE(r.records().size(), 1);
    // Even an acknowledgement ends it now: low tones, no message, nothing sent.
    r.engine.HandleRecordReply(QStringLiteral("020000040000FA\r\n#"));
    QCOMPARE(r.tones(), kFailure);
    QVERIFY(r.messages.messages.isEmpty());
    QCOMPARE(r.records().size(), 1);
    QVERIFY(!r.engine.DownloadActive());
    QVERIFY(!r.engine.DownloadAbort());
    QVERIFY(!r.engine.isFileOpen());
    QVERIFY(!r.engine.progress().isShown());
}

void TestHexDownload::unrecognisedReply()
{
    Rig r;
    r.flash(kThree);
    r.engine.HandleRecordReply(QStringLiteral("020000040000FA garbage"));
    QCOMPARE(r.tones(), (Tones{{250, 250}, {125, 250}, {250, 125}, {125, 250}}));
    QCOMPARE(r.messages.messages, QStringList{QStringLiteral("Record was unrecognized type, quitting.\r\n"
                                                             "Record = '020000040000FA garbage'")});
    QVERIFY(!r.engine.isBusy());
    QVERIFY(!r.engine.isFileOpen());
}

void TestHexDownload::wholeFileCheck_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("line"); // 0: the file passes
    QTest::addColumn<QString>("reason");
    const QByteArray big = intelHex(patternImage(3100));
    const int bigLines = int(big.count('\n'));
    QTest::newRow("good") << big << 0 << QString();
    QTest::newRow("LF only, lower case, blank lines and ^Z after the end")
        << QByteArray(":020000040000fa\n:0400000001020304f2\n:00000001FF\n\r\n  \n\x1a") << 0 << QString();
    QTest::newRow("bad checksum at line 3000")
        << withBadChecksum(big, 3000) << 3000 << QStringLiteral("bad checksum");
    QTest::newRow("no end record") << big.left(big.lastIndexOf(":00000001FF")) << bigLines
                                   << QStringLiteral("no end-of-file record");
    QTest::newRow("empty") << QByteArray() << 1 << QStringLiteral("no end-of-file record");
    QTest::newRow("unknown type") << QByteArray(hexRecord(0x06, 0, "\x01") + "\r\n:00000001FF\r\n") << 1
                                  << QStringLiteral("unknown record type 0x06");
    QTest::newRow("extended address of three bytes")
        << QByteArray(hexRecord(0x04, 0, "\x01\x02\x03") + "\r\n:00000001FF\r\n") << 1
        << QStringLiteral("record length");
    QTest::newRow("byte count does not match") << QByteArray(":0500000001020304F1\r\n:00000001FF\r\n") << 1
                                               << QStringLiteral("record length");
    QTest::newRow("blank first line") << QByteArray("\r\n:00000001FF\r\n") << 1 << QStringLiteral("not a HEX record");
    QTest::newRow("space first") << QByteArray(" :00000001FF\r\n") << 1 << QStringLiteral("not a HEX record");
    QTest::newRow("not hexadecimal") << QByteArray(":020000040000FA\r\n:04000000010203G4F2\r\n:00000001FF\r\n") << 2
                                     << QStringLiteral("not a HEX record");
    QTest::newRow("odd number of digits") << QByteArray(":00000001FF0\r\n") << 1 << QStringLiteral("not a HEX record");
    // A carriage return inside a line would split the command on the wire.
    QTest::newRow("lines ended by CR alone")
        << QByteArray(":020000040000FA\r:00000001FF\r") << 1 << QStringLiteral("not a HEX record (control character)");
    QTest::newRow("control character in a record")
        << QByteArray(":020000040000FA\r\n:0400\x1b" "0001020304F2\r\n:00000001FF\r\n") << 2
        << QStringLiteral("not a HEX record (control character)");
    QTest::newRow("data after the end") << QByteArray(":00000001FF\r\n\r\n:0400000001020304F2\r\n") << 3
                                        << QStringLiteral("data after the end-of-file record");
}

void TestHexDownload::wholeFileCheck()
{
    QFETCH(QByteArray, file);
    QFETCH(int, line);
    QFETCH(QString, reason);
    const HexFileCheck check = checkHexFile(file);
    QCOMPARE(check.ok, line == 0);
    QCOMPARE(check.line, line);
    QVERIFY2(check.reason.startsWith(reason), qPrintable(check.reason));
    if (check.ok) {
        QCOMPARE(check.records, int(file.left(check.length).count('\n')));
        QVERIFY(file.left(check.length).endsWith(":00000001FF\r\n")
                || file.left(check.length).endsWith(":00000001FF\n"));
    }
}

void TestHexDownload::badFileSendsNothing()
{
    Rig r;
    const QString path = r.write(withBadChecksum(intelHex(patternImage(3100)), 3000));
    QVERIFY(!r.engine.start(HexDownload::Target::Flash, path, {QStringLiteral("cz0\r\n"), QStringLiteral("cb0\r\n")}));
    QVERIFY(r.sent.isEmpty());
    QVERIFY(!r.engine.isBusy());
    QVERIFY(!r.engine.isFileOpen());
    QCOMPARE(r.messages.titles, QStringList{QStringLiteral("File Format Error")});
    const QString text = r.messages.messages.value(0);
    QVERIFY2(text.contains(QDir::toNativeSeparators(path)) && text.contains(QStringLiteral("Line 3000: bad checksum")),
             qPrintable(text));
    // Nor does the silence watch run for it.
    r.clock.advance(HexDownload::kPrepareSilenceMs * 2);
    QCOMPARE(r.messages.messages.size(), 1);

    // A good file: the commands asked for first, then the erase.
    QVERIFY(r.engine.start(HexDownload::Target::Flash, r.write(kThree), {QStringLiteral("cz0\r\n"), QStringLiteral("cb0\r\n")}));
    QCOMPARE(r.sent, (QStringList{"cz0\r\n", "cb0\r\n", "bf3\r\n"}));
}

void TestHexDownload::onlyTheCheckedPartIsSent()
{
    // The end record acknowledged without "EOF": what follows it in the file
    // (blank lines here) is never read as a record, and the transfer ends
    // with a message instead of waiting for ever.
    Rig r;
    r.flash(QByteArray(kThree) + "\r\n\r\n");
    r.engine.HandleRecordReply(QStringLiteral("020000040000FA\r\n#"));
    r.engine.HandleRecordReply(QStringLiteral("0400000001020304F2\r\n#"));
    r.engine.HandleRecordReply(QStringLiteral("00000001FF\r\n#"));
    QCOMPARE(r.records().size(), 3);
    QCOMPARE(r.messages.messages.size(), 1);
    QVERIFY(r.messages.messages.first().contains(QStringLiteral("ended before")));
    QVERIFY(r.messages.messages.first().contains(QStringLiteral("Record number was 3")));
    QVERIFY(!r.engine.isBusy());
    QVERIFY(!r.engine.DownloadActive());
    QVERIFY(!r.engine.isFileOpen());
    QVERIFY(!r.engine.progress().isShown());
}

void TestHexDownload::gaugeNeverReachesHundredBeforeTheEnd()
{
    Rig r;
    const QByteArray text = intelHex(patternImage(50));
    r.flash(text);
    QList<int> seen;
    int last = -1;
    bool rising = true;
    QObject::connect(&r.engine.progress(), &DownloadProgress::changed, [&] {
        if (r.engine.progress().gauge() < last)
            rising = false;
        last = r.engine.progress().gauge();
        seen << last;
    });
    while (r.engine.isBusy()) {
        const QString record = r.records().last().mid(1);
        const bool end = record == QStringLiteral("00000001FF");
        if (!end)
            QVERIFY(r.engine.progress().gauge() < 100);
        r.engine.HandleRecordReply(record + (end ? QStringLiteral("\r\nEOF\r\n#") : QStringLiteral("\r\n#")));
    }
    QVERIFY(rising);
    QVERIFY(!seen.isEmpty());
    QVERIFY(*std::max_element(seen.begin(), seen.end()) <= 100);
    // Before the end record: everything but the first record and line ends.
    const int lines = int(text.count('\n'));
    const qint64 counted = text.size() - 2 * lines - (text.indexOf('\r'));
    QCOMPARE(r.engine.BytesSent(), counted);
    seen.removeAll(100);
    QCOMPARE(seen.last(), int(counted * 100 / text.size()));
    QCOMPARE(r.tones(), kSuccess);
}

void TestHexDownload::oneTransferAtATime()
{
    Rig r;
    r.flash(kThree);
    QVERIFY(!r.engine.start(HexDownload::Target::Sram, r.write(kThree, QStringLiteral("other.hex"))));
    QVERIFY(r.messages.messages.value(0).contains(QStringLiteral("already running")));
    QCOMPARE(r.sent.size(), 2); // "bf3" and the first record only
    // The running transfer is untouched.
    r.engine.HandleRecordReply(QStringLiteral("020000040000FA\r\n#"));
    QCOMPARE(r.records().last(), QStringLiteral(":0400000001020304F2"));

    // A file that cannot be opened: path and reason, nothing queued.
    Rig idle;
    const QString missing = idle.dir.filePath(QStringLiteral("missing.hex"));
    QVERIFY(!idle.engine.start(HexDownload::Target::Flash, missing, {QStringLiteral("cz0\r\n")}));
    QVERIFY(idle.messages.messages.value(0).contains(QDir::toNativeSeparators(missing)));
    QVERIFY(idle.sent.isEmpty());
    QVERIFY(!idle.engine.isBusy());
}

void TestHexDownload::silenceAndLostLinkEndCleanly()
{
    {
        Rig r;
        r.flash(kThree);
        r.clock.advance(HexDownload::kRecordSilenceMs - 1);
        QVERIFY(r.engine.DownloadActive());
        r.clock.advance(1);
        QVERIFY(!r.engine.isBusy());
        QVERIFY(!r.engine.isFileOpen());
        QVERIFY(!r.engine.progress().isShown());
        QCOMPARE(r.dropped, 1);
        QCOMPARE(r.messages.messages,
                 QStringList{QStringLiteral("The monitor stopped answering, quitting.\r\nRecord number was 1")});
        // Every reply re-arms the watch.
        Rig s;
        s.flash(kThree);
        s.clock.advance(HexDownload::kRecordSilenceMs - 100);
        s.engine.HandleRecordReply(QStringLiteral("020000040000FA\r\n#"));
        s.clock.advance(HexDownload::kRecordSilenceMs - 100);
        QVERIFY(s.engine.DownloadActive());
    }
    {
        Rig r;
        r.flash(kThree);
        r.engine.linkLost(QStringLiteral("The serial port was lost: gone"));
        QVERIFY(!r.engine.isBusy());
        QVERIFY(!r.engine.isFileOpen());
        QVERIFY(!r.engine.DownloadActive());
        QVERIFY(r.messages.messages.value(0).contains(QStringLiteral("gone")));
        // Nothing more happens later.
        r.clock.advance(HexDownload::kPrepareSilenceMs * 2);
        QCOMPARE(r.messages.messages.size(), 1);
        QCOMPARE(r.dropped, 1); // once, when it gave up
    }
}

void TestHexDownload::repliesOutsideATransferAreIgnored()
{
    Rig r;
    r.engine.HandleEraseReply(QStringLiteral("F3\r\n#"));
    r.engine.HandleSramLoadReply(QStringLiteral("S\r\n#"));
    r.engine.HandleRecordReply(QStringLiteral("00000001FF\r\nEOF\r\n#"));
    r.engine.linkLost(QStringLiteral("x"));
    QVERIFY(r.sent.isEmpty());
    QVERIFY(r.beeper.beeps.isEmpty());
    QVERIFY(r.messages.messages.isEmpty());
    QVERIFY(!r.engine.DownloadActive());
}

void TestHexDownload::givingUpTakesBackOnlyTheDownloadsCommands()
{
    // The engine on the core's link, the monitor scripted by hand.
    CoreHarness h;
    AppCore &core = *h.core;
    QVERIFY(core.link.OpenCommPort());
    ScriptedPort *port = h.port();
    const auto written = [&] { return QString::fromLatin1(port->writes().value(port->writes().size() - 1)); };
    const auto answerLast = [&](const QByteArray &extra = {}) {
        port->feed(port->writes().last().trimmed() + "\r\n" + extra + "#");
    };
    const auto step = [&] { h.clock.advance(SerialLink::kWritePauseMs); };

    QTemporaryDir dir;
    QFile f(dir.filePath(QStringLiteral("fw.hex")));
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(kThree) == kThree.size());
    f.close();
    QVERIFY(core.download.start(HexDownload::Target::Flash, f.fileName(), {QStringLiteral("cz0\r\n"), QStringLiteral("cb0\r\n")}));
    for (const char *expected : {"cz0\r\n", "cb0\r\n", "bf3\r\n", ":020000040000FA\r\n"}) {
        step();
        QCOMPARE(written(), QString::fromLatin1(expected));
        answerLast();
    }
    step();
    QCOMPARE(written(), QStringLiteral(":0400000001020304F2\r\n"));
    // Typed in the log while the record is in flight; its answer lets the
    // typed command go, and the next record waits behind it with a read and
    // another typed command.
    core.send(QStringLiteral("df"));
    answerLast();
    core.send(QStringLiteral("ddv"));
    core.send(QStringLiteral("dt"));
    step();
    QCOMPARE(written(), QStringLiteral("df\r\n"));
    QCOMPARE(core.link.XmitQueue(), QStringLiteral(":00000001FF\r\nddv\r\ndt\r\n"));

    // The monitor falls silent.
    h.clock.advance(HexDownload::kRecordSilenceMs);
    QVERIFY(!core.download.isBusy());
    QCOMPARE(core.link.XmitQueue(), QStringLiteral("ddv\r\ndt\r\n"));
    QVERIFY(core.link.XmitBusy()); // "df" is still waiting for its answer
    QVERIFY(core.commLog.text().contains(QStringLiteral("Dropped: 1 command(s) not sent: \":00000001FF\"")));
    // It answers after all: the others go in their order, the record never.
    answerLast();
    step();
    QCOMPARE(written(), QStringLiteral("ddv\r\n"));
    answerLast();
    step();
    QCOMPARE(written(), QStringLiteral("dt\r\n"));
    QVERIFY(!port->writes().contains(":00000001FF\r\n"));
    answerLast();

    // Silent on a record of its own: the record is abandoned with the rest
    // of the transfer, and a typed command behind it goes out.
    QVERIFY(core.download.start(HexDownload::Target::Flash, f.fileName()));
    for (int i = 0; i < 2; ++i) { // "bf3" and the first record
        step();
        answerLast();
    }
    step();
    QCOMPARE(written(), QStringLiteral(":0400000001020304F2\r\n"));
    core.send(QStringLiteral("du"));
    h.clock.advance(HexDownload::kRecordSilenceMs);
    QVERIFY(!core.download.isBusy());
    step();
    QCOMPARE(written(), QStringLiteral("du\r\n"));
}

QTEST_GUILESS_MAIN(TestHexDownload)
#include "test_hexdownload.moc"

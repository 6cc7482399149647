// Replay of a session record: the recorded monitor's answers in recorded
// order, and end to end over pseudo-terminals a full read of the simulator
// recorded, replayed, and read again into the same image.

#include "core/dacfile.h"
#include "ptyharness.h"
#include "replaymonitor.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

using namespace tvk;
using namespace tvk::test;

namespace {
// The image as a .mdv file, stamped with a fixed date.
QByteArray imageOf(AppCore &core)
{
    return FormatMdfFile(core.mdf(), QDateTime(QDate(2026, 1, 1), QTime(0, 0)));
}

// Connects and reads the whole monitor as File Save As does.
bool readWhole(PtyHarness &h, const QString &path)
{
    QSignalSpy connected(&h.core->connector, &Connector::connected);
    h.startTool();
    if (!QTest::qWaitFor([&] { return connected.count() > 0; }, 5000))
        return false;
    h.dialogs.saveAnswers << path;
    h.window->trigger(QStringLiteral("mnuFileSaveAs"));
    const int stepMs = PtyHarness::scaled(FullRead::kIntervalMs);
    return QTest::qWaitFor([&] { return !h.core->fileSaver.isBusy(); }, FullRead::kSteps * stepMs + 8000)
        && QFile::exists(path);
}
} // namespace

class TestReplayPty : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void answersInRecordedOrder_repeatsTheLast_andRefusesTheUnknown()
    {
        sim::ReplayMonitor replay;
        replay.loadChunks({{true, "p\r\n"}, {false, "p\r\n#"},
                           {true, "da"}, {false, "d"}, {true, "\r\n"}, {false, "a\r\nDA 1,2\r\n#\r\n"},
                           {true, "p\r\n"}, {false, "p\r\n$"},
                           {true, "df\r\n"}}); // never answered: nothing to replay
        QCOMPARE(replay.knownCommands(), 2);
        QCOMPARE(replay.feed("p\r\n"), QByteArray("p\r\n#"));
        QCOMPARE(replay.feed("da\r"), QByteArray("da\r\nDA 1,2\r\n#\r\n")); // echo while typed kept
        QCOMPARE(replay.feed("\np\r\n"), QByteArray("p\r\n$"));
        QCOMPARE(replay.feed("p\r\n"), QByteArray("p\r\n$"));
        QCOMPARE(replay.feed("df\r\n"), QByteArray("!"));
        QCOMPARE(replay.commandsReceived(), (QByteArrayList{"p", "da", "p", "p", "df"}));
    }

    void fullReadRecordedAndReplayed_givesTheSameImage()
    {
        if (!ptyAvailable())
            QSKIP("no pseudo-terminals on this system");
        QTemporaryDir keep;
        const QString record = keep.filePath(QStringLiteral("recorded.log"));
        QByteArray recorded;
        {
            PtyHarness h;
            QVERIFY2(h.startSim({QStringLiteral("--version"), QStringLiteral("2.25")}), qPrintable(h.sim->error()));
            QVERIFY(readWhole(h, h.dir.filePath(QStringLiteral("a.mdv"))));
            recorded = imageOf(*h.core);
            QVERIFY(QFile::copy(h.core->sessionRecord.currentFile(), record));
            QFile::remove(h.core->sessionRecord.currentFile()); // the replay records afresh
        }
        QVERIFY(recorded.contains("\"Firmware Version: \",\"V 2.25\""));

        PtyHarness h;
        QVERIFY2(h.startSim({QStringLiteral("--replay"), record}), qPrintable(h.sim->error()));
        QVERIFY(readWhole(h, h.dir.filePath(QStringLiteral("b.mdv"))));
        QCOMPARE(h.messages.messages, QStringList());
        const QByteArray replayed = imageOf(*h.core);
        if (replayed != recorded) {
            const QList<QByteArray> a = recorded.split('\n'), b = replayed.split('\n');
            for (qsizetype i = 0; i < std::min(a.size(), b.size()); ++i)
                QCOMPARE(b.at(i), a.at(i));
            QCOMPARE(b.size(), a.size());
        }
    }
};

QTEST_MAIN(TestReplayPty)
#include "test_replay_pty.moc"

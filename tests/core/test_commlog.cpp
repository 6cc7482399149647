#include "core/commlog.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace tvk;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

} // namespace

class TestCommLog : public QObject {
    Q_OBJECT
private slots:
    void traffic_isEmptiedPastTheLimit_eventsNeverTrigger()
    {
        CommLog log;
        QSignalSpy resets(&log, &CommLog::textReset);
        log.LogTrafficText(QString(CommLog::kTrimThreshold, u'a'));
        log.LogTrafficText(QStringLiteral("b")); // 1500 held: not more than the limit
        QCOMPARE(log.text().size(), CommLog::kTrimThreshold + 1);
        QCOMPARE(resets.count(), 0);

        // Events are written whatever the size, and never empty the text.
        log.LogEvent(QStringLiteral("Received comFrame"));
        QVERIFY(log.text().endsWith(QStringLiteral("Received comFrame\r\n")));
        QCOMPARE(resets.count(), 0);

        log.LogTrafficLine(QStringLiteral("P#"));
        QCOMPARE(log.text(), QStringLiteral("P#\r\n"));
        QCOMPARE(resets.count(), 1);

        // Events alone grow past the limit.
        CommLog events;
        for (int i = 0; i < 200; ++i)
            events.LogEvent(QStringLiteral("Received comRxOver"));
        QVERIFY(events.text().size() > CommLog::kTrimThreshold);
        QVERIFY(events.text().startsWith(QStringLiteral("Received comRxOver\r\n")));
    }

    void text_neverHoldsMoreThanItsCap_whateverFloodsIt()
    {
        // A flood of events, then one piece of traffic larger than the cap:
        // the newest text is kept, the window is told to show it anew.
        CommLog log;
        QSignalSpy resets(&log, &CommLog::textReset);
        qsizetype largest = 0;
        for (int i = 0; i < 20000; ++i) {
            log.LogEvent(QStringLiteral("Received comRxOver %1").arg(i));
            largest = std::max(largest, log.text().size());
        }
        QVERIFY(largest <= CommLog::kMaxText);
        QVERIFY(resets.count() > 0);
        QVERIFY(log.text().endsWith(QStringLiteral("Received comRxOver 19999\r\n")));
        QCOMPARE(resets.last().at(0).toString(), log.text().left(resets.last().at(0).toString().size()));

        log.LogTrafficText(QString(3 * CommLog::kMaxText, u'z') + QStringLiteral("end"));
        QVERIFY(log.text().size() <= CommLog::kMaxText);
        QVERIFY(log.text().endsWith(QStringLiteral("zend")));
    }

    void lineNoise_isReportedOncePerStretch_andTheMonitorsLastWordIsKept()
    {
        CommLog log;
        QSignalSpy noise(&log, &CommLog::lineNoise);
        // Replies with a degree sign on every line are no noise.
        for (int i = 0; i < 500; ++i)
            log.LogReceived(QStringLiteral("T = 41\u00b0C\r\n#"));
        QCOMPARE(noise.count(), 0);

        QString junk;
        for (int i = 0; i < 5000; ++i)
            junk += QChar(char16_t(0x80 + i % 0x80));
        log.LogReceived(junk);
        QCOMPARE(noise.count(), 1);
        QCOMPARE(log.text().count(CommLog::lineNoiseText()), 1);
        log.LogReceived(junk); // the same stretch
        QCOMPARE(noise.count(), 1);

        // Once the monitor has sent plain text for a while, new noise is news.
        log.LogReceived(QString(2 * CommLog::kNoiseQuiet, u'a'));
        log.LogReceived(junk);
        QCOMPARE(noise.count(), 2);

        // The monitor's last word, line ends and blanks aside.
        log.LogReceived(QStringLiteral("dt\r\n!\r\n "));
        QCOMPARE(log.lastReceivedMark(), QChar(u'!'));
        log.LogReceived(QStringLiteral("p\r\n#"));
        QCOMPARE(log.lastReceivedMark(), QChar(u'#'));

        // Reset: as at start, noise is news again at once.
        QSignalSpy resets(&log, &CommLog::textReset);
        log.reset();
        QCOMPARE(resets.count(), 1);
        QVERIFY(log.text().isEmpty() && log.lastReceivedMark().isNull());
        log.reset(); // nothing to empty: the window is not told
        QCOMPARE(resets.count(), 1);
        log.LogReceived(junk);
        QCOMPARE(noise.count(), 3);
    }

    void suppression_holdsBackTrafficOnly()
    {
        CommLog log;
        bool suppressed = true;
        log.setTrafficSuppressed([&] { return suppressed; });
        log.LogTrafficText(QStringLiteral(":10000000"));
        log.LogTrafficLine(QString());
        log.LogEvent(QStringLiteral("Received comOverrun"));
        QCOMPARE(log.text(), QStringLiteral("Received comOverrun\r\n"));
        suppressed = false;
        log.LogTrafficText(QStringLiteral("#"));
        QCOMPARE(log.text(), QStringLiteral("Received comOverrun\r\n#"));
    }

    void file_recordsEverythingWithTimeStamps_evenWhatTheWindowLoses()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("unit.mcl"));
        CommLog log;
        int tick = 0;
        log.setTimeSource([&] { return QStringLiteral("T%1").arg(++tick); });

        // Nothing is written before logging is switched on.
        QVERIFY(log.chooseFile(path));
        QVERIFY(log.LogFileOpen());
        QVERIFY(!log.LogToFile());
        log.LogReceived(QStringLiteral("lost\r\n"));
        log.setLogToFile(true);
        QVERIFY(log.LogToFile());

        log.LogTransmit(QStringLiteral("df\r\n"));
        log.LogReceived(QStringLiteral("df\r\nFW 2.25\r")); // CR LF and a lone CR: one break each
        log.LogReceived(QStringLiteral("\n#"));
        log.LogTransmit(QStringLiteral("p\r\n")); // starts its own line after the "#"
        log.clearText();                         // the window loses it, the file does not
        log.LogEvent(QStringLiteral("Received comFrame"));
        // Keys typed with the queue bypassed: the LF after CR adds no line.
        log.LogTransmit(QStringLiteral("\r"));
        log.LogTransmit(QStringLiteral("\n"));
        log.setLogToFile(false);
        log.LogReceived(QStringLiteral("after"));
        log.releaseFile();
        QVERIFY(!log.LogFileOpen());

        const QByteArray expected = "[T1] ** File logging on\r\n"
                                    "[T2] >> df\r\n"
                                    "[T3] df\r\n"
                                    "[T4] FW 2.25\r\n"
                                    "[T5] #\r\n"
                                    "[T6] >> p\r\n"
                                    "[T7] ** Received comFrame\r\n"
                                    "[T8] >> \r\n"
                                    "[T9] ** File logging off\r\n";
        QCOMPARE(readAll(path), expected);

        // Choosing the same file again appends to it.
        QVERIFY(log.chooseFile(path));
        log.setLogToFile(true);
        log.LogReceived(QStringLiteral("x"));
        log.releaseFile();
        QVERIFY(readAll(path).startsWith(expected));
        // A cut line is ended before the closing note.
        QVERIFY(readAll(path).endsWith("] x\r\n[T12] ** File logging off\r\n"));
        QVERIFY(!log.text().contains(QStringLiteral("cannot")));
    }

    void file_withoutAFile_cannotBeSwitchedOn_andOpenFailureIsLogged()
    {
        CommLog log;
        log.setLogToFile(true);
        QVERIFY(!log.LogToFile());

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("missing/dir/x.mcl"));
        QVERIFY(!log.chooseFile(path));
        QVERIFY(!log.LogFileOpen());
        QVERIFY(!log.fileError().isEmpty());
        QVERIFY(log.text().contains(QStringLiteral("cannot be opened")));
    }

    void file_writeFailure_isReportedOnce_andLoggingSwitchesOff()
    {
        if (!QFile::exists(QStringLiteral("/dev/full")))
            QSKIP("no /dev/full on this system");
        CommLog log;
        QSignalSpy stopped(&log, &CommLog::fileLoggingStopped);
        QVERIFY(log.chooseFile(QStringLiteral("/dev/full")));
        log.setLogToFile(true);
        log.LogReceived(QStringLiteral("more\r\n"));
        log.LogTransmit(QStringLiteral("df\r\n"));
        log.LogEvent(QStringLiteral("Received comFrame"));
        QVERIFY(!log.LogToFile());
        QCOMPARE(stopped.count(), 1);
        QCOMPARE(log.text().count(QStringLiteral("cannot be written")), 1);
        QVERIFY(log.text().contains(QStringLiteral("file logging is off")));
        // The window log itself goes on.
        QVERIFY(log.text().endsWith(QStringLiteral("Received comFrame\r\n")));
        // Switched on again, it fails and says so again, once.
        log.setLogToFile(true);
        QVERIFY(!log.LogToFile());
        QCOMPARE(stopped.count(), 2);
        QCOMPARE(log.text().count(QStringLiteral("cannot be written")), 2);
    }
};

QTEST_GUILESS_MAIN(TestCommLog)
#include "test_commlog.moc"

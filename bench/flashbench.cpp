// Flash download benchmark: the real main window on the real serial port
// flashes an Intel HEX file into tvk-monitor-sim on a pseudo-terminal, the
// simulator pacing every answer like a 9600-baud line. Prints the total time,
// the time per record, the ratio to the floor (the 100 ms pause before each
// write plus the wire time of the record and of its reply) and the longest
// gap between ticks of the event loop during the transfer.
//
//   flashbench [--records N] [--baud B] [--pause MS]
//
// --records  data records in the file (default 4000)
// --baud     simulated line speed (default 9600; 0: answers at once)
// --pause    pause before each write in ms (default the link's 100)

#include "benchsupport.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTemporaryDir>

#include <cstdio>

using namespace tvk;

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toLocal8Bit());
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption recordsOpt(QStringLiteral("records"), QStringLiteral("Data records."), QStringLiteral("n"), QStringLiteral("4000"));
    const QCommandLineOption baudOpt(QStringLiteral("baud"), QStringLiteral("Line speed."), QStringLiteral("b"), QStringLiteral("9600"));
    const QCommandLineOption pauseOpt(QStringLiteral("pause"), QStringLiteral("Pause before each write, ms."), QStringLiteral("ms"),
                                      QString::number(SerialLink::kWritePauseMs));
    parser.addOptions({recordsOpt, baudOpt, pauseOpt});
    parser.process(app);
    const int records = parser.value(recordsOpt).toInt();
    const int baud = parser.value(baudOpt).toInt();
    const int pauseMs = parser.value(pauseOpt).toInt();
    if (records < 1 || baud < 0 || pauseMs < 0) {
        std::fprintf(stderr, "flashbench: bad option value\n");
        return 1;
    }

    const bench::DownloadResult r = bench::runDownload(dir.path(), records, baud, pauseMs);
    if (!r.error.isEmpty()) {
        std::fprintf(stderr, "flashbench: %s\n", qPrintable(r.error));
        return 1;
    }
    std::printf("records in file       %d (%d data records)\n", r.lines, r.dataRecords);
    std::printf("line speed            %d baud, pause %d ms\n", baud, pauseMs);
    std::printf("total time            %.3f s\n", r.transferMs / 1000.0);
    std::printf("time per record       %.3f ms\n", r.transferMs / r.lines);
    std::printf("floor per record      %.3f ms (pause + wire time of record and reply)\n", r.floorMs / r.lines);
    std::printf("ratio to floor        %.4f\n", r.floorMs > 0 ? r.transferMs / r.floorMs : 0.0);
    std::printf("longest event gap     %.3f ms, %.3f s after the start; %d gaps over 16 ms\n", r.longestGapMs,
                r.longestGapAtS, r.gapsOver16ms);
    if (r.exchanges > 0) {
        std::printf("write to reply         %.3f ms on average (line and monitor)\n", r.replyAvgMs);
        std::printf("reply to next write    %.3f ms on average, %.3f ms at most (tool, pause included)\n",
                    r.turnAvgMs, r.turnMaxMs);
    }
    std::printf("image matches file    %s\n", r.imageMatches ? "yes" : "NO");
    return r.imageMatches ? 0 : 1;
}

// What the trend lines of a test-point panel cost with eight hours of
// history behind each: the memory the history takes, the time to draw a
// panel full of them, and how often they repaint while no reading arrives.
// Each figure is printed beside its target. Measure on a Release build, run
// offscreen:
//   QT_QPA_PLATFORM=offscreen build-rel/bench/trendbench

#include "model/trendhistory.h"
#include "panels/diag/trendline.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <cmath>
#include <cstdio>

using namespace tvk;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    constexpr int kLines = 21; // the most any panel shows (modular monitors)
    TrendHistory history;
    QWidget panel;
    auto *grid = new QGridLayout(&panel);
    QList<TrendLine *> lines;
    for (int i = 0; i < kLines; ++i) {
        const QString key = QStringLiteral("line%1").arg(i);
        auto *line = new TrendLine(history, key, QStringLiteral("V"), &panel);
        grid->addWidget(line, i, 0);
        lines << line;
        // Eight hours at the fastest poll (5 s), and the ring full.
        for (int s = 0; s < TrendHistory::kCapacity; ++s)
            history.add(key, qint64(s) * TrendHistory::kFastestPollMs, 5.0 + 0.1 * std::sin(s * 0.3 + i));
    }
    panel.resize(200, kLines * 26);
    panel.show();
    app.processEvents();

    constexpr int kRounds = 200;
    QElapsedTimer clock;
    clock.start();
    for (int r = 0; r < kRounds; ++r)
        (void)panel.grab();
    const double perPanelMs = clock.nsecsElapsed() / 1e6 / kRounds;

    // One tick of a panel: a reading for every line, then the repaints.
    clock.restart();
    for (int r = 0; r < kRounds; ++r) {
        for (int i = 0; i < kLines; ++i)
            history.add(QStringLiteral("line%1").arg(i), qint64(TrendHistory::kCapacity + r) * TrendHistory::kFastestPollMs, 5.0);
        app.processEvents();
    }
    const double perTickMs = clock.nsecsElapsed() / 1e6 / kRounds;

    // Idle: a second of the event loop with no reading arriving.
    int before = 0;
    for (TrendLine *l : lines)
        before += l->updatesRequested();
    QTimer::singleShot(1000, &app, &QApplication::quit);
    app.exec();
    int after = 0;
    for (TrendLine *l : lines)
        after += l->updatesRequested();

    const auto first = history.samples(QStringLiteral("line0"));
    const double hours = (first.last().ms - first.first().ms) / 3600000.0;
    std::printf("trend lines per panel:            %d, %lld samples each (%.1f h at %d s)\n", kLines,
                qlonglong(first.size()), hours, TrendHistory::kFastestPollMs / 1000);
    std::printf("history memory, this panel:       %.2f MB (target <= 20 MB)\n", history.bytesHeld() / 1048576.0);
    std::printf("history memory, cap of all:       %.2f MB (target <= 20 MB)\n", TrendHistory::kMaxBytes / 1048576.0);
    std::printf("drawing the whole panel:          %.3f ms (target <= 16 ms per repaint)\n", perPanelMs);
    std::printf("one tick (a reading per line):    %.3f ms (target <= 16 ms per repaint)\n", perTickMs);
    std::printf("repaints asked for while idle 1 s: %d\n", after - before);
    return 0;
}

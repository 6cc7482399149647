// What the trend lines of a test-point panel cost: the time to draw a panel
// full of them with a full history, and how often they repaint while no
// reading arrives. Run offscreen:
//   QT_QPA_PLATFORM=offscreen build/bench/trendbench

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
        for (int s = 0; s < TrendHistory::kCapacity; ++s)
            history.add(key, s * 5000, 5.0 + 0.1 * std::sin(s * 0.3 + i));
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
            history.add(QStringLiteral("line%1").arg(i), (TrendHistory::kCapacity + r) * 5000, 5.0);
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

    std::printf("trend lines per panel:            %d, %d samples each\n", kLines, TrendHistory::kCapacity);
    std::printf("drawing the whole panel:          %.3f ms\n", perPanelMs);
    std::printf("one tick (a reading per line):    %.3f ms\n", perTickMs);
    std::printf("repaints asked for while idle 1 s: %d\n", after - before);
    return 0;
}

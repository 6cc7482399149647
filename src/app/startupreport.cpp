#include "app/startupreport.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <ctime>

namespace tvk {

namespace {

// Watches every widget's events until the first paint inside the main
// window; the line is printed once that paint pass is over.
class FirstDrawWatch : public QObject {
public:
    FirstDrawWatch(QWidget *window, std::chrono::steady_clock::time_point began)
        : QObject(window), m_window(window), m_began(began)
    {
        QCoreApplication::instance()->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Paint || !watched->isWidgetType())
            return false;
        auto *w = static_cast<QWidget *>(watched);
        if (w != m_window && !m_window->isAncestorOf(w))
            return false;
        QCoreApplication::instance()->removeEventFilter(this);
        QTimer::singleShot(0, this, [this] {
            const auto now = std::chrono::steady_clock::now();
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(now.time_since_epoch()).count();
            const double ms = std::chrono::duration<double, std::milli>(now - m_began).count();
            const double cpuMs = 1000.0 * double(std::clock()) / CLOCKS_PER_SEC;
            std::printf("tarvik: main window drawn at %lld ns monotonic, %.1f ms after main() began, "
                        "%.1f ms of CPU time\n",
                        static_cast<long long>(ns), ms, cpuMs);
            std::fflush(stdout);
            deleteLater();
        });
        return false;
    }

private:
    QWidget *m_window;
    std::chrono::steady_clock::time_point m_began;
};

} // namespace

void reportFirstDraw(QWidget *mainWindow, std::chrono::steady_clock::time_point mainBegan)
{
    if (qEnvironmentVariableIsEmpty("TARVIK_STARTUP_REPORT"))
        return;
    new FirstDrawWatch(mainWindow, mainBegan);
}

} // namespace tvk

#pragma once
// The frame every test-point panel shares: read-only values in rows, a
// timer tmrTest that asks the monitor again while the panel is in front,
// "Reread Values", "Close", and the high-voltage limit boxes of the panels
// that show them.
//
// Activation queues the panel's reads and starts the timer; the timer stops
// whenever the panel goes to the background (another panel in front, the
// panel hidden or minimised) and ticks ask again only while the monitor is
// online, so a panel never fills the queue of a monitor that is not there.

#include "panels/panel.h"
#include "core/diag/testpoints.h"

#include <QStringList>

class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tvk {

class Clock;
class FileDialogs;
class Timer;
class TrendHistory;
class TrendLine;

// What a test-point panel reads besides the panel context: the clock of its
// poll timer and the history its trend lines draw, and the file dialog the
// trend lines are saved through (none: they are not saved).
struct TestPointSources {
    Clock &clock;
    TrendHistory &history;
    FileDialogs *dialogs = nullptr;
};
enum class HvLimit;

class TestPointPanel : public Panel {
    Q_OBJECT
public:
    struct Polling {
        QStringList onActivate; // reads queued on activation and "Reread Values"
        QStringList onTick;     // reads queued by each tick
        int intervalMs;
    };

    TestPointPanel(const PanelContext &context, const TestPointSources &sources, const QString &name,
                   const QString &title, Polling polling);

    void load() override;
    void activate() override;

    Timer *timer() const { return m_timer; }
    // Queues the activation reads while the monitor is online ("Reread Values").
    void reread();

protected:
    void hideEvent(QHideEvent *event) override;
    // The reads of an activation; panels may add to them.
    virtual QStringList activationReads() const { return m_polling.onActivate; }

    // A row "caption [value] [trend]" of the grid; the value is a label or,
    // for names ending in "Box", a read-only text box. family: draw a trend
    // line of this reading beside it.
    QWidget *addValueRow(QGridLayout *grid, int row, const QString &caption, const QString &control,
                         std::optional<TestPointFamily> trendFamily = std::nullopt,
                         const QString &unit = QString(), int column = 0);
    // The group with "HV Val:", the two limit boxes and their Set buttons.
    // With a family, "HV Val:" has its trend line, banded by the monitor's
    // own limits.
    QWidget *makeHvLimitsGroup(std::optional<TestPointFamily> trendFamily = std::nullopt);
    // "Reread Values" and "Close" in the button row under the body.
    void finish(QLayout *body, QPushButton *reread = nullptr);
    QPushButton *makeRereadButton();

private:
    void toBackground();
    void tick();
    void setLimit(HvLimit which);

    TrendLine *addTrend(const QString &key, const QString &unit, const QString &name);

    TrendHistory &m_history;
    Clock &m_clock;
    FileDialogs *m_dialogs;
    Polling m_polling;
    Timer *m_timer = nullptr;
};

// frmTestPoint: early monitors (types 100..199).
class EarlyTestPointPanel : public TestPointPanel {
    Q_OBJECT
public:
    EarlyTestPointPanel(const PanelContext &context, const TestPointSources &sources);

protected:
    QStringList activationReads() const override;
};

// frmMDITestPoints: modular CRT monitors (200..298).
class MdiTestPointPanel : public TestPointPanel {
    Q_OBJECT
public:
    MdiTestPointPanel(const PanelContext &context, const TestPointSources &sources);
};

// frmCRTVoltages: the modular monitors' voltages alone.
class CrtVoltagesPanel : public TestPointPanel {
    Q_OBJECT
public:
    CrtVoltagesPanel(const PanelContext &context, const TestPointSources &sources);
};

// frmFlatPanelTestPoints: flat panels (300..398).
class FlatPanelTestPointPanel : public TestPointPanel {
    Q_OBJECT
public:
    FlatPanelTestPointPanel(const PanelContext &context, const TestPointSources &sources);
};

// frmDeflectionStatus: deflection states and sync frequencies.
class DeflectionStatusPanel : public TestPointPanel {
    Q_OBJECT
public:
    DeflectionStatusPanel(const PanelContext &context, const TestPointSources &sources);
};

// frmHVLimits: the anode-voltage count and its limits.
class HvLimitsPanel : public TestPointPanel {
    Q_OBJECT
public:
    HvLimitsPanel(const PanelContext &context, const TestPointSources &sources);
};

} // namespace tvk

#include "panels/diag/testpointpanel.h"
#include "base/diagnames.h"
#include "base/windownames.h"

#include "base/clock.h"
#include "core/diag/diaghandlers.h"
#include "core/diag/hvlimits.h"
#include "panels/accessiblevalue.h"
#include "panels/diag/trendline.h"
#include "protocol/commands.h"

#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QVBoxLayout>

namespace tvk {

namespace {

const QString kReadAdcButton = QStringLiteral("ReadADCButton");

QStringList crtReads()
{
    return {cmd::readTestPoints(), cmd::readSyncFrequencies(), cmd::readLimitsReport(),
            cmd::readHighVoltage()};
}

// The deflection states ("Operating" / "Not Operating") and frequencies.
QGroupBox *deflectionGroup(TestPointPanel *panel, const std::function<void(QGridLayout *, int, const char *, const QString &, const char *)> &row)
{
    auto *box = new QGroupBox(QStringLiteral("Deflection"), panel);
    auto *grid = new QGridLayout(box);
    row(grid, 0, "Horizontal Frequency:", ctl::HFreqTextBox, "kHz");
    row(grid, 1, "Vertical Frequency:", ctl::VertFreqBox, "Hz");
    row(grid, 2, "Vertical Deflection:", ctl::VFailValue, "");
    row(grid, 3, "Horizontal Deflection:", ctl::HFailValue, "");
    return box;
}

} // namespace

TestPointPanel::TestPointPanel(const PanelContext &context, const TestPointSources &sources, const QString &name,
                               const QString &title, Polling polling)
    : Panel(context, name, title)
    , m_history(sources.history)
    , m_clock(sources.clock)
    , m_dialogs(sources.dialogs)
    , m_polling(std::move(polling))
{
    m_timer = sources.clock.createTimer(this);
    m_timer->setObjectName(QStringLiteral("tmrTest"));
    connect(m_timer, &Timer::timeout, this, &TestPointPanel::tick);
}

void TestPointPanel::load()
{
    // In the background as soon as another window comes to the front or
    // this one is minimised.
    auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget());
    if (!frame)
        return;
    connect(frame, &QMdiSubWindow::windowStateChanged, this, [this](Qt::WindowStates, Qt::WindowStates now) {
        if (now & Qt::WindowMinimized)
            toBackground();
    });
    if (QMdiArea *area = frame->mdiArea()) {
        connect(area, &QMdiArea::subWindowActivated, this, [this, frame](QMdiSubWindow *active) {
            if (active && active != frame)
                toBackground();
        });
    }
}

void TestPointPanel::activate()
{
    for (const QString &read : activationReads())
        m_ctx.send(read);
    if (auto *button = findChild<QPushButton *>(kReadAdcButton))
        button->setEnabled(true);
    m_timer->start(m_polling.intervalMs);
}

void TestPointPanel::hideEvent(QHideEvent *event)
{
    toBackground();
    Panel::hideEvent(event);
}

void TestPointPanel::toBackground()
{
    m_timer->stop();
}

void TestPointPanel::tick()
{
    if (!m_ctx.online())
        return;
    for (const QString &read : m_polling.onTick)
        m_ctx.poll(read);
}

void TestPointPanel::reread()
{
    if (!m_ctx.online())
        return;
    for (const QString &read : activationReads())
        m_ctx.send(read);
}

QWidget *TestPointPanel::addValueRow(QGridLayout *grid, int row, const QString &caption, const QString &control,
                                     std::optional<TestPointFamily> trendFamily, const QString &unit, int column)
{
    auto *captionLabel = new QLabel(caption, this);
    grid->addWidget(captionLabel, row, column, Qt::AlignRight);
    QString name = caption.simplified();
    if (name.endsWith(u':'))
        name.chop(1);
    QWidget *value = nullptr;
    if (control.endsWith(QLatin1String("Box"))) {
        auto *box = new QLineEdit(this);
        box->setReadOnly(true);
        box->setMinimumWidth(70);
        box->setMaximumWidth(90);
        // A box is named by its caption and gives its text as its value.
        box->setAccessibleName(name);
        value = box;
    } else {
        auto *label = new QLabel(this);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setMinimumWidth(80);
        markReading(label, caption);
        value = label;
    }
    value->setObjectName(control);
    captionLabel->setBuddy(value);
    grid->addWidget(value, row, column + 1);
    if (trendFamily) {
        TrendLine *trend = addTrend(trendKey(*trendFamily, control), unit, name);
        trend->setObjectName(control + QStringLiteral("Trend"));
        grid->addWidget(trend, row, column + 2);
    } else if (!unit.isEmpty()) {
        grid->addWidget(new QLabel(unit, this), row, column + 2);
    }
    return value;
}

TrendLine *TestPointPanel::addTrend(const QString &key, const QString &unit, const QString &name)
{
    auto *trend = new TrendLine(m_history, key, unit, this);
    trend->setAccessibleName(name + QStringLiteral(" trend"));
    TrendLine::Saving saving;
    saving.dialogs = m_dialogs;
    saving.messages = &m_ctx.messages;
    saving.serialNumber = [this] { return m_ctx.data.SerialNumber; };
    // Sample times are on the program's clock; the wall time is now less
    // how long ago the sample came.
    saving.wallMs = [this](qint64 ms) { return QDateTime::currentMSecsSinceEpoch() - (m_clock.nowMs() - ms); };
    saving.caption = name;
    trend->setSaving(std::move(saving));
    return trend;
}

QWidget *TestPointPanel::makeHvLimitsGroup(std::optional<TestPointFamily> trendFamily)
{
    auto *box = new QGroupBox(QStringLiteral("HV Limits"), this);
    auto *grid = new QGridLayout(box);
    // The raw count of the anode-voltage converter, like the limits.
    addValueRow(grid, 0, QStringLiteral("HV Val:"), ctl::HVValTextBox, trendFamily,
                trendFamily ? QStringLiteral("counts") : QString());
    if (auto *trend = box->findChild<TrendLine *>()) {
        // The band is the monitor's own limits, as its last report gave them
        // (none before a report: both are 0 then).
        trend->setLimits([this]() -> std::optional<TrendLine::Limits> {
            const int upper = m_ctx.data.HvUpperLimit, lower = m_ctx.data.HvLowerLimit;
            if (upper == 0 && lower == 0)
                return std::nullopt;
            return TrendLine::Limits{double(lower), double(upper)};
        });
    }
    const struct {
        const char *caption;
        QString box;
        const char *button;
        HvLimit which;
    } rows[] = {
        {"HV Upper Limit:", ctl::HVUpperLimitTextBox, "HVUpperLimitSetButton", HvLimit::Upper},
        {"HV Lower Limit:", ctl::HVLowerLimitTextBox, "HVLowerLimitSetButton", HvLimit::Lower},
    };
    int r = 1;
    for (const auto &row : rows) {
        auto *caption = new QLabel(QString::fromLatin1(row.caption), this);
        auto *edit = new QLineEdit(this);
        edit->setObjectName(row.box);
        edit->setMinimumWidth(70);
        edit->setMaximumWidth(90);
        edit->setAccessibleName(QString::fromLatin1(row.caption).chopped(1));
        caption->setBuddy(edit);
        QPushButton *set = makeButton(QString::fromLatin1(row.button), QStringLiteral("Set"));
        set->setAccessibleName(QStringLiteral("Set ") + edit->accessibleName());
        const HvLimit which = row.which;
        connect(set, &QPushButton::clicked, this, [this, which] { setLimit(which); });
        connect(edit, &QLineEdit::returnPressed, this, [this, which] { setLimit(which); });
        grid->addWidget(caption, r, 0, Qt::AlignRight);
        grid->addWidget(edit, r, 1);
        grid->addWidget(set, r, 2);
        ++r;
    }
    return box;
}

void TestPointPanel::setLimit(HvLimit which)
{
    const bool upper = which == HvLimit::Upper;
    auto *edit = findChild<QLineEdit *>(upper ? ctl::HVUpperLimitTextBox
                                              : ctl::HVLowerLimitTextBox);
    SendHvLimit(which, edit->text(), m_ctx.data.HvUpperLimit, m_ctx.data.HvLowerLimit, m_ctx.messages,
                [this](const QString &c) { m_ctx.send(c); });
}

QPushButton *TestPointPanel::makeRereadButton()
{
    QPushButton *button = makeButton(kReadAdcButton, QStringLiteral("Reread Values"));
    connect(button, &QPushButton::clicked, this, &TestPointPanel::reread);
    return button;
}

void TestPointPanel::finish(QLayout *body, QPushButton *reread)
{
    QPushButton *close = makeHideButton(QStringLiteral("TPCloseButton"), QStringLiteral("Close"));
    setBodyAndButtons(body, reread ? buttonRow({reread, close}) : buttonRow({close}));
}

// --- the panels ---------------------------------------------------------------

namespace {

// The analogue readings of the modular CRT monitors: the monitor's own
// inputs and high-voltage readings beside the low-voltage rails.
QHBoxLayout *mdiReadings(TestPointPanel *panel,
                         const std::function<void(QGridLayout *, int, const char *, const QString &, const char *, int)> &row)
{
    auto *monitor = new QGroupBox(QStringLiteral("Monitor"), panel);
    auto *grid = new QGridLayout(monitor);
    const struct {
        const char *caption;
        QString control;
        const char *unit;
    } rows[] = {
        {"CPU +5V:", ctl::lblCPUP5Value, " V"},
        {"Brightness Control In:", ctl::BCtrlValue, " V"},
        {"Contrast Control In:", ctl::CCtrlValue, " V"},
        {"Contrast Control X16:", ctl::lblCCtrlX16Value, " V"},
        {"Video +80V:", ctl::lblLV80Value, " V"},
        {"HV Anode Voltage:", ctl::VAnodeValue, " kV"},
        {"HV Anode Current:", ctl::IAnodeValue, " uA"},
        {"Focus Voltage:", ctl::FocusLabel, " kV"},
        {"G2 Voltage:", ctl::G2Label, " V"},
    };
    int r = 0;
    for (const auto &x : rows)
        row(grid, r++, x.caption, x.control, x.unit, 0);

    auto *rails = new QGroupBox(QStringLiteral("Low Voltage Power Supply"), panel);
    auto *railGrid = new QGridLayout(rails);
    // Each element beside the caption of its own rail.
    const char *const shown[] = {"-8V", "+90V", "+24V", "+12V", "-100V", "-12V", "+5V", "+6.3V"};
    r = 0;
    for (const char *caption : shown) {
        const auto at = std::find_if(kMdiRailCaptions.begin(), kMdiRailCaptions.end(),
                                     [caption](const char *c) { return qstrcmp(c, caption) == 0; });
        row(railGrid, r++, caption, ctl::lblVoltage_(int(at - kMdiRailCaptions.begin())), "V", 0);
    }
    railGrid->setRowStretch(r, 1);

    auto *both = new QHBoxLayout;
    both->addWidget(monitor);
    both->addWidget(rails);
    return both;
}

} // namespace

EarlyTestPointPanel::EarlyTestPointPanel(const PanelContext &context, const TestPointSources &sources)
    : TestPointPanel(context, sources, win::frmTestPoint, QStringLiteral("Monitor Operating Values"),
                     {crtReads(), crtReads(), 5000})
{
    auto *grid = new QGridLayout;
    const struct {
        const char *caption;
        QString control;
        const char *unit;
    } rows[] = {
        {"Horizontal Frequency:", ctl::HFreqTextBox, "kHz"},
        {"Vertical Frequency:", ctl::VertFreqBox, "Hz"},
        {"Brightness Control In:", ctl::BCtrlValue, ""},
        {"Contrast Control In:", ctl::CCtrlValue, ""},
        {"HV Anode Current:", ctl::IAnodeValue, ""},
        {"HV Anode:", ctl::VAnodeValue, ""},
        {"LV80:", ctl::LV80Value, ""},
        {"LV175:", ctl::LV175Value, ""},
        {"Vertical Deflection:", ctl::VFailValue, ""},
        {"Horizontal Deflection:", ctl::HFailValue, ""},
    };
    int r = 0;
    for (const auto &row : rows)
        addValueRow(grid, r++, QString::fromLatin1(row.caption), row.control, std::nullopt,
                    QString::fromLatin1(row.unit));
    auto *body = new QVBoxLayout;
    body->addLayout(grid);
    body->addWidget(makeHvLimitsGroup());
    finish(body, makeRereadButton());
}

QStringList EarlyTestPointPanel::activationReads() const
{
    QStringList reads = TestPointPanel::activationReads();
    // The anode scales depend on the tube: ask for the display type first
    // while it is not known.
    if (!DisplayTypeKnown(m_ctx.controls))
        reads.prepend(cmd::readModeWord());
    return reads;
}

MdiTestPointPanel::MdiTestPointPanel(const PanelContext &context, const TestPointSources &sources)
    : TestPointPanel(context, sources, win::frmMDITestPoints, QStringLiteral("Monitor Operating Values"),
                     {crtReads(), crtReads(), 10000})
{
    auto row = [this](QGridLayout *g, int r, const char *caption, const QString &control, const char *unit, int col) {
        addValueRow(g, r, QString::fromLatin1(caption), control, TestPointFamily::Mdi,
                    QString::fromLatin1(unit).trimmed(), col);
    };
    auto plainRow = [this](QGridLayout *g, int r, const char *caption, const QString &control, const char *unit) {
        addValueRow(g, r, QString::fromLatin1(caption), control, std::nullopt,
                    QString::fromLatin1(unit));
    };
    auto *body = new QVBoxLayout;
    body->addLayout(mdiReadings(this, row));
    auto *lower = new QHBoxLayout;
    lower->addWidget(deflectionGroup(this, plainRow));
    lower->addWidget(makeHvLimitsGroup(TestPointFamily::Mdi));
    body->addLayout(lower);
    finish(body, makeRereadButton());
}

CrtVoltagesPanel::CrtVoltagesPanel(const PanelContext &context, const TestPointSources &sources)
    : TestPointPanel(context, sources, win::frmCRTVoltages, QStringLiteral("Monitor Operating Voltages"),
                     {{cmd::readTestPoints()}, {cmd::readTestPoints()}, 10000})
{
    auto row = [this](QGridLayout *g, int r, const char *caption, const QString &control, const char *unit, int col) {
        addValueRow(g, r, QString::fromLatin1(caption), control, TestPointFamily::Mdi,
                    QString::fromLatin1(unit).trimmed(), col);
    };
    QPushButton *reRead = makeButton(QStringLiteral("btnReRead"), QStringLiteral("ReRead"));
    // This one asks whether or not the monitor is online.
    connect(reRead, &QPushButton::clicked, this, [this] {
        for (const QString &read : activationReads())
            m_ctx.send(read);
    });
    finish(mdiReadings(this, row), reRead);
}

FlatPanelTestPointPanel::FlatPanelTestPointPanel(const PanelContext &context, const TestPointSources &sources)
    : TestPointPanel(context, sources, win::frmFlatPanelTestPoints, QStringLiteral("Analog Operating Values"),
                     {{cmd::readTestPoints()}, {cmd::readTestPoints()}, 5000})
{
    auto add = [this](QGridLayout *g, int r, const char *caption, const QString &control) {
        addValueRow(g, r, QString::fromLatin1(caption), control, TestPointFamily::FlatPanel,
                    QStringLiteral("V"));
    };
    auto *inputs = new QGroupBox(QStringLiteral("Inputs"), this);
    auto *grid = new QGridLayout(inputs);
    add(grid, 0, "Photocell       x10:", ctl::lblACH4);
    add(grid, 1, "Photocell     x160:", ctl::lblACH5);
    add(grid, 2, "Photocell   x2560:", ctl::lblACH6);
    add(grid, 3, "Photocell x40960:", ctl::lblACH7);
    add(grid, 4, "Brightness Control In:", ctl::BCtrlValue);
    add(grid, 5, "Contrast Control In:", ctl::CCtrlValue);
    add(grid, 6, "Enh Contrast Control In:", ctl::ECCtrlValue);
    add(grid, 7, "+5V Monitor:", ctl::P5VM);

    auto *power = new QGroupBox(QStringLiteral("Power"), this);
    auto *railGrid = new QGridLayout(power);
    int r = 0;
    for (const char *caption : kFlatPanelRailCaptions) {
        add(railGrid, r, caption, ctl::lblVoltage_(r));
        ++r;
    }
    railGrid->setRowStretch(r, 1);
    auto *body = new QHBoxLayout;
    body->addWidget(inputs);
    body->addWidget(power);
    finish(body, makeRereadButton());
}

DeflectionStatusPanel::DeflectionStatusPanel(const PanelContext &context, const TestPointSources &sources)
    : TestPointPanel(context, sources, win::frmDeflectionStatus, QStringLiteral("Deflection Status"),
                     {{cmd::readSyncFrequencies(), cmd::readLimitsReport()},
                      {cmd::readSyncFrequencies(), cmd::readLimitsReport()},
                      10000})
{
    auto plainRow = [this](QGridLayout *g, int r, const char *caption, const QString &control, const char *unit) {
        addValueRow(g, r, QString::fromLatin1(caption), control, std::nullopt,
                    QString::fromLatin1(unit));
    };
    auto *body = new QVBoxLayout;
    body->addWidget(deflectionGroup(this, plainRow));
    finish(body);
}

HvLimitsPanel::HvLimitsPanel(const PanelContext &context, const TestPointSources &sources)
    : TestPointPanel(context, sources, win::frmHVLimits, QStringLiteral("HV Limits"),
                     {{cmd::readHighVoltage(), cmd::readTestPoints()}, {cmd::readHighVoltage()}, 10000})
{
    auto *body = new QVBoxLayout;
    body->addWidget(makeHvLimitsGroup(TestPointFamily::Mdi));
    finish(body);
}

} // namespace tvk

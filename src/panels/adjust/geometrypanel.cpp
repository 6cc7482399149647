#include "panels/adjust/geometrypanel.h"
#include "base/adjustnames.h"
#include "base/windownames.h"
#include "base/monitorfamily.h"

#include "protocol/commands.h"

#include <QFrame>
#include <QAbstractSlider>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace tvk {

namespace {

struct ChannelText {
    int channel;
    const char *caption;
    const char *lowTip;
    const char *highTip;
};

constexpr ChannelText kVertical[] = {
    { 0, "Vertical Size", "Decrease Height", "Increase Height" },
    { 1, "Vertical Center", "Lower Display", "Raise Display" },
    { 2, "Vert Linearity", "Expand the Center, Vertically", "Compress the Center, Vertically" },
    { 3, "E-W Correction", "Reduce Waist", "Increase Waist" },
    { 4, "Horiz Trapezoid", "Narrow the Top", "Narrow the Bottom" },
    { 5, "Horiz Parallellogram", "Skew the Top to Left", "Skew the Top to Right" },
    { 6, "Horiz Bow", "Move Waist to the Right", "Move Waist to the Left" },
};

constexpr ChannelText kHorizontal[] = {
    { 0, "Horizontal Size", "Decrease the Width", "increase the Width" },
    { 1, "Horizontal Center", "Move Display to the Left", "Move Display to the Right" },
    { 2, "Horizontal Linearity", "Compress the Left Side", "Compress the Right Side" },
    { 3, "Trace Rotation", "Rorate CCW", "Rotate CW" },
    { kHorizSCapChannel, "Horiz S Cap", "Compress Left/Right Edges", "Expand Left/Right Edges" },
};

constexpr ChannelText kNorthSouth[] = {
    { 0, "N-S Correction", "Shorten the Center", "Lengthen the Center" },
    { 1, "N-S Trapezoid", "Increase the Left Side", "Increase the Right Side" },
    { 2, "N-S Phase", "Shift Phase to the Left", "Shift Phase to the Right" },
};

// Captions of the horizontal and north-south rows; only this panel names them.
QString HLabel1_(int i) { return ctl::element(u"HLabel1", i); }
QString Label7_(int i) { return ctl::element(u"Label7", i); }

constexpr RowNames kVerticalNames { ctl::HScroll1_, ctl::Text1_, ctl::Text2_, ctl::Text3_, ctl::Label1_ };
constexpr RowNames kHorizontalNames { ctl::HHScroll1_, ctl::HText1_, ctl::HText2_, ctl::HText3_, HLabel1_ };
constexpr RowNames kNorthSouthNames { ctl::HScroll2_, ctl::NText4_, ctl::NText5_, ctl::NText6_, Label7_ };

constexpr int kNorthSouthSliderTop = 63;
constexpr int kHorizSCapSliderTop = 127;

} // namespace

GeometryPanel::GeometryPanel(const PanelContext &context)
    : AdjustPanel(context, win::frmGeometryAdj, QStringLiteral("Geometry Adjustment"))
{
    auto *content = new QWidget;
    auto *grid = new QGridLayout(content);
    grid->setVerticalSpacing(2);
    grid->setHorizontalSpacing(4);
    grid->setContentsMargins(0, 0, 0, 0);
    int gridRow = 0;
    addColumnHeadings(grid, gridRow++);

    for (const ChannelText &t : kVertical) {
        m_vertical << addSliderRow(grid, gridRow++,
                                   makeRow(DacGroupId::V, t.channel, kVerticalNames, t.channel,
                                           t.caption, t.lowTip, t.highTip));
    }
    grid->setRowMinimumHeight(gridRow++, 8);
    for (const ChannelText &t : kHorizontal) {
        const int maximum = t.channel == kHorizSCapChannel ? kHorizSCapSliderTop : 255;
        m_horizontal << addSliderRow(grid, gridRow++,
                                     makeRow(DacGroupId::H, t.channel, kHorizontalNames,
                                             t.channel, t.caption, t.lowTip, t.highTip, maximum));
    }
    grid->setRowMinimumHeight(gridRow++, 8);
    for (const ChannelText &t : kNorthSouth) {
        m_northSouth << addSliderRow(grid, gridRow++,
                                     makeRow(DacGroupId::N, t.channel, kNorthSouthNames,
                                             t.channel, t.caption, t.lowTip, t.highTip,
                                             kNorthSouthSliderTop, 8, SendGate::SendOnChange));
    }
    grid->setColumnStretch(2, 1);

    auto *scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(content);
    // Rows scroll vertically only: the panel is never narrower than a row.
    scroll->setMinimumWidth(content->sizeHint().width()
                            + scroll->verticalScrollBar()->sizeHint().width());

    m_factoryButton = makeButton(QStringLiteral("Command1"), QStringLiteral("Go Back to Factory Defaults"),
                                 QStringLiteral("Set All Adjustments to Original Factory Defaults"));
    m_initialButton = makeButton(QStringLiteral("Command2"), QStringLiteral("Go Back to Initial Settings"),
                                 QStringLiteral("Set All Adjustments to Power On Defaults"));
    m_saveInitialButton = makeButton(QStringLiteral("Command6"), QStringLiteral("Save Initial Settings"),
                                     QStringLiteral("Set the Power On Defaults to the Current Settings"));
    QPushButton *ok = makeButton(QStringLiteral("btnOK"), QStringLiteral("OK"));
    QPushButton *cancel = makeButton(QStringLiteral("btnCancel"), QStringLiteral("Cancel"));

    QGridLayout *bulk = bulkButtonGrid(m_factoryButton, m_initialButton, m_saveInitialButton, ok, cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(makeScanSetLabel(QStringLiteral("ScanSetSelectedLabel3")));
    layout->addWidget(scroll, 1);
    layout->addLayout(bulk);

    connect(m_factoryButton, &QPushButton::clicked, this, [this] { goBack(DacTable::Factory); });
    connect(m_initialButton, &QPushButton::clicked, this, [this] { goBack(DacTable::Initial); });
    connect(m_saveInitialButton, &QPushButton::clicked, this, &GeometryPanel::saveInitialSettings);
    connect(ok, &QPushButton::clicked, this, &GeometryPanel::accept);
    connect(cancel, &QPushButton::clicked, this, &GeometryPanel::cancel);
}

QList<int> GeometryPanel::everyRow() const { return m_vertical + m_horizontal + m_northSouth; }

bool GeometryPanel::earlyType() const
{
    return monitorFamily(m_ctx.data.MonitorType) == MonitorFamily::Early;
}

void GeometryPanel::load()
{
    setArmed(false);
    if (online())
        return; // the reads of the activation fill the panel
    fillFromModel(everyRow());
    setArmed(true);
}

void GeometryPanel::activate()
{
    AdjustPanel::activate();
    if (online()) {
        m_ctx.send(cmd::readDac(u"v"));
        m_ctx.send(cmd::readDac(u"h"));
        m_ctx.send(cmd::readDacInitial(u"v"));
        m_ctx.send(cmd::readDacInitial(u"h"));
        m_ctx.send(cmd::readDacFactory(u"v"));
        m_ctx.send(cmd::readDacFactory(u"h"));
        // Cancel returns the vertical set to what the monitor answers now.
        captureAcceptedFromReplies(m_vertical);
        setArmed(true);
        const MonitorFamily family = monitorFamily(m_ctx.data.MonitorType);
        if (family == MonitorFamily::Early) {
            setNorthSouthEnabled(false);
        } else if (family == MonitorFamily::Mdi) {
            const bool northSouth = m_ctx.data.capability(Capability::NorthSouthCorrection);
            setNorthSouthEnabled(northSouth);
            if (northSouth) {
                m_ctx.send(cmd::readDac(u"s"));
                m_ctx.send(cmd::readDacInitial(u"s"));
                m_ctx.send(cmd::readDacFactory(u"s"));
            }
        }
    } else {
        // Every channel, "Horiz S Cap" and the north-south set included, so
        // that what the panel shows (and "Save Initial Settings" stores) is
        // the model of this scan set.
        fillFromModel(everyRow());
        acceptFromModel(m_vertical);
        setArmed(true);
    }
    for (int index : m_vertical)
        m_rows[size_t(index)].slider->setEnabled(true);
    m_factoryButton->setEnabled(true);
    m_initialButton->setEnabled(true);
    m_saveInitialButton->setEnabled(true);
    showScanSetCaption();
}

void GeometryPanel::setNorthSouthEnabled(bool on)
{
    for (int index : m_northSouth)
        setRowEnabled(index, on);
}

void GeometryPanel::goBack(DacTable table)
{
    int skipped = moveToTable(m_vertical, table);
    skipped += moveToTable(m_horizontal, table);
    const auto report = qScopeGuard([&] { reportSkipped(skipped); });
    if (!earlyType())
        return;
    for (int index : m_northSouth) {
        const auto value = tableValue(index, table);
        if (!value) {
            ++skipped;
            continue;
        }
        moveSlider(index, *value);
        const SliderControls &c = m_rows[size_t(index)];
        setBoxText(table == DacTable::Factory ? c.factory : c.initial, QString::number(*value));
    }
}

void GeometryPanel::saveInitialSettings()
{
    QList<int> rows = m_vertical + m_horizontal;
    if (earlyType())
        rows += m_northSouth;
    reportSkipped(saveSlidersAsInitial(rows));
    if (!online())
        return;
    m_ctx.send(cmd::storeDacInitial(u"v"));
    m_ctx.send(cmd::storeDacInitial(u"h"));
    if (earlyType())
        m_ctx.send(cmd::storeDacInitial(u"s"));
}

void GeometryPanel::accept()
{
    acceptSliders(m_vertical);
    hidePanel();
}

void GeometryPanel::cancel()
{
    reportSkipped(restoreAccepted(m_vertical));
    hidePanel();
}

} // namespace tvk

#include "panels/adjust/videopanel.h"
#include "base/adjustnames.h"
#include "base/windownames.h"
#include "base/monitorfamily.h"

#include "protocol/commands.h"

#include <QAbstractSlider>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tvk {

namespace {

struct VideoChannel {
    DacGroupId group;
    int channel;
    RowNames names;          // no caption array: the caption is Label1_(captionIndex)
    int captionIndex;
    const char *caption;     // nullptr: none shown
    const char *spokenName;  // for screen readers when no caption is shown
    const char *colour;      // caption colour, or nullptr
};

constexpr RowNames kL{ctl::HScroll1_, ctl::Text1_, ctl::Text2_, ctl::Text3_, nullptr};
constexpr RowNames kB{ctl::HScroll2_, ctl::BText1_, ctl::BText2_, ctl::BText3_, nullptr};

constexpr VideoChannel kChannels[] = {
    {DacGroupId::L, 2, kL, 2, "Red Gain", nullptr, "#c00000"},
    {DacGroupId::L, 3, kL, 3, "Green Gain", nullptr, "#008000"},
    {DacGroupId::L, 4, kL, 4, "Blue Gain", nullptr, "#0000c0"},
    {DacGroupId::L, 5, kL, 5, nullptr, "Video channel 5", nullptr},
    {DacGroupId::L, 6, kL, 6, "G2Adjust", nullptr, nullptr},
    {DacGroupId::L, 7, kL, 7, "Focus", nullptr, nullptr},
    {DacGroupId::B, 0, kB, 9, "Video +80V", nullptr, nullptr},
    {DacGroupId::B, 1, kB, 8, "Master G2 Adjust", nullptr, nullptr},
};

} // namespace

VideoPanel::VideoPanel(const PanelContext &context) : AdjustPanel(context, win::frmVideoAdj, QStringLiteral("Color Balance"))
{
    auto *grid = new QGridLayout;
    grid->setVerticalSpacing(2);
    grid->setHorizontalSpacing(4);
    int gridRow = 0;
    addColumnHeadings(grid, gridRow++, {QStringLiteral("Present Value"), QStringLiteral("Factory Defaults"),
                                        QStringLiteral("Initial Settings")});
    for (const VideoChannel &v : kChannels) {
        if (v.group == DacGroupId::B && gridRow == 7)
            grid->setRowMinimumHeight(gridRow++, 8);
        SliderRow row = makeRow(v.group, v.channel, v.names, v.channel, v.caption, nullptr, nullptr);
        row.captionName = ctl::Label1_(v.captionIndex);
        if (v.spokenName)
            row.accessibleCaption = QString::fromLatin1(v.spokenName);
        const int index = addSliderRow(grid, gridRow++, row);
        SliderControls &c = m_rows[size_t(index)];
        if (!c.caption) {
            // An empty caption keeps the row aligned and its name reachable.
            c.caption = new QLabel(this);
            c.caption->setObjectName(row.captionName);
            grid->addWidget(c.caption, gridRow - 1, 0);
        }
        if (v.colour)
            c.caption->setStyleSheet(QStringLiteral("color: %1;").arg(QLatin1String(v.colour)));
        (v.group == DacGroupId::L ? m_gains : m_second) << index;
    }
    grid->setColumnStretch(2, 1);

    m_factoryButton = makeButton(QStringLiteral("VideoRestoreFactoryDefaultsButton"),
                                 QStringLiteral("Go Back to Factory Defaults"));
    m_initialButton = makeButton(QStringLiteral("VideoRestoreInitialSettingsButton"),
                                 QStringLiteral("Go Back to Initial Settings"));
    m_saveInitialButton = makeButton(ctl::VideoSetInitialSettingsButton,
                                     QStringLiteral("Save Initial Settings"));
    QPushButton *ok = makeButton(QStringLiteral("VideoOKButton"), QStringLiteral("OK"));
    QPushButton *cancel = makeButton(QStringLiteral("VideoCancelButton"), QStringLiteral("Cancel"));

    QGridLayout *bulk = bulkButtonGrid(m_factoryButton, m_initialButton, m_saveInitialButton, ok, cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(makeScanSetLabel(QStringLiteral("ScanSetSelectedLabel4")));
    layout->addLayout(grid);
    layout->addStretch();
    layout->addLayout(bulk);

    connect(m_factoryButton, &QPushButton::clicked, this, [this] { goBack(DacTable::Factory); });
    connect(m_initialButton, &QPushButton::clicked, this, [this] { goBack(DacTable::Initial); });
    connect(m_saveInitialButton, &QPushButton::clicked, this, &VideoPanel::saveInitialSettings);
    connect(ok, &QPushButton::clicked, this, [this] {
        acceptSliders(everyRow());
        hidePanel();
    });
    connect(cancel, &QPushButton::clicked, this, [this] {
        reportSkipped(restoreAccepted(everyRow()));
        hidePanel();
    });
}

void VideoPanel::load()
{
    setArmed(false);
    showScanSetCaption();
    if (online())
        return; // the reads of the activation fill the panel
    fillFromModel(everyRow());
    setArmed(true);
}

void VideoPanel::activate()
{
    AdjustPanel::activate();
    showScanSetCaption();
    setArmed(false);
    if (online()) {
        m_ctx.send(cmd::readDac(u"l"));
        m_ctx.send(cmd::readDac(u"b"));
        m_ctx.send(cmd::readDacInitial(u"l"));
        m_ctx.send(cmd::readDacFactory(u"l"));
        m_ctx.send(cmd::readDacInitial(u"b"));
        m_ctx.send(cmd::readDacFactory(u"b"));
        const int type = m_ctx.data.MonitorType;
        if (hasVideoExtras(type)) {
            m_ctx.send(cmd::readVideoExtra(u'd'));
            m_ctx.send(cmd::readVideoExtra(u'p'));
            m_ctx.send(cmd::readVideoExtra(u'f'));
        }
        // Cancel returns to what the monitor answers now.
        captureAcceptedFromReplies(everyRow());
    } else {
        // The fill shows the image; it changes nothing, so it does not mark
        // the data changed.
        fillFromModel(everyRow());
        acceptFromModel(everyRow());
    }
    setArmed(true);
    // Activation hands the panel to the user in every mode: the mode table
    // disables the gains and the bulk buttons when the panel is made, and
    // the panel enables them each time it becomes the active window.
    for (int index : m_gains)
        m_rows[size_t(index)].slider->setEnabled(true);
    for (QPushButton *b : {m_factoryButton, m_initialButton, m_saveInitialButton})
        b->setEnabled(true);
}

void VideoPanel::deactivate()
{
    for (int index : m_gains)
        m_rows[size_t(index)].slider->setEnabled(false);
    for (QPushButton *b : {m_factoryButton, m_initialButton, m_saveInitialButton})
        b->setEnabled(false);
}

void VideoPanel::goBack(DacTable table)
{
    int skipped = moveToTable(m_gains, table);
    skipped += moveToTable(m_second, table);
    reportSkipped(skipped);
}

void VideoPanel::saveInitialSettings()
{
    // The monitor stores its present values; these commands go out whether
    // or not it answers, as they always have.
    int skipped = saveSlidersAsInitial(m_gains);
    m_ctx.send(cmd::storeDacInitial(u"l"));
    skipped += saveSlidersAsInitial(m_second);
    m_ctx.send(cmd::storeDacInitial(u"b"));
    reportSkipped(skipped);
}

} // namespace tvk

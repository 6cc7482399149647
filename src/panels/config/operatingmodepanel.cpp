#include "panels/config/operatingmodepanel.h"
#include "base/confignames.h"
#include "base/windownames.h"

#include "protocol/commands.h"

#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tvk {

namespace {

// A frame holding one labelled pair of option buttons; each frame is its
// own exclusive group.
QFrame *pairFrame(QWidget *parent, const QString &name, const QString &labelName, const QString &label)
{
    auto *frame = new QFrame(parent);
    frame->setObjectName(name);
    frame->setFrameShape(QFrame::StyledPanel);
    auto *layout = new QHBoxLayout(frame);
    auto *caption = new QLabel(label, frame);
    caption->setObjectName(labelName);
    caption->setMinimumWidth(220);
    layout->addWidget(caption);
    return frame;
}

} // namespace

QRadioButton *OperatingModePanel::option(const QString &name, const QString &text, QWidget *frame)
{
    auto *button = new QRadioButton(text, frame);
    button->setObjectName(name);
    frame->layout()->addWidget(button);
    connect(button, &QRadioButton::clicked, this, &OperatingModePanel::optionClicked);
    return button;
}

OperatingModePanel::OperatingModePanel(const PanelContext &context, ReplyContext &replies)
    : Panel(context, win::frmOperatingMode, QStringLiteral("Operating Mode"))
    , m_replies(replies)
{
    auto *mirovan = new QGroupBox(QStringLiteral("Mirovan Commands"), this);
    mirovan->setObjectName(QStringLiteral("Mirovan_command_frame"));
    mirovan->setLayout(new QHBoxLayout);
    option(ctl::Mirovan_Commands_Disabled_Opt, QStringLiteral("Disabled"), mirovan);
    m_extendedEnabled = option(ctl::Mirovan_Commands_Enabled_Opt, QStringLiteral("Enabled"), mirovan);
    m_extendedEnabled->setChecked(true);

    QFrame *dac = pairFrame(this, QStringLiteral("DACUpdatingFrame"), QStringLiteral("DacUpdatingLabel"),
                            QStringLiteral("5 sec DAC Updating"));
    option(ctl::DACUpdatingDisabledOptionButton, QStringLiteral("Disabled"), dac);
    m_dacEnabled = option(ctl::DacUpdatingEnabledOptionButton, QStringLiteral("Enabled"), dac);

    QFrame *brightness = pairFrame(this, QStringLiteral("BrightnessFrame"), QStringLiteral("BrightnessLabel"),
                                   QStringLiteral("User Brightness Control Defaults to:"));
    m_brightnessDisabled =
        option(ctl::UserBrightnessDisabledOption, QStringLiteral("Disabled"), brightness);
    option(ctl::UserBrightnessEnabledOption, QStringLiteral("Enabled"), brightness);

    QFrame *contrast = pairFrame(this, QStringLiteral("ContrastFrame"), QStringLiteral("ContrastLabel"),
                                 QStringLiteral("User Contrast Control Defaults to:"));
    m_contrastDisabled = option(ctl::UserContrastDisabledOption, QStringLiteral("Disabled"), contrast);
    option(ctl::UserContrastEnabledOption, QStringLiteral("Enabled"), contrast);

    QFrame *type = pairFrame(this, QStringLiteral("TypeFrame"), QStringLiteral("MonitorTypeLabel"),
                             QStringLiteral("Display Type"));
    option(ctl::ColorOption, QStringLiteral("Color"), type);
    m_monochrome = option(ctl::MonochromeOption, QStringLiteral("Monochrome"), type);

    QPushButton *close = makeHideButton(QStringLiteral("OperatingModeCloseButton"), QStringLiteral("Close"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(mirovan);
    layout->addWidget(dac);
    layout->addWidget(brightness);
    layout->addWidget(contrast);
    layout->addWidget(type);
    layout->addLayout(buttonRow({close}));
}

void OperatingModePanel::activate() { m_ctx.send(cmd::readModeWord()); }

OperatingModeOptions OperatingModePanel::selection() const
{
    OperatingModeOptions o;
    o.extendedCommands = m_extendedEnabled->isChecked();
    o.monochrome = m_monochrome->isChecked();
    o.dacUpdating = m_dacEnabled->isChecked();
    o.brightnessDisabled = m_brightnessDisabled->isChecked();
    o.contrastDisabled = m_contrastDisabled->isChecked();
    return o;
}

void OperatingModePanel::optionClicked()
{
    if (m_ctx.applying.active())
        return;
    const OperatingModeOptions options = selection();
    m_ctx.send(cmd::setModeWord(ComposeOperatingModeWord(options)));
    // The user-control defaults are shown on the brightness and contrast
    // panel too; keep it in step with what was just written.
    ShowOperatingMode(m_replies, options);
}

} // namespace tvk

#include "panels/adjust/brightnesscontrastpanel.h"
#include "base/adjustnames.h"
#include "base/confignames.h"
#include "base/windownames.h"
#include "base/monitorfamily.h"

#include "panels/adjust/hvpanels.h"
#include "core/replies/operatingmode.h"
#include "panels/accessiblevalue.h"
#include "protocol/commands.h"

#include <QAbstractSlider>
#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace tvk {

namespace {

// Names of one level's controls.
struct LevelNames {
    const char *heading;
    QString slider;
    QString present;
    QString initial;
    QString factory;
    const char *limitButtons[4]; // day lower, day upper, night lower, night upper
    int firstSlot;
    const char *setInitial;
    const char *useInitial;
    const char *useFactory;
    QString hysteresisLabel;
    QString hysteresisBox;
    QString hysteresisButton;
    QString softwareDisabled;
    QString softwareEnabled;
    const char *startupFrame;
    const char *startupInitialCaption;
    QString startupDisabled; // operating-mode option: user control disabled by default
    QString startupEnabled;
    QString revealButton;
    const char *revealCaption;
    const char *okButton;
    const char *spoken; // "contrast" / "brightness"
};

const LevelNames kLevels[2] = {
    {"Software-controlled Contrast", ctl::HScroll_Contrast, ctl::lblContrastPV, ctl::Label12, ctl::Label15,
     {"btnSetDayContrastLowerLimit", "btnDayContrastUpperLimit", "btnNightContrastLowerLimit",
      "btnNightContrastUpperLimit"},
     0, "btnSetInitial1", "btnUseInitial1", "btnUseFactory1", ctl::lblHystC, ctl::txtHystC, ctl::btnSetHystC,
     ctl::Option1, ctl::Option2, "At Startup, Contrast is controlled by", "Initial Setting of this window",
     ctl::UserContrastDisabledOption, ctl::UserContrastEnabledOption, ctl::btnSetDefaultsContrast,
     "       Set/Use  Defaults/Limits", "btnOKDefaultsContrast", "contrast"},
    {"Software-controlled Brightness", ctl::HScroll_Brightness, ctl::Label18, ctl::Label31, ctl::Label33,
     {"Command1", "Command3", "Command2", "Command4"},
     4, "Command5", "Command7", "Command6", QStringLiteral("Label7"), ctl::txtHystB,
     QStringLiteral("btnSetHystB"), ctl::Option3, ctl::Option4,
     "At startup, Brightness is controlled by", "Initial Setting of this wondow",
     ctl::UserBrightnessDisabledOption, ctl::UserBrightnessEnabledOption, ctl::btnSetDefaultsBrightness,
     "Set/Use Defaults", "btnOKDefaultsBrightness", "brightness"},
};

QString latin(const char *text) { return QString::fromLatin1(text); }

QLabel *valueLabel(QWidget *parent, const QString &name, const QString &spoken)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumWidth(44);
    markReading(label, spoken);
    return label;
}

std::optional<int> byteValue(const QString &text) { return typedByte(text); }

const char *const kLimitNames[4] = {"day lower limit", "day upper limit", "night lower limit",
                                    "night upper limit"};

} // namespace

BrightnessContrastPanel::BrightnessContrastPanel(const PanelContext &context, ReplyContext &replies)
    : AdjustPanel(context, win::frmBrightnessContrast, QStringLiteral("Adjust Brightness and Contrast"))
    , m_replies(replies)
{
    auto *sections = new QHBoxLayout;
    sections->addWidget(buildSection(Contrast));
    sections->addWidget(buildSection(Brightness));
    QPushButton *done = makeHideButton(QStringLiteral("btnDone"), QStringLiteral("Done"));
    setBodyAndButtons(sections, buttonRow({done}));
}

QWidget *BrightnessContrastPanel::buildSection(Level level)
{
    const LevelNames &n = kLevels[level];
    const QString spoken = latin(n.spoken);
    const QString Spoken = spoken.left(1).toUpper() + spoken.mid(1);
    auto *box = new QGroupBox(latin(n.heading), this);
    auto *grid = new QGridLayout(box);
    grid->setHorizontalSpacing(6);

    // Present value: slider and caption.
    auto *slider = new QScrollBar(Qt::Horizontal, box);
    slider->setObjectName(n.slider);
    slider->setMinimumWidth(160);
    QLabel *present = valueLabel(box, n.present, Spoken + QStringLiteral(", present value"));
    QLabel *initial = valueLabel(box, n.initial, Spoken + QStringLiteral(", initial setting"));
    QLabel *factory = valueLabel(box, n.factory, Spoken + QStringLiteral(", factory default"));
    SliderRow row;
    row.group = DacGroupId::L;
    row.channel = level == Contrast ? 0 : 1;
    row.sliderName = n.slider;
    row.presentName = n.present;
    row.initialName = n.initial;
    row.factoryName = n.factory;
    row.accessibleCaption = Spoken;
    m_row[level] = bindSlider(row, slider, present, factory, initial);
    slider->setAccessibleName(Spoken);

    int r = 0;
    grid->addWidget(new QLabel(QStringLiteral("Present"), box), r, 0);
    grid->addWidget(slider, r, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Value"), box), r, 4, Qt::AlignRight);
    grid->addWidget(present, r++, 5);

    // Limits: slot firstSlot + k, shown in lblLimits_(slot).
    grid->addWidget(new QLabel(QStringLiteral("Lower Limit"), box), r, 1, 1, 2, Qt::AlignCenter);
    grid->addWidget(new QLabel(QStringLiteral("Upper Limit"), box), r++, 3, 1, 2, Qt::AlignCenter);
    for (int dayNight = 0; dayNight < 2; ++dayNight) {
        grid->addWidget(new QLabel(dayNight == 0 ? QStringLiteral("Day") : QStringLiteral("Night"), box), r, 0);
        for (int lowerUpper = 0; lowerUpper < 2; ++lowerUpper) {
            const int k = 2 * dayNight + lowerUpper;
            const int slot = n.firstSlot + k;
            const QString what = Spoken + QLatin1Char(' ') + latin(kLimitNames[k]);
            QLabel *value = valueLabel(box, QString(), what);
            value->setObjectName(ctl::lblLimits_(slot));
            QPushButton *set = makeButton(latin(n.limitButtons[k]), QStringLiteral("Set"));
            set->setAccessibleName(QStringLiteral("Set ") + what);
            connect(set, &QPushButton::clicked, this, [this, slot] { setLimit(slot); });
            m_revealed[level] << set;
            grid->addWidget(value, r, 1 + 2 * lowerUpper);
            grid->addWidget(set, r, 2 + 2 * lowerUpper);
        }
        ++r;
    }

    // Initial setting and factory default.
    grid->addWidget(new QLabel(QStringLiteral(" Initial Setting"), box), r, 0);
    grid->addWidget(initial, r, 1);
    QPushButton *setInitial = makeButton(latin(n.setInitial), QStringLiteral("Set"));
    setInitial->setAccessibleName(QStringLiteral("Set ") + spoken + QStringLiteral(" initial setting"));
    QPushButton *useInitial = makeButton(latin(n.useInitial), QStringLiteral("Use"));
    useInitial->setAccessibleName(QStringLiteral("Use ") + spoken + QStringLiteral(" initial setting"));
    grid->addWidget(setInitial, r, 2);
    grid->addWidget(useInitial, r++, 3);
    grid->addWidget(new QLabel(QStringLiteral("Factory Default"), box), r, 0);
    grid->addWidget(factory, r, 1);
    QPushButton *useFactory = makeButton(latin(n.useFactory), QStringLiteral("Use"));
    useFactory->setAccessibleName(QStringLiteral("Use ") + spoken + QStringLiteral(" factory default"));
    grid->addWidget(useFactory, r++, 3);
    m_revealed[level] << setInitial << useInitial << useFactory;
    connect(setInitial, &QPushButton::clicked, this, [this] {
        m_ctx.send(cmd::storeDacInitial(u"l"));
        m_ctx.send(cmd::readDacInitial(u"l"));
    });
    const QString initialName = n.initial, factoryName = n.factory;
    connect(useInitial, &QPushButton::clicked, this, [this, level, initialName] { useValue(level, initialName); });
    connect(useFactory, &QPushButton::clicked, this, [this, level, factoryName] { useValue(level, factoryName); });

    // Hysteresis.
    auto *hystLabel = new QLabel(QStringLiteral("Hysterisis"), box);
    hystLabel->setObjectName(n.hysteresisLabel);
    m_hysteresis[level] = new QLineEdit(box);
    m_hysteresis[level]->setObjectName(n.hysteresisBox);
    m_hysteresis[level]->setMaximumWidth(60);
    m_hysteresis[level]->setAccessibleName(Spoken + QStringLiteral(" hysteresis"));
    QPushButton *setHyst = makeButton(n.hysteresisButton, QStringLiteral("Set"));
    setHyst->setAccessibleName(QStringLiteral("Set ") + spoken + QStringLiteral(" hysteresis"));
    connect(setHyst, &QPushButton::clicked, this, [this, level] { setHysteresis(level); });
    grid->addWidget(hystLabel, r, 0);
    grid->addWidget(m_hysteresis[level], r, 1);
    grid->addWidget(setHyst, r++, 2);

    // Software control of the level.
    auto *software = new QWidget(box);
    auto *softwareRow = new QHBoxLayout(software);
    softwareRow->setContentsMargins(0, 0, 0, 0);
    auto *disabled = new QRadioButton(QStringLiteral("Disabled"), software);
    disabled->setObjectName(n.softwareDisabled);
    disabled->setAccessibleName(Spoken + QStringLiteral(" software control disabled"));
    auto *enabled = new QRadioButton(QStringLiteral("Enabled"), software);
    enabled->setObjectName(n.softwareEnabled);
    enabled->setAccessibleName(Spoken + QStringLiteral(" software control enabled"));
    softwareRow->addWidget(disabled);
    softwareRow->addWidget(enabled);
    softwareRow->addStretch();
    connect(disabled, &QRadioButton::clicked, this, [this, level] { softwareControlClicked(level, false); });
    connect(enabled, &QRadioButton::clicked, this, [this, level] { softwareControlClicked(level, true); });
    connect(disabled, &QRadioButton::toggled, this, [this, level](bool on) {
        if (on)
            softwareControlShown(level, false);
    });
    connect(enabled, &QRadioButton::toggled, this, [this, level](bool on) {
        if (on)
            softwareControlShown(level, true);
    });
    grid->addWidget(software, r++, 0, 1, 6);

    // Start-up value: the operating-mode word's user-control bit.
    auto *startup = new QGroupBox(latin(n.startupFrame), box);
    auto *startupRow = new QHBoxLayout(startup);
    auto *fromWindow = new QRadioButton(latin(n.startupInitialCaption), startup);
    fromWindow->setObjectName(n.startupDisabled);
    fromWindow->setAccessibleName(Spoken + QStringLiteral(" at start-up: initial setting of this window"));
    auto *user = new QRadioButton(QStringLiteral("User Control"), startup);
    user->setObjectName(n.startupEnabled);
    user->setAccessibleName(Spoken + QStringLiteral(" at start-up: user control"));
    startupRow->addWidget(fromWindow);
    startupRow->addWidget(user);
    const QString disabledName = n.startupDisabled, enabledName = n.startupEnabled;
    connect(fromWindow, &QRadioButton::clicked, this, [this, disabledName] { startupOptionClicked(disabledName); });
    connect(user, &QRadioButton::clicked, this, [this, enabledName] { startupOptionClicked(enabledName); });
    grid->addWidget(startup, r++, 0, 1, 6);

    // Set/Use reveal.
    m_revealButton[level] = makeButton(n.revealButton, latin(n.revealCaption));
    m_revealButton[level]->setAccessibleName(QStringLiteral("Show the ") + spoken + QStringLiteral(" Set and Use buttons"));
    m_okButton[level] = makeButton(latin(n.okButton), QStringLiteral("Defaults/Limits            OK"));
    m_okButton[level]->setAccessibleName(QStringLiteral("Hide the ") + spoken + QStringLiteral(" Set and Use buttons"));
    connect(m_revealButton[level], &QPushButton::clicked, this, [this, level] { reveal(level, true); });
    connect(m_okButton[level], &QPushButton::clicked, this, [this, level] { reveal(level, false); });
    grid->addWidget(m_revealButton[level], r, 0, 1, 3);
    grid->addWidget(m_okButton[level], r++, 3, 1, 3);
    grid->setRowStretch(r, 1);
    return box;
}

void BrightnessContrastPanel::load()
{
    reveal(Contrast, false);
    reveal(Brightness, false);
}

void BrightnessContrastPanel::activate()
{
    AdjustPanel::activate();
    const int type = m_ctx.data.MonitorType;
    if (!belowMdiFamily(type) && online()) {
        m_ctx.send(cmd::readUserControls());
        if (!flatPanelOrLater(type))
            m_ctx.send(cmd::readLimitsReport());
    }
    setArmed(false);
    if (online()) {
        m_ctx.send(cmd::readModeWord());
        m_ctx.send(cmd::readDac(u"l"));
        m_ctx.send(cmd::readDacInitial(u"l"));
        m_ctx.send(cmd::readDacFactory(u"l"));
    } else {
        fillFromModel({m_row[Contrast], m_row[Brightness]});
    }
    setArmed(true);
}

void BrightnessContrastPanel::setLimit(int slot)
{
    if (!online())
        return;
    // The monitor stores its present level as the limit; read them back.
    m_ctx.send(cmd::storeLimit(slot));
    m_ctx.send(cmd::readLimitsReport());
}

void BrightnessContrastPanel::useValue(Level level, const QString &label)
{
    auto *source = findChild<QLabel *>(label);
    const auto value = source ? byteValue(source->text()) : std::nullopt;
    if (!value) {
        m_ctx.showStatus(QStringLiteral("No value to use: it has not been read from the monitor yet."));
        return;
    }
    moveSlider(m_row[level], *value);
}

void BrightnessContrastPanel::setHysteresis(Level level)
{
    if (!online())
        return;
    const QString text = m_hysteresis[level]->text().trimmed();
    if (!byteValue(text)) {
        m_ctx.showStatus(QStringLiteral("The hysteresis must be a whole number from 0 to 255; nothing was sent."));
        return;
    }
    m_ctx.send(level == Contrast ? cmd::contrastHysteresis(text) : cmd::brightnessHysteresis(text));
}

void BrightnessContrastPanel::softwareControlClicked(Level level, bool enabled)
{
    // "Disabled" hands the level back to the user's own control.
    const int type = m_ctx.data.MonitorType;
    if (separateUserControls(type))
        m_ctx.send(level == Contrast ? cmd::userContrast(!enabled) : cmd::userBrightness(!enabled));
    else if (type > 200)
        m_ctx.send(cmd::userControls(!enabled));
}

void BrightnessContrastPanel::softwareControlShown(Level level, bool enabled)
{
    if (!online())
        return;
    QAbstractSlider *slider = m_rows[size_t(m_row[level])].slider;
    slider->setEnabled(enabled);
    slider->setVisible(enabled);
}

void BrightnessContrastPanel::startupOptionClicked(const QString &option)
{
    // The operating-mode word holds these defaults beside three other
    // switches: the word is written only when all of it is known (read
    // from the monitor), never with guessed bits.
    if (m_ctx.applying.active())
        return;
    const ControlBook &book = m_ctx.controls;
    const auto bit = [&](const QString &set, const QString &clear) -> std::optional<bool> {
        const auto a = book.checked(win::frmOperatingMode, set);
        const auto b = book.checked(win::frmOperatingMode, clear);
        if (a && *a)
            return true;
        if (b && *b)
            return false;
        return std::nullopt;
    };
    const auto extended = bit(ctl::Mirovan_Commands_Enabled_Opt, ctl::Mirovan_Commands_Disabled_Opt);
    const auto mono = bit(ctl::MonochromeOption, ctl::ColorOption);
    const auto dac = bit(ctl::DacUpdatingEnabledOptionButton, ctl::DACUpdatingDisabledOptionButton);
    const auto brightness = bit(ctl::UserBrightnessDisabledOption, ctl::UserBrightnessEnabledOption);
    const auto contrast = bit(ctl::UserContrastDisabledOption, ctl::UserContrastEnabledOption);
    if (!extended || !mono || !dac || !brightness || !contrast) {
        m_ctx.showStatus(QStringLiteral("The operating mode has not been read from the monitor yet; "
                                         "nothing was sent."));
        // The buttons go back to what they showed (nothing, while unknown).
        for (const QString &name : {ctl::UserBrightnessDisabledOption, ctl::UserBrightnessEnabledOption,
                                    ctl::UserContrastDisabledOption, ctl::UserContrastEnabledOption}) {
            if (auto *b = findChild<QRadioButton *>(name)) {
                b->setAutoExclusive(false);
                b->setChecked(book.checked(objectName(), name).value_or(false));
                b->setAutoExclusive(true);
            }
        }
        return;
    }
    OperatingModeOptions o{*extended, *mono, *dac, *brightness, *contrast};
    if (option == ctl::UserBrightnessDisabledOption || option == ctl::UserBrightnessEnabledOption)
        o.brightnessDisabled = option == ctl::UserBrightnessDisabledOption;
    else
        o.contrastDisabled = option == ctl::UserContrastDisabledOption;
    m_ctx.send(cmd::setModeWord(ComposeOperatingModeWord(o)));
    ShowOperatingMode(m_replies, o);
}

void BrightnessContrastPanel::reveal(Level level, bool on)
{
    for (QWidget *w : m_revealed[level]) {
        w->setEnabled(on);
        w->setVisible(on);
    }
    m_revealButton[level]->setVisible(!on);
    m_okButton[level]->setVisible(on);
}

} // namespace tvk

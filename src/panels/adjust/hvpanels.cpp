#include "panels/adjust/hvpanels.h"
#include "base/adjustnames.h"
#include "base/diagnames.h"
#include "base/windownames.h"

#include "core/diag/hvlimits.h"
#include "core/replies/adjustreplies.h"
#include "panels/accessiblevalue.h"
#include "protocol/commands.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace tvk {

namespace {

struct HvRow {
    const char *caption;
    char letter;
};
constexpr HvRow kHvRows[kHvControlCount] = {
    {"HVPS Adjust", 'h'}, {"Focus Adjust", 'f'}, {"G2 Adjust", 'g'}, {"Video +80V Adjust", 'v'}};

QLineEdit *namedBox(QWidget *parent, const QString &name, const QString &spoken, bool readOnly)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(readOnly);
    box->setMaximumWidth(70);
    box->setAccessibleName(spoken);
    return box;
}

} // namespace

std::optional<int> typedByte(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 3)
        return std::nullopt;
    for (QChar c : t) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
    }
    const int value = t.toInt();
    return value <= 255 ? std::optional<int>(value) : std::nullopt;
}

// --- frmMDI_HV ----------------------------------------------------------------

MdiHvPanel::MdiHvPanel(const PanelContext &context) : AdjustPanel(context, win::frmMDI_HV, QStringLiteral("High Voltage"))
{
    auto *grid = new QGridLayout;
    grid->setVerticalSpacing(2);
    addColumnHeadings(grid, 0, {QStringLiteral("Present Value"), QStringLiteral("Factory Defaults"),
                                QStringLiteral("Initial Settings")});
    for (int i = 0; i < kHvControlCount; ++i) {
        const RowNames names{ctl::HScroll1_, ctl::Text1_, ctl::Text2_, ctl::Text3_, ctl::Label1_};
        SliderRow row = makeRow(DacGroupId::V, i, names, i, kHvRows[i].caption, nullptr, nullptr,
                                255, 16, SendGate::SendOnChange);
        row.inModel = false;
        const QChar letter = QLatin1Char(kHvRows[i].letter);
        row.setCommand = [letter](int value) { return cmd::hvControl(letter, value); };
        addSliderRow(grid, i + 1, row);
    }
    grid->setColumnStretch(2, 1);

    auto *values = new QGridLayout;
    int r = 0;
    auto addPair = [&](const char *caption, QWidget *w, int column) {
        values->addWidget(new QLabel(QString::fromLatin1(caption), this), r, column, Qt::AlignRight);
        values->addWidget(w, r, column + 1);
    };
    addPair("HV Val:", namedBox(this, ctl::HVValTextBox, QStringLiteral("HV value"), true), 0);
    auto *anodeV = new QLabel(this);
    anodeV->setObjectName(ctl::VAnodeValue);
    markReading(anodeV, QStringLiteral("HV Anode Voltage:"));
    addPair("HV Anode Voltage:", anodeV, 3);
    ++r;
    m_upper = namedBox(this, ctl::HVUpperLimitTextBox, QStringLiteral("HV upper limit"), false);
    addPair("HV Upper Limit:", m_upper, 0);
    QPushButton *setUpper = makeButton(QStringLiteral("HVUpperLimitSetButton"), QStringLiteral("Set"));
    setUpper->setAccessibleName(QStringLiteral("Set HV upper limit"));
    values->addWidget(setUpper, r, 2);
    auto *anodeI = new QLabel(this);
    anodeI->setObjectName(ctl::IAnodeValue);
    markReading(anodeI, QStringLiteral("HV Anode Current:"));
    addPair("HV Anode Current:", anodeI, 3);
    ++r;
    m_lower = namedBox(this, ctl::HVLowerLimitTextBox, QStringLiteral("HV lower limit"), false);
    addPair("HV Lower Limit:", m_lower, 0);
    QPushButton *setLower = makeButton(QStringLiteral("HVLowerLimitSetButton"), QStringLiteral("Set"));
    setLower->setAccessibleName(QStringLiteral("Set HV lower limit"));
    values->addWidget(setLower, r, 2);
    values->setColumnStretch(5, 1);

    QPushButton *reread = makeButton(QStringLiteral("ReadADCButton"), QStringLiteral("Reread Values"));
    QPushButton *useInitial = makeButton(QStringLiteral("btnUseInitialValues"), QStringLiteral("Use Initial Values"));
    QPushButton *setInitial = makeButton(QStringLiteral("btnSetInitialSettings"), QStringLiteral("Set Initial Values"));
    QPushButton *factory = makeButton(QStringLiteral("btnRestoreFactoryDefaults"), QStringLiteral("Use Factory Defaults"));
    QPushButton *close = makeHideButton(QStringLiteral("TPCloseButton"), QStringLiteral("Close"));

    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {reread, useInitial, setInitial, factory})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(values);
    layout->addStretch();
    layout->addLayout(buttons);

    connect(setUpper, &QPushButton::clicked, this, [this] { setLimit(m_upper, true); });
    connect(setLower, &QPushButton::clicked, this, [this] { setLimit(m_lower, false); });
    connect(reread, &QPushButton::clicked, this, [this] { m_ctx.send(cmd::readHighVoltage()); });
    connect(useInitial, &QPushButton::clicked, this, &MdiHvPanel::useInitialValues);
    connect(setInitial, &QPushButton::clicked, this, [this] { m_ctx.send(cmd::storeHvInitial()); });
    connect(factory, &QPushButton::clicked, this, [this] {
        m_ctx.send(cmd::restoreHvFactory());
        m_ctx.send(cmd::readHighVoltage());
    });
}

void MdiHvPanel::activate()
{
    AdjustPanel::activate();
    m_ctx.send(cmd::readHighVoltage());
}

void MdiHvPanel::sliderChanged(int index, int value)
{
    // The initial column follows the present value, as the monitor stores
    // a high-voltage setting it is given.
    setBoxText(m_rows[size_t(index)].initial, QString::number(value));
    AdjustPanel::sliderChanged(index, value);
}

void MdiHvPanel::useInitialValues()
{
    int skipped = 0;
    for (int i = 0; i < int(m_rows.size()); ++i) {
        auto *box = qobject_cast<QLineEdit *>(m_rows[size_t(i)].initial);
        if (const auto value = typedByte(box ? box->text() : QString()))
            moveSlider(i, *value);
        else
            ++skipped;
    }
    reportSkipped(skipped);
}

void MdiHvPanel::setLimit(QLineEdit *box, bool upper)
{
    SendHvLimit(upper ? HvLimit::Upper : HvLimit::Lower, box->text(), m_ctx.data.HvUpperLimit,
                m_ctx.data.HvLowerLimit, m_ctx.messages, [this](const QString &c) { m_ctx.send(c); });
}

// --- frmG2 ----------------------------------------------------------------------

const QString G2Panel::kG2OutOfRangeTip = QStringLiteral(
    "The monitor's high-voltage setting is above 63, beyond this slider's range,\n"
    "so the slider is disabled. Adjust it in the High Voltage window\n"
    "(Adjustment > High Voltage Supply).");

G2Panel::G2Panel(const PanelContext &context) : AdjustPanel(context, win::frmG2, QStringLiteral("Adjust HV, Focus, G2"))
{
    auto *grid = new QGridLayout;
    int c = 2;
    for (const char *heading : {"Present Setting", "Initial Setting", "Factory Default"}) {
        auto *h = new QLabel(QString::fromLatin1(heading), this);
        h->setAlignment(Qt::AlignCenter);
        grid->addWidget(h, 0, c++);
    }
    auto *caption = new QLabel(QStringLiteral("HV"), this);
    auto *slider = new QScrollBar(Qt::Horizontal, this);
    slider->setObjectName(ctl::HScroll1_(1));
    slider->setMinimumWidth(200);
    QLabel *boxes[3];
    const ElementName names[3] = {ctl::Label2_, ctl::Label3_, ctl::Label4_};
    const char *spoken[3] = {"HV, present setting", "HV, initial setting", "HV, factory default"};
    for (int i = 0; i < 3; ++i) {
        boxes[i] = new QLabel(this);
        boxes[i]->setObjectName(names[i](1));
        boxes[i]->setFrameShape(QFrame::Panel);
        boxes[i]->setFrameShadow(QFrame::Sunken);
        boxes[i]->setAlignment(Qt::AlignCenter);
        boxes[i]->setMinimumWidth(50);
        markReading(boxes[i], QString::fromLatin1(spoken[i]));
        grid->addWidget(boxes[i], 1, 2 + i);
    }
    grid->addWidget(caption, 1, 0);
    grid->addWidget(slider, 1, 1);
    grid->setColumnStretch(1, 1);

    SliderRow row;
    row.caption = QStringLiteral("HV");
    row.channel = 1;
    row.maximum = kG2SliderMaximum;
    row.largeStep = 8;
    row.sliderName = slider->objectName();
    row.presentName = boxes[0]->objectName();
    row.initialName = boxes[1]->objectName();
    row.factoryName = boxes[2]->objectName();
    row.inModel = false;
    row.setCommand = [](int value) { return cmd::hvControl(u'h', value); };
    bindSlider(row, slider, boxes[0], boxes[2], boxes[1], caption);
    // The report disables the 6-bit slider while the monitor's setting is
    // above its range; the tool tip says why and where to go instead.
    connect(&m_ctx.controls, &ControlBook::changed, this,
            [this, slider](const QString &window, const QString &control, ControlProperty property) {
                if (property == ControlProperty::Enabled && window == objectName()
                    && control == slider->objectName())
                    explainRange();
            });

    QPushButton *factory = makeButton(QStringLiteral("btnUseFactoryDefaults"), QStringLiteral("Use Factory Default"));
    QPushButton *done = makeHideButton(QStringLiteral("btnDone"), QStringLiteral("Done"));
    connect(factory, &QPushButton::clicked, this, [this] {
        m_ctx.send(cmd::restoreHvFactory());
        m_ctx.send(cmd::readHighVoltage());
    });
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(factory);
    buttons->addStretch();
    buttons->addWidget(done);
    setBodyAndButtons(grid, buttons);
}

void G2Panel::explainRange()
{
    QAbstractSlider *slider = m_rows.front().slider;
    const bool fits = m_ctx.controls.isEnabled(objectName(), slider->objectName());
    slider->setToolTip(fits ? QString() : kG2OutOfRangeTip);
    slider->setAccessibleDescription(fits ? QString() : kG2OutOfRangeTip);
}

void G2Panel::activate()
{
    AdjustPanel::activate();
    // A report that came before the panel was made disabled the slider
    // without a word to it.
    explainRange();
    setArmed(false);
    m_ctx.send(cmd::readHighVoltage());
    setArmed(true);
}

void G2Panel::sliderChanged(int index, int value)
{
    setBoxText(m_rows[size_t(index)].initial, QString::number(value));
    AdjustPanel::sliderChanged(index, value);
}

} // namespace tvk

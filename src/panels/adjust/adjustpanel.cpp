#include "panels/adjust/adjustpanel.h"
#include "panels/accessiblevalue.h"

#include "protocol/commands.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>

namespace tvk {

namespace {

QString nameOrEmpty(ElementName name, int index)
{
    return name ? name(index) : QString();
}

QLineEdit *makeBox(QWidget *parent, const QString &name)
{
    if (name.isEmpty())
        return nullptr;
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setAlignment(Qt::AlignRight);
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);
    return box;
}

// A small picture at one end of a slider; its tool tip names the effect.
QLabel *makeEndPicture(QWidget *parent, const QString &name, QStyle::StandardPixmap arrow,
                       const QString &toolTip)
{
    auto *picture = new QLabel(parent);
    picture->setObjectName(name);
    const int size = parent->style()->pixelMetric(QStyle::PM_SmallIconSize);
    picture->setPixmap(parent->style()->standardIcon(arrow).pixmap(size, size));
    picture->setToolTip(toolTip);
    return picture;
}

} // namespace

SliderRow makeRow(DacGroupId group, int channel, const RowNames &names,
                  int index, const char *caption, const char *lowTip, const char *highTip,
                  int maximum, int largeStep, SendGate gate)
{
    SliderRow row;
    row.group = group;
    row.channel = channel;
    row.caption = caption ? QString::fromLatin1(caption) : QString();
    row.minimum = 0;
    row.maximum = maximum;
    row.largeStep = largeStep;
    row.lowTip = lowTip ? QString::fromLatin1(lowTip) : QString();
    row.highTip = highTip ? QString::fromLatin1(highTip) : QString();
    row.sliderName = nameOrEmpty(names.slider, index);
    row.presentName = nameOrEmpty(names.present, index);
    row.factoryName = nameOrEmpty(names.factory, index);
    row.initialName = nameOrEmpty(names.initial, index);
    row.captionName = nameOrEmpty(names.caption, index);
    row.gate = gate;
    return row;
}

AdjustPanel::AdjustPanel(const PanelContext &context, const QString &name, const QString &title, QWidget *parent)
    : Panel(context, name, title, parent)
{
    connect(&context.controls, &ControlBook::changed, this, &AdjustPanel::onBookChanged);
}

void AdjustPanel::setBoxText(QWidget *box, const QString &text)
{
    if (auto *edit = qobject_cast<QLineEdit *>(box))
        edit->setText(text);
    else if (auto *label = qobject_cast<QLabel *>(box))
        label->setText(text);
}

QStringList AdjustPanel::defaultHeadings()
{
    return { QStringLiteral("Present Value"), QStringLiteral("Factory Default"),
             QStringLiteral("Initial Setting") };
}

void AdjustPanel::addColumnHeadings(QGridLayout *grid, int gridRow, const QStringList &headings)
{
    for (int i = 0; i < headings.size(); ++i) {
        auto *heading = new QLabel(headings[i], grid->parentWidget());
        heading->setAlignment(Qt::AlignCenter);
        heading->setWordWrap(true);
        grid->addWidget(heading, gridRow, 4 + i);
    }
}

int AdjustPanel::addSliderRow(QGridLayout *grid, int gridRow, const SliderRow &row)
{
    QWidget *parent = grid->parentWidget() ? grid->parentWidget() : this;
    QLabel *caption = nullptr;
    if (!row.captionName.isEmpty() || !row.caption.isEmpty()) {
        caption = new QLabel(row.caption, parent);
        caption->setObjectName(row.captionName);
        grid->addWidget(caption, gridRow, 0);
    }
    auto *slider = new QScrollBar(Qt::Horizontal, parent);
    slider->setObjectName(row.sliderName);
    slider->setMinimumWidth(120);
    QLineEdit *present = makeBox(parent, row.presentName);
    QLineEdit *factory = makeBox(parent, row.factoryName);
    QLineEdit *initial = makeBox(parent, row.initialName);

    const int index = bindSlider(row, slider, present, factory, initial, caption);
    SliderControls &c = m_rows[size_t(index)];
    c.lowEnd = makeEndPicture(parent, row.sliderName + QStringLiteral("Low"), QStyle::SP_ArrowLeft,
                              row.lowTip);
    c.highEnd = makeEndPicture(parent, row.sliderName + QStringLiteral("High"),
                               QStyle::SP_ArrowRight, row.highTip);
    grid->addWidget(c.lowEnd, gridRow, 1);
    grid->addWidget(slider, gridRow, 2);
    grid->addWidget(c.highEnd, gridRow, 3);
    if (present)
        grid->addWidget(present, gridRow, 4);
    if (factory)
        grid->addWidget(factory, gridRow, 5);
    if (initial)
        grid->addWidget(initial, gridRow, 6);
    return index;
}

int AdjustPanel::bindSlider(const SliderRow &row, QAbstractSlider *slider, QWidget *present,
                            QWidget *factory, QWidget *initial, QLabel *caption)
{
    slider->setRange(row.minimum, row.maximum);
    slider->setSingleStep(1);
    slider->setPageStep(row.largeStep);
    slider->setValue(row.minimum);
    SliderControls c;
    c.row = row;
    c.slider = slider;
    c.present = present;
    c.factory = factory;
    c.initial = initial;
    c.caption = caption;
    m_rows.push_back(std::move(c));
    const int index = int(m_rows.size()) - 1;
    nameRowForScreenReaders(m_rows.back());
    connect(slider, &QAbstractSlider::valueChanged, this,
            [this, index](int value) { sliderChanged(index, value); });
    return index;
}

QGridLayout *AdjustPanel::bulkButtonGrid(QWidget *factory, QWidget *initial, QWidget *saveInitial,
                                         QWidget *ok, QWidget *cancel)
{
    auto *bulk = new QGridLayout;
    bulk->addWidget(factory, 0, 0);
    bulk->addWidget(initial, 0, 1);
    bulk->addWidget(saveInitial, 1, 0);
    bulk->addLayout(buttonRow({ok, cancel}), 1, 1);
    return bulk;
}

QLabel *AdjustPanel::makeScanSetLabel(const QString &objectName)
{
    m_scanSetLabel = new QLabel(m_ctx.data.ScanSetCaption, this);
    m_scanSetLabel->setObjectName(objectName);
    return m_scanSetLabel;
}

bool AdjustPanel::online() const { return m_ctx.online(); }

std::optional<int> AdjustPanel::tableValue(int index, DacTable table) const
{
    const SliderRow &row = m_rows[size_t(index)].row;
    if (!row.inModel)
        return std::nullopt;
    // Entries never read nor loaded hold start zeros: not a value.
    const auto value = m_ctx.data.knownCurrentValue(row.group, table, row.channel);
    return value ? std::optional<int>(*value) : std::nullopt;
}

bool AdjustPanel::storeTableValue(int index, DacTable table, int value)
{
    const SliderRow &row = m_rows[size_t(index)].row;
    if (!row.inModel)
        return false;
    return m_ctx.data.setCurrentValue(row.group, table, row.channel, value);
}

void AdjustPanel::sliderChanged(int index, int value)
{
    SliderControls &c = m_rows[size_t(index)];
    setBoxText(c.present, QString::number(value));
    c.positionKnown = !m_ctx.applying.showOnly();
    if (m_filling || !m_live)
        return;
    // A value a reply had to limit to fit the slider is shown, never stored
    // nor sent: the monitor holds another one.
    if (m_ctx.applying.showOnly())
        return;
    const bool stored = storeTableValue(index, DacTable::Present, value);
    const bool allowed = c.row.gate == SendGate::Armed ? m_armed : !m_ctx.applying.active();
    if (!allowed)
        return;
    if (stored || !c.row.inModel)
        m_ctx.data.DataChanged = true;
    // A move that applies what the monitor reported (a reply, a window
    // taking the control book's entries) is never sent back, whatever the
    // panel's flags: only the user's own moves reach the monitor.
    if (!online() || m_ctx.applying.active())
        return;
    const QString letter = QString::fromLatin1(dacGroupDesc(c.row.group).command);
    m_ctx.send(c.row.setCommand ? c.row.setCommand(value) : cmd::setDac(letter, c.row.channel, value));
}

void AdjustPanel::nameRowForScreenReaders(const SliderControls &c)
{
    const QString caption = c.row.caption.isEmpty() ? c.row.accessibleCaption : c.row.caption;
    if (caption.isEmpty())
        return;
    c.slider->setAccessibleName(caption);
    const std::pair<QWidget *, const char *> boxes[] = {
        {c.present, "present value"}, {c.factory, "factory default"}, {c.initial, "initial setting"}};
    for (const auto &[box, column] : boxes) {
        const QString spoken = caption + QStringLiteral(", ") + QLatin1String(column);
        // A label is a reading: its name carries its value too.
        if (auto *label = qobject_cast<QLabel *>(box))
            markReading(label, spoken);
        else if (box)
            box->setAccessibleName(spoken);
    }
}

void AdjustPanel::reportSkipped(int skipped)
{
    if (skipped <= 0)
        return;
    m_ctx.showStatus(skipped == 1
        ? QStringLiteral("1 channel was left alone: its value has not been read from the monitor "
                         "or loaded from a file yet.")
        : QStringLiteral("%1 channels were left alone: their values have not been read from the "
                         "monitor or loaded from a file yet.").arg(skipped));
}

void AdjustPanel::fillFromModel(const QList<int> &rows)
{
    m_filling = true;
    for (int index : rows) {
        SliderControls &c = m_rows[size_t(index)];
        const auto present = tableValue(index, DacTable::Present);
        if (!present)
            continue; // no scan set selected: nothing to show
        c.slider->setValue(*present);
        c.positionKnown = true;
        setBoxText(c.present, QString::number(c.slider->value()));
        if (const auto factory = tableValue(index, DacTable::Factory))
            setBoxText(c.factory, QString::number(*factory));
        if (const auto initial = tableValue(index, DacTable::Initial))
            setBoxText(c.initial, QString::number(*initial));
    }
    m_filling = false;
}

void AdjustPanel::moveSlider(int index, int value)
{
    SliderControls &c = m_rows[size_t(index)];
    c.slider->setValue(value);
    // An unchanged position runs no handler; the box still shows it.
    setBoxText(c.present, QString::number(c.slider->value()));
}

int AdjustPanel::moveToTable(const QList<int> &rows, DacTable table)
{
    int skipped = 0;
    for (int index : rows) {
        if (const auto value = tableValue(index, table))
            moveSlider(index, *value);
        else
            ++skipped;
    }
    return skipped;
}

int AdjustPanel::saveSlidersAsInitial(const QList<int> &rows)
{
    int skipped = 0;
    for (int index : rows) {
        SliderControls &c = m_rows[size_t(index)];
        if (!c.positionKnown) {
            ++skipped;
            continue;
        }
        const int value = c.slider->value();
        storeTableValue(index, DacTable::Initial, value);
        setBoxText(c.initial, QString::number(value));
    }
    return skipped;
}

void AdjustPanel::setAccepted(SliderControls &c, int value)
{
    c.accepted = value;
    c.capturePending = false;
    m_ctx.data.setCurrentValue(c.row.group, DacTable::Accepted, c.row.channel, value);
}

void AdjustPanel::acceptSliders(const QList<int> &rows)
{
    for (int index : rows) {
        SliderControls &c = m_rows[size_t(index)];
        if (c.positionKnown)
            setAccepted(c, c.slider->value());
    }
}

int AdjustPanel::restoreAccepted(const QList<int> &rows)
{
    int skipped = 0;
    for (int index : rows) {
        const SliderControls &c = m_rows[size_t(index)];
        if (c.accepted)
            moveSlider(index, *c.accepted);
        else
            ++skipped;
    }
    return skipped;
}

void AdjustPanel::captureAcceptedFromReplies(const QList<int> &rows)
{
    for (int index : rows)
        m_rows[size_t(index)].capturePending = true;
}

void AdjustPanel::acceptFromModel(const QList<int> &rows)
{
    for (int index : rows) {
        SliderControls &c = m_rows[size_t(index)];
        c.capturePending = false;
        if (tableValue(index, DacTable::Present))
            setAccepted(c, c.slider->value());
    }
}

void AdjustPanel::showScanSetCaption()
{
    if (m_scanSetLabel)
        m_scanSetLabel->setText(m_ctx.data.ScanSetCaption);
}

void AdjustPanel::setRowEnabled(int index, bool on)
{
    SliderControls &c = m_rows[size_t(index)];
    for (QWidget *w : { static_cast<QWidget *>(c.slider), c.present, c.factory, c.initial,
                        static_cast<QWidget *>(c.caption) }) {
        if (w)
            w->setEnabled(on);
    }
}

void AdjustPanel::onBookChanged(const QString &window, const QString &control,
                                ControlProperty property)
{
    if (property != ControlProperty::Value || window != objectName())
        return;
    for (SliderControls &c : m_rows) {
        if (c.row.sliderName != control)
            continue;
        if (!m_ctx.controls.value(window, control)) {
            // A reply that did not carry this channel: what the monitor
            // holds is not known, so nothing takes the slider's position.
            c.positionKnown = false;
            setBoxText(c.present, QString());
            return;
        }
        c.positionKnown = !m_ctx.applying.showOnly();
        if (c.capturePending && !m_ctx.applying.showOnly()) {
            // A reply positioned this slider: the value the monitor holds.
            const auto value = m_ctx.controls.value(window, control);
            if (value)
                setAccepted(c, std::clamp(*value, c.row.minimum, c.row.maximum));
        }
        return;
    }
}

} // namespace tvk

#include "panels/diag/i2cprobepanel.h"
#include "base/diagnames.h"
#include "base/windownames.h"

#include "core/diag/i2cprobe.h"
#include "panels/accessiblevalue.h"
#include "protocol/commands.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tvk {

I2cProbePanel::I2cProbePanel(const PanelContext &context) : Panel(context, win::frmI2cProbe, QStringLiteral("I2C Device Test"))
{
    // Boards in two columns, each a group of its devices.
    auto *columns = new QHBoxLayout;
    QVBoxLayout *column[2] = {new QVBoxLayout, new QVBoxLayout};
    QGroupBox *group = nullptr;
    QGridLayout *grid = nullptr;
    int groups = 0;
    int row = 0;
    for (const I2cDevice &d : i2cDevices()) {
        const QString heading = QString::fromLatin1(d.group);
        if (!group || group->title() != heading) {
            group = new QGroupBox(heading, this);
            grid = new QGridLayout(group);
            // CPU, Deflection, Convergence on the left; the rest on the right.
            column[groups < 3 ? 0 : 1]->addWidget(group);
            ++groups;
            row = 0;
        }
        QPushButton *button = makeButton(ctl::i2cButton(d.part), QString::fromLatin1(d.label));
        const QString probe = QString::fromLatin1(d.probe);
        connect(button, &QPushButton::clicked, this, [this, probe] { m_ctx.send(cmd::probeI2c(probe)); });
        button->setMinimumWidth(90);
        button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        // The result in words beside the button: its colour is not the only sign.
        auto *result = new QLabel(this);
        result->setObjectName(button->objectName() + QStringLiteral("Result"));
        result->setMinimumWidth(result->fontMetrics().horizontalAdvance(QStringLiteral("not connected")) + 4);
        markReading(result, QString::fromLatin1(d.label) + QStringLiteral(" result"), ProbeResultWords(std::nullopt));
        m_results.insert(button->objectName(), {button, result, &d});
        grid->addWidget(button, row, 0);
        grid->addWidget(result, row, 1);
        grid->setColumnStretch(2, 1);
        grid->addWidget(new QLabel(QString::fromLatin1(d.description), this), row, 2);
        showResult(button->objectName());
        ++row;
    }
    // A reply colours a button whether or not this window exists: the
    // words follow the colour the control book holds.
    connect(&m_ctx.controls, &ControlBook::changed, this,
            [this](const QString &window, const QString &control, ControlProperty property) {
                if (property == ControlProperty::Color && window == name())
                    showResult(control);
            });
    for (QVBoxLayout *c : column) {
        c->addStretch();
        columns->addLayout(c);
    }

    auto *tools = new QGridLayout;
    QPushButton *leds = makeButton(QStringLiteral("BtnToggleLEDs"), QString());
    leds->setAccessibleName(QStringLiteral("Toggle CPU LEDs"));
    leds->setFixedWidth(32);
    auto *ledsCaption = new QLabel(QStringLiteral("Toggle CPU LEDs"), this);
    ledsCaption->setBuddy(leds);
    auto *address = new QLineEdit(this);
    address->setObjectName(QStringLiteral("txtTest"));
    address->setAccessibleName(QStringLiteral("Try this HEX address"));
    address->setMaximumWidth(60);
    QPushButton *tryIt = makeButton(QStringLiteral("btnTest"), QString());
    tryIt->setAccessibleName(QStringLiteral("Try this HEX address"));
    tryIt->setFixedWidth(32);
    auto *tryCaption = new QLabel(QStringLiteral("Try this HEX address"), this);
    tryCaption->setBuddy(address);
    tools->addWidget(leds, 0, 0);
    tools->addWidget(ledsCaption, 0, 1, 1, 2);
    tools->addWidget(tryIt, 1, 0);
    tools->addWidget(address, 1, 1);
    tools->addWidget(tryCaption, 1, 2);
    tools->setColumnStretch(3, 1);

    auto *body = new QVBoxLayout;
    body->addLayout(columns);
    body->addLayout(tools);

    QPushButton *all = makeButton(QStringLiteral("btnAll"), QStringLiteral("Test All"));
    QPushButton *gray = makeButton(QStringLiteral("btnSetAllGray"), QStringLiteral("Set All Buttons Gray"));
    QPushButton *done = makeHideButton(QStringLiteral("btnDone"), QStringLiteral("Done"));
    setBodyAndButtons(body, buttonRow({all, gray, done}));

    connect(leds, &QPushButton::clicked, this, [this] { m_ctx.send(cmd::toggleLeds()); });
    connect(tryIt, &QPushButton::clicked, this, &I2cProbePanel::tryTypedAddress);
    connect(address, &QLineEdit::returnPressed, this, &I2cProbePanel::tryTypedAddress);
    connect(all, &QPushButton::clicked, this, &I2cProbePanel::testAll);
    connect(gray, &QPushButton::clicked, this, &I2cProbePanel::setAllGray);
}

void I2cProbePanel::testAll()
{
    for (const QString &address : testAllAddresses())
        m_ctx.send(cmd::probeI2c(address));
}

void I2cProbePanel::setAllGray()
{
    const QColor face = palette().color(QPalette::Button);
    const int colour = face.red() | (face.green() << 8) | (face.blue() << 16);
    for (QPushButton *button : findChildren<QPushButton *>()) {
        m_ctx.controls.setColor(name(), button->objectName(), colour);
        // The system's own button face, as the style draws it.
        button->setStyleSheet(QString());
    }
}

QString I2cProbePanel::result(const QString &button) const
{
    return ProbeResultWords(m_ctx.controls.color(name(), button));
}

void I2cProbePanel::showResult(const QString &button)
{
    const auto it = m_results.constFind(button);
    if (it == m_results.constEnd())
        return;
    const QString words = result(button);
    const bool probed = words != ProbeResultWords(std::nullopt);
    const QString label = QString::fromLatin1(it->device->label);
    it->result->setText(probed ? words : QString());
    it->button->setAccessibleName(label + QStringLiteral(", ") + QString::fromLatin1(it->device->description)
                                  + QStringLiteral(": ") + words);
    it->button->setToolTip(QStringLiteral("Probe address 0x") + QString::fromLatin1(it->device->probe)
                           + QStringLiteral(" (") + words + QLatin1Char(')'));
}

void I2cProbePanel::tryTypedAddress()
{
    const QString text = findChild<QLineEdit *>(QStringLiteral("txtTest"))->text();
    if (const auto address = ProbeAddressFromText(text))
        m_ctx.send(cmd::probeI2c(*address));
    else
        m_ctx.messages.message(QStringLiteral("The address must be one byte in hexadecimal, 00 to FF (for example A4)."));
}

} // namespace tvk

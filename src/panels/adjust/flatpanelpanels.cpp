#include "panels/adjust/flatpanelpanels.h"
#include "base/adjustnames.h"
#include "base/windownames.h"

#include "core/replies/adjustreplies.h"
#include "panels/adjust/hvpanels.h"
#include "protocol/commands.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tvk {

// --- frmBacklight ----------------------------------------------------------

BacklightPanel::BacklightPanel(const PanelContext &context)
    : Panel(context, win::frmBacklight, QStringLiteral("Backlight Controls"))
{
    struct Row {
        const char *caption;
        QString box;
        const char *button;
        const char *spoken;
        char which;
    };
    const Row rows[] = {
        {"Filament Warmup Power (0-255)", ctl::txtFilWarmup, "btnSetFilWarmup", "Filament warm-up power", 'w'},
        {"Filament Steady Power (0-255)", ctl::txtFilSteady, "btnSetFilSteady", "Filament steady power", 's'},
        {"Filament Power Temorary (0-255)", ctl::txtSetFilImmediate, "btnFilImmediate", "Filament temporary power", 'f'},
    };
    auto *grid = new QGridLayout;
    int r = 0;
    for (const Row &row : rows) {
        auto *box = new QLineEdit(this);
        box->setObjectName(row.box);
        box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);
        box->setAccessibleName(QString::fromLatin1(row.spoken));
        QPushButton *set = makeButton(QString::fromLatin1(row.button), QStringLiteral("Set"));
        set->setAccessibleName(QStringLiteral("Set ") + QString::fromLatin1(row.spoken).toLower());
        grid->addWidget(new QLabel(QString::fromLatin1(row.caption), this), r, 0);
        grid->addWidget(box, r, 1);
        grid->addWidget(set, r++, 2);
        const QChar which = QLatin1Char(row.which);
        connect(set, &QPushButton::clicked, this, [this, box, which] { setFilament(box, which); });
    }
    auto *photocell = new QCheckBox(QStringLiteral("Photocell Enabled"), this);
    photocell->setObjectName(ctl::ckPhotocell);
    auto *status = new QCheckBox(QStringLiteral("Status Messages"), this);
    status->setObjectName(QStringLiteral("ckStatusMessages"));
    grid->addWidget(photocell, r++, 0, 1, 3);
    grid->addWidget(status, r++, 0, 1, 3);
    grid->setColumnStretch(0, 1);
    // Only the user's clicks send: a report ticking the box sends nothing.
    connect(photocell, &QCheckBox::clicked, this, [this](bool on) { m_ctx.send(cmd::photocell(on)); });
    connect(status, &QCheckBox::clicked, this, [this](bool on) { m_ctx.send(cmd::statusMessages(on)); });

    QPushButton *done = makeHideButton(QStringLiteral("btnDone"), QStringLiteral("Done"));
    setBodyAndButtons(grid, buttonRow({done}));
}

void BacklightPanel::activate()
{
    m_ctx.send(cmd::readBacklight(u's'));
    m_ctx.send(cmd::readBacklight(u'w'));
    m_ctx.send(cmd::readBacklight(u'f'));
    m_ctx.send(cmd::readLimitsReport());
}

void BacklightPanel::setFilament(QLineEdit *box, QChar which)
{
    const auto value = typedByte(box->text());
    if (!value) {
        m_ctx.showStatus(QStringLiteral("The filament power must be a whole number from 0 to 255; "
                                         "nothing was sent."));
        return;
    }
    m_ctx.send(cmd::filament(which, QString::number(*value)));
}

// --- frmFPHeaterFan --------------------------------------------------------

HeaterFanPanel::HeaterFanPanel(const PanelContext &context)
    : Panel(context, win::frmFPHeaterFan, QStringLiteral("Heater & Fan Control"))
{
    // This window's options: optHeaterAuto, then Option1..Option7 by number.
    struct Option {
        int number; // 0: optHeaterAuto
        const char *caption;
        int mode;    // "cp" + mode
        int setting; // "cqh"/"cqf" + setting, -1 for none
    };
    const Option heater[] = {
        {0, "Automatic", 2, -1}, {1, "Force Off", 3, 0}, {2, "Force On", 3, 1}};
    const Option fan[] = {{3, "Automatic", 4, -1},
                          {4, "Force Off", 5, 0},
                          {5, "Force 1/4", 5, 1},
                          {6, "Force 1/2", 5, 2},
                          {7, "Force Full", 5, 3}};
    auto group = [this](const QString &title, const Option *options, int count, bool isHeater) {
        auto *frame = new QGroupBox(title, this);
        auto *column = new QVBoxLayout(frame);
        for (int i = 0; i < count; ++i) {
            const Option o = options[i];
            auto *button = new QRadioButton(QString::fromLatin1(o.caption), frame);
            button->setObjectName(o.number == 0 ? QStringLiteral("optHeaterAuto")
                                                 : QStringLiteral("Option%1").arg(o.number));
            button->setAccessibleName(title + QStringLiteral(": ") + QString::fromLatin1(o.caption));
            column->addWidget(button);
            connect(button, &QRadioButton::clicked, this, [this, o, isHeater] {
                m_ctx.send(cmd::heaterFanMode(o.mode));
                if (o.setting >= 0)
                    m_ctx.send(isHeater ? cmd::heater(o.setting == 1) : cmd::fan(o.setting));
            });
        }
        column->addStretch();
        return frame;
    };
    auto *frames = new QHBoxLayout;
    frames->addWidget(group(QStringLiteral("Heater"), heater, 3, true));
    frames->addWidget(group(QStringLiteral("Fan Speed"), fan, 5, false));
    QPushButton *done = makeHideButton(QStringLiteral("btnDone"), QStringLiteral("Done"));
    setBodyAndButtons(frames, buttonRow({done}));
}

} // namespace tvk

#include "panels/config/operatingtimepanel.h"
#include "base/confignames.h"
#include "base/windownames.h"

#include "core/replies/operatingtime.h"
#include "protocol/commands.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tvk {

OperatingTimePanel::OperatingTimePanel(const PanelContext &context)
    : Panel(context, win::frmOperatingTime, QStringLiteral("Operating Time"))
{
    auto *timeCaption = new QLabel(QStringLiteral("Operating Time:"), this);
    timeCaption->setObjectName(QStringLiteral("lblOperatingTime"));
    auto *timeValue = new QLabel(this);
    timeValue->setObjectName(ctl::lblOperatingTimeValue);
    timeValue->setMinimumWidth(90);
    auto *hint = new QLabel(QStringLiteral("ddd:hh:mm:ss"), this);
    hint->setObjectName(QStringLiteral("lblOperatingTimeUnits"));
    auto *cyclesCaption = new QLabel(QStringLiteral("On-Off Cycles:"), this);
    cyclesCaption->setObjectName(QStringLiteral("lblOperatingCycles"));
    auto *cyclesValue = new QLabel(this);
    cyclesValue->setObjectName(ctl::lblOperatingCyclesValue);

    QPushButton *reRead = makeButton(QStringLiteral("btnReRead"), QStringLiteral("ReRead"));
    QPushButton *ok = makeHideButton(QStringLiteral("btnOK"), QStringLiteral("OK"));
    ok->setDefault(true);

    auto *grid = new QGridLayout;
    grid->addWidget(timeCaption, 0, 0);
    grid->addWidget(timeValue, 0, 1);
    grid->addWidget(hint, 0, 2);
    grid->addWidget(cyclesCaption, 1, 0);
    grid->addWidget(cyclesValue, 1, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttonRow({reRead, ok}));

    connect(reRead, &QPushButton::clicked, this, &OperatingTimePanel::reRead);
}

// Opening the panel activates it, so this also covers the first read after
// it is created: one "dt" per opening, not two.
void OperatingTimePanel::activate() { reRead(); }

void OperatingTimePanel::reRead() { m_ctx.send(cmd::readOperatingTime()); }

} // namespace tvk

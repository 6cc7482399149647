#include "panels/info/capabilitypanel.h"

#include "app/appcore.h"
#include "panels/info/identity.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tvk {

CapabilityPanel::CapabilityPanel(AppCore &core)
    : Panel(core, kCapabilityWindow, QStringLiteral("Monitor Configuration"))
{
    static const char *const captions[8] = {
        "Low Voltage Power Supply", "Power Distribution", "Video", "Deflection",
        "North - South Correction", "Convergence", "G2 Adjustment", "Expansion LEDs"};
    auto *grid = new QGridLayout;
    for (int bit = 0; bit < 8; ++bit) {
        auto *indicator = new QPushButton(this);
        indicator->setObjectName(QString::fromLatin1(kCapabilityIndicators[size_t(bit)]));
        indicator->setFixedSize(18, 18);
        indicator->setFocusPolicy(Qt::NoFocus);
        indicator->setStyleSheet(QStringLiteral("background-color: rgb(255, 0, 0);"));
        grid->addWidget(indicator, bit, 0);
        grid->addWidget(new QLabel(QString::fromLatin1(captions[bit]), this), bit, 1);
    }
    grid->setColumnStretch(1, 1);

    auto *done = new QPushButton(QStringLiteral("Done"), this);
    done->setObjectName(QStringLiteral("btnDone"));
    done->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(done);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addLayout(buttons);

    connect(done, &QPushButton::clicked, this, &Panel::hidePanel);
}

void CapabilityPanel::activate() { ShowCapabilityIndicators(m_core); }

} // namespace tvk

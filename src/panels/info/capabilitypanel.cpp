#include "panels/info/capabilitypanel.h"
#include "base/infonames.h"
#include "base/windownames.h"

#include "core/replies/identity.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace tvk {

CapabilityPanel::CapabilityPanel(const PanelContext &context, ReplyContext &replies)
    : Panel(context, win::frmCapability, QStringLiteral("Monitor Configuration"))
    , m_replies(replies)
{
    static const char *const captions[8] = {
        "Low Voltage Power Supply", "Power Distribution", "Video", "Deflection",
        "North - South Correction", "Convergence", "G2 Adjustment", "Expansion LEDs"};
    auto *grid = new QGridLayout;
    for (int bit = 0; bit < 8; ++bit) {
        auto *indicator = new QPushButton(this);
        indicator->setObjectName(ctl::capabilityIndicators[size_t(bit)]);
        indicator->setFixedSize(18, 18);
        indicator->setFocusPolicy(Qt::NoFocus);
        indicator->setStyleSheet(QStringLiteral("background-color: rgb(255, 0, 0);"));
        grid->addWidget(indicator, bit, 0);
        grid->addWidget(new QLabel(QString::fromLatin1(captions[bit]), this), bit, 1);
    }
    grid->setColumnStretch(1, 1);

    QPushButton *done = makeHideButton(QStringLiteral("btnDone"), QStringLiteral("Done"));
    done->setDefault(true);
    setBodyAndButtons(grid, buttonRow({done}));
}

void CapabilityPanel::activate() { ShowCapabilityIndicators(m_replies); }

} // namespace tvk

#include "panels/info/limitspanel.h"
#include "base/infonames.h"
#include "base/windownames.h"

#include "core/replies/identity.h"
#include "protocol/commands.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace tvk {

LimitsPanel::LimitsPanel(const PanelContext &context)
    : Panel(context, win::frmLimits, QStringLiteral("Brightness and Contrast Limits"))
{
    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Lower Limit"), this), 0, 1, Qt::AlignCenter);
    grid->addWidget(new QLabel(QStringLiteral("Upper Limit"), this), 0, 2, Qt::AlignCenter);
    static const char *const rows[4] = {"Day Contrast", "Night Contrast", "Day Brightness",
                                        "Night Brightness"};
    // Limits 2r and 2r+1 are the lower and upper limit of row r.
    for (int r = 0; r < 4; ++r) {
        grid->addWidget(new QLabel(QString::fromLatin1(rows[r]), this), r + 1, 0);
        for (int c = 0; c < 2; ++c) {
            auto *value = new QLabel(this);
            value->setObjectName(ctl::lblLimit_(2 * r + c));
            value->setFrameShape(QFrame::Panel);
            value->setFrameShadow(QFrame::Sunken);
            value->setAlignment(Qt::AlignCenter);
            value->setMinimumWidth(60);
            grid->addWidget(value, r + 1, c + 1);
        }
    }

    QPushButton *done = makeHideButton(QStringLiteral("btnDone"), QStringLiteral("Done"));
    done->setDefault(true);
    setBodyAndButtons(grid, buttonRow({done}));
}

void LimitsPanel::activate() { m_ctx.send(cmd::readLimitsReport()); }

} // namespace tvk

#include "panels/connection/tryingwindow.h"
#include "base/connectionnames.h"
#include "base/windownames.h"
#include "link/connector.h"
#include "link/linkglobals.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tvk {

TryingWindow::TryingWindow(const PanelContext &context, Connector &connector, const LinkGlobals &globals)
    : Panel(context, win::frmTrying, QStringLiteral("Trying to Connect to Monitor"))
{
    auto *limit = new QLabel(QString::number(globals.ConnectRetryLimit), this);
    limit->setObjectName(ctl::lblLimit);
    auto *toGo = new QLabel(QString::number(connector.TriesToGo()), this);
    toGo->setObjectName(ctl::lblToGo);
    for (QLabel *value : {limit, toGo}) {
        value->setTextFormat(Qt::PlainText);
        value->setMinimumWidth(value->fontMetrics().horizontalAdvance(QStringLiteral("-000000")));
    }

    QPushButton *change =
        makeButton(QStringLiteral("btnChange"), QStringLiteral("Change ..."), QStringLiteral("Change Retry Limit"));
    QPushButton *cancel =
        makeButton(QStringLiteral("btnCancel"), QStringLiteral("Cancel"), QStringLiteral("Stop Connect Attempt"));

    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Tries to Make:"), this), 0, 0);
    grid->addWidget(limit, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Tries Remaining:"), this), 1, 0);
    grid->addWidget(toGo, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(change);
    buttons->addStretch();
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    connect(change, &QPushButton::clicked, this,
            [&context] { context.windows.openWindow(win::frmChangeTries); });
    connect(cancel, &QPushButton::clicked, &connector, &Connector::CancelCycle);
}

} // namespace tvk

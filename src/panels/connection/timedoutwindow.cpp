#include "panels/connection/timedoutwindow.h"
#include "base/windownames.h"
#include "link/connector.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tvk {

QString TimedOutWindow::noticeText()
{
    return QStringLiteral("The monitor is not responding. Make sure the monitor is connected and "
                          "turned on, then try again.");
}

TimedOutWindow::TimedOutWindow(const PanelContext &context, Connector &connector)
    : Panel(context, win::frmTimedOut, QStringLiteral("Monitor Connection Timed Out"))
{
    auto *text = new QLabel(noticeText(), this);
    text->setObjectName(QStringLiteral("lblNotice"));
    text->setWordWrap(true);
    text->setMinimumWidth(280);
    QPushButton *ok =
        makeButton(QStringLiteral("btnOK"), QStringLiteral("OK"), QStringLiteral("Dismiss This Window"));
    ok->setDefault(true);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(text, 1);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, &connector, &Connector::DismissTimedOut);
}

} // namespace tvk

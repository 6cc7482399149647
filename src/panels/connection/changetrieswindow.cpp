#include "panels/connection/changetrieswindow.h"
#include "base/windownames.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tvk {

ChangeTriesWindow::ChangeTriesWindow(const PanelContext &context, Connector &connector, const LinkGlobals &globals)
    : Panel(context, win::frmChangeTries, QStringLiteral("Change Retry Limit"))
    , m_limit(new QLineEdit(this))
    , m_connector(connector)
    , m_globals(globals)
{
    m_limit->setObjectName(QStringLiteral("txtConnectRetryLimit"));
    m_limit->setMaxLength(10);
    QPushButton *ok = makeButton(QStringLiteral("btnOK"), QStringLiteral("OK"));
    ok->setDefault(true);
    QPushButton *cancel = makeHideButton(QStringLiteral("btnCancel"), QStringLiteral("Cancel"));

    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Retry Limit:"), this));
    row->addWidget(m_limit, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(buttonRow({ok, cancel}));

    connect(ok, &QPushButton::clicked, this, &ChangeTriesWindow::accept);
    connect(m_limit, &QLineEdit::returnPressed, this, &ChangeTriesWindow::accept);
}

void ChangeTriesWindow::activate()
{
    m_limit->setText(QString::number(m_globals.ConnectRetryLimit));
    m_limit->selectAll();
}

void ChangeTriesWindow::accept()
{
    if (m_connector.SetRetryLimit(m_limit->text()))
        hidePanel();
    else
        m_limit->selectAll();
}

} // namespace tvk

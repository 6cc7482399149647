#include "link/changetrieswindow.h"

#include "app/appcore.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tvk {

ChangeTriesWindow::ChangeTriesWindow(AppCore &core)
    : Panel(core, QStringLiteral("frmChangeTries"), QStringLiteral("Change Retry Limit"))
    , m_limit(new QLineEdit(this))
{
    m_limit->setObjectName(QStringLiteral("txtConnectRetryLimit"));
    m_limit->setMaxLength(10);
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("btnCancel"));

    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Retry Limit:"), this));
    row->addWidget(m_limit, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, &ChangeTriesWindow::accept);
    connect(m_limit, &QLineEdit::returnPressed, this, &ChangeTriesWindow::accept);
    connect(cancel, &QPushButton::clicked, this, &Panel::hidePanel);
}

void ChangeTriesWindow::activate()
{
    m_limit->setText(QString::number(m_core.globals.ConnectRetryLimit));
    m_limit->selectAll();
}

void ChangeTriesWindow::accept()
{
    if (m_core.connector.SetRetryLimit(m_limit->text()))
        hidePanel();
    else
        m_limit->selectAll();
}

} // namespace tvk

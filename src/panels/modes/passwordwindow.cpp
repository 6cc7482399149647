#include "panels/modes/passwordwindow.h"
#include "base/windownames.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tvk {

PasswordWindow::PasswordWindow(const PanelContext &context, AppShell &shell)
    : Panel(context, win::frmPassword, QStringLiteral("Enter Password"))
    , m_shell(shell)
{
    auto *label = new QLabel(QStringLiteral("Enter Password:"), this);
    label->setObjectName(QStringLiteral("lblEnterPassword"));
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("txtPassword"));
    // Every character typed shows as "*".
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    label->setBuddy(m_password);

    QPushButton *ok = makeButton(QStringLiteral("btnOK"), QStringLiteral("OK"));
    ok->setDefault(true);
    QPushButton *cancel = makeButton(QStringLiteral("btnCancel"), QStringLiteral("Cancel"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_password);
    layout->addLayout(buttonRow({ok, cancel}));

    connect(ok, &QPushButton::clicked, this, &PasswordWindow::okPressed);
    connect(m_password, &QLineEdit::returnPressed, this, &PasswordWindow::okPressed);
    connect(cancel, &QPushButton::clicked, this, &PasswordWindow::cancelPressed);
}

void PasswordWindow::activate()
{
    m_password->setFocus();
}

void PasswordWindow::okPressed()
{
    const bool accepted = m_shell.PasswordDialogOk(m_password->text());
    // A password is never left in the box: after a refusal it is to be typed
    // again, and after a success the next person asking for the mode must
    // type it too rather than find it waiting behind the "*".
    m_password->clear();
    if (!accepted)
        return;
    m_ctx.windows.hideWindow(win::frmAppMode);
    hidePanel();
}

void PasswordWindow::cancelPressed()
{
    // What was typed may well be the password; do not keep it either.
    m_password->clear();
    hidePanel();
}

void PasswordWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        cancelPressed();
        return;
    }
    Panel::keyPressEvent(event);
}

} // namespace tvk

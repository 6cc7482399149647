#pragma once
// frmPassword: the password gate of Service and Factory mode, opened by
// frmAppMode after it has set the expected password (AppShell).

#include "core/appshell.h"
#include "panels/panel.h"

class QLineEdit;

namespace tvk {

class PasswordWindow : public Panel {
    Q_OBJECT
public:
    PasswordWindow(const PanelContext &context, AppShell &shell);

    void activate() override;
    // btnOK: right password sets the mode and hides both dialogs; a wrong one
    // is reported and the box emptied.
    void okPressed();
    // btnCancel: hides this dialog; the mode dialog stays.
    void cancelPressed();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QLineEdit *m_password;
    AppShell &m_shell;
};

} // namespace tvk

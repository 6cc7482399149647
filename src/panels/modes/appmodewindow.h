#pragma once
// frmAppMode: choose Installation (User), Maintenance (Service) or Factory
// mode. Service and Factory go through the password dialog frmPassword; the
// rules themselves live in AppShell (ModeDialogOk).

#include "core/appshell.h"
#include "panels/panel.h"

#include <QLabel>

class QRadioButton;

namespace tvk {

// A label that reports a click (press and release of the left button on it).
class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};

class AppModeWindow : public Panel {
    Q_OBJECT
public:
    AppModeWindow(const PanelContext &context, AppShell &shell);

    // Selects the option of the current application mode.
    void activate() override;
    // btnOK: applies User mode, asks for a password, or does nothing.
    void okPressed();
    // UserMode, ServiceMode or FactoryMode as selected by the option buttons.
    int selectedMode() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QRadioButton *m_user;
    QRadioButton *m_service;
    QRadioButton *m_factory;
    AppShell &m_shell;
};

} // namespace tvk

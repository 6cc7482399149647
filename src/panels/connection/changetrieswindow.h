#pragma once
// frmChangeTries "Change Retry Limit": edits ConnectRetryLimit, the number of
// pings a connection cycle makes (0: never give up). OK stores a valid number
// for the next cycle; anything else is refused with a message.

#include "link/connector.h"
#include "link/linkglobals.h"
#include "panels/panel.h"

class QLineEdit;

namespace tvk {

class ChangeTriesWindow : public Panel {
    Q_OBJECT
public:
    ChangeTriesWindow(const PanelContext &context, Connector &connector, const LinkGlobals &globals);

    // Shows the limit in force.
    void activate() override;
    // btnOK
    void accept();

private:
    QLineEdit *m_limit;
    Connector &m_connector;
    const LinkGlobals &m_globals;
};

} // namespace tvk

#pragma once
// frmConnect "Monitor Connection": the port choice (Com1..Com4), Auto
// ReConnect, OK / Offline / Done, the link indicator and the status text.
// A thin view over the connector, which writes the status and the indicator
// through the control book.

#include "core/ports/portmapping.h"
#include "link/connector.h"
#include "link/linkglobals.h"
#include "panels/panel.h"

#include <array>

class QButtonGroup;
class QCheckBox;
class QRadioButton;

namespace tvk {

class ConnectWindow : public Panel {
    Q_OBJECT
public:
    static constexpr int kPorts = 4;

    ConnectWindow(const PanelContext &context, Connector &connector, PortMappingStore &portMap, const LinkGlobals &globals);

    // Opens the port of CommPort and starts the first connection cycle.
    void load() override;
    // Shows the device behind each port in its tool tip.
    void activate() override;

private:
    void selectCurrentPort();
    void refreshPortTips();

    std::array<QRadioButton *, kPorts> m_options{};
    QButtonGroup *m_group;
    QCheckBox *m_autoReConnect;
    // The progress window opened by load() lies behind this one once it is
    // shown: bring it forward on the first activation.
    bool m_raiseTrying = false;
    Connector &m_connector;
    PortMappingStore &m_portMap;
    const LinkGlobals &m_globals;
};

} // namespace tvk

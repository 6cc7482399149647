#pragma once
// frmCapability: one indicator per bit of the monitor's capability word,
// green when the monitor has the function, red when not. Monitors whose
// type does not carry a trustworthy word show all red.

#include "model/replycontext.h"
#include "panels/panel.h"

namespace tvk {

class CapabilityPanel : public Panel {
    Q_OBJECT
public:
    CapabilityPanel(const PanelContext &context, ReplyContext &replies);
    void activate() override;

private:
    ReplyContext &m_replies;
};

} // namespace tvk

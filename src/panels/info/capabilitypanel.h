#pragma once
// frmCapability: one indicator per bit of the monitor's capability word,
// green when the monitor has the function, red when not. Monitors whose
// type does not carry a trustworthy word show all red.

#include "panels/panel.h"

namespace tvk {

class CapabilityPanel : public Panel {
    Q_OBJECT
public:
    explicit CapabilityPanel(AppCore &core);
    void activate() override;
};

} // namespace tvk

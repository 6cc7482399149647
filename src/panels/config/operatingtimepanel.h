#pragma once
// frmOperatingTime: the monitor's total operating time and on-off cycles,
// read afresh with "dt" each time the panel becomes active and on ReRead.

#include "panels/panel.h"

namespace tvk {

class OperatingTimePanel : public Panel {
    Q_OBJECT
public:
    explicit OperatingTimePanel(const PanelContext &context);
    void activate() override;
    // btnReRead
    void reRead();
};

} // namespace tvk

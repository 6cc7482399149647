#pragma once
// frmCurrentScanSet "Current Scan Set": which scan set the monitor runs now,
// as its reply to "dc" reports it (number and name; the frequency labels
// stay empty). Asked afresh each time the window becomes active.

#include "panels/panel.h"

namespace tvk {

class CurrentScanSetPanel : public Panel {
    Q_OBJECT
public:
    explicit CurrentScanSetPanel(const PanelContext &context);
    void load() override;
    void activate() override;
};

} // namespace tvk

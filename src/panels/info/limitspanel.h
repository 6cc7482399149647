#pragma once
// frmLimits: the monitor's day and night brightness and contrast limits.
// Activation asks for the limits report ("dp"); its parser writes the eight
// values into lblLimit_0 .. lblLimit_7.

#include "panels/panel.h"

namespace tvk {

class LimitsPanel : public Panel {
    Q_OBJECT
public:
    explicit LimitsPanel(const PanelContext &context);
    void activate() override;
};

} // namespace tvk

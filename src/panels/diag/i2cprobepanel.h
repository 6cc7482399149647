#pragma once
// frmI2cProbe: one button per I2C device of the monitor's boards, grouped by
// board. A button probes its device; the monitor's answer colours it green
// (answered), red (no response) or yellow (not connected). "Test All" probes
// every device, "Set All Buttons Gray" resets the colours.

#include "panels/panel.h"
#include "core/diag/i2cprobe.h"

namespace tvk {

class I2cProbePanel : public Panel {
    Q_OBJECT
public:
    explicit I2cProbePanel(const PanelContext &context);

    void testAll();
    void setAllGray();

private:
    void tryTypedAddress();
};

} // namespace tvk

#pragma once
// frmI2cProbe: one button per I2C device of the monitor's boards, grouped by
// board. A button probes its device; the monitor's answer colours it green
// (answered), red (no response) or yellow (not connected), and the result
// stands in words beside it and in its accessible name. "Test All" probes
// every device, "Set All Buttons Gray" resets the colours.

#include "panels/panel.h"
#include "core/diag/i2cprobe.h"

#include <QHash>

class QLabel;
class QPushButton;

namespace tvk {

class I2cProbePanel : public Panel {
    Q_OBJECT
public:
    explicit I2cProbePanel(const PanelContext &context);

    void testAll();
    void setAllGray();

private:
    void tryTypedAddress();
    // The last result of a device button in words ("present", "absent",
    // "not connected", "not probed").
    QString result(const QString &button) const;
    // Puts the result of a device button into words: beside the button, in
    // its accessible name and in its tool tip.
    void showResult(const QString &button);

    struct Shown {
        QPushButton *button;
        QLabel *result;
        const I2cDevice *device;
    };
    QHash<QString, Shown> m_results;
};

} // namespace tvk

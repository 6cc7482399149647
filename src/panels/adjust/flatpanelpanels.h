#pragma once
// The small panels of the flat-panel family:
//
// frmBacklight "Backlight Controls": the backlight lamp's filament power
// (warm-up, steady and temporary duty cycles, 0..255), the photocell control
// and the monitor's status messages. Activation reads the three duty cycles
// and the limits report, which ticks the photocell box; the boxes send only
// when the user clicks them.
//
// frmFPHeaterFan "Heater & Fan Control": forces the panel heater and the fan
// into a fixed state or returns them to automatic control. It reads nothing:
// its options show what the user chose since the panel was created.

#include "panels/panel.h"

class QLineEdit;

namespace tvk {

class BacklightPanel : public Panel {
    Q_OBJECT
public:
    explicit BacklightPanel(const PanelContext &context);
    void activate() override;

private:
    void setFilament(QLineEdit *box, QChar which);
};

class HeaterFanPanel : public Panel {
    Q_OBJECT
public:
    explicit HeaterFanPanel(const PanelContext &context);
};

} // namespace tvk

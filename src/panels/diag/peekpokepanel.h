#pragma once
// frmPeekPoke: reads and writes single locations of the monitor
// controller's memory at the address held in the monitor's own address
// register. What the boxes show comes from the monitor's replies; a value
// or address typed into a box goes out only when it is a hexadecimal number
// of the box's width.

#include "panels/panel.h"
#include "core/diag/memoryreplies.h"

namespace tvk {

class PeekPokePanel : public Panel {
    Q_OBJECT
public:
    explicit PeekPokePanel(const PanelContext &context);

private:
    void setAddress();
    void writeByte();
    void writeWord();
};

} // namespace tvk

#pragma once
// frmSetOperatingTimes: overwrite the monitor's operating-time counters and
// cycle count, one "Set" button per counter. An entry is checked against
// its counter's range when its box is left and again on "Set"; a refused
// or empty box sends nothing.

#include "panels/panel.h"

#include <array>

class QLineEdit;

namespace tvk {

class SetOperatingTimesPanel : public Panel {
    Q_OBJECT
public:
    explicit SetOperatingTimesPanel(const PanelContext &context);
    void activate() override;

    // Index into operatingFields(): 0 days .. 4 cycles.
    // Checks the box; a refused entry is reported and the box emptied.
    bool checkBox(int field);
    // The field's "Set" button.
    void setField(int field);

private:
    std::array<QLineEdit *, 5> m_boxes {};
    bool m_checking = false;
};

} // namespace tvk

#pragma once
// frmDeflHVEnable: switches the monitor's deflection and high voltage on and
// off, and follows the monitor's "M" reports of both states. The panel asks
// nothing when it opens: it shows what the last report said.

#include "panels/panel.h"

namespace tvk {

class DeflHvPanel : public Panel {
    Q_OBJECT
public:
    explicit DeflHvPanel(const PanelContext &context);
};

} // namespace tvk

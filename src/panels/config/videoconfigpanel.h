#pragma once
// frmVideoConfig: the monitor's video source (external input, or an internal
// white or black screen) and the degauss button. The monitor is never asked
// for its source; the selection shows the last choice made here.

#include "panels/panel.h"

namespace tvk {

class VideoConfigPanel : public Panel {
    Q_OBJECT
public:
    explicit VideoConfigPanel(const PanelContext &context);
};

} // namespace tvk

#pragma once
// frmTimedOut "Monitor Connection Timed Out": the notice after a cycle that
// found no monitor. The connector closes it after 5 s or on OK.

#include "panels/panel.h"

namespace tvk {

class Connector;

class TimedOutWindow : public Panel {
    Q_OBJECT
public:
    TimedOutWindow(const PanelContext &context, Connector &connector);
    static QString noticeText();

private:
};

} // namespace tvk

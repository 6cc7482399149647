#pragma once
// frmTimedOut "Monitor Connection Timed Out": the notice after a cycle that
// found no monitor. The connector closes it after 5 s or on OK.

#include "panels/panel.h"

namespace tvk {

class TimedOutWindow : public Panel {
    Q_OBJECT
public:
    explicit TimedOutWindow(AppCore &core);
    static QString noticeText();
};

} // namespace tvk

#pragma once
// frmTrying "Trying to Connect to Monitor": the attempts of the running
// connection cycle. The connector starts the cycle when it opens this window
// and writes lblLimit / lblToGo; the window itself only offers Change and
// Cancel.

#include "panels/panel.h"

namespace tvk {

class Connector;
struct LinkGlobals;

class TryingWindow : public Panel {
    Q_OBJECT
public:
    TryingWindow(const PanelContext &context, Connector &connector, const LinkGlobals &globals);

private:
};

} // namespace tvk

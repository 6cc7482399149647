#pragma once
// frmAbout: title, version, description, OK and System Info.

#include "panels/panel.h"

namespace tvk {

class DesktopLauncher;

class AboutPanel : public Panel {
    Q_OBJECT
public:
    AboutPanel(const PanelContext &context, DesktopLauncher &launcher);
    // cmdSysInfo
    void startSystemInfo();
    static QString descriptionText();

private:
    DesktopLauncher &m_launcher;
};

} // namespace tvk

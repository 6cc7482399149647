#pragma once
// frmSoftware ("Load Software"): flash and SRAM downloads, running the SRAM
// program, reset, the boot loader's automatic start, download logging and the
// firmware version. The load buttons are disabled, with the reason as their
// tool tip, while a download runs.

#include "panels/panel.h"
#include "panels/firmware/firmwareactions.h"

namespace tvk {

class SoftwarePanel : public Panel {
    Q_OBJECT
public:
    explicit SoftwarePanel(AppCore &core);

    void load() override;
    FirmwareActions &actions() { return m_actions; }

private:
    void updateLoadButtons();

    FirmwareActions m_actions;
};

// frmBootBlock ("Boot Block Contents"): the nine boot-block bytes and the
// automatic-start state, read on every activation.
class BootBlockPanel : public Panel {
    Q_OBJECT
public:
    explicit BootBlockPanel(AppCore &core);

    void activate() override;
    FirmwareActions &actions() { return m_actions; }

private:
    FirmwareActions m_actions;
};

// frmBootProgress ("Download Progress"): the gauge, the retry count and Abort.
class BootProgressWindow : public Panel {
    Q_OBJECT
public:
    explicit BootProgressWindow(AppCore &core);

private:
    void refresh();
};

FirmwareActions::Context firmwareContext(AppCore &core);

} // namespace tvk

#pragma once
// frmSoftware ("Load Software"): flash and SRAM downloads, running the SRAM
// program, reset, the boot loader's automatic start, download logging and the
// firmware version. The load buttons are disabled, with the reason as their
// tool tip, while a download runs.

#include "panels/panel.h"
#include "core/firmwareactions.h"

namespace tvk {

class SoftwarePanel : public Panel {
    Q_OBJECT
public:
    SoftwarePanel(const PanelContext &context, const FirmwareActions::Context &firmware);

    void load() override;
    FirmwareActions &actions() { return m_actions; }

private:
    void updateLoadButtons();

    FirmwareActions m_actions;
    HexDownload &m_download;
};

// frmBootBlock ("Boot Block Contents"): the nine boot-block bytes and the
// automatic-start state, read on every activation.
class BootBlockPanel : public Panel {
    Q_OBJECT
public:
    BootBlockPanel(const PanelContext &context, const FirmwareActions::Context &firmware);

    void activate() override;
    FirmwareActions &actions() { return m_actions; }

private:
    FirmwareActions m_actions;
};

// frmBootProgress ("Download Progress"): the gauge, the retry count and Abort.
class BootProgressWindow : public Panel {
    Q_OBJECT
public:
    BootProgressWindow(const PanelContext &context, HexDownload &download);

private:
    void refresh();
    HexDownload &m_download;
};

} // namespace tvk

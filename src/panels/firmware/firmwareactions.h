#pragma once
// What the software and boot-block windows do, without widgets: the flash
// and SRAM downloads up to the preparing command, the automatic start, reset,
// run, and the boot-block read.
//
// Flash download: confirmation; unless the boot block answers, "cz0"; the log
// window's checking buttons switch to "Enable Checking"; keep-alive pings
// off; unless the boot block answers, "cb0"; the file dialog (initial folder
// CodeInitDir); the file is opened, its folder stored as CodeInitDir, and
// "bf3" queued. The SRAM download has only the dialog and the file, and
// queues "bs". A file that cannot be opened is reported with its path and
// the reason; while a download runs neither starts.

#include "base/controlbook.h"
#include "base/dialogs.h"
#include "base/settings.h"
#include "firmware/hexdownload.h"
#include "link/linkglobals.h"

#include <functional>

namespace tvk {

class FirmwareActions {
public:
    struct Context {
        LinkGlobals &globals;
        ControlBook &controls;
        UserMessages &messages;
        FileDialogs &dialogs;
        Settings &settings;
        QString &codeInitDir;
        HexDownload &download;
        std::function<void(const QString &)> send;
    };

    explicit FirmwareActions(const Context &context) : m_c(context) {}

    void loadFlash();           // btnLoadFlash
    void loadSram();            // btnLoadSRAM
    void runSram();             // btnRunSRAM: "f"
    void readVersion();         // btnRead: "df"
    void resetSoftware();       // btnReset: "x"
    void setAutoBoot(bool on);  // frmSoftware btnEnable / btnDisable: "cb1" / "cb0"
    // frmBootBlock btnEnable / btnDisable: the same, then "db" to show it.
    void switchAutoBoot(bool on);
    void readBootBlock();       // frmBootBlock activation: "db"

    // The folder of a chosen file, with the platform's separators.
    static QString folderOf(const QString &path);
    // Why a download cannot start now, or empty.
    QString busyReason() const;

    static const QString kConfirmTitle;
    static const QString kConfirmText;
    static const QString kFileFilter;

private:
    void download(HexDownload::Target target);

    Context m_c;
};

} // namespace tvk

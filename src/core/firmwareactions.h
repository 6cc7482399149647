#pragma once
// What the software and boot-block windows do, without widgets: the flash
// and SRAM downloads up to the preparing command, the automatic start, reset,
// run, and the boot-block read.
//
// Flash download: confirmation; the file dialog (initial folder
// CodeInitDir); the file is read and checked whole by the download engine.
// Only a file that passed goes on: unless the boot block answers, "cz0" and
// "cb0" are queued, then "bf3" (all three as the download's own commands);
// the log window's checking buttons switch to "Enable Checking", keep-alive
// pings go off, and the file's folder is stored as CodeInitDir. Cancelling
// the confirmation or the dialog, a file that cannot be read and a file that
// fails its check (reported with its name, the line and what is wrong) leave
// the monitor and the log window as they were: nothing is queued. The SRAM
// download has only the dialog and the file, and queues "bs". While a
// download runs neither starts.
//
// The confirmation comes before the dialog; it changes nothing by itself.

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
        std::function<void(bool)> setAutoPing; // the connector's
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
    // The dialog and the start of the engine; `first` goes before the
    // preparing command. True when the download started.
    bool download(HexDownload::Target target, const QStringList &first);

    Context m_c;
};

} // namespace tvk

#pragma once
// Seams to the platform's file dialogs, text input box and desktop launcher,
// so that windows using them can be tested with stand-ins.

#include <QString>
#include <QStringList>
#include <optional>

namespace tvk {

struct FileDialogOptions {
    QString title;
    // Qt filter text, e.g. "Monitor DAC Value Files (*.mdv);;All files (*.*)".
    QString filter;
    QString initialDir;
    QString proposedName;   // file name offered in the name box
    bool mustExist = false; // open dialogs
    bool promptOverwrite = true; // save dialogs
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<QString> openFile(const FileDialogOptions &options) = 0;
    virtual std::optional<QString> saveFile(const FileDialogOptions &options) = 0;
};

class InputBox {
public:
    virtual ~InputBox() = default;
    // The text entered, or nothing when the user cancelled.
    virtual std::optional<QString> getText(const QString &prompt, const QString &title,
                                           const QString &defaultText = QString()) = 0;
};

// Starting other programs and opening documents.
class DesktopLauncher {
public:
    virtual ~DesktopLauncher() = default;
    // Starts a program detached; false when it could not be started.
    virtual bool startProgram(const QString &program, const QStringList &arguments) = 0;
    // Opens a local file in the desktop's viewer (the browser for HTML).
    virtual bool openFile(const QString &path) = 0;
    virtual bool fileExists(const QString &path) const = 0;
};

} // namespace tvk

#pragma once
// Seams to the platform's file dialogs and text input box, so that windows
// using them can be tested with stand-ins.

#include <QString>
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

} // namespace tvk

#pragma once
// The platform services of a desktop session: message boxes, the beep, and
// starting the help viewer or the system information tool.

#include "base/controlbook.h"
#include "base/dialogs.h"
#include "link/linklog.h"

#include <QString>
#include <QStringList>

class QWidget;

namespace tvk {

class QtMessages : public UserMessages {
public:
    explicit QtMessages(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }
    void message(const QString &text, const QString &title = QString()) override;
    bool askYesNo(const QString &text, const QString &title = QString()) override;
    bool askOkCancel(const QString &text, const QString &title = QString()) override;

private:
    QWidget *m_parent;
};

class QtFileDialogs : public FileDialogs {
public:
    explicit QtFileDialogs(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }
    std::optional<QString> openFile(const FileDialogOptions &options) override;
    std::optional<QString> saveFile(const FileDialogOptions &options) override;

private:
    QWidget *m_parent;
};

class QtInputBox : public InputBox {
public:
    explicit QtInputBox(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }
    std::optional<QString> getText(const QString &prompt, const QString &title,
                                   const QString &defaultText = QString()) override;

private:
    QWidget *m_parent;
};

class QtBeeper : public Beeper {
public:
    void Beep(int frequencyHz, int durationMs) override;
};

class QtDesktopLauncher : public DesktopLauncher {
public:
    bool startProgram(const QString &program, const QStringList &arguments) override;
    bool openFile(const QString &path) override;
    bool fileExists(const QString &path) const override;
};

// Where the tool's own HTML user guide lies: beside the executable (a build
// tree), under the installed prefix (../share/tarvik/help from bin/), or in
// the source tree; the installed place when none exists.
QString helpIndexPathFor(const QString &appDir);
QString helpIndexPath();

} // namespace tvk

#pragma once
// frmCommLog "Monitor Communication Log": shows the serial traffic and the
// link's events (the CommLog model), and is a small terminal and control
// desk for the link: typed command lines, terse/verbose, checking on/off,
// clearing the transmit queue, keep-alive pings on/off, reconnecting, and the
// log file.

#include "base/dialogs.h"
#include "base/settings.h"
#include "core/commlog.h"
#include "link/connector.h"
#include "link/linkglobals.h"
#include "link/seriallink.h"
#include "panels/panel.h"

#include <QPlainTextEdit>

class QCheckBox;
class QLabel;
class QPushButton;

namespace tvk {

// txtCommLog: shows the log, keeps the caret at the end and consumes every
// key press; typed characters are handed out instead of being inserted.
// Copy and Select All still work on the log text.
class CommLogTextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit CommLogTextBox(QWidget *parent = nullptr);

    // Mirrors the model's text (CR LF shown as line breaks).
    void resetText(const QString &text);
    void appendText(const QString &text);

signals:
    void typed(const QString &text);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    void moveCaretToEnd();
};

class CommLogWindow : public Panel {
    Q_OBJECT
public:
    CommLogWindow(const PanelContext &context, CommLog &log, SerialLink &link, LinkGlobals &globals, Connector &connector, Settings &settings,
                  FileDialogs &dialogs);

    void load() override;
    void activate() override;
    void unload() override;

    // Typing in txtCommLog (each character in turn).
    void typeText(const QString &text);
    QString TypedLine() const { return m_typedLine; }
    bool CommLogOpen() const { return m_commLogOpen; }

    // The control handlers.
    void Terse();
    void Verbose();
    void CheckOff();
    void CheckOn();
    void ClearXmitQueue();
    void ToggleAutoPing();
    void ReConnect();
    void ClearLogWindow();
    void ChooseLogFile();  // BtnLogFile: choose a file, or release the one chosen
    void FileEnabledClicked();
    void EndFileLog();     // btnEndFileLog: close the file
    void Done();

    // The name offered in the file dialog: the serial number shown on the ID
    // panel, made safe for a file name, plus ".mcl".
    QString proposedLogFileName() const;
    static QString logFileFilter();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void catchUp();
    void typeCharacter(QChar c);
    void syncFileControls();
    void syncLinkControls();
    void onControlBookChanged(const QString &window, const QString &control);

    CommLogTextBox *m_text;
    // The log changed while the window was hidden: its text box is brought
    // up to date when it is shown again, not laid out line by line meanwhile.
    bool m_textBehind = false;
    QPushButton *m_checkOff;
    QPushButton *m_checkOn;
    QPushButton *m_autoPing;
    QCheckBox *m_xmitQueueOverride;
    QCheckBox *m_windowEnabled;
    QPushButton *m_logFile;
    QCheckBox *m_fileEnabled;
    QLabel *m_fileEnabledLabel;
    QPushButton *m_endFileLog;
    QLabel *m_indicator;

    QString m_typedLine;
    bool m_commLogOpen = false;
    CommLog &m_log;
    SerialLink &m_link;
    LinkGlobals &m_globals;
    Connector &m_connector;
    Settings &m_settings;
    FileDialogs &m_dialogs;
};

} // namespace tvk

#include "panels/commlog/commlogwindow.h"
#include "base/connectionnames.h"
#include "base/infonames.h"
#include "base/windownames.h"

#include "protocol/commands.h"

#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPushButton>
#include <QTextCursor>
#include <QVBoxLayout>

namespace tvk {

namespace {
constexpr QChar kCR = u'\r';
constexpr QChar kLF = u'\n';
constexpr QChar kBackspace = u'\b';

QString shownText(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(kCR, kLF);
    return text;
}

// A label that clicks the check box it names, so the caption beside a check
// box works like the check box's own text.
class CheckLabel : public QLabel {
public:
    CheckLabel(const QString &text, QCheckBox *box, QWidget *parent) : QLabel(text, parent), m_box(box)
    {
        setBuddy(box);
    }

protected:
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton && m_box->isEnabled() && rect().contains(event->position().toPoint()))
            m_box->click();
        QLabel::mouseReleaseEvent(event);
    }

private:
    QCheckBox *m_box;
};

// A button that never acts as the default and takes focus by Tab only.
QPushButton *makeTabButton(const QString &name, const QString &caption, QWidget *parent,
                        const QString &toolTip = QString())
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->setFocusPolicy(Qt::TabFocus);
    if (!toolTip.isEmpty())
        b->setToolTip(toolTip);
    return b;
}

QCheckBox *makeCheck(const QString &name, QWidget *parent)
{
    auto *c = new QCheckBox(parent);
    c->setObjectName(name);
    c->setFocusPolicy(Qt::TabFocus);
    return c;
}

} // namespace

// ---------------------------------------------------------------------------
// txtCommLog

CommLogTextBox::CommLogTextBox(QWidget *parent) : QPlainTextEdit(parent)
{
    setReadOnly(true);
    // Read-only for editing, but the caret stays visible and the text can be
    // selected and copied.
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setFocusPolicy(Qt::StrongFocus);
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setAttribute(Qt::WA_InputMethodEnabled, true);
    QFont f(QStringLiteral("Monospace"));
    f.setStyleHint(QFont::TypeWriter);
    setFont(f);
}

void CommLogTextBox::moveCaretToEnd()
{
    QTextCursor c = textCursor();
    c.movePosition(QTextCursor::End);
    setTextCursor(c);
    ensureCursorVisible();
}

void CommLogTextBox::resetText(const QString &text)
{
    setPlainText(shownText(text));
    moveCaretToEnd();
}

void CommLogTextBox::appendText(const QString &text)
{
    QTextCursor c(document());
    c.movePosition(QTextCursor::End);
    c.insertText(shownText(text));
    moveCaretToEnd();
}

void CommLogTextBox::keyPressEvent(QKeyEvent *event)
{
    // Every key press is consumed; the log itself is never edited.
    event->accept();
    if (event->matches(QKeySequence::Copy)) {
        copy();
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
        return;
    }
    const QString text = event->text();
    if (!text.isEmpty())
        emit typed(text);
}

void CommLogTextBox::inputMethodEvent(QInputMethodEvent *event)
{
    event->accept();
    if (!event->commitString().isEmpty())
        emit typed(event->commitString());
}

bool CommLogTextBox::canInsertFromMimeData(const QMimeData *) const { return false; }

void CommLogTextBox::insertFromMimeData(const QMimeData *) {}

// ---------------------------------------------------------------------------
// frmCommLog

CommLogWindow::CommLogWindow(const PanelContext &context, CommLog &log, SerialLink &link, LinkGlobals &globals, Connector &connector, Settings &settings,
                  FileDialogs &dialogs)
    : Panel(context, win::frmCommLog, QStringLiteral("Monitor Communication Log"))
    , m_log(log)
    , m_link(link)
    , m_globals(globals)
    , m_connector(connector)
    , m_settings(settings)
    , m_dialogs(dialogs)
{
    auto *terse = makeTabButton(QStringLiteral("btnTerse"), QStringLiteral("Terse"), this);
    auto *verbose = makeTabButton(QStringLiteral("btnVerbose"), QStringLiteral("Verbose"), this);
    m_checkOff = makeTabButton(ctl::btnCheckOff, QStringLiteral("Disable Checking"), this);
    m_checkOn = makeTabButton(ctl::btnCheckOn, QStringLiteral("Enable Checking"), this);
    m_checkOn->setVisible(false);
    m_checkOn->setEnabled(false);
    auto *clrXQ = makeTabButton(QStringLiteral("btnClrXQ"), QStringLiteral("Clear Xmit Queue"), this);
    m_autoPing = makeTabButton(ctl::btnDisableAutoping, QStringLiteral("Disable AutoPing"), this);
    auto *clearWindow =
        makeTabButton(QStringLiteral("btnClearCommLogWindow"), QStringLiteral("Clear Log Window"), this);

    m_xmitQueueOverride = makeCheck(ctl::ckXmitQueueOverride, this);
    auto *xqLabel = new CheckLabel(QStringLiteral("Xmit Q Bypass"), m_xmitQueueOverride, this);
    xqLabel->setObjectName(ctl::lblXmitQueueOverride);
    m_windowEnabled = makeCheck(ctl::ckWindowEnabled, this);
    auto *weLabel = new CheckLabel(QStringLiteral("Window Log Enable"), m_windowEnabled, this);
    weLabel->setObjectName(QStringLiteral("lblWindowEnabled"));

    m_logFile = makeTabButton(QStringLiteral("BtnLogFile"), QStringLiteral("Log to File ..."), this,
                           QStringLiteral("Open a Log File"));
    m_fileEnabled = makeCheck(QStringLiteral("ckFileEnabled"), this);
    m_fileEnabled->setToolTip(QStringLiteral("Enable/Disable Logging to the Log File"));
    m_fileEnabledLabel = new CheckLabel(QStringLiteral("File Log Enabled"), m_fileEnabled, this);
    m_fileEnabledLabel->setObjectName(QStringLiteral("lblFileEnabled"));
    m_fileEnabledLabel->setToolTip(m_fileEnabled->toolTip());
    m_endFileLog = makeTabButton(QStringLiteral("btnEndFileLog"), QStringLiteral("Close Log File"), this,
                              QStringLiteral("Stop File Log, Close Log File"));

    m_text = new CommLogTextBox(this);
    m_text->setObjectName(QStringLiteral("txtCommLog"));

    m_indicator = new QLabel(this);
    m_indicator->setObjectName(ctl::btnInd);
    m_indicator->setFixedSize(20, 20);
    m_indicator->setFrameShape(QFrame::Panel);
    m_indicator->setFrameShadow(QFrame::Sunken);
    // Red until the connection logic says otherwise (the registry applies its
    // colour from the control book).
    m_indicator->setStyleSheet(QStringLiteral("background-color: rgb(255, 0, 0);"));
    m_indicator->setProperty("tvkColour", Colour::Red);
    auto *reConnect = makeTabButton(QStringLiteral("btnReConnect"), QStringLiteral("ReConnect"), this);
    auto *done = makeTabButton(QStringLiteral("btnDone"), QStringLiteral("Done"), this,
                            QStringLiteral("Stop logging altogether, Close Log File if open."));

    // Layout: the controls on top, the log taking every extra pixel, the
    // indicator, ReConnect and Done along the bottom.
    auto *controls = new QGridLayout;
    controls->addWidget(terse, 0, 0);
    controls->addWidget(verbose, 0, 1);
    controls->addWidget(m_checkOff, 0, 2); // both checking buttons share one place
    controls->addWidget(m_checkOn, 0, 2);
    controls->addWidget(clrXQ, 1, 0);
    controls->addWidget(m_autoPing, 1, 1);
    controls->addWidget(clearWindow, 1, 2);
    auto checkRow = [](QCheckBox *box, QLabel *label) {
        auto *row = new QHBoxLayout;
        row->setSpacing(4);
        row->addWidget(box);
        row->addWidget(label);
        row->addStretch();
        return row;
    };
    controls->addLayout(checkRow(m_xmitQueueOverride, xqLabel), 2, 0);
    controls->addLayout(checkRow(m_windowEnabled, weLabel), 2, 1);
    controls->addWidget(m_logFile, 3, 0);
    controls->addLayout(checkRow(m_fileEnabled, m_fileEnabledLabel), 3, 1);
    controls->addWidget(m_endFileLog, 3, 2);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_indicator);
    bottom->addWidget(reConnect);
    bottom->addStretch();
    bottom->addWidget(done);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(m_text, 1);
    layout->addLayout(bottom);

    m_text->resetText(log.text());
    connect(&log, &CommLog::appended, m_text, [this](const QString &text) {
        if (!m_textBehind && m_text->isVisibleTo(window()))
            m_text->appendText(text);
        else
            m_textBehind = true;
    });
    connect(&log, &CommLog::textReset, m_text, [this](const QString &text) {
        if (m_text->isVisibleTo(window()))
            m_text->resetText(text);
        else
            m_textBehind = true;
    });
    connect(&log, &CommLog::fileStateChanged, this, &CommLogWindow::syncFileControls);
    connect(m_text, &CommLogTextBox::typed, this, &CommLogWindow::typeText);
    connect(&context.controls, &ControlBook::changed, this,
            [this](const QString &window, const QString &control) { onControlBookChanged(window, control); });

    connect(terse, &QPushButton::clicked, this, &CommLogWindow::Terse);
    connect(verbose, &QPushButton::clicked, this, &CommLogWindow::Verbose);
    connect(m_checkOff, &QPushButton::clicked, this, &CommLogWindow::CheckOff);
    connect(m_checkOn, &QPushButton::clicked, this, &CommLogWindow::CheckOn);
    connect(clrXQ, &QPushButton::clicked, this, &CommLogWindow::ClearXmitQueue);
    connect(m_autoPing, &QPushButton::clicked, this, &CommLogWindow::ToggleAutoPing);
    connect(reConnect, &QPushButton::clicked, this, &CommLogWindow::ReConnect);
    connect(clearWindow, &QPushButton::clicked, this, &CommLogWindow::ClearLogWindow);
    connect(m_logFile, &QPushButton::clicked, this, &CommLogWindow::ChooseLogFile);
    connect(m_fileEnabled, &QCheckBox::clicked, this, &CommLogWindow::FileEnabledClicked);
    connect(m_endFileLog, &QPushButton::clicked, this, &CommLogWindow::EndFileLog);
    connect(done, &QPushButton::clicked, this, &CommLogWindow::Done);
    connect(m_xmitQueueOverride, &QCheckBox::toggled, this,
            [this](bool on) { m_globals.XmitQueueBypass = on; });
    connect(m_windowEnabled, &QCheckBox::toggled, this, [this](bool on) { m_globals.CommLogEcho = on; });

    m_xmitQueueOverride->setChecked(globals.XmitQueueBypass);
    syncFileControls();
    syncLinkControls();
    m_text->setFocus();
}

void CommLogWindow::load()
{
    // The log file belongs to this window's life: none is chosen at load.
    m_log.releaseFile();
    m_windowEnabled->setChecked(true);
    m_globals.CommLogEcho = true;
    syncFileControls();
}

void CommLogWindow::catchUp()
{
    if (m_textBehind) {
        m_textBehind = false;
        m_text->resetText(m_log.text());
    }
}

void CommLogWindow::showEvent(QShowEvent *event)
{
    catchUp();
    Panel::showEvent(event);
}

void CommLogWindow::activate()
{
    catchUp();
    m_commLogOpen = true;
    // The flags may have been changed elsewhere (settings at start, the
    // connection logic) while the window was hidden.
    syncLinkControls();
    m_text->setFocus();
}

void CommLogWindow::unload()
{
    const auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget());
    const bool visible = frame ? !frame->isHidden() : !isHidden();
    m_settings.writeBool(AppName::Tarvikon, SettingsSection::Configs, QStringLiteral("CommLogOpen"), visible);
}

void CommLogWindow::syncLinkControls()
{
    m_windowEnabled->setChecked(m_globals.CommLogEcho);
    m_autoPing->setText(m_globals.connection.autoPing() ? QStringLiteral("Disable AutoPing")
                                                : QStringLiteral("Enable AutoPing"));
    m_xmitQueueOverride->setChecked(m_globals.XmitQueueBypass && m_xmitQueueOverride->isEnabled());
}

void CommLogWindow::syncFileControls()
{
    const bool open = m_log.LogFileOpen();
    m_fileEnabled->setEnabled(open);
    m_fileEnabledLabel->setEnabled(open);
    m_fileEnabled->setChecked(open && m_log.LogToFile());
    m_endFileLog->setEnabled(open);
}

void CommLogWindow::onControlBookChanged(const QString &window, const QString &control)
{
    // Typing straight to the port is a Factory mode tool: leaving that mode
    // disables the check box, and must not leave the bypass on behind it.
    if (window == win::frmCommLog && control == ctl::ckXmitQueueOverride
        && !m_ctx.controls.isEnabled(win::frmCommLog, ctl::ckXmitQueueOverride) && m_xmitQueueOverride->isChecked())
        m_xmitQueueOverride->setChecked(false);
}

// --- typing ---------------------------------------------------------------

void CommLogWindow::typeText(const QString &text)
{
    for (QChar c : text)
        typeCharacter(c);
}

void CommLogWindow::typeCharacter(QChar c)
{
    // The port carries 8-bit characters only.
    if (c.unicode() > 0xFF)
        return;
    if (m_globals.XmitQueueBypass) {
        // A terminal on the port: every key goes out at once, as typed.
        m_link.WriteBypass(QString(c));
        if (c == kCR)
            m_link.WriteBypass(QString(kLF));
        return;
    }
    if (c == kCR) {
        const QString line = m_typedLine;
        m_typedLine.clear();
        m_link.SendCommand(cmd::typed(line));
        return;
    }
    if (c == kBackspace) {
        // Edits the line not yet sent; nothing goes to the monitor.
        if (!m_typedLine.isEmpty())
            m_typedLine.chop(1);
        return;
    }
    // Other control characters (an LF would split the line in the transmit
    // queue, ESC, DEL, ...) have no place inside a command line.
    if (c.unicode() < 0x20 || c.unicode() == 0x7F)
        return;
    m_typedLine += c;
}

// --- buttons --------------------------------------------------------------

void CommLogWindow::Terse() { m_link.SendCommand(cmd::terse()); }

void CommLogWindow::Verbose() { m_link.SendCommand(cmd::verbose()); }

void CommLogWindow::CheckOff()
{
    m_link.SendCommand(cmd::disableChecking());
    m_checkOff->setVisible(false);
    m_checkOff->setEnabled(false);
    m_checkOn->setVisible(true);
    m_checkOn->setEnabled(true);
}

void CommLogWindow::CheckOn()
{
    m_link.SendCommand(cmd::enableChecking());
    m_checkOn->setVisible(false);
    m_checkOn->setEnabled(false);
    m_checkOff->setVisible(true);
    m_checkOff->setEnabled(true);
}

void CommLogWindow::ClearXmitQueue() { m_link.ClearQueuedCommands(); }

void CommLogWindow::ToggleAutoPing()
{
    const bool on = !m_globals.connection.autoPing();
    m_connector.setAutoPing(on);
    m_autoPing->setText(on ? QStringLiteral("Disable AutoPing") : QStringLiteral("Enable AutoPing"));
}

void CommLogWindow::ReConnect() { m_connector.ReConnect(); }

void CommLogWindow::ClearLogWindow() { m_log.clearText(); }

QString CommLogWindow::logFileFilter()
{
    return QStringLiteral("Monitor Comm Log Files(*.mcl);;Text Files(*.txt);;All files(*.*)");
}

QString CommLogWindow::proposedLogFileName() const
{
    QString serial = m_ctx.controls.text(win::frmID, ctl::lblSerial)
                         .value_or(m_ctx.data.SerialNumber)
                         .trimmed();
    if (serial.isEmpty())
        serial = m_ctx.data.SerialNumber.trimmed();
    // Characters that cannot stand in a file name, or would lead elsewhere.
    for (QChar &c : serial) {
        if (c.unicode() < 0x20 || QStringLiteral("\\/:*?\"<>|").contains(c))
            c = u'_';
    }
    while (serial.startsWith(u'.'))
        serial.remove(0, 1);
    if (serial.isEmpty())
        serial = QStringLiteral("CommLog");
    return serial + QStringLiteral(".mcl");
}

void CommLogWindow::ChooseLogFile()
{
    if (m_log.LogFileOpen()) {
        m_log.releaseFile();
        return;
    }
    FileDialogOptions options;
    options.title = QStringLiteral("Open a Log File");
    options.filter = logFileFilter();
    options.initialDir = QDir::currentPath();
    options.proposedName = proposedLogFileName();
    options.mustExist = false;
    // The file is appended to, never overwritten.
    options.promptOverwrite = false;
    const std::optional<QString> path = m_dialogs.openFile(options);
    if (!path || path->isEmpty())
        return;
    // A file that cannot be opened is reported in the log by the model and
    // leaves the controls as they were.
    m_log.chooseFile(*path);
}

void CommLogWindow::FileEnabledClicked()
{
    CommLog &log = m_log;
    log.setLogToFile(log.LogFileOpen() && !log.LogToFile());
    syncFileControls();
}

void CommLogWindow::EndFileLog() { m_log.releaseFile(); }

void CommLogWindow::Done()
{
    m_commLogOpen = false;
    // As the button promises: a log file still open is closed.
    m_log.releaseFile();
    hidePanel();
}

} // namespace tvk

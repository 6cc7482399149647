#include "core/fileactions.h"
#include "base/windownames.h"

#include "core/appshell.h"
#include "model/fullread.h"

#include <algorithm>

namespace tvk {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

} // namespace

// --- Save As ---------------------------------------------------------------

DacFileSaver::DacFileSaver(const MdfContext &file, FullRead &fullRead, const ConnectionFlags &connection,
                           ControlBook &controls, Settings &settings, QString &saveFolder, QObject *parent)
    : QObject(parent), m_file(file), m_fullRead(fullRead), m_connection(connection), m_controls(controls),
      m_settings(settings), m_saveFolder(saveFolder)
{
    connect(&fullRead, &FullRead::finished, this, &DacFileSaver::onReadFinished);
    connect(&fullRead, &FullRead::failed, this, &DacFileSaver::onReadFailed);
}

QString DacFileSaver::notSavedText(const QString &path, int step, const QString &command, const QString &reason)
{
    return QStringLiteral("The file ") + path + QStringLiteral(" was not saved.") + kCrLf
        + QStringLiteral("Reading the monitor stopped at step %1 of %2 (\"%3\"): %4.")
              .arg(step + 1)
              .arg(FullRead::kSteps)
              .arg(command, reason)
        + kCrLf + QStringLiteral("An existing file of that name has not been changed.");
}

QString DacFileSaver::busyText(const QString &path)
{
    return QStringLiteral("The monitor is still being read for saving ") + path + QStringLiteral(".") + kCrLf
        + QStringLiteral("Wait until that file is written, then try again.");
}

bool DacFileSaver::save(const QString &path)
{
    if (isBusy())
        return false;
    // The boot block cannot report the settings: only the application
    // firmware is read.
    const bool readFirst = m_connection.online() && !m_connection.bootBlock();
    if (!readFirst || !m_fullRead.start()) {
        const bool written = writeNow(path);
        emit ended(path, written);
        return true;
    }
    m_pendingPath = path;
    emit reading(path);
    return true;
}

void DacFileSaver::onReadFinished()
{
    if (!isBusy())
        return;
    const QString path = m_pendingPath;
    m_pendingPath.clear();
    const bool written = writeNow(path);
    emit ended(path, written);
}

void DacFileSaver::onReadFailed(int step, const QString &command, const QString &reason)
{
    if (!isBusy())
        return;
    const QString path = m_pendingPath;
    m_pendingPath.clear();
    m_file.messages.message(notSavedText(path, step, command, reason));
    emit ended(path, false);
}

bool DacFileSaver::writeNow(const QString &path)
{
    MonitorData &d = m_file.data;
    // The file state of a failed write stays as it was.
    const bool wasOpen = d.FileIsOpen, wasForInput = d.FileOpenForInput, wasChanged = d.DataChanged;
    const QString wasPath = d.FilePath, wasTitle = d.FileTitle;
    attachFile(d, path, false);

    if (!WriteMDF(m_file)) {
        // Nothing was saved: the changes are still unsaved, and the caption
        // keeps naming what it named.
        d.FileIsOpen = wasOpen;
        d.FileOpenForInput = wasForInput;
        d.DataChanged = wasChanged;
        d.FilePath = wasPath;
        d.FileTitle = wasTitle;
        return false;
    }

    m_controls.setText(win::frmMain, QString(), DacFileActions::savedCaption(d.FileTitle));

    const QString folder = DacFileActions::folderOf(d.FilePath);
    m_saveFolder = folder;
    m_settings.write(AppName::Tarvikon, SettingsSection::Configs, QStringLiteral("FileSaveInitDir"), folder);
    return true;
}

// --- File menu -------------------------------------------------------------

QString DacFileActions::savedCaption(const QString &fileTitle)
{
    return QStringLiteral("TVK Monitor Tool V") + applicationVersionText() + QStringLiteral(" -- ") + fileTitle;
}

QString DacFileActions::folderOf(const QString &path)
{
    const qsizetype cut = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return cut < 0 ? QString() : path.left(cut + 1);
}

QString DacFileActions::initialDir() const
{
    const QString fallback = m_saveFolder.isEmpty() ? QStringLiteral("C:\\tvk") : m_saveFolder;
    return m_settings.read(AppName::Tarvikon, SettingsSection::Configs, QStringLiteral("FileSaveInitDir"),
                                fallback);
}

void DacFileActions::askToSave()
{
    if (m_file.data.DataChanged && m_file.messages.askYesNo(kSaveChangesQuestion))
        WriteMDF(m_file);
}

bool DacFileActions::saveIsReading()
{
    if (!m_saver.isBusy())
        return false;
    m_file.messages.message(DacFileSaver::busyText(m_saver.pendingPath()));
    return true;
}

void DacFileActions::open()
{
    // A file loaded now would mix with the monitor's values in the file
    // being saved.
    if (saveIsReading())
        return;
    askToSave();

    FileDialogOptions options;
    options.title = QStringLiteral("Open");
    options.filter = kMdfOpenFilter;
    options.initialDir = initialDir();
    options.mustExist = true;
    const auto path = m_dialogs.openFile(options);
    if (!path)
        return;

    attachFile(m_file.data, *path, true);
    m_shell.SetMainTitle(m_file.data.FileTitle);
    ReadMDF(m_file);
}

void DacFileActions::saveAs()
{
    if (saveIsReading())
        return;
    FileDialogOptions options;
    options.title = QStringLiteral("Save As");
    options.filter = kMdfSaveFilter;
    options.initialDir = initialDir();
    options.promptOverwrite = true;
    const auto path = m_dialogs.saveFile(options);
    if (!path)
        return;
    m_saver.save(*path);
}

void DacFileActions::close()
{
    askToSave();
    // FileIsOpen and FilePath stay: a later save writes to the
    // same path again.
    m_shell.SetMainTitle(QString());
}

} // namespace tvk

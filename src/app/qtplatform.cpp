#include "app/qtplatform.h"

#include "core/appshell.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QUrl>

namespace tvk {

namespace {
QString titleOr(const QString &title) { return title.isEmpty() ? applicationTitle() : title; }
} // namespace

void QtMessages::message(const QString &text, const QString &title)
{
    QMessageBox::information(m_parent, titleOr(title), text, QMessageBox::Ok);
}

bool QtMessages::askYesNo(const QString &text, const QString &title)
{
    return QMessageBox::question(m_parent, titleOr(title), text, QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes;
}

bool QtMessages::askOkCancel(const QString &text, const QString &title)
{
    return QMessageBox::question(m_parent, titleOr(title), text,
                                 QMessageBox::Ok | QMessageBox::Cancel)
        == QMessageBox::Ok;
}

namespace {
QString startPath(const FileDialogOptions &o)
{
    if (o.proposedName.isEmpty())
        return o.initialDir;
    return o.initialDir.isEmpty() ? o.proposedName : QDir(o.initialDir).filePath(o.proposedName);
}
} // namespace

std::optional<QString> QtFileDialogs::openFile(const FileDialogOptions &o)
{
    QFileDialog dialog(m_parent, o.title, startPath(o), o.filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(o.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<QString> QtFileDialogs::saveFile(const FileDialogOptions &o)
{
    QFileDialog dialog(m_parent, o.title, startPath(o), o.filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !o.promptOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<QString> QtInputBox::getText(const QString &prompt, const QString &title,
                                           const QString &defaultText)
{
    bool ok = false;
    const QString text = QInputDialog::getText(m_parent, title.isEmpty() ? applicationTitle() : title,
                                               prompt, QLineEdit::Normal, defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

void QtBeeper::Beep(int, int) { QApplication::beep(); }

bool QtDesktopLauncher::startProgram(const QString &program, const QStringList &arguments)
{
    return QProcess::startDetached(program, arguments);
}

bool QtDesktopLauncher::openFile(const QString &path)
{
    return QFileInfo::exists(path) && QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool QtDesktopLauncher::fileExists(const QString &path) const { return QFileInfo::exists(path); }

QString helpIndexPathFor(const QString &appDir)
{
    const QDir dir(appDir);
    // A build tree: the guide is copied beside the executable.
    const QString beside = dir.filePath(QStringLiteral("help/index.html"));
    if (QFileInfo::exists(beside))
        return beside;
    // An installed tool: the guide lies under the prefix's data folder,
    // found relative to the executable so that the prefix may move.
#ifdef TVK_INSTALLED_HELP_DIR
    const QString installed =
        QDir::cleanPath(dir.filePath(QStringLiteral(TVK_INSTALLED_HELP_DIR "/index.html")));
    if (QFileInfo::exists(installed))
        return installed;
#else
    const QString installed = beside;
#endif
#ifdef TVK_SOURCE_HELP_DIR
    // A build that was never installed nor copied: the source tree.
    const QString source = QStringLiteral(TVK_SOURCE_HELP_DIR "/index.html");
    if (QFileInfo::exists(source))
        return source;
#endif
    return installed;
}

QString helpIndexPath() { return helpIndexPathFor(QCoreApplication::applicationDirPath()); }

} // namespace tvk

#include "app/qtplatform.h"

#include "app/appshell.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
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

QString helpIndexPath()
{
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/help/index.html");
    if (QFileInfo::exists(beside))
        return beside;
#ifdef TVK_SOURCE_HELP_DIR
    return QStringLiteral(TVK_SOURCE_HELP_DIR "/index.html");
#else
    return beside;
#endif
}

} // namespace tvk

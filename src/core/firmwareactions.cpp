#include "core/firmwareactions.h"
#include "base/connectionnames.h"
#include "base/firmwarenames.h"

#include "firmware/firmwarehandlers.h"
#include "protocol/commands.h"

#include <QDir>
#include <QFileInfo>

namespace tvk {

const QString FirmwareActions::kConfirmTitle = QStringLiteral("Confirm Firmware Reprogram");
const QString FirmwareActions::kConfirmText =
    QStringLiteral("Do you really want to replace the existing firmware?\r\nThis action is unrecoverable.");
const QString FirmwareActions::kFileFilter =
    QStringLiteral("Hex Files (*.hex);;Text Files (*.txt);;All Files (*.*)");

QString FirmwareActions::folderOf(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(QDir::fromNativeSeparators(path)).absolutePath());
}

QString FirmwareActions::busyReason() const
{
    return m_c.download.isBusy()
               ? QStringLiteral("A download is running: wait for it to end or abort it.")
               : QString();
}

void FirmwareActions::loadFlash()
{
    if (!busyReason().isEmpty()) {
        m_c.messages.message(busyReason());
        return;
    }
    if (!m_c.messages.askOkCancel(kConfirmText, kConfirmTitle))
        return;
    // Nothing reaches the monitor before the file has passed its check: an
    // application told not to start by itself ("cb0") and then left without
    // new firmware would not come back at the next reset.
    const bool boot = m_c.globals.connection.bootBlock();
    QStringList first;
    if (!boot)
        first << cmd::disableChecking() << cmd::bootBlock(false);
    if (!download(HexDownload::Target::Flash, first))
        return;
    const QString log = win::frmCommLog;
    m_c.controls.setEnabled(log, ctl::btnCheckOff, false);
    m_c.controls.setVisible(log, ctl::btnCheckOff, false);
    m_c.controls.setVisible(log, ctl::btnCheckOn, true);
    m_c.controls.setEnabled(log, ctl::btnCheckOn, true);
    if (m_c.globals.connection.autoPing()) {
        m_c.setAutoPing(false);
        m_c.controls.setText(log, ctl::btnDisableAutoping, QStringLiteral("Enable AutoPing"));
    }
}

void FirmwareActions::loadSram()
{
    if (!busyReason().isEmpty()) {
        m_c.messages.message(busyReason());
        return;
    }
    download(HexDownload::Target::Sram, {});
}

bool FirmwareActions::download(HexDownload::Target target, const QStringList &first)
{
    FileDialogOptions options;
    options.title = target == HexDownload::Target::Flash ? QStringLiteral("Load New Firmware")
                                                         : QStringLiteral("Load SRAM File");
    options.filter = kFileFilter;
    options.initialDir = m_c.codeInitDir;
    options.mustExist = true;
    const std::optional<QString> chosen = m_c.dialogs.openFile(options);
    if (!chosen || chosen->isEmpty())
        return false;
    // The engine reads and checks the file and says what is wrong with it.
    if (!m_c.download.start(target, *chosen, first))
        return false;
    m_c.codeInitDir = folderOf(*chosen);
    m_c.settings.write(AppName::Tarvikon, SettingsSection::Configs, QStringLiteral("CodeInitDir"), m_c.codeInitDir);
    return true;
}

void FirmwareActions::runSram()
{
    m_c.send(cmd::runSram());
    if (!m_c.download.lastSramFile().isEmpty())
        m_c.controls.setText(win::frmSoftware, ctl::lblSRAMFile, m_c.download.lastSramFile());
}

void FirmwareActions::readVersion() { m_c.send(cmd::readFirmwareVersion()); }

void FirmwareActions::resetSoftware() { m_c.send(cmd::reset()); }

void FirmwareActions::setAutoBoot(bool on) { m_c.send(cmd::bootBlock(on)); }

void FirmwareActions::switchAutoBoot(bool on)
{
    m_c.send(cmd::bootBlock(on));
    readBootBlock();
}

void FirmwareActions::readBootBlock() { m_c.send(cmd::readBootBlock()); }

} // namespace tvk

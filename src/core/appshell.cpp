#include "core/appshell.h"
#include "base/adjustnames.h"
#include "base/connectionnames.h"
#include "base/firmwarenames.h"
#include "base/infonames.h"
#include "base/windownames.h"
#include "base/monitorfamily.h"

#include "core/mainmenu.h"
#include "model/monitordata.h"
#include "protocol/commands.h"

namespace tvk {

namespace {
// What each application mode enables (true) or disables among the controls
// of the windows; the menu items it governs are in the menu table.
struct ModeRow {
    const QString &window;
    QString control;
    bool user, service, factory;
};

const ModeRow kModeTable[] = {
    {win::frmVideoAdj, ctl::VideoSetInitialSettingsButton, false, true, true},
    {win::frmVideoAdj, ctl::HScroll1_(2), false, true, true},
    {win::frmVideoAdj, ctl::HScroll1_(3), false, true, true},
    {win::frmVideoAdj, ctl::HScroll1_(4), false, true, true},
    {win::frmVideoAdj, ctl::HScroll1_(5), false, true, true},
    {win::frmVideoAdj, ctl::HScroll1_(6), false, true, true},
    {win::frmVideoAdj, ctl::HScroll1_(7), false, true, true},
    {win::frmVideoAdj, ctl::HScroll2_(0), false, false, true},
    {win::frmCommLog, ctl::ckXmitQueueOverride, false, false, true},
    {win::frmCommLog, ctl::lblXmitQueueOverride, false, false, true},
    {win::frmSoftware, ctl::btnLoadSRAM, false, false, true},
    {win::frmSoftware, ctl::btnRunSRAM, false, false, true},
    {win::frmBrightnessContrast, ctl::btnSetDefaultsBrightness, false, true, true},
    {win::frmBrightnessContrast, ctl::btnSetDefaultsContrast, false, true, true},
};

bool gateOpen(ModeGate gate, int mode)
{
    switch (gate) {
    case ModeGate::AllModes:
        return true;
    case ModeGate::ServiceUp:
        return mode == ServiceMode || mode == FactoryMode;
    case ModeGate::FactoryOnly:
        return mode == FactoryMode;
    case ModeGate::Free:
        break;
    }
    return false;
}

} // namespace

const QString AppShell::kServicePassword = QStringLiteral("marble");
const QString AppShell::kFactoryPassword = QStringLiteral("kelp");

QString applicationVersionText()
{
    return QStringLiteral("%1.%2.%3").arg(TVK_VERSION_MAJOR).arg(TVK_VERSION_MINOR).arg(TVK_VERSION_REVISION);
}

QString applicationTitle() { return QStringLiteral("Tarvikon"); }

AppShell::AppShell(ControlBook &controls, UserMessages &messages, LinkGlobals &globals,
                   MonitorData &data, Hooks hooks, QObject *parent)
    : QObject(parent)
    , m_controls(controls)
    , m_messages(messages)
    , m_g(globals)
    , m_data(data)
    , m_hooks(std::move(hooks))
{
}

void AppShell::SetMainTitle(const QString &text)
{
    m_title = QStringLiteral("TVK Monitor Adjustment Tool V") + applicationVersionText()
        + (text.isEmpty() ? QStringLiteral(" -- (No File)") : QStringLiteral(" -- ") + text);
    m_controls.setText(win::frmMain, QString(), m_title);
    emit mainTitleChanged(m_title);
}

void AppShell::applyMenuColumn(MenuSet (*cell)(const MenuItemDef &))
{
    for (const MenuItemDef &item : mainMenuTable()) {
        const MenuSet set = cell(item);
        if (set != MenuSet::Keep)
            m_controls.setEnabled(win::frmMain, item.name, set == MenuSet::On);
    }
}

void AppShell::DisableMonitorMenus()
{
    for (const QString &name : menusOffAtStart())
        m_controls.setEnabled(win::frmMain, name, false);
}

void AppShell::SetMenuItemEnabled(const QString &menuName, bool enabled)
{
    m_controls.setEnabled(win::frmMain, menuName, enabled);
}

void AppShell::EnterOnlineState()
{
    SetMainTitle(QStringLiteral("Monitor on Com") + QString::number(m_g.CommPort));
    applyMenuColumn([](const MenuItemDef &i) { return i.states.online; });
    m_controls.setColor(win::frmConnect, ctl::btnInd, Colour::Green);
    ReapplyAppMode();
}

void AppShell::EnterBootModeState()
{
    SetMainTitle(QStringLiteral("Monitor on Com") + QString::number(m_g.CommPort)
                 + QStringLiteral(" -- BOOT MODE"));
    applyMenuColumn([](const MenuItemDef &i) { return i.states.bootMode; });
    m_data.MonitorType = 0;
    ReapplyAppMode();
}

void AppShell::EnterNoMonitorState()
{
    SetMainTitle(QStringLiteral("No monitor"));
    applyMenuColumn([](const MenuItemDef &i) { return i.states.noMonitor; });
    m_data.FirmwareVersion.clear();
    m_data.RomVersion.clear();
    m_controls.setText(win::frmVersion, ctl::lblMonitorFirmwareVersionValue, QString());
    m_controls.setText(win::frmVersion, ctl::lblMonitorEpromVersionValue, QString());
    m_controls.setColor(win::frmConnect, ctl::btnInd, Colour::Red);
    m_controls.setColor(win::frmCommLog, ctl::btnInd, Colour::Red);
    ReapplyAppMode();
}

void AppShell::EnterOfflineDemoState()
{
    EnterNoMonitorState();
    SetMainTitle(QStringLiteral("No monitor - Offline Demo Mode"));
    for (const QString &name : allMenuNames())
        m_controls.setEnabled(win::frmMain, name, true);
}

void AppShell::showConnectionState(ConnectionState state)
{
    switch (state) {
    case ConnectionState::NoMonitor: EnterNoMonitorState(); break;
    case ConnectionState::Online: EnterOnlineState(); break;
    case ConnectionState::BootMode: EnterBootModeState(); break;
    case ConnectionState::OfflineDemo: EnterOfflineDemoState(); break;
    }
}

void AppShell::applyMode(int mode)
{
    m_appMode = mode;
    for (const MenuItemDef &item : mainMenuTable()) {
        if (item.modes != ModeGate::Free)
            m_controls.setEnabled(win::frmMain, item.name, gateOpen(item.modes, mode));
    }
    for (const ModeRow &row : kModeTable) {
        const bool on = mode == UserMode ? row.user : mode == ServiceMode ? row.service : row.factory;
        m_controls.setEnabled(row.window, row.control, on);
    }
    emit appModeChanged(mode);
}

void AppShell::SetUserMode() { applyMode(UserMode); }
void AppShell::SetServiceMode() { applyMode(ServiceMode); }
void AppShell::SetFactoryMode() { applyMode(FactoryMode); }

void AppShell::ReapplyAppMode()
{
    switch (m_appMode) {
    case UserMode:
        SetUserMode();
        break;
    case ServiceMode:
        SetServiceMode();
        break;
    case FactoryMode:
        SetFactoryMode();
        break;
    default:
        m_messages.message(QStringLiteral("Setting Appmode with bad value"));
        break;
    }
}

void AppShell::applyHysteresisRow(bool shown)
{
    m_controls.setVisible(win::frmBrightnessContrast, ctl::lblHystC, shown);
    for (const QString &name : {ctl::txtHystC, ctl::btnSetHystC}) {
        m_controls.setEnabled(win::frmBrightnessContrast, name, shown);
        m_controls.setVisible(win::frmBrightnessContrast, name, shown);
    }
}

void AppShell::ApplyFlatPanelMenus()
{
    applyMenuColumn([](const MenuItemDef &i) { return i.profiles.flatPanel; });
    applyHysteresisRow(false);
}

void AppShell::ApplyMdiMenus() { applyMdi(m_data.MonitorType); }

void AppShell::applyMdi(int code)
{
    applyMenuColumn([](const MenuItemDef &i) { return i.profiles.mdi; });
    m_controls.setText(win::frmVideoAdj, ctl::Label1_(9), QStringLiteral("+80V Adjust"));
    const bool masterG2 = hasMasterG2(code);
    for (const QString &name : {ctl::Label1_(8), ctl::BText1_(1), ctl::BText2_(1), ctl::BText3_(1), ctl::HScroll2_(1)})
        m_controls.setVisible(win::frmVideoAdj, name, masterG2);
    m_controls.setEnabled(win::frmVideoAdj, ctl::HScroll2_(1), masterG2);
    if (monitorFamilyExceptX99(code) == MonitorFamily::Mdi && reportsCapabilities(code) && m_hooks.sendCommand)
        m_hooks.sendCommand(cmd::readCapability());
    applyHysteresisRow(hasContrastHysteresis(code));
}

void AppShell::ApplyEarlyFirmwareMenus()
{
    applyMenuColumn([](const MenuItemDef &i) { return i.profiles.early; });
    applyHysteresisRow(false);
}

AppShell::MonitorProfile AppShell::profileForCode(int code)
{
    if (flatPanelOrLater(code))
        return MonitorProfile::FlatPanel;
    if (monitorFamilyExceptX99(code) == MonitorFamily::Mdi)
        return MonitorProfile::Mdi;
    if (earlyFirmwareProfile(code))
        return MonitorProfile::EarlyFirmware;
    return MonitorProfile::None;
}

void AppShell::applyMonitorTypeProfile(int code)
{
    switch (profileForCode(code)) {
    case MonitorProfile::FlatPanel:
        ApplyFlatPanelMenus();
        break;
    case MonitorProfile::Mdi:
        applyMdi(code);
        break;
    case MonitorProfile::EarlyFirmware:
        ApplyEarlyFirmwareMenus();
        break;
    case MonitorProfile::None:
        break;
    }
}

QString AppShell::incorrectPasswordText()
{
    return QStringLiteral("Incorrect Password. Try again, or Cancel, then Select User Mode.");
}

AppShell::ModeRequest AppShell::ModeDialogOk(int selectedMode)
{
    switch (selectedMode) {
    case UserMode:
        SetUserMode();
        return ModeRequest::ModeSet;
    case ServiceMode:
        if (m_appMode == ServiceMode)
            return ModeRequest::Unchanged;
        m_expectedPassword = kServicePassword;
        return ModeRequest::PasswordNeeded;
    case FactoryMode:
        if (m_appMode == FactoryMode)
            return ModeRequest::Unchanged;
        m_expectedPassword = kFactoryPassword;
        return ModeRequest::PasswordNeeded;
    default:
        return ModeRequest::Unchanged;
    }
}

bool AppShell::PasswordDialogOk(const QString &typed)
{
    // Only blanks are cut off the ends; the comparison is case-sensitive.
    qsizetype first = 0, last = typed.size();
    while (first < last && typed.at(first) == u' ')
        ++first;
    while (last > first && typed.at(last - 1) == u' ')
        --last;
    const QString text = typed.mid(first, last - first);

    if (m_expectedPassword == kServicePassword && text == kServicePassword) {
        SetServiceMode();
        return true;
    }
    if (m_expectedPassword == kFactoryPassword && text == kFactoryPassword) {
        SetFactoryMode();
        return true;
    }
    m_messages.message(incorrectPasswordText());
    return false;
}

} // namespace tvk

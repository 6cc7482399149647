#include "model/monitordata.h"

#include "base/settings.h"
#include "link/linkglobals.h"

#include <limits>

namespace tvk {

namespace {

bool validGroup(DacGroupId id)
{
    return int(id) >= 0 && int(id) < kDacGroupCount;
}

bool validTable(DacTable table)
{
    return int(table) >= 0 && int(table) < kDacTableCount;
}

bool fitsInt16(int value)
{
    return value >= std::numeric_limits<qint16>::min()
        && value <= std::numeric_limits<qint16>::max();
}

} // namespace

std::optional<DacGroupId> dacGroupByLetter(QStringView letter)
{
    for (const DacGroupDesc &desc : kDacGroups)
        if (letter == QLatin1String(desc.letter))
            return desc.id;
    return std::nullopt;
}

std::optional<DacGroupId> dacGroupByCountKey(QStringView key)
{
    for (const DacGroupDesc &desc : kDacGroups)
        if (key == QLatin1String(desc.countKey))
            return desc.id;
    return std::nullopt;
}

MonitorData::MonitorData() = default;

void MonitorData::InitMonitorData(LinkGlobals &link, const Settings &settings,
                                  MonitorDataHost *host)
{
    // The no-monitor state: the main window shows it and the connection
    // forgets any monitor it knew (the online flag is the connector's).
    if (host)
        host->EnterNoMonitorState();

    // Group counts and the number of scan sets.
    for (const DacGroupDesc &desc : kDacGroups)
        group(desc.id).count = desc.startCount;
    NumScanSets = 6;

    // The first two lines of every DAC value file.
    FileHeaderText = kFileHeaderText;
    FileVersionText = kFileVersionText;

    // File state and identity texts.
    FileIsOpen = false;
    DataChanged = false;
    FilePath.clear();
    ModelNumber.clear();
    SerialNumber.clear();
    FirmwareVersion.clear();
    ScanSetCaption = kNoScanSetCaption;

    // Scan set; the firmware identity derived from the version reply
    // starts over with it.
    CurrentScanSet = 0;
    MonitorType = 0;
    MdiMonitor = false;

    // Channel names.
    for (const DacGroupDesc &desc : kDacGroups) {
        Group &g = group(desc.id);
        for (int c = 0; c < kDacChannels; ++c) {
            const char *name = desc.names[size_t(c)];
            g.names[size_t(c)] = name ? QString::fromLatin1(name) : QString();
        }
    }

    // Log echo and port number.
    link.CommLogEcho = settings.readBool(AppName::Tarvikon, SettingsSection::Configs,
                                         QStringLiteral("CommLogEnabled"), false);
    const int port = settings.readInt(AppName::Tarvikon, SettingsSection::Configs,
                                      QStringLiteral("CommPort"), 1);
    link.CommPort = port < 1 ? 1 : port;

    // Menus that need a monitor.
    if (host)
        host->DisableMonitorMenus();

    // Capabilities are unknown until the monitor reports them.
    CapabilityFlags.fill(false);
}

qint16 MonitorData::count(DacGroupId id) const
{
    return validGroup(id) ? group(id).count : 0;
}

bool MonitorData::setCount(DacGroupId id, int count)
{
    if (!validGroup(id) || count < 0 || count > kDacChannels)
        return false;
    group(id).count = qint16(count);
    return true;
}

std::vector<int> MonitorData::channelsOf(DacGroupId id) const
{
    std::vector<int> channels;
    const int n = count(id);
    for (int c = 0; c < n && c < kDacChannels; ++c)
        channels.push_back(c);
    if (id == DacGroupId::H && n <= kHorizSCapChannel)
        channels.push_back(kHorizSCapChannel);
    return channels;
}

QString MonitorData::channelName(DacGroupId id, int channel) const
{
    if (!validGroup(id) || !isValidDacChannel(channel))
        return QString();
    return group(id).names[size_t(channel)];
}

std::optional<DacChannelRef> MonitorData::findChannel(QStringView name) const
{
    // Unnamed channels hold empty names; an empty field names none of them.
    if (name.isEmpty())
        return std::nullopt;
    for (const DacGroupDesc &desc : kDacGroups) {
        const Group &g = group(desc.id);
        for (int c = 0; c < kDacChannels; ++c)
            if (g.names[size_t(c)] == name)
                return DacChannelRef { desc.id, c };
    }
    return std::nullopt;
}

std::optional<qint16> MonitorData::value(DacGroupId id, DacTable table, int channel,
                                         int scanSet) const
{
    if (!validGroup(id) || !validTable(table) || !isValidDacChannel(channel)
        || !isValidScanSet(scanSet))
        return std::nullopt;
    return group(id).tables[size_t(table)][size_t(channel)][size_t(scanSet)];
}

bool MonitorData::setValue(DacGroupId id, DacTable table, int channel, int scanSet, int value)
{
    if (!validGroup(id) || !validTable(table) || !isValidDacChannel(channel)
        || !isValidScanSet(scanSet) || !fitsInt16(value))
        return false;
    group(id).tables[size_t(table)][size_t(channel)][size_t(scanSet)] = qint16(value);
    group(id).known[size_t(table)][size_t(channel)][size_t(scanSet)] = true;
    return true;
}

bool MonitorData::isKnown(DacGroupId id, DacTable table, int channel, int scanSet) const
{
    if (!validGroup(id) || !validTable(table) || !isValidDacChannel(channel)
        || !isValidScanSet(scanSet))
        return false;
    return group(id).known[size_t(table)][size_t(channel)][size_t(scanSet)];
}

std::optional<qint16> MonitorData::knownCurrentValue(DacGroupId id, DacTable table, int channel) const
{
    if (!isKnown(id, table, channel, CurrentScanSet))
        return std::nullopt;
    return currentValue(id, table, channel);
}

std::optional<qint16> MonitorData::currentValue(DacGroupId id, DacTable table, int channel) const
{
    return value(id, table, channel, CurrentScanSet);
}

bool MonitorData::setCurrentValue(DacGroupId id, DacTable table, int channel, int value)
{
    return setValue(id, table, channel, CurrentScanSet, value);
}

void MonitorData::forgetCurrentValue(DacGroupId id, DacTable table, int channel)
{
    if (validGroup(id) && validTable(table) && isValidDacChannel(channel) && isValidScanSet(CurrentScanSet))
        group(id).known[size_t(table)][size_t(channel)][size_t(CurrentScanSet)] = false;
}

bool MonitorData::StoreFileDac(DacGroupId id, int channel, int first, int second, int third)
{
    if (!validGroup(id) || !isValidDacChannel(channel) || !isValidScanSet(FileScanSet)
        || !fitsInt16(first) || !fitsInt16(second) || !fitsInt16(third))
        return false;
    auto &tables = group(id).tables;
    const auto c = size_t(channel);
    const auto s = size_t(FileScanSet);
    tables[size_t(DacTable::Present)][c][s] = qint16(first);
    tables[size_t(DacTable::Accepted)][c][s] = qint16(first);
    tables[size_t(DacTable::Factory)][c][s] = qint16(second);
    tables[size_t(DacTable::Initial)][c][s] = qint16(third);
    for (auto &table : group(id).known)
        table[c][s] = true;
    return true;
}

} // namespace tvk

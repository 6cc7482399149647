#pragma once
// The in-memory image of the connected monitor: its DAC groups (counts,
// channel names and four value tables per group, kept per scan set), the
// scan-set selection, identity texts and counters, capability flags and the
// state of the DAC value file the image was loaded from or saved to.
//
// The tables are reachable only through checked accessors: a channel outside
// 0..9, a scan set outside 0..6 (CurrentScanSet is -1 while no scan set is
// selected) or a value beyond 16 bits is refused and nothing changes.

#include <QString>
#include <QStringView>
#include <QtGlobal>
#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace tvk {

class Settings;
struct LinkGlobals;

inline constexpr int kDacGroupCount = 11;
inline constexpr int kDacChannels = 10; // channels 0..9 of every group
inline constexpr int kDacScanSets = 7;  // table columns 0..6
inline constexpr int kCapabilityFlags = 8;

// The DAC groups, in the order the DAC value file writes them.
enum class DacGroupId { L, B, H, V, N, CO, CHR, CHP, CVR, CVP, CPP };

// The four value tables of a group.
enum class DacTable {
    Present,  // now set in the monitor, as last read, sent or loaded
    Accepted, // what an adjustment panel returns to on Cancel
    Factory,  // the monitor's factory default
    Initial   // the monitor's stored power-on setting
};
inline constexpr int kDacTableCount = 4;

// Fixed description of one DAC group.
struct DacGroupDesc {
    DacGroupId id;
    const char *letter;      // "L" .. "CPP"
    // The group's letter in the monitor's DAC commands ("dd" + it reads, "cd"
    // + it sets): "l", "b", "h", "v", and "s" for the north-south group;
    // empty for the convergence and purity groups, which have none.
    const char *command;
    const char *countKey;    // key of the count in the DAC value file, "NumLDacs" ..
    qint16 startCount;       // count given at start-up
    std::array<const char *, kDacChannels> names; // nullptr: the channel has no name
};

// Group H carries this channel beside its counted channels, always.
inline constexpr int kHorizSCapChannel = 8;

inline constexpr std::array<DacGroupDesc, kDacGroupCount> kDacGroups = { {
    { DacGroupId::L, "L", "l", "NumLDacs", 8,
      { "Master Contrast", "Master Brightness", "Red Gain", "Green Gain", "Blue Gain",
        "Red Offset", "Green Offset", "Blue Offset", nullptr, nullptr } },
    { DacGroupId::B, "B", "b", "NumBDacs", 2,
      { "White Level", "Bias Adjust", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
        nullptr, nullptr } },
    { DacGroupId::H, "H", "h", "NumHDacs", 4,
      { "Horizontal Size", "Horizontal Center", "Horizontal Linearity", "Trace Rotation",
        nullptr, nullptr, nullptr, nullptr, "Horiz S Cap", nullptr } },
    { DacGroupId::V, "V", "v", "NumVDacs", 7,
      { "Vertical Size", "Vertical Center", "Vert Linearity", "E-W Correction",
        "Horiz Trapezoid", "Horiz Parabola", "Horiz Bow", nullptr, nullptr, nullptr } },
    { DacGroupId::N, "N", "s", "NumNDacs", 3,
      { "North-South Correction", "North-South Trapezoid", "North-South Phase", nullptr,
        nullptr, nullptr, nullptr, nullptr, nullptr, nullptr } },
    { DacGroupId::CO, "CO", "", "NumCODacs", 4,
      { "Convergence RB V DC", "Convergence RB H DC", "Convergence RGB H DC",
        "Convergence RGB V DC", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr } },
    { DacGroupId::CHR, "CHR", "", "NumCHRDacs", 4,
      { "Convergence RB V HRamp", "Convergence RB H HRamp", "Convergence RGB H HRamp",
        "Convergence RGB V HRamp", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr } },
    { DacGroupId::CHP, "CHP", "", "NumCHPDacs", 4,
      { "Convergence RB V HParabola", "Convergence RB H HParabola",
        "Convergence RGB H HParabola", "Convergence RGB V HParabola", nullptr, nullptr, nullptr,
        nullptr, nullptr, nullptr } },
    { DacGroupId::CVR, "CVR", "", "NumCVRDacs", 4,
      { "Convergence RB V VRamp", "Convergence RB H VRamp", "Convergence RGB H VRamp",
        "Convergence RGB V VRamp", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr } },
    { DacGroupId::CVP, "CVP", "", "NumCVPDacs", 4,
      { "Convergence RB V VParabola", "Convergence RB H VParabola",
        "Convergence RGB H VParabola", "Convergence RGB V VParabola", nullptr, nullptr, nullptr,
        nullptr, nullptr, nullptr } },
    { DacGroupId::CPP, "CPP", "", "NumCPPDacs", 4,
      { "Purity Horizontal", "Purity Vertical", "Convergence VParabola Balance",
        "Convergence HParabola Balance", nullptr, nullptr, nullptr, nullptr, nullptr,
        nullptr } },
} };

inline constexpr bool dacGroupTableInOrder()
{
    for (int i = 0; i < kDacGroupCount; ++i)
        if (int(kDacGroups[size_t(i)].id) != i)
            return false;
    return true;
}
static_assert(dacGroupTableInOrder(), "kDacGroups must be indexed by DacGroupId");

inline constexpr const DacGroupDesc &dacGroupDesc(DacGroupId id)
{
    return kDacGroups[size_t(id)];
}
// "L" .. "CPP", exact case.
std::optional<DacGroupId> dacGroupByLetter(QStringView letter);
// "NumLDacs" .. "NumCPPDacs", exact case.
std::optional<DacGroupId> dacGroupByCountKey(QStringView key);

inline constexpr bool isValidDacChannel(int channel) { return channel >= 0 && channel < kDacChannels; }
inline constexpr bool isValidScanSet(int scanSet) { return scanSet >= 0 && scanSet < kDacScanSets; }

// A channel found by its name.
struct DacChannelRef {
    DacGroupId group;
    int channel;
    friend bool operator==(const DacChannelRef &, const DacChannelRef &) = default;
};

// Bits of the monitor's capability word ("dx"), indices into
// MonitorData::CapabilityFlags.
enum class Capability {
    LowVoltagePowerSupply = 0,
    PowerDistribution = 1,
    Video = 2,
    Deflection = 3,
    NorthSouthCorrection = 4,
    Convergence = 5,
    G2Adjustment = 6,
    ExpansionLeds = 7
};

// What the start-up of the model asks of the main window.
class MonitorDataHost {
public:
    virtual ~MonitorDataHost() = default;
    // Puts the main window into its no-monitor connection state.
    virtual void EnterNoMonitorState() = 0;
    // Disables the main-window menu entries that wait for a monitor.
    virtual void DisableMonitorMenus() = 0;
};

inline const QString kFileHeaderText = QStringLiteral("Velloran Monitor DAC Value File");
inline const QString kFileVersionText = QStringLiteral("Version 2.0");
inline const QString kNoScanSetCaption = QStringLiteral("Scan Set Selected: (None Selected)");

class MonitorData {
public:
    MonitorData();

    // Start values of every field, in this order (the window sees the
    // no-monitor state before anything else changes): no-monitor state,
    // counts, file texts, file and identity texts, scan set and link state,
    // channel names, the
    // log-echo and port settings, the disabled menus, the capability flags.
    // The value tables are not touched: they are zero from construction and
    // are never cleared as a whole. host may be null: the window steps are
    // then skipped. The online flag is not written here: the host's no-monitor
    // state has the connector clear it.
    void InitMonitorData(LinkGlobals &link, const Settings &settings,
                         MonitorDataHost *host = nullptr);

    // --- DAC groups ---
    qint16 count(DacGroupId group) const;
    // A count outside 0..10 is refused (false, nothing changes).
    bool setCount(DacGroupId group, int count);
    // The channels a walk over the group visits, in order: 0..count-1, and
    // for group H channel 8 after them (once).
    std::vector<int> channelsOf(DacGroupId group) const;

    // Empty for an unnamed channel or one outside 0..9.
    QString channelName(DacGroupId group, int channel) const;
    // Exact match, case included, searched L, B, H, ... CPP and by channel
    // within a group; the first equal name wins. An empty name never matches.
    std::optional<DacChannelRef> findChannel(QStringView name) const;

    std::optional<qint16> value(DacGroupId group, DacTable table, int channel, int scanSet) const;
    // False (nothing changes) for a channel outside 0..9, a scan set outside
    // 0..6 or a value outside the 16-bit signed range.
    bool setValue(DacGroupId group, DacTable table, int channel, int scanSet, int value);
    // Whether a table entry holds a value read from the monitor, loaded from
    // a file or set by the tool since (every write through setValue and
    // StoreFileDac marks its entry known). Entries never written hold the
    // start zeros, which must never be sent to the monitor.
    bool isKnown(DacGroupId group, DacTable table, int channel, int scanSet) const;
    // The value at CurrentScanSet when it is known; nothing otherwise.
    std::optional<qint16> knownCurrentValue(DacGroupId group, DacTable table, int channel) const;

    // The same at CurrentScanSet; refused while it is outside 0..6 (-1 after
    // the selection was cleared).
    std::optional<qint16> currentValue(DacGroupId group, DacTable table, int channel) const;
    bool setCurrentValue(DacGroupId group, DacTable table, int channel, int value);
    // The entry at CurrentScanSet is no longer known (a reply that should
    // have carried it did not): it is never sent until read again.
    void forgetCurrentValue(DacGroupId group, DacTable table, int channel);

    // DAC value file reader: at FileScanSet, first into present and accepted,
    // second into factory, third into initial. False, and nothing written,
    // for FileScanSet outside 0..6, a channel outside 0..9 or a value beyond
    // 16 bits.
    bool StoreFileDac(DacGroupId group, int channel, int first, int second, int third);

    // --- Scan sets ---
    qint16 NumScanSets = 0;
    qint16 CurrentScanSet = 0; // -1 when none is selected
    qint16 FileScanSet = 0;
    QString ScanSetCaption;

    // --- Identity and counters ---
    QString ModelNumber;
    QString SerialNumber;
    QString PartNumber;
    QString CrtSerialNumber;
    QString CrtPartNumber;
    QString FirmwareVersion;
    QString RomVersion;
    QString OperatingTimeText;   // "d:hh:mm:ss"
    QString OperatingCyclesText; // decimal
    qint16 HvUpperLimit = 0;
    qint16 HvLowerLimit = 0;
    // Test-point readings 1..7 of the last "da" reply (index 0..6), as
    // counts 0..255; -1 while not measured. Reading 5 is the anode-voltage
    // count the high-voltage panels show beside their limits.
    std::array<int, 7> LastReading { -1, -1, -1, -1, -1, -1, -1 };
    static constexpr int kAnodeVoltageReading = 4;
    qint16 MonitorType = 0; // firmware version times 100
    bool MdiMonitor = false;
    std::array<bool, kCapabilityFlags> CapabilityFlags {};
    bool capability(Capability bit) const { return CapabilityFlags[size_t(bit)]; }

    // --- DAC value file state ---
    bool FileIsOpen = false;
    bool FileOpenForInput = false;
    QString FilePath;
    QString FileTitle;
    bool DataChanged = false;
    qint64 ReadPosition = 0; // 1-based byte position of the line being read
    QString FileHeaderText;
    QString FileVersionText;

private:
    using Table = std::array<std::array<qint16, kDacScanSets>, kDacChannels>;
    struct Group {
        qint16 count = 0;
        std::array<QString, kDacChannels> names;
        std::array<Table, kDacTableCount> tables {};
        std::array<std::array<std::array<bool, kDacScanSets>, kDacChannels>, kDacTableCount> known {};
    };
    Group &group(DacGroupId id) { return m_groups[size_t(id)]; }
    const Group &group(DacGroupId id) const { return m_groups[size_t(id)]; }

    std::array<Group, kDacGroupCount> m_groups;
};

} // namespace tvk

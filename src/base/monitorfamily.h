#pragma once

// The family of a monitor, named once from its type code (the number the
// firmware version reply carries). Code that depends on the family asks
// here instead of writing the ranges itself.

namespace tvk {

enum class MonitorFamily {
    Unknown,   // no monitor read yet, or a code outside every family
    Early,     // 100..199: the first CRT family
    Mdi,       // 200..299: the CRT family with units behind one port
    FlatPanel, // 300..399
};

// The family by the hundreds of the type code.
constexpr MonitorFamily monitorFamily(int type)
{
    if (type >= 100 && type <= 199)
        return MonitorFamily::Early;
    if (type >= 200 && type <= 299)
        return MonitorFamily::Mdi;
    if (type >= 300 && type <= 399)
        return MonitorFamily::FlatPanel;
    return MonitorFamily::Unknown;
}

// As monitorFamily, but the code x99 of the second and third family is
// left out: the test-point layouts, reply routes and menu profiles were
// laid down for 200..298 and 300..398 only, and x99 stays unrecognised
// there.
constexpr MonitorFamily monitorFamilyExceptX99(int type)
{
    if (type == 299 || type == 399)
        return MonitorFamily::Unknown;
    return monitorFamily(type);
}

// Codes below the second family: the first family, and also a monitor
// whose type is not known yet (0), which the windows treat as the first.
constexpr bool belowMdiFamily(int type) { return type < 200; }

// Codes of the flat-panel family and any later one: what flat panels do
// is assumed to hold for newer codes too.
constexpr bool flatPanelOrLater(int type) { return type >= 300; }

// The CRT families (first and second): these carry a tube with its own
// serial and part numbers.
constexpr bool hasCrt(int type)
{
    const MonitorFamily family = monitorFamily(type);
    return family == MonitorFamily::Early || family == MonitorFamily::Mdi;
}

// What a type code can do. Each feature came with a firmware release, so a
// code answers by the first code of its family that had it; the numbers are
// named here and nowhere else.

// Codes 138 and below carry the first firmware's menu profile; 139..199 have
// none of their own.
constexpr int kLastEarlyFirmwareCode = 138;
constexpr bool earlyFirmwareProfile(int type) { return type <= kLastEarlyFirmwareCode; }

// The first family's test-point window serves codes below 199, and also a
// monitor not read yet (type 0). 199 is left out as 299 and 399 are: the
// test-point layouts were laid down for x00..x98.
constexpr bool earlyTestPointWindow(int type) { return type < 199; }

// From 209 (second family) and 310 (flat panels) the monitor reports its
// capability flags ("dx"); earlier codes do not answer it.
constexpr int kFirstMdiCapabilityCode = 209;
constexpr int kFirstFlatPanelCapabilityCode = 310;
constexpr bool reportsCapabilities(int type)
{
    return (monitorFamily(type) == MonitorFamily::Mdi && type >= kFirstMdiCapabilityCode)
        || (monitorFamily(type) == MonitorFamily::FlatPanel && type >= kFirstFlatPanelCapabilityCode);
}

// From 212 the second family hands brightness and contrast back to the user
// one by one; earlier units (and other families above 200) take one switch
// for both.
constexpr int kFirstSeparateUserControlsCode = 212;
constexpr bool separateUserControls(int type)
{
    return monitorFamily(type) == MonitorFamily::Mdi && type >= kFirstSeparateUserControlsCode;
}

// From 216 the second family keeps a contrast hysteresis.
constexpr int kFirstHysteresisCode = 216;
constexpr bool hasContrastHysteresis(int type)
{
    return monitorFamily(type) == MonitorFamily::Mdi && type >= kFirstHysteresisCode;
}

// From 217 the second family has the extra video settings (read with "dvd",
// "dvp", "dvf").
constexpr int kFirstVideoExtrasCode = 217;
constexpr bool hasVideoExtras(int type)
{
    return monitorFamily(type) == MonitorFamily::Mdi && type >= kFirstVideoExtrasCode;
}

// Only the 225 unit drives its G2 from the video window's master slider.
constexpr int kMasterG2Code = 225;
constexpr bool hasMasterG2(int type) { return type == kMasterG2Code; }

} // namespace tvk

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

} // namespace tvk

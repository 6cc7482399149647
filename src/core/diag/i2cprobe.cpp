#include "core/diag/i2cprobe.h"
#include "base/colour.h"
#include "base/diagnames.h"

#include "core/diag/memoryreplies.h"

namespace tvk {

const std::vector<I2cDevice> &i2cDevices()
{
    static const std::vector<I2cDevice> devices = {
        {"CPU", "U513", "U513 48", "LED Control Register", "49", "48", "49"},
        {"Deflection", "U103", "U103 AA", "ID Memory (EEPROM)", "AB", "AA", "AB"},
        {"Deflection", "U109", "U109 4C", "Defl, HV enable, fail detect", "4D", "4C", "4D"},
        {"Deflection", "U115", "U115 9C", "DAC (Deflection Adjust)", "9C", "9C", "9D"},
        {"Deflection", "U119", "U119 92", "A/D HV Mon, Focus Mon, G2 Ctrl", "93", "92", "93"},
        {"Deflection", "U120", "U120 4A", "S-Cap Switches", "4A", "4A", "4B"},
        {"Deflection", "U126", "U126 54", "N-S Corrections", "54", "54", "55"},
        {"Convergence", "U607", "U607 5E", "Digipot - H Ramp Adjust", "5E", "5E", "5F"},
        {"Convergence", "U608", "U608 5C", "Digipot - V Ramp Adjust", "5C", "5C", "5D"},
        {"Convergence", "U609", "U609 5A", "Digipot - H, V Parabola Offset", "5A", "5A", "5B"},
        {"Convergence", "U610", "U610 4E", "Convergence Enable", "4F", "4E", "4F"},
        {"Convergence", "U614", "U614 9E", "DAC - Output Offsets", "9E", "9E", "9F"},
        {"Convergence", "U615", "U615 58", "Digipot - H Parabola Adjust", "58", "58", "59"},
        {"Convergence", "U616", "U616 56", "Digipot - V Parabola Adjust", "56", "56", "57"},
        {"Convergence", "U628", "U628 AE", "ID Memory (EEPROM)", "AE", "AE", "AF"},
        {"Video", "U206", "U206 94", "DAC (Video Adjust)", "94", "94", "95"},
        {"Video", "U210", "U210 AC", "ID Memory (EEPROM)", "AD", "AC", "AD"},
        {"Video", "U214", "U214 90", "A/D +80V mon, adjust", "91", "90", "91"},
        {"LVPS", "U309", "U309 A8", "ID Memory (EEPROM)", "A8", "A8", "A9"},
        {"LVPS", "U310", "U310 96", "A/D -8,+90,+24,+12, DAC HVPS", "96", "96", "97"},
        {"LVPS", "U311", "U311 98", "A/D +6.3,+5,-12,-100, DAC Focus", "98", "98", "99"},
        {"Power Distribution", "U303", "U303 30", "Temperature Sensor", "31", "30", "31"},
        {"Power Distribution", "U304", "U304 44", "Fan + Heater Control", "45", "44", "45"},
        {"Power Distribution", "U305", "U305 A6", "ID Memory (EEPROM)", "A7", "A6", "A7"},
        {"Power Distribution", "U306", "U306 9A", "A/D +28, +23, +5, -5", "9B", "9A", "9B"},
        {"G2", "U904", "U904 52", "Digipot - HV, Focus, G2 Adjust", "52", "52", "53"},
        {"G2", "U906", "U906 92", "A/D HV Mon, Focus Mon, G2 Mon", "92", "92", "93"},
        {"G2", "U908", "U908 A4", "ID Memory (EEPROM)", "A4", "A4", "A5"},
    };
    return devices;
}

const QStringList &testAllAddresses()
{
    // Some devices are probed twice in a row, and four by the odd address
    // of their pair where their button uses the even one.
    static const QStringList order = {
        "AB", "4D", "4D", "9C", "9C", "93", "4A", "4A", "54", "94", "94", "AD",
        "91", "31", "45", "45", "A7", "9B", "A9", "97", "99", "49", "49", "5E",
        "5C", "5A", "4F", "4F", "9E", "9E", "58", "56", "AF", "52", "92", "A4",
    };
    return order;
}

QStringList ButtonsForProbeResult(QStringView text)
{
    const qsizetype at = text.indexOf(u"Device ");
    if (at < 0)
        return {};
    const QStringView address = text.mid(at + 9, 2);
    QStringList buttons;
    for (const I2cDevice &d : i2cDevices()) {
        if (address == QLatin1String(d.even) || address == QLatin1String(d.odd))
            buttons << ctl::i2cButton(d.part);
    }
    return buttons;
}

QString ProbeResultWords(std::optional<int> colour)
{
    switch (colour.value_or(-1)) {
    case Colour::Green:
        return QStringLiteral("present");
    case Colour::Red:
        return QStringLiteral("absent");
    case Colour::Yellow:
        return QStringLiteral("not connected");
    default:
        return QStringLiteral("not probed");
    }
}

std::optional<QString> ProbeAddressFromText(QStringView text)
{
    const HexCheck check = CheckHexValue(text, HexWidth::Byte, QStringLiteral("address"));
    if (!check.value)
        return std::nullopt;
    // Always two digits after the "0x" the command carries itself.
    return check.value->mid(2).rightJustified(2, u'0');
}

} // namespace tvk

#pragma once

#include "base/windownames.h"
// The I2C devices on the monitor's boards and the probe results that colour
// their buttons. A device answers to its even base address and the
// following odd one; the probe reply names the address it tried
// ("Device 0x93 OK") and the dispatcher has already chosen the result colour
// from "NR", "OK" or "NC".

#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>
#include <vector>

namespace tvk {
struct I2cDevice {
    const char *group;       // board heading: "CPU", "Deflection", ...
    const char *part;        // "U513": its button is ctl::i2cButton(part)
    const char *label;       // board reference and base address: "U513 48"
    const char *description; // "LED Control Register"
    const char *probe;       // address the button probes: "49"
    const char *even;        // reply addresses that colour the button
    const char *odd;
};

// In the order the panel shows them.
const std::vector<I2cDevice> &i2cDevices();

// The addresses "Test All" probes, in its order (some twice in a row).
const QStringList &testAllAddresses();

// The buttons a probe result colours: those whose address pair holds the
// two characters that stand nine characters after the start of "Device ".
// Addresses compare exactly, upper case: "ab" colours nothing.
QStringList ButtonsForProbeResult(QStringView text);

// A probe result in words, from the colour it gave the device's button:
// "present" (the device answered), "absent" (no response), "not connected",
// and "not probed" for any other colour or none (never probed, or set gray).
QString ProbeResultWords(std::optional<int> colour);

// The two hexadecimal digits of an address typed by the user ("93", "0x93",
// " a4 "), upper-cased; nothing when it is not one byte in hexadecimal.
std::optional<QString> ProbeAddressFromText(QStringView text);

} // namespace tvk

#pragma once
// The simulated monitor's diagnostics: test-point readings that drift a
// little from one "da" to the next, a memory of 64 KiB behind the address
// register of "a", "a+" and "a-", and the I2C devices of its boards.

#include <QByteArray>
#include <QList>
#include <QStringView>

namespace tvk::sim {

struct DiagConfig {
    DiagConfig();

    // --- "da" ---
    int testPointReads = 0; // readings taken so far; the drift follows it
    int dropField = 0;      // 1-based reading left out of "da" (0: none)
    int junkField = 0;      // 1-based reading sent as text that is no number
    bool perGunG2 = false;  // modular monitors also report "Green G2", "Blue G2"

    // --- memory ---
    static constexpr int kMemorySize = 0x10000;
    QByteArray memory;      // kMemorySize bytes
    int address = 0;        // the address register

    // --- I2C ---
    // Addresses whose device is on an unplugged board: they answer "NC".
    // (MonitorConfig::i2cDevices lists those that answer "OK"; any other
    // address gets "NR".) A device answers to its even base address and to
    // the following odd one.
    QList<int> i2cNotConnected;
    bool ledsOn = false;    // toggled by "lt"
};

// The addresses of the devices on the boards of a modular monitor.
QList<int> boardI2cDevices();

// Options of the diagnostics ("dadrop=N", "dajunk=N", "g2guns",
// "i2cnc=A:B"); false for a name that is none of them.
struct MonitorConfig;
bool applyDiagOption(MonitorConfig &config, const QString &name, QStringView value, bool &good);

} // namespace tvk::sim

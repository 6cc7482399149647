#pragma once

#include "base/windownames.h"
// The monitor's analogue test points: the reply to "da" in its three
// layouts, one per monitor family, converted into the values the panels show.
//
// Every reading is an 8-bit count r of the monitor's A/D converters. The
// parsers convert it with the circuit's scale into volts, kilovolts or
// microamperes and format it as the panels show it ("#0.00" and a unit).
// A reading whose field is missing or is not a count 0..255 is shown as the
// placeholder "--": a technician must never see a voltage that was not
// measured.
//
//  - Early monitors (MonitorType 100..199): seven comma-separated counts.
//  - Modular CRT monitors (200..298): four comma-separated counts, then
//    named fields ("Anode Voltage 205") anywhere in the reply; a field whose
//    name does not occur leaves its labels as they are.
//  - Flat panels (300..398): twelve comma-separated counts.

#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>
#include <optional>
#include <vector>

namespace tvk {
// Shown instead of a reading that was not measured.
inline const QString kNotMeasured = QStringLiteral("--");

enum class TestPointFamily { Early, Mdi, FlatPanel };

// The family whose "da" layout a monitor type speaks; none for types
// without one (below 100, 299, 399 and above).
std::optional<TestPointFamily> testPointFamilyOf(int monitorType);

struct TestPointValue {
    QString control;              // the label or box: ctl::BCtrlValue, ctl::lblVoltage_(5)
    std::optional<int> count;     // the raw count; none when not measured
    std::optional<double> value;  // the converted reading, in its unit
    QString text;                 // as shown: "+6.25V", or the placeholder
};

// The first seven readings of the early and flat-panel lists are kept for
// other panels (the high-voltage report shows reading 5, the anode-voltage
// count, beside its limits). The modular list keeps its anode-voltage count
// as reading 5 too.
inline constexpr int kKeptReadings = 7;

struct TestPointReply {
    std::vector<TestPointValue> values; // in the order they are written
    // Kept readings 1..7 (index 0..6): the count, -1 when not measured,
    // nothing when this reply does not carry it.
    std::array<std::optional<int>, kKeptReadings> kept {};
    const TestPointValue *find(QStringView control) const;
};

// text: the reply after its letters "DA", as the dispatcher hands it on.
// colour: the monitor has a colour tube (anode scales differ).
TestPointReply ParseEarlyTestPoints(QStringView text, bool colour);
TestPointReply ParseMdiTestPoints(QStringView text);
TestPointReply ParseFlatPanelTestPoints(QStringView text);

// The windows whose control of this name shows the value of a family.
QStringList testPointWindows(TestPointFamily family, QStringView control);

// The key under which a reading's history is kept: the family and the
// control that shows it.
QString trendKey(TestPointFamily family, QStringView control);

// The eight rails of the modular monitors' low-voltage supply, by
// lblVoltage index, and the four of the flat panels.
extern const std::array<const char *, 8> kMdiRailCaptions;
extern const std::array<const char *, 4> kFlatPanelRailCaptions;

} // namespace tvk

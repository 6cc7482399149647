#pragma once
// What the monitor says about itself: firmware and EPROM versions (DF, DE),
// the capability word (DX) and the model, part and serial numbers of the
// monitor and its units (DM, DS).
//
// The parsers are plain functions from the reply text (as the dispatcher
// hands it over: the text after the sub-letter, leading white space
// stripped, line ends and the closing marker still in it) to values. The
// Apply functions store the values into the monitor image and write them into
// the controls of the panels through the control book, and apply the menu
// effects: the firmware version selects the monitor-type menu profile, the
// capability word enables or disables the adjustment menus.

#include "base/windownames.h"
#include <QChar>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>
#include <optional>
#include <vector>

namespace tvk {

struct ReplyContext;
class ReplyHandlers;
// --- Versions ------------------------------------------------------------

// "V " followed by the version digits: the text from two characters after
// the first capital V (or after a leading lowercase v), with everything that
// is not a digit dropped from its end. Empty when no digit is left.
QString ExtractVersionText(QStringView text);

struct FirmwareVersionReply {
    QString text;      // "V 2.17"
    qint16 monitorType; // 217
};

// DF reply. Nothing for an interim reply (one holding "!"), a reply that
// does not start with V (the "dfd"/"dfp"/"dff" reads), one without version
// digits, or a version whose type would not fit 16 bits.
std::optional<FirmwareVersionReply> ParseFirmwareVersion(QStringView text);

// The monitor type of a version number text such as "2.17": the integer part
// of (the number in single precision x 100 + 0.4). Nothing when the text does
// not start with a number or the result does not fit 16 bits.
std::optional<qint16> MonitorTypeOfVersion(QStringView digits);

// DE reply: "V 1.05". Nothing for an interim reply, one without a capital V
// or without version digits.
std::optional<QString> ParseRomVersion(QStringView text);

// DX reply: the word after "Capability = " (decimal, or hexadecimal after
// "0x"). Nothing when the label or the number is missing.
std::optional<int> ParseCapability(QStringView text);

// Stores the version, sets MonitorType and MdiMonitor and applies the menu
// profile of the type (which for 209..298 queues "dx").
void ApplyFirmwareVersion(ReplyContext &ctx, const FirmwareVersionReply &reply);
void ApplyRomVersion(ReplyContext &ctx, const QString &version);
// Sets the eight capability flags and the menus of bits 2 (video), 3
// (deflection) and 6 (G2), and recolours the indicators of frmCapability.
void ApplyCapability(ReplyContext &ctx, int word);

// Indicator colours of frmCapability: by flag when the monitor type lies in
// 209..299 or 310..399, otherwise all red.
std::array<int, 8> CapabilityIndicatorColours(int monitorType, const std::array<bool, 8> &flags);
void ShowCapabilityIndicators(ReplyContext &ctx);

// --- Model, part and serial numbers -------------------------------------

enum class NumberKind { Model, Serial }; // DM / DS, "cm"/"cs"

struct UnitNumber {
    QChar unit;    // upper case: 'S' the monitor, 'U' its part number, 'C', 'D', ...
    QString value; // without line ends and marker
};

// DM and DS replies: "s", line end, "Model Number = TM-2100", line end, "#".
// A reply to the bare "dm"/"ds" of first-family firmware has no unit letter
// ("Model Number = ..." directly) and is the monitor's own number (unit S).
// Nothing for a unit letter the reply family does not know (DS has no U) or
// a reply without its label.
std::optional<UnitNumber> RouteModelNumber(QStringView text);
std::optional<UnitNumber> RouteSerialNumber(QStringView text);

// One number the panels show: where the reply lands and how it is set.
struct NumberSlot {
    NumberKind kind;
    char unit;           // lowercase command letter: 's', 'u', 'c', ...
    const char *caption; // "LVPS Serial Number:"
    QString idLabel;     // value label on frmID
    QString setBox;      // text box on frmSetModelAndSerialNumber
    const char *setButton;
    bool perUnit;        // a unit row, shown only for MDI monitors
};
// Rows in the order the panels show them: the monitor's model, serial and
// part numbers, then the units.
const std::vector<NumberSlot> &numberSlots();

// Writes a number into the labels, boxes and model fields of its unit.
void ApplyUnitNumber(ReplyContext &ctx, NumberKind kind, const UnitNumber &number);

// The per-unit reads of frmID, in the monitor's order ("dmu", "dsl", ...).
QStringList perUnitReadCommands();

// Registers the DF, DE, DX, DM and DS parsers with the dispatcher.
void installIdentityHandlers(ReplyHandlers &r);

} // namespace tvk

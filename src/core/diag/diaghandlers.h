#pragma once
// The reply handlers of the diagnostics panels: test-point readings ("DA",
// by monitor family), memory reads ("R"), the address register ("A") and
// I2C probe results ("P" with a lowercase i). Each writes what it parsed
// into the controls of the panels through the control book; the panels need
// not exist.

#include "core/diag/testpoints.h"

namespace tvk {

class ControlBook;
class ReplyHandlers;
struct ReplyContext;

void installDiagHandlers(ReplyHandlers &r);

// Writes the readings into every panel that shows them, keeps readings 1..7
// and adds each measured value to the context's history, stamped by its clock.
void ApplyTestPoints(const ReplyContext &context, TestPointFamily family, const TestPointReply &reply);

// The display type the operating-mode word reported (its options on the
// operating-mode panel): known once a "dw" reply was read; colour unless the
// monochrome option is selected.
bool DisplayTypeKnown(const ControlBook &controls);
bool DisplayIsColour(const ControlBook &controls);

} // namespace tvk

#pragma once
// Shows what the limits report ("dp"), the high-voltage report ("dh") and
// the backlight duty cycles ("dr...") carry, in the controls of every panel
// that shows them, through the control book (a panel not created yet takes
// the values when it is).
//
// Reading never changes the monitor: sliders a report moves are moved while
// the monitor's state is being applied, and a value that had to be limited
// to fit a slider is moved in the applying scope's show-only mode, so no change handler sends it
// back. The high-voltage setting above the 0..63 of frmG2's slider disables
// that slider instead. A value the report did not carry leaves its slider
// unknown and its box empty. Check boxes and option buttons set here send
// nothing either: the panels send on the user's click only.

#include "base/windownames.h"
#include "core/replies/dutycycle.h"
#include "core/replies/hvreport.h"
#include "core/replies/limitsreport.h"

#include <QString>

namespace tvk {

class ControlBook;
class ReplyHandlers;
struct ReplyContext;
// Highest position of the high-voltage slider of frmG2.
inline constexpr int kG2SliderMaximum = 63;

// Decimal with at least `digits` digits ("000": 7 -> "007", -5 -> "-005").
QString zeroPadded(int value, int digits);

void ApplyLimitsReport(ControlBook &controls, const LimitsReport &report);
// Holds the context's applying scope while it positions sliders, and its
// show-only mode while it shows a value it had to limit.
void ApplyHvReport(const ReplyContext &context, const HvReport &report);
void ApplyDutyCycle(ControlBook &controls, const DutyCycleReply &reply);

// Registers the "DP", "DH" and "DR" parsers.
void installAdjustReplyHandlers(ReplyHandlers &r);

} // namespace tvk

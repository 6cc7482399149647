#pragma once

namespace tvk {
class ReplyHandlers;
// Registers the operating-time (DT, DU), operating-mode (DW) and
// deflection/HV ("M") reply handlers with the core's dispatcher.
void installConfigHandlers(ReplyHandlers &r);
} // namespace tvk

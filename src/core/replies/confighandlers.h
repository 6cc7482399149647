#pragma once

namespace tvk {
class AppCore;
// Registers the operating-time (DT, DU), operating-mode (DW) and
// deflection/HV ("M") reply handlers with the core's dispatcher.
void installConfigHandlers(AppCore &core);
} // namespace tvk

#pragma once

namespace tvk {
class AppCore;
// Registers the parser of every response family with the dispatcher, in one
// readable list. Run once when the core is built.
void registerReplyHandlers(AppCore &core);
} // namespace tvk

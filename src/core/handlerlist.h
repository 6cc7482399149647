#pragma once

namespace tvk {
class HexDownload;
class ResponseDispatcher;
struct ReplyContext;
// Registers the parser of every response family with the dispatcher, in one
// readable list; every handler works in the context, the download's replies
// go to its engine. Run once when the core is built.
void registerReplyHandlers(ResponseDispatcher &dispatcher, ReplyContext &context, HexDownload &download);
} // namespace tvk

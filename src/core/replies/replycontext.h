#pragma once
// What the handlers of the monitor's replies may reach: the monitor image,
// the control book, the scan-set titles and marks, the main window's state
// routines (monitor-type profiles and menu items) and the scope in which
// the program applies the monitor's own state. Built once by the core where
// the handlers are registered; handlers never see the rest of the program.

#include "base/applying.h"
#include "base/controlbook.h"
#include "model/monitordata.h"
#include "model/scansets.h"
#include "protocol/dispatcher.h"

#include <functional>

namespace tvk {

class AppShell;

struct ReplyContext {
    MonitorData &data;
    ControlBook &controls;
    ScanSets &scanSets;
    AppShell &shell;
    MonitorStateApplying &applying; // with its show-only mode
};

// Registers the handler of one reply family: the one way handlers are
// registered. The handler gets the context and the text the dispatcher routes.
class ReplyHandlers {
public:
    ReplyHandlers(ResponseDispatcher &dispatcher, ReplyContext &context)
        : m_dispatcher(dispatcher), m_context(context)
    {
    }
    using Handler = std::function<void(ReplyContext &, const QString &)>;
    void on(Route route, Handler handler)
    {
        ReplyContext *context = &m_context;
        m_dispatcher.setHandler(route, [context, handler = std::move(handler)](const QString &text) {
            handler(*context, text);
        });
    }
    ReplyContext &context() { return m_context; }
    ResponseDispatcher &dispatcher() { return m_dispatcher; }

private:
    ResponseDispatcher &m_dispatcher;
    ReplyContext &m_context;
};

} // namespace tvk

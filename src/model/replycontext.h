#pragma once
// What the handlers of the monitor's replies may reach: the monitor image,
// the control book, the scope in which the program applies the monitor's own
// state, the scan-set titles and marks, the history of the test-point
// readings, the clock that stamps them and the main window's monitor-type
// profiles and menu items. Handlers never see the rest of the program.
//
// The image and the book are always given. Every other part may be given by
// the program; a part not given is the context's own (a fresh applying
// scope, scan sets and history, the system clock, no main window), so
//     ReplyContext ctx(image, book);
// is a working context.

#include "base/applying.h"
#include "base/clock.h"
#include "base/controlbook.h"
#include "model/monitordata.h"
#include "model/monitorprofilehost.h"
#include "model/scansets.h"
#include "model/trendhistory.h"
#include "protocol/dispatcher.h"

#include <functional>

namespace tvk {

struct ReplyContext {
    // The program's parts; null: the context's own.
    struct Parts {
        MonitorStateApplying *applying = nullptr;
        ScanSets *scanSets = nullptr;
        TrendHistory *history = nullptr;
        const Clock *clock = nullptr;
        MonitorProfileHost *profiles = nullptr;
    };

private:
    // Declared first: the references below may point into it.
    struct Own {
        struct NoProfiles : MonitorProfileHost {
            void applyMonitorTypeProfile(int) override {}
            void SetMenuItemEnabled(const QString &, bool) override {}
        };
        MonitorStateApplying applying;
        ScanSets scanSets;
        TrendHistory history;
        SystemClock clock;
        NoProfiles profiles;
    } m_own;

public:
    ReplyContext(MonitorData &data, ControlBook &controls);
    ReplyContext(MonitorData &data, ControlBook &controls, const Parts &parts);
    ReplyContext(const ReplyContext &) = delete;
    ReplyContext &operator=(const ReplyContext &) = delete;

    MonitorData &data;
    ControlBook &controls;
    MonitorStateApplying &applying; // with its show-only mode
    ScanSets &scanSets;
    TrendHistory &history;          // test-point readings, for the trend lines
    const Clock &clock;
    MonitorProfileHost &profiles;
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
    // The I2C probe result: its line and its colour.
    using ProbeHandler = std::function<void(ReplyContext &, const QString &, int colour)>;
    void onProbe(ProbeHandler handler)
    {
        ReplyContext *context = &m_context;
        m_dispatcher.setProbeHandler([context, handler = std::move(handler)](const QString &text, int colour) {
            handler(*context, text, colour);
        });
    }
    ReplyContext &context() { return m_context; }
    ResponseDispatcher &dispatcher() { return m_dispatcher; }

private:
    ResponseDispatcher &m_dispatcher;
    ReplyContext &m_context;
};

} // namespace tvk

#pragma once
// The reply handlers on a control book and a monitor image of their own: a
// context with a manual clock and a profile host that records what a reply
// asks of the main window, a dispatcher and every reply family's handler
// (the download's excepted). No link, no windows, no core.

#include "base/clock.h"
#include "base/controlbook.h"
#include "model/monitordata.h"
#include "model/replycontext.h"
#include "protocol/dispatcher.h"

#include <QHash>
#include <QList>
#include <QString>

namespace tvk::test {

// Records the monitor-type profiles and menu items a reply sets.
class RecordingProfiles : public MonitorProfileHost {
public:
    void applyMonitorTypeProfile(int code) override { profiles << code; }
    void SetMenuItemEnabled(const QString &menuName, bool enabled) override { menus[menuName] = enabled; }
    bool menuOn(const char *name) const { return menus.value(QString::fromLatin1(name), false); }
    // Nothing was asked of the main window (whose profiles may send "dx").
    bool untouched() const { return profiles.isEmpty() && menus.isEmpty(); }
    QList<int> profiles;
    QHash<QString, bool> menus;
};

struct ReplyBench {
    ReplyBench();
    ReplyBench(const ReplyBench &) = delete;
    ReplyBench &operator=(const ReplyBench &) = delete;

    void dispatch(const QString &text) { dispatcher.DispatchResponse(text); }
    void dispatch(const char *text) { dispatch(QString::fromLatin1(text)); }

    ControlBook controls;
    MonitorData data;
    ManualClock clock;
    RecordingProfiles profiles;
    ReplyContext context{data, controls, ReplyContext::Parts{.clock = &clock, .profiles = &profiles}};
    ResponseDispatcher dispatcher{[this] { return int(data.MonitorType); }};
};

// A reply as the line framing hands it on: echo, CR LF, one output line,
// CR LF, the prompt "#".
QString framedReply(const char *echo, const char *line);

} // namespace tvk::test

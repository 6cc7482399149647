#include "model/replycontext.h"

namespace tvk {

ReplyContext::ReplyContext(MonitorData &data_, ControlBook &controls_)
    : ReplyContext(data_, controls_, Parts{})
{
}

ReplyContext::ReplyContext(MonitorData &data_, ControlBook &controls_, const Parts &parts)
    : data(data_)
    , controls(controls_)
    , applying(parts.applying ? *parts.applying : m_own.applying)
    , scanSets(parts.scanSets ? *parts.scanSets : m_own.scanSets)
    , history(parts.history ? *parts.history : m_own.history)
    , clock(parts.clock ? *parts.clock : m_own.clock)
    , profiles(parts.profiles ? *parts.profiles : m_own.profiles)
{
}

} // namespace tvk

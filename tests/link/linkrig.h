#pragma once
// A serial link on the scripted port and a hand-moved clock, for the link's
// own tests: what it dispatches is collected, and onDispatch may answer.

#include "link/seriallink.h"
#include "testsupport.h"

#include <functional>

namespace tvk::test {

struct LinkRig {
    ManualClock clock;
    ScriptedPortFactory ports;
    LinkGlobals g;
    RecordingLog log;
    RecordingBeeper beeper;
    SerialLink link{clock, ports, g, log, beeper};
    QStringList dispatched;
    std::function<void(const QString &)> onDispatch;

    LinkRig()
    {
        link.setDeviceResolver([](int n) { return QStringLiteral("dev%1").arg(n); });
        link.setDispatcher([this](const QString &r) {
            dispatched << r;
            if (onDispatch)
                onDispatch(r);
        });
    }
    ScriptedPort *open()
    {
        if (!link.OpenCommPort())
            return nullptr;
        return ports.last();
    }
    QStringList writes() const
    {
        QStringList out;
        for (const QByteArray &w : ports.last()->writes())
            out << QString::fromLatin1(w);
        return out;
    }
};

} // namespace tvk::test

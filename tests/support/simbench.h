#pragma once
// The core on a scripted port and a hand-moved clock, with the monitor
// simulator answering every command written to it until a test silences it.
// Header only: the tests that use it link tvksim.

#include "apptest.h"
#include "monitorsim.h"

namespace tvk::test {

struct SimBench : CoreHarness {
    sim::MonitorSimulator sim;
    bool answering = true;
    int answered = 0;
    QByteArray firstUnanswered; // the first command written while silenced

    // Moves time in 10 ms steps; after each the monitor answers what was
    // written to it since.
    void run(int ms)
    {
        stepAnswering(ms, answered, [this](ScriptedPort *p, const QByteArray &cmd) {
            if (answering)
                p->feed(sim.feed(cmd));
            else if (firstUnanswered.isEmpty())
                firstUnanswered = cmd.trimmed();
        });
    }
    // Connects as the connection window's load does, and lets the monitor answer.
    void connect()
    {
        core->connector.LoadConnectWindow();
        run(2500);
    }
};

} // namespace tvk::test

#pragma once
// Set while the program applies the monitor's own state to controls: a reply
// parser moving sliders or selecting option buttons, a window taking the
// control book's entries when it is created. Control handlers that would send
// a change to the monitor send nothing meanwhile, so reading the monitor never
// writes it back. Scopes nest.

namespace tvk {

class MonitorStateApplying {
public:
    bool active() const { return m_depth > 0; }

    class Scope {
    public:
        explicit Scope(MonitorStateApplying &applying) : m_applying(applying) { ++m_applying.m_depth; }
        ~Scope() { --m_applying.m_depth; }
        Scope(const Scope &) = delete;
        Scope &operator=(const Scope &) = delete;

    private:
        MonitorStateApplying &m_applying;
    };

private:
    int m_depth = 0;
};

} // namespace tvk

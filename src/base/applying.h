#pragma once
// Set while the program applies the monitor's own state to controls: a reply
// parser moving sliders or selecting option buttons, a window taking the
// control book's entries when it is created. Control handlers that would send
// a change to the monitor send nothing meanwhile, so reading the monitor never
// writes it back. Scopes nest.

namespace tvk {

class MonitorStateApplying {
public:
    // Apply: the monitor's value is shown and kept in the image.
    // ShowOnly: a value a reply had to limit to fit a control (the monitor
    // holds another one) is shown, never stored nor sent.
    enum class Mode { Apply, ShowOnly };

    bool active() const { return m_depth > 0; }
    bool showOnly() const { return m_showOnly > 0; }

    class Scope {
    public:
        explicit Scope(MonitorStateApplying &applying, Mode mode = Mode::Apply)
            : m_applying(applying), m_mode(mode)
        {
            ++m_applying.m_depth;
            if (m_mode == Mode::ShowOnly)
                ++m_applying.m_showOnly;
        }
        ~Scope()
        {
            --m_applying.m_depth;
            if (m_mode == Mode::ShowOnly)
                --m_applying.m_showOnly;
        }
        Scope(const Scope &) = delete;
        Scope &operator=(const Scope &) = delete;

    private:
        MonitorStateApplying &m_applying;
        Mode m_mode;
    };

private:
    int m_depth = 0;
    int m_showOnly = 0;
};

} // namespace tvk

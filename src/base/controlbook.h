#pragma once
// The state that the program's routines give to named controls of named
// windows (frmMain with a menu item, frmVideoAdj with a slider): enabled,
// visible, caption text and indicator colour. Mode tables, monitor-type
// profiles, connection states and parsers write here; a window applies the
// entries for itself when it is created and every change while it exists.
// So nothing has to create a window just to set one of its controls, and the
// routines stay testable without widgets.
//
// Also the seams to the platform that these routines need: opening and hiding
// windows, and message boxes.

#include "base/colour.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>

namespace tvk {

enum class ControlProperty { Enabled, Visible, Text, Color, Checked, Value };

class ControlBook : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // control "" is the window itself (Text = its caption).
    void setEnabled(const QString &window, const QString &control, bool on);
    void setVisible(const QString &window, const QString &control, bool on);
    void setText(const QString &window, const QString &control, const QString &text);
    void setColor(const QString &window, const QString &control, int colour);
    // Option buttons and check boxes.
    void setChecked(const QString &window, const QString &control, bool checked);
    // Sliders and spin boxes.
    void setValue(const QString &window, const QString &control, int value);
    // The control's value is not known (a reply did not carry it): the
    // control keeps its position, and its window treats it as unknown.
    void clearValue(const QString &window, const QString &control);

    std::optional<bool> enabled(const QString &window, const QString &control) const;
    std::optional<bool> visible(const QString &window, const QString &control) const;
    std::optional<QString> text(const QString &window, const QString &control) const;
    std::optional<int> color(const QString &window, const QString &control) const;
    std::optional<bool> checked(const QString &window, const QString &control) const;
    std::optional<int> value(const QString &window, const QString &control) const;
    // Enabled unless something disabled it.
    bool isEnabled(const QString &window, const QString &control) const
    {
        return enabled(window, control).value_or(true);
    }

    struct Entry {
        std::optional<bool> enabled;
        std::optional<bool> visible;
        std::optional<QString> text;
        std::optional<int> color;
        std::optional<bool> checked;
        std::optional<int> value;
        bool operator==(const Entry &) const = default;
    };
    // One control's entry (empty when nothing was set for it).
    Entry entryOf(const QString &window, const QString &control) const
    {
        const Entry *e = find(window, control);
        return e ? *e : Entry{};
    }
    // Every control of a window with a state set, by control name.
    QHash<QString, Entry> entriesFor(const QString &window) const { return m_windows.value(window); }
    // Every window something was set for.
    QStringList windowNames() const { return m_windows.keys(); }

    // Every entry of every window, to return to later (a fuzz target starts
    // each input from the same state).
    using Pages = QHash<QString, QHash<QString, Entry>>;
    Pages pages() const { return m_windows; }
    // Back to entries taken with pages(): each property that differs now is
    // reported changed, so the windows take the entry again. A property
    // set since and absent from the pages is forgotten; a control keeps what
    // it shows for it.
    void restore(const Pages &pages);
    // The same for the named (window, control) pairs only: a caller that
    // watched changed() since taking the pages knows which ones moved.
    void restore(const Pages &pages, const QList<std::pair<QString, QString>> &controls);

signals:
    void changed(const QString &window, const QString &control, tvk::ControlProperty property);

private:
    Entry &entry(const QString &window, const QString &control) { return m_windows[window][control]; }
    const Entry *find(const QString &window, const QString &control) const;
    QHash<QString, QHash<QString, Entry>> m_windows;
};

// Opens and hides the program's windows by name.
class WindowHost {
public:
    virtual ~WindowHost() = default;
    // Create if needed, show, bring to the front.
    virtual void openWindow(const QString &window) = 0;
    virtual void hideWindow(const QString &window) = 0;
    virtual bool isWindowVisible(const QString &window) const = 0;
};

// Message boxes: OK and the application title unless a title is given.
class UserMessages {
public:
    virtual ~UserMessages() = default;
    virtual void message(const QString &text, const QString &title = QString()) = 0;
    // Yes / No; true for Yes.
    virtual bool askYesNo(const QString &text, const QString &title = QString()) = 0;
    // OK / Cancel; true for OK.
    virtual bool askOkCancel(const QString &text, const QString &title = QString()) = 0;
};

} // namespace tvk

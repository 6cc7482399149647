#include "base/controlbook.h"

namespace tvk {

const ControlBook::Entry *ControlBook::find(const QString &window, const QString &control) const
{
    const auto w = m_windows.constFind(window);
    if (w == m_windows.constEnd())
        return nullptr;
    const auto c = w->constFind(control);
    return c == w->constEnd() ? nullptr : &*c;
}

void ControlBook::setEnabled(const QString &window, const QString &control, bool on)
{
    entry(window, control).enabled = on;
    emit changed(window, control, ControlProperty::Enabled);
}

void ControlBook::setVisible(const QString &window, const QString &control, bool on)
{
    entry(window, control).visible = on;
    emit changed(window, control, ControlProperty::Visible);
}

void ControlBook::setText(const QString &window, const QString &control, const QString &text)
{
    entry(window, control).text = text;
    emit changed(window, control, ControlProperty::Text);
}

void ControlBook::setColor(const QString &window, const QString &control, int colour)
{
    entry(window, control).color = colour;
    emit changed(window, control, ControlProperty::Color);
}

void ControlBook::setChecked(const QString &window, const QString &control, bool checked)
{
    entry(window, control).checked = checked;
    emit changed(window, control, ControlProperty::Checked);
}

void ControlBook::setValue(const QString &window, const QString &control, int value)
{
    entry(window, control).value = value;
    emit changed(window, control, ControlProperty::Value);
}

void ControlBook::clearValue(const QString &window, const QString &control)
{
    entry(window, control).value.reset();
    emit changed(window, control, ControlProperty::Value);
}

std::optional<bool> ControlBook::checked(const QString &window, const QString &control) const
{
    const Entry *e = find(window, control);
    return e ? e->checked : std::nullopt;
}

std::optional<int> ControlBook::value(const QString &window, const QString &control) const
{
    const Entry *e = find(window, control);
    return e ? e->value : std::nullopt;
}

std::optional<bool> ControlBook::enabled(const QString &window, const QString &control) const
{
    const Entry *e = find(window, control);
    return e ? e->enabled : std::nullopt;
}

std::optional<bool> ControlBook::visible(const QString &window, const QString &control) const
{
    const Entry *e = find(window, control);
    return e ? e->visible : std::nullopt;
}

std::optional<QString> ControlBook::text(const QString &window, const QString &control) const
{
    const Entry *e = find(window, control);
    return e ? e->text : std::nullopt;
}

std::optional<int> ControlBook::color(const QString &window, const QString &control) const
{
    const Entry *e = find(window, control);
    return e ? e->color : std::nullopt;
}

namespace {

using Entries = QHash<QString, ControlBook::Entry>;

const ControlBook::Entry *entryIn(const Entries *entries, const QString &control)
{
    if (!entries)
        return nullptr;
    const auto c = entries->constFind(control);
    return c == entries->cend() ? nullptr : &*c;
}

const Entries *windowIn(const ControlBook::Pages &pages, const QString &window)
{
    const auto w = pages.constFind(window);
    return w == pages.cend() ? nullptr : &*w;
}

struct Change {
    QString window, control;
    ControlProperty property;
};

void compareEntries(const QString &window, const QString &control, const ControlBook::Entry *now,
                    const ControlBook::Entry *then, QList<Change> &changes)
{
    static const ControlBook::Entry kNone;
    const ControlBook::Entry &a = now ? *now : kNone;
    const ControlBook::Entry &b = then ? *then : kNone;
    if (a.enabled != b.enabled)
        changes.append({window, control, ControlProperty::Enabled});
    if (a.visible != b.visible)
        changes.append({window, control, ControlProperty::Visible});
    if (a.text != b.text)
        changes.append({window, control, ControlProperty::Text});
    if (a.color != b.color)
        changes.append({window, control, ControlProperty::Color});
    if (a.checked != b.checked)
        changes.append({window, control, ControlProperty::Checked});
    if (a.value != b.value)
        changes.append({window, control, ControlProperty::Value});
}

} // namespace

void ControlBook::restore(const Pages &pages)
{
    // Entries still shared with the pages were not written since they were
    // taken: only the windows written to are compared.
    if (m_windows.isSharedWith(pages))
        return;
    // What changed, found before anything is written: a window reacting to
    // one change may read the others.
    QList<Change> changes;
    const auto compareWindow = [&changes](const QString &window, const Entries *now, const Entries *then) {
        if (now && then && now->isSharedWith(*then))
            return;
        if (now)
            for (auto c = now->cbegin(); c != now->cend(); ++c)
                compareEntries(window, c.key(), &*c, entryIn(then, c.key()), changes);
        if (then)
            for (auto c = then->cbegin(); c != then->cend(); ++c)
                if (!entryIn(now, c.key()))
                    compareEntries(window, c.key(), nullptr, &*c, changes);
    };
    for (auto w = m_windows.cbegin(); w != m_windows.cend(); ++w)
        compareWindow(w.key(), &*w, windowIn(pages, w.key()));
    for (auto w = pages.cbegin(); w != pages.cend(); ++w)
        if (!m_windows.contains(w.key()))
            compareWindow(w.key(), nullptr, &*w);
    m_windows = pages;
    for (const Change &c : std::as_const(changes))
        emit changed(c.window, c.control, c.property);
}

void ControlBook::restore(const Pages &pages, const QList<std::pair<QString, QString>> &controls)
{
    QList<Change> changes;
    for (const auto &[window, control] : controls) {
        const Entry *then = entryIn(windowIn(pages, window), control);
        compareEntries(window, control, find(window, control), then, changes);
        if (then) {
            m_windows[window][control] = *then;
        } else if (const auto w = m_windows.find(window); w != m_windows.end()) {
            w->remove(control);
            if (w->isEmpty() && !pages.contains(window))
                m_windows.erase(w);
        }
    }
    for (const Change &c : std::as_const(changes))
        emit changed(c.window, c.control, c.property);
}

} // namespace tvk

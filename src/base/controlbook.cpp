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

} // namespace tvk

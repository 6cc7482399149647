#include "app/windowregistry.h"

#include "panels/panel.h"
#include "panels/widgetlayout.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QSpinBox>
#include <QAction>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace tvk {

// A book entry names a control its window does not have: the name is
// misspelt in the writer or the panel, and the state it carries is lost.
Q_LOGGING_CATEGORY(lcNames, "tvk.names")

namespace {

// A frame that hides instead of closing, and lets its panel save its layout.
class PanelFrame : public QMdiSubWindow {
public:
    PanelFrame(std::function<void()> onClose, QWidget *parent)
        : QMdiSubWindow(parent), m_onClose(std::move(onClose))
    {
    }

protected:
    void closeEvent(QCloseEvent *event) override
    {
        event->ignore();
        m_onClose();
        hide();
    }

private:
    std::function<void()> m_onClose;
};

QString colourSheet(int colour)
{
    const int r = colour & 0xFF, g = (colour >> 8) & 0xFF, b = (colour >> 16) & 0xFF;
    return QStringLiteral("background-color: rgb(%1, %2, %3);").arg(r).arg(g).arg(b);
}

void setTextOf(QObject *obj, const QString &text)
{
    if (auto *a = qobject_cast<QAction *>(obj))
        a->setText(text);
    else if (auto *l = qobject_cast<QLabel *>(obj))
        l->setText(text);
    else if (auto *b = qobject_cast<QAbstractButton *>(obj))
        b->setText(text);
    else if (auto *e = qobject_cast<QLineEdit *>(obj)) {
        // A line edit lays its text out again even when it is the same.
        if (e->text() != text)
            e->setText(text);
    }
    else if (auto *p = qobject_cast<QPlainTextEdit *>(obj))
        p->setPlainText(text);
    else if (auto *t = qobject_cast<QTextEdit *>(obj))
        t->setPlainText(text);
    else if (auto *g = qobject_cast<QGroupBox *>(obj))
        g->setTitle(text);
    else if (auto *w = qobject_cast<QWidget *>(obj))
        w->setWindowTitle(text);
}

} // namespace

WindowRegistry::WindowRegistry(const PanelContext &context, Settings &settings, QMdiArea *area, QObject *parent)
    : QObject(parent), m_context(context), m_settings(settings), m_area(area)
{
    connect(&context.controls, &ControlBook::changed, this, &WindowRegistry::onBookChanged);
    connect(area, &QMdiArea::subWindowActivated, this, &WindowRegistry::onSubWindowActivated);
}

void WindowRegistry::add(const QString &name, Factory factory)
{
    m_factories.insert(name, std::move(factory));
}

void WindowRegistry::setMainWindow(QWidget *mainWindow)
{
    m_mainWindow = mainWindow;
    const auto entries = m_context.controls.entriesFor(mainWindow->objectName());
    for (auto it = entries.begin(); it != entries.end(); ++it)
        applyTo(mainWindow, control(mainWindow, it.key()), it.value(), std::nullopt);
}

QObject *WindowRegistry::control(QWidget *window, const QString &name)
{
    if (name.isEmpty())
        return window;
    QPointer<QObject> &known = m_controls[window][name];
    if (!known || known->objectName() != name) {
        known = window->findChild<QObject *>(name);
        // Once per name and window: a book entry is applied again on every change.
        if (!known && !m_unresolved[window->objectName()].contains(name)) {
            m_unresolved[window->objectName()].insert(name);
            qCWarning(lcNames) << "window" << window->objectName() << "has no control" << name;
        }
    }
    return known;
}

void WindowRegistry::applyTo(QWidget *window, QObject *obj, const ControlBook::Entry &entry,
                             std::optional<ControlProperty> only)
{
    if (!obj)
        return;
    auto wants = [&](ControlProperty p) { return !only || *only == p; };
    if (auto *menu = qobject_cast<QMenu *>(obj))
        obj = menu->menuAction();
    if (auto *action = qobject_cast<QAction *>(obj)) {
        if (entry.enabled && wants(ControlProperty::Enabled))
            action->setEnabled(*entry.enabled);
        if (entry.visible && wants(ControlProperty::Visible))
            action->setVisible(*entry.visible);
        if (entry.text && wants(ControlProperty::Text))
            action->setText(*entry.text);
        if (entry.checked && wants(ControlProperty::Checked))
            action->setChecked(*entry.checked);
        return;
    }
    auto *w = qobject_cast<QWidget *>(obj);
    if (!w)
        return;
    if (entry.enabled && wants(ControlProperty::Enabled))
        w->setEnabled(*entry.enabled);
    if (entry.visible && wants(ControlProperty::Visible) && w != window)
        w->setVisible(*entry.visible);
    if (entry.text && wants(ControlProperty::Text)) {
        if (w == window)
            w->setWindowTitle(*entry.text);
        else
            setTextOf(w, *entry.text);
    }
    if (entry.color && wants(ControlProperty::Color)) {
        // A new style sheet polishes the widget again, which is slow: the
        // same colour is not set twice.
        const QString sheet = colourSheet(*entry.color);
        if (w->styleSheet() != sheet)
            w->setStyleSheet(sheet);
        w->setProperty("tvkColour", *entry.color);
    }
    if (entry.checked && wants(ControlProperty::Checked)) {
        if (auto *b = qobject_cast<QAbstractButton *>(w))
            b->setChecked(*entry.checked);
    }
    if (entry.value && wants(ControlProperty::Value)) {
        if (auto *slider = qobject_cast<QAbstractSlider *>(w))
            slider->setValue(*entry.value);
        else if (auto *spin = qobject_cast<QSpinBox *>(w))
            spin->setValue(*entry.value);
    }
}

void WindowRegistry::onBookChanged(const QString &window, const QString &control,
                                   ControlProperty property)
{
    QWidget *target = nullptr;
    if (m_mainWindow && window == m_mainWindow->objectName())
        target = m_mainWindow;
    else
        target = find(window);
    if (!target)
        return;
    const ControlBook::Entry entry = m_context.controls.entryOf(window, control);
    applyTo(target, this->control(target, control), entry, property);
}

Panel *WindowRegistry::find(const QString &name) const
{
    return m_loadedByName.value(name);
}

QMdiSubWindow *WindowRegistry::subWindow(const QString &name) const
{
    Panel *p = find(name);
    return p ? qobject_cast<QMdiSubWindow *>(p->parentWidget()) : nullptr;
}

Panel *WindowRegistry::ensure(const QString &name)
{
    if (Panel *p = find(name))
        return p;
    const auto it = m_factories.constFind(name);
    if (it == m_factories.constEnd())
        return nullptr;
    Panel *panel = (*it)(m_context);
    panel->setObjectName(name);
    QPointer<Panel> guard(panel);
    auto *frame = new PanelFrame([this, guard] { if (guard) unload(guard); }, m_area);
    frame->setObjectName(name + QStringLiteral("Frame"));
    frame->setWidget(panel);
    frame->setAttribute(Qt::WA_DeleteOnClose, false);
    m_area->addSubWindow(frame);
    frame->hide();
    m_loaded.append(panel);
    m_loadedByName.insert(name, panel);
    panel->load();
    frame->adjustSize();
    restoreWindowLayout(frame, name, m_settings, m_area->viewport());
    // A stored size smaller than the panel's controls need would make them
    // overlap: a normal frame is never smaller than its contents' minimum.
    if (!frame->isMaximized() && !frame->isMinimized())
        frame->resize(frame->size().expandedTo(frame->minimumSizeHint()));
    // The states written before the window existed are replies and routines
    // that ran earlier: applying them must not send anything back.
    {
        MonitorStateApplying::Scope applying(m_context.applying);
        const auto entries = m_context.controls.entriesFor(name);
        for (auto e = entries.begin(); e != entries.end(); ++e)
            applyTo(panel, control(panel, e.key()), e.value(), std::nullopt);
    }
    return panel;
}

void WindowRegistry::openWindow(const QString &name)
{
    Panel *panel = ensure(name);
    if (!panel)
        return;
    auto *frame = qobject_cast<QMdiSubWindow *>(panel->parentWidget());
    // A hidden panel (its own Done button hides the frame) activates afresh.
    if (!frame->isVisible() && m_active == panel)
        m_active = nullptr;
    frame->show();
    frame->raise();
    m_area->setActiveSubWindow(frame);
    if (m_active != panel)
        activate(panel);
}

void WindowRegistry::hideWindow(const QString &name)
{
    if (QMdiSubWindow *frame = subWindow(name))
        frame->hide();
    if (m_active && m_active->objectName() == name)
        m_active = nullptr;
}

bool WindowRegistry::isWindowVisible(const QString &name) const
{
    QMdiSubWindow *frame = subWindow(name);
    return frame && frame->isVisible();
}

void WindowRegistry::activate(Panel *panel)
{
    if (m_active && m_active != panel)
        m_active->deactivate();
    m_active = panel;
    panel->activate();
}

void WindowRegistry::onSubWindowActivated(QMdiSubWindow *sub)
{
    auto *panel = sub ? qobject_cast<Panel *>(sub->widget()) : nullptr;
    if (!panel) {
        m_active = nullptr;
        return;
    }
    if (panel != m_active && sub->isVisible())
        activate(panel);
}

void WindowRegistry::unload(Panel *panel)
{
    panel->unload();
    if (auto *frame = qobject_cast<QMdiSubWindow *>(panel->parentWidget()))
        saveWindowLayout(frame, panel->objectName(), m_settings, m_area->viewport());
    if (m_active == panel)
        m_active = nullptr;
}

void WindowRegistry::unloadAll()
{
    for (auto it = m_loaded.crbegin(); it != m_loaded.crend(); ++it) {
        if (*it)
            unload(*it);
    }
}

} // namespace tvk

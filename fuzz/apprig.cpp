#include "apprig.h"

#include "app/windowregistry.h"
#include "panels/panel.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QSignalBlocker>
#include <QSpinBox>
#include <vector>

namespace tvk::fuzz {

namespace {

// The state of one control (or window frame) that the program reads back.
struct State {
    enum class Kind { Frame, Slider, Spin, Button, Check, Group, Combo };
    QPointer<QWidget> widget;
    Kind kind = Kind::Frame;
    bool flag = false; // hidden (frames), checked (buttons, group boxes)
    int value = 0;
    int minimum = 0;
    int maximum = 0;
};

State record(QWidget *w, State::Kind kind)
{
    State s{w, kind};
    switch (kind) {
    case State::Kind::Frame: s.flag = w->isHidden(); break;
    case State::Kind::Slider: {
        auto *x = static_cast<QAbstractSlider *>(w);
        s.value = x->value();
        s.minimum = x->minimum();
        s.maximum = x->maximum();
        break;
    }
    case State::Kind::Spin: {
        auto *x = static_cast<QSpinBox *>(w);
        s.value = x->value();
        s.minimum = x->minimum();
        s.maximum = x->maximum();
        break;
    }
    case State::Kind::Button: s.flag = static_cast<QAbstractButton *>(w)->isChecked(); break;
    case State::Kind::Check: s.value = static_cast<QCheckBox *>(w)->checkState(); break;
    case State::Kind::Group: s.flag = static_cast<QGroupBox *>(w)->isChecked(); break;
    case State::Kind::Combo: s.value = static_cast<QComboBox *>(w)->currentIndex(); break;
    }
    return s;
}

void putBack(const State &s)
{
    QWidget *w = s.widget;
    if (!w)
        return;
    if (s.kind == State::Kind::Frame) {
        // Shown or hidden as the program does it: the panels hear of it.
        if (w->isHidden() != s.flag)
            w->setHidden(s.flag);
        return;
    }
    // Put back without running the program's handlers: nobody moved it.
    const QSignalBlocker quiet(w);
    switch (s.kind) {
    case State::Kind::Slider: {
        auto *x = static_cast<QAbstractSlider *>(w);
        x->setRange(s.minimum, s.maximum);
        x->setValue(s.value);
        break;
    }
    case State::Kind::Spin: {
        auto *x = static_cast<QSpinBox *>(w);
        x->setRange(s.minimum, s.maximum);
        x->setValue(s.value);
        break;
    }
    case State::Kind::Button: {
        auto *x = static_cast<QAbstractButton *>(w);
        if (x->isChecked() != s.flag) {
            // An exclusive group would refuse to leave all its buttons off.
            const bool exclusive = x->autoExclusive();
            x->setAutoExclusive(false);
            x->setChecked(s.flag);
            x->setAutoExclusive(exclusive);
        }
        break;
    }
    case State::Kind::Check: static_cast<QCheckBox *>(w)->setCheckState(Qt::CheckState(s.value)); break;
    case State::Kind::Group: static_cast<QGroupBox *>(w)->setChecked(s.flag); break;
    case State::Kind::Combo: static_cast<QComboBox *>(w)->setCurrentIndex(s.value); break;
    case State::Kind::Frame: break;
    }
}

} // namespace

// Records the controls, and notes which of them change: putting back costs
// what the input changed, not what the windows hold.
struct AppRig::Widgets : QObject {
    std::vector<State> states;
    std::vector<char> dirty;
    std::vector<int> dirtyList;
    QHash<QObject *, int> frames;
    QPointer<QMdiSubWindow> active;
    bool activeDirty = false;

    void touch(int index)
    {
        if (dirty[size_t(index)])
            return;
        dirty[size_t(index)] = 1;
        dirtyList.push_back(index);
    }

    void watch(QWidget *w, State::Kind kind)
    {
        const int index = int(states.size());
        states.push_back(record(w, kind));
        dirty.push_back(0);
        const auto touchIt = [this, index] { touch(index); };
        switch (kind) {
        case State::Kind::Frame:
            frames.insert(w, index);
            w->installEventFilter(this);
            break;
        case State::Kind::Slider:
            connect(static_cast<QAbstractSlider *>(w), &QAbstractSlider::valueChanged, this, touchIt);
            connect(static_cast<QAbstractSlider *>(w), &QAbstractSlider::rangeChanged, this, touchIt);
            break;
        case State::Kind::Spin:
            // A range change that moves the value reports the value.
            connect(static_cast<QSpinBox *>(w), &QSpinBox::valueChanged, this, touchIt);
            break;
        case State::Kind::Button:
            connect(static_cast<QAbstractButton *>(w), &QAbstractButton::toggled, this, touchIt);
            break;
        case State::Kind::Check:
            connect(static_cast<QCheckBox *>(w), &QCheckBox::stateChanged, this, touchIt);
            break;
        case State::Kind::Group:
            connect(static_cast<QGroupBox *>(w), &QGroupBox::toggled, this, touchIt);
            break;
        case State::Kind::Combo:
            connect(static_cast<QComboBox *>(w), &QComboBox::currentIndexChanged, this, touchIt);
            break;
        }
    }

    // A panel and the controls in it, down to Qt's own composite widgets
    // (scroll areas, combo and spin boxes), whose parts are theirs.
    void collect(QWidget *w)
    {
        if (auto *x = qobject_cast<QAbstractSlider *>(w))
            watch(x, State::Kind::Slider);
        else if (auto *x = qobject_cast<QSpinBox *>(w))
            watch(x, State::Kind::Spin);
        else if (auto *x = qobject_cast<QCheckBox *>(w))
            watch(x, State::Kind::Check);
        else if (auto *x = qobject_cast<QAbstractButton *>(w); x && x->isCheckable())
            watch(x, State::Kind::Button);
        else if (auto *x = qobject_cast<QGroupBox *>(w); x && x->isCheckable())
            watch(x, State::Kind::Group);
        else if (auto *x = qobject_cast<QComboBox *>(w))
            watch(x, State::Kind::Combo);
        if (qobject_cast<QAbstractScrollArea *>(w) || qobject_cast<QComboBox *>(w)
            || qobject_cast<QAbstractSpinBox *>(w))
            return;
        for (QObject *child : w->children()) {
            if (child->isWidgetType() && !static_cast<QWidget *>(child)->isWindow())
                collect(static_cast<QWidget *>(child));
        }
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show || event->type() == QEvent::Hide) {
            const auto it = frames.constFind(watched);
            if (it != frames.cend()) {
                touch(*it);
                activeDirty = true;
            }
        }
        return false;
    }
};

AppRig::AppRig(bool freshSettings) : CoreRig(freshSettings)
{
    window = std::make_unique<MainWindow>(*core, launcher);
    // Shown as far as every widget can tell, but never painted: painting
    // would take most of the time and shows nothing to check.
    window->setAttribute(Qt::WA_DontShowOnScreen);
    window->setUpdatesEnabled(false);
    window->resize(1000, 800);
    window->show();
    window->startUp();
    WindowRegistry &registry = window->registry();
    for (const QString &name : registry.names())
        registry.ensure(name);
    deliverQueuedCalls();
}

AppRig::~AppRig()
{
    m_widgets.reset();
    core->windows.setTarget(nullptr);
    window.reset();
}

void AppRig::deliverQueuedCalls()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
}

void AppRig::markStart()
{
    deliverQueuedCalls();
    m_widgets = std::make_unique<Widgets>();
    QMdiArea *area = window->mdiArea();
    for (QMdiSubWindow *frame : area->subWindowList(QMdiArea::CreationOrder)) {
        m_widgets->watch(frame, State::Kind::Frame);
        if (QWidget *panel = frame->widget())
            m_widgets->collect(panel);
    }
    m_widgets->active = area->activeSubWindow();
    QObject::connect(area, &QMdiArea::subWindowActivated, m_widgets.get(),
                     [w = m_widgets.get()] { w->activeDirty = true; });
    CoreRig::markStart();
}

void AppRig::resetViews()
{
    Widgets &w = *m_widgets;
    // Frames first: showing and hiding them moves the activation.
    for (int pass = 0; pass < 2; ++pass) {
        for (int index : w.dirtyList) {
            const State &s = w.states[size_t(index)];
            if ((s.kind == State::Kind::Frame) == (pass == 0))
                putBack(s);
        }
    }
    for (int index : w.dirtyList)
        w.dirty[size_t(index)] = 0;
    w.dirtyList.clear();
    if (w.activeDirty || window->mdiArea()->activeSubWindow() != w.active) {
        // The window that was active is activated afresh, as the user does by
        // clicking it: the registry and the panel take it from there.
        QMdiArea *area = window->mdiArea();
        area->setActiveSubWindow(nullptr);
        area->setActiveSubWindow(w.active);
        w.activeDirty = false;
    }
    deliverQueuedCalls();
    // Activating may have moved controls again.
    for (int index : w.dirtyList) {
        putBack(w.states[size_t(index)]);
        w.dirty[size_t(index)] = 0;
    }
    w.dirtyList.clear();
    w.activeDirty = false;
    // Objects the input let go of are deleted; the layout and paint requests
    // it left behind are dropped (see apprig.h).
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::removePostedEvents(nullptr);
    // Only a delivery of every kind shortens Qt's list of posted events; the
    // list is empty now, but it would keep growing by the dropped ones.
    QCoreApplication::sendPostedEvents();
}

void AppRig::advance(int ms)
{
    CoreRig::advance(ms);
    deliverQueuedCalls();
}

} // namespace tvk::fuzz

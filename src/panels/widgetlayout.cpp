#include "panels/widgetlayout.h"

#include <algorithm>

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace tvk {

namespace {

// Keeps pixel values well inside what QRect and the window system accept.
constexpr double kMaxPixels = 1'000'000;

int clampedPixels(double px)
{
    if (!std::isfinite(px))
        return 0;
    return int(std::lround(std::clamp(px, -kMaxPixels, kMaxPixels)));
}

QScreen *screenOf(const QWidget *w)
{
    QScreen *s = w ? w->screen() : nullptr;
    return s ? s : QGuiApplication::primaryScreen();
}

double validDpi(double dpi)
{
    return (std::isfinite(dpi) && dpi > 0) ? dpi : kFallbackDpi;
}

} // namespace

double twipsToPixels(double twips, double dpi)
{
    return twips * validDpi(dpi) / kTwipsPerInch;
}

double pixelsToTwips(double pixels, double dpi)
{
    return pixels * kTwipsPerInch / validDpi(dpi);
}

WidgetLayoutTarget::WidgetLayoutTarget(QWidget *widget, QWidget *container)
    : m_widget(widget)
    , m_container(container)
{
}

double WidgetLayoutTarget::dpiX() const
{
    const QScreen *s = screenOf(m_widget);
    return validDpi(s ? s->logicalDotsPerInchX() : kFallbackDpi);
}

double WidgetLayoutTarget::dpiY() const
{
    const QScreen *s = screenOf(m_widget);
    return validDpi(s ? s->logicalDotsPerInchY() : kFallbackDpi);
}

int WidgetLayoutTarget::toPxX(double twips) const
{
    return clampedPixels(twipsToPixels(twips, dpiX()));
}

int WidgetLayoutTarget::toPxY(double twips) const
{
    return clampedPixels(twipsToPixels(twips, dpiY()));
}

QRect WidgetLayoutTarget::normalRect() const
{
    if (!m_widget)
        return {};
    const QWidget *w = m_widget;
    if (w->isWindow() && (w->isMaximized() || w->isMinimized())) {
        const QRect normal = w->normalGeometry();
        if (normal.isValid()) {
            // normalGeometry() excludes the frame; Top/Left include it.
            const QPoint frameOffset = w->geometry().topLeft() - w->pos();
            return QRect(normal.topLeft() - frameOffset, normal.size());
        }
    }
    return QRect(w->pos(), w->size());
}

double WidgetLayoutTarget::top() const
{
    return pixelsToTwips(normalRect().y(), dpiY());
}

double WidgetLayoutTarget::left() const
{
    return pixelsToTwips(normalRect().x(), dpiX());
}

double WidgetLayoutTarget::width() const
{
    return pixelsToTwips(normalRect().width(), dpiX());
}

double WidgetLayoutTarget::height() const
{
    return pixelsToTwips(normalRect().height(), dpiY());
}

void WidgetLayoutTarget::setTop(double twips)
{
    if (m_widget)
        m_widget->move(m_widget->pos().x(), toPxY(twips));
}

void WidgetLayoutTarget::setLeft(double twips)
{
    if (m_widget)
        m_widget->move(toPxX(twips), m_widget->pos().y());
}

void WidgetLayoutTarget::setWidth(double twips)
{
    if (m_widget)
        m_widget->resize(std::max(1, toPxX(twips)), m_widget->height());
}

void WidgetLayoutTarget::setHeight(double twips)
{
    if (m_widget)
        m_widget->resize(m_widget->width(), std::max(1, toPxY(twips)));
}

int WidgetLayoutTarget::windowState() const
{
    if (!m_widget)
        return kWindowStateNormal;
    const Qt::WindowStates s = m_widget->windowState();
    if (s & Qt::WindowMinimized)
        return kWindowStateMinimised;
    if (s & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return kWindowStateMaximised;
    return kWindowStateNormal;
}

void WidgetLayoutTarget::setWindowState(int state)
{
    if (!m_widget)
        return;
    Qt::WindowStates s = m_widget->windowState()
                         & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
    if (state == kWindowStateMinimised)
        s |= Qt::WindowMinimized;
    else if (state == kWindowStateMaximised)
        s |= Qt::WindowMaximized;
    if (s != m_widget->windowState())
        m_widget->setWindowState(s);
}

const QWidget *WidgetLayoutTarget::container() const
{
    return m_container ? m_container.data() : (m_widget ? m_widget->parentWidget() : nullptr);
}

double WidgetLayoutTarget::containerWidth() const
{
    if (const QWidget *c = container())
        return pixelsToTwips(c->width(), dpiX());
    const QScreen *s = screenOf(m_widget);
    return s ? pixelsToTwips(s->availableGeometry().width(), dpiX()) : 0;
}

double WidgetLayoutTarget::containerHeight() const
{
    if (const QWidget *c = container())
        return pixelsToTwips(c->height(), dpiY());
    const QScreen *s = screenOf(m_widget);
    return s ? pixelsToTwips(s->availableGeometry().height(), dpiY()) : 0;
}

double WidgetLayoutTarget::screenWidth() const
{
    const QScreen *s = screenOf(m_widget);
    return s ? pixelsToTwips(s->geometry().width(), dpiX()) : 0;
}

double WidgetLayoutTarget::screenHeight() const
{
    const QScreen *s = screenOf(m_widget);
    return s ? pixelsToTwips(s->geometry().height(), dpiY()) : 0;
}

namespace {

// A window stored on a screen that is no longer there, or a panel stored
// far outside the MDI area, would open where nobody can reach it.
void keepReachable(QWidget *w)
{
    if (w->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    const QRect r(w->pos(), w->size());
    if (w->isWindow()) {
        const QList<QScreen *> screens = QGuiApplication::screens();
        if (screens.isEmpty())
            return;
        for (const QScreen *s : screens) {
            if (s->availableGeometry().intersects(r))
                return;
        }
        QScreen *s = screenOf(w);
        w->move(s ? s->availableGeometry().topLeft() : QPoint(0, 0));
        return;
    }
    // The parent's size only counts once it is laid out on screen.
    const QWidget *parent = w->parentWidget();
    if (!parent || !parent->isVisible())
        return;
    if (!parent->rect().intersects(r))
        w->move(0, 0);
}

} // namespace

bool restoreWindowLayout(QWidget *widget, const QString &windowName, Settings &settings,
                         QWidget *container)
{
    if (!widget)
        return false;
    WidgetLayoutTarget target(widget, container);
    const bool stored = hasStoredSize(windowName, settings);
    if (!restoreLayout(target, windowName, settings))
        return false;
    if (!stored)
        fitInside(widget, container);
    keepReachable(widget);
    return true;
}

void fitInside(QWidget *widget, QWidget *container)
{
    // Only a child window whose container is laid out on screen is fitted;
    // a stored layout is restored as it was (this runs on a first layout).
    if (!widget || widget->isWindow() || !container || !container->isVisible())
        return;
    if (widget->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    const QSize area = container->size();
    if (area.isEmpty())
        return;
    const QSize size = widget->size().boundedTo(area);
    if (size != widget->size())
        widget->resize(size);
    const int x = std::clamp(widget->x(), 0, area.width() - size.width());
    const int y = std::clamp(widget->y(), 0, area.height() - size.height());
    if (QPoint(x, y) != widget->pos())
        widget->move(x, y);
}

bool saveWindowLayout(QWidget *widget, const QString &windowName, Settings &settings,
                      QWidget *container)
{
    if (!widget)
        return false;
    WidgetLayoutTarget target(widget, container);
    return saveLayout(target, windowName, settings);
}

} // namespace tvk

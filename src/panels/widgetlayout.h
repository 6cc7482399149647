#pragma once
// The window layout of a real widget: converts between the stored twips and
// pixels with the logical DPI of the widget's screen, and between the stored
// window states and Qt's.
//
// The widget is the one whose geometry counts: for a panel in the main
// window's MDI area that is its QMdiSubWindow, for a top-level window the
// window itself. Top and Left are the position of the window including its
// frame (relative to the MDI area for a panel, to the desktop otherwise);
// Width and Height are the size of the widget.

#include "core/windowlayout.h"

#include <QPointer>
#include <QRect>
#include <QWidget>

namespace tvk {

constexpr double kTwipsPerInch = 1440;
constexpr double kFallbackDpi = 96;

double twipsToPixels(double twips, double dpi);
double pixelsToTwips(double pixels, double dpi);

class WidgetLayoutTarget : public LayoutTarget {
public:
    // container: the window panels are centred in (the main window or its
    // MDI area); without one, the widget's parent, or the screen for a
    // top-level window.
    explicit WidgetLayoutTarget(QWidget *widget, QWidget *container = nullptr);

    double top() const override;
    double left() const override;
    double width() const override;
    double height() const override;
    void setTop(double twips) override;
    void setLeft(double twips) override;
    void setWidth(double twips) override;
    void setHeight(double twips) override;

    int windowState() const override;
    void setWindowState(int state) override;

    double containerWidth() const override;
    double containerHeight() const override;
    double screenWidth() const override;
    double screenHeight() const override;

    double dpiX() const;
    double dpiY() const;

    // The geometry that is saved: for a maximised or minimised top-level
    // window the geometry it returns to, so that it does not come back with
    // its maximised size as its normal size.
    QRect normalRect() const;

private:
    int toPxX(double twips) const;
    int toPxY(double twips) const;
    // The widget whose size "container" refers to: the one given, else the
    // window's parent; null for a top-level window.
    const QWidget *container() const;

    QPointer<QWidget> m_widget;
    QPointer<QWidget> m_container;
};

// Restores / saves the layout of a window by its name (group A or B, from the
// table). False, with nothing done, for a window that stores no layout.
// A restored normal window that would lie wholly outside every screen (or
// outside its visible MDI area) is moved to the top left corner. On a first
// layout (no size stored) a child window is fitted inside its container.
bool restoreWindowLayout(QWidget *widget, const QString &windowName, Settings &settings,
                         QWidget *container = nullptr);
bool saveWindowLayout(QWidget *widget, const QString &windowName, Settings &settings,
                      QWidget *container = nullptr);
// A child window larger than its visible container is made to fit inside it
// and moved fully into view. restoreWindowLayout does this when the store
// held no size for the window (its first layout).
void fitInside(QWidget *widget, QWidget *container);

} // namespace tvk

#pragma once
// Base of every window of the tool except the main window. A panel is created
// on first use, lives inside the main window's MDI area, and is hidden rather
// than destroyed: its "Done", "OK" or "Close" button hides it, closing its
// frame saves its layout and hides it.
//
// The registry calls load() once after creation (before the layout is
// restored and the control book is applied), activate() each time the panel
// becomes the active window, deactivate() when another panel takes its place,
// and unload() when its frame is closed or the
// program shuts down (before the layout is saved).

#include "core/panelcontext.h"

#include <QString>
#include <QWidget>

#include <initializer_list>

class QHBoxLayout;
class QLayout;
class QPushButton;

namespace tvk {

class Panel : public QWidget {
    Q_OBJECT
public:
    Panel(const PanelContext &context, const QString &name, const QString &title, QWidget *parent = nullptr);

    const PanelContext &context() const { return m_ctx; }
    QString name() const { return objectName(); }

    virtual void load() {}
    virtual void activate() {}
    // Another panel became the active window.
    virtual void deactivate() {}
    virtual void unload() {}

    // Hide the panel (its Done / OK / Close button).
    void hidePanel();

protected:
    // A push button of this panel, named and captioned as given.
    QPushButton *makeButton(const QString &objectName, const QString &caption,
                            const QString &toolTip = QString());
    // The same, and clicking it hides the panel (Done / OK / Close).
    QPushButton *makeHideButton(const QString &objectName, const QString &caption,
                                const QString &toolTip = QString());
    // A row with the given buttons at its right end.
    static QHBoxLayout *buttonRow(std::initializer_list<QWidget *> buttons);
    // The panel's layout: body at the top, the button row at the bottom,
    // spare height between them.
    void setBodyAndButtons(QLayout *body, QLayout *buttons);

    PanelContext m_ctx;
};

} // namespace tvk

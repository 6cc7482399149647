#include "app/panel.h"

#include <QMdiSubWindow>

namespace tvk {

Panel::Panel(AppCore &core, const QString &name, const QString &title, QWidget *parent)
    : QWidget(parent), m_core(core)
{
    setObjectName(name);
    setWindowTitle(title);
}

void Panel::hidePanel()
{
    if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget()))
        sub->hide();
    else
        hide();
}

} // namespace tvk

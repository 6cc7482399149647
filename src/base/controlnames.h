#pragma once
// What the names headers of the windows' controls share. A control that code
// outside its own panel writes or reads through the control book is named
// once, in the header of its window's subsystem (connectionnames.h,
// adjustnames.h, ...): the writers and the panel that creates the widget use
// the same constant. Control arrays are named by element: HScroll1_(3) is
// "HScroll1_3".

#include <QString>
#include <QStringView>

namespace tvk::ctl {

// "HScroll1", 3 -> "HScroll1_3".
inline QString element(QStringView base, int index)
{
    return base.toString() + QLatin1Char('_') + QString::number(index);
}

} // namespace tvk::ctl

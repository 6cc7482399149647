#pragma once
// A slider dragged across its whole bar as a hand moves it: pressed, the value
// under the pointer at each moment for `ms` milliseconds (values skipped when
// the machine is slow, so the drag lasts as long whatever the load), the last
// value, released. Returns the last value.

#include <QAbstractSlider>
#include <QElapsedTimer>
#include <QTest>

namespace tvk::test {

inline int dragAcross(QAbstractSlider *slider, int ms)
{
    const int lo = slider->minimum(), hi = slider->maximum();
    slider->setSliderDown(true);
    QElapsedTimer drag;
    drag.start();
    for (qint64 t = 0; t < ms; t = drag.elapsed()) {
        slider->setValue(lo + int((hi - lo) * t / ms));
        QTest::qWait(1);
    }
    slider->setValue(hi);
    slider->setSliderDown(false);
    return hi;
}

} // namespace tvk::test

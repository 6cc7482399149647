#include "panels/diag/trendline.h"

#include "model/trendhistory.h"

#include <QHelpEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace tvk {

TrendLine::TrendLine(TrendHistory &history, const QString &key, const QString &unit, QWidget *parent)
    : QWidget(parent), m_history(history), m_key(key), m_unit(unit)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    connect(&history, &TrendHistory::added, this, [this](const QString &k) {
        if (k == m_key) {
            ++m_updates;
            update();
        }
    });
}

std::pair<double, double> TrendLine::scaleFor(double lo, double hi)
{
    const double mid = (lo + hi) / 2;
    const double least = std::max(0.05 * std::max(std::fabs(lo), std::fabs(hi)), 0.01);
    const double half = std::max(hi - lo, least) / 2;
    return {mid - half, mid + half};
}

void TrendLine::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.fillRect(rect(), palette().base());
    p.setPen(palette().mid().color());
    p.drawRect(frame);

    const auto samples = m_history.samples(m_key);
    if (samples.isEmpty())
        return;
    const QRectF plot = frame.adjusted(3, 3, -3, -3);
    // Plain names, not a structured binding: the lambda below captures them.
    const auto range = [&] {
        double a = samples.first().value, b = a;
        for (const auto &s : samples) {
            a = std::min(a, s.value);
            b = std::max(b, s.value);
        }
        return scaleFor(a, b);
    }();
    const double lo = range.first, hi = range.second;
    const qint64 t0 = samples.first().ms;
    const qint64 span = std::max<qint64>(1, samples.last().ms - t0);
    auto pointOf = [&](const TrendHistory::Sample &s) {
        const double x = samples.size() == 1 ? plot.right() : plot.left() + plot.width() * double(s.ms - t0) / double(span);
        const double y = plot.bottom() - plot.height() * (s.value - lo) / (hi - lo);
        return QPointF(x, y);
    };

    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path(pointOf(samples.first()));
    for (qsizetype i = 1; i < samples.size(); ++i)
        path.lineTo(pointOf(samples.at(i)));
    p.setPen(QPen(palette().highlight().color(), 1.5));
    p.drawPath(path);
    p.setBrush(palette().highlight());
    p.drawEllipse(pointOf(samples.last()), 2, 2);
}

bool TrendLine::event(QEvent *e)
{
    if (e->type() == QEvent::ToolTip) {
        const auto samples = m_history.samples(m_key);
        QString text = tr("No readings yet");
        if (!samples.isEmpty()) {
            double lo = samples.first().value, hi = lo;
            for (const auto &s : samples) {
                lo = std::min(lo, s.value);
                hi = std::max(hi, s.value);
            }
            const double minutes = (samples.last().ms - samples.first().ms) / 60000.0;
            text = tr("%1 readings over %2 min: lowest %3%5, highest %4%5")
                       .arg(samples.size())
                       .arg(minutes, 0, 'f', 1)
                       .arg(lo, 0, 'f', 2)
                       .arg(hi, 0, 'f', 2)
                       .arg(m_unit);
        }
        QToolTip::showText(static_cast<QHelpEvent *>(e)->globalPos(), text, this);
        return true;
    }
    return QWidget::event(e);
}

} // namespace tvk

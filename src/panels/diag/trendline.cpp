#include "panels/diag/trendline.h"

#include "base/controlbook.h"
#include "base/dialogs.h"
#include "model/trendhistory.h"

#include <QAction>
#include <QDateTime>
#include <QFile>
#include <QHelpEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QSaveFile>
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
            if (m_limits)
                updateDescription();
        }
    });
}

void TrendLine::setLimits(std::function<std::optional<Limits>()> limits)
{
    m_limits = std::move(limits);
    updateDescription();
}

void TrendLine::setSaving(Saving saving)
{
    m_saving = std::move(saving);
    if (!m_saving.dialogs || !actions().isEmpty())
        return;
    setContextMenuPolicy(Qt::ActionsContextMenu);
    auto *csv = new QAction(tr("Save as CSV ..."), this);
    auto *png = new QAction(tr("Save as PNG ..."), this);
    connect(csv, &QAction::triggered, this, [this] { saveCsv(); });
    connect(png, &QAction::triggered, this, [this] { savePng(); });
    addActions({csv, png});
}

int TrendLine::samplesOutside() const
{
    const auto band = limits();
    if (!band)
        return 0;
    int n = 0;
    for (const auto &s : m_history.samples(m_key))
        n += s.value < band->lower || s.value > band->upper;
    return n;
}

void TrendLine::updateDescription()
{
    const int outside = samplesOutside();
    setAccessibleDescription(outside ? tr("%n reading(s) outside the limits", nullptr, outside) : QString());
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
    draw(p, QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

void TrendLine::draw(QPainter &p, const QRectF &frame) const
{
    p.fillRect(frame, palette().base());
    p.setPen(palette().mid().color());
    p.drawRect(frame);

    const auto samples = m_history.samples(m_key);
    if (samples.isEmpty())
        return;
    const QRectF plot = frame.adjusted(3, 3, -3, -3);
    const std::optional<Limits> band = limits();
    double a = samples.first().value, b = a;
    for (const auto &s : samples) {
        a = std::min(a, s.value);
        b = std::max(b, s.value);
    }
    if (band) {
        a = std::min(a, band->lower);
        b = std::max(b, band->upper);
    }
    // Plain names, not a structured binding: the lambdas below capture them.
    const std::pair<double, double> scale = scaleFor(a, b);
    const double lo = scale.first, hi = scale.second;
    const qint64 t0 = samples.first().ms;
    const qint64 span = std::max<qint64>(1, samples.last().ms - t0);
    auto xOf = [&](qint64 ms) {
        return samples.size() == 1 ? plot.right() : plot.left() + plot.width() * double(ms - t0) / double(span);
    };
    auto yOf = [&](double v) { return plot.bottom() - plot.height() * (v - lo) / (hi - lo); };

    if (band) {
        const QRectF area(QPointF(plot.left(), yOf(band->upper)), QPointF(plot.right(), yOf(band->lower)));
        QColor fill = palette().highlight().color();
        fill.setAlpha(40);
        p.fillRect(area, fill);
        p.setPen(QPen(palette().mid().color(), 1, Qt::DashLine));
        p.drawLine(QPointF(plot.left(), area.top()), QPointF(plot.right(), area.top()));
        p.drawLine(QPointF(plot.left(), area.bottom()), QPointF(plot.right(), area.bottom()));
    }

    const int columns = std::max(1, int(plot.width()));
    if (samples.size() > 2 * columns) {
        // More samples than pixels: each column drawn as one vertical stroke
        // from its lowest to its highest sample, joined to the column
        // before, with plain (not antialiased) one-pixel lines, so the cost
        // is the widget's width and not the history's length.
        QList<QLineF> strokes;
        strokes.reserve(2 * columns);
        int column = -1;
        double cLo = 0, cHi = 0, cFirst = 0, cLast = 0;
        double prevX = 0, prevLast = 0;
        bool havePrev = false;
        auto flush = [&] {
            if (column < 0)
                return;
            const double x = plot.left() + column + 0.5;
            if (havePrev)
                strokes.append(QLineF(prevX, yOf(prevLast), x, yOf(cFirst)));
            strokes.append(QLineF(x, yOf(cHi), x, yOf(cLo)));
            prevX = x;
            prevLast = cLast;
            havePrev = true;
        };
        const double perMs = double(columns) / double(span);
        for (const auto &s : samples) {
            const int c = std::min(int(double(s.ms - t0) * perMs), columns - 1);
            if (c != column) {
                flush();
                column = c;
                cLo = cHi = cFirst = s.value;
            } else {
                cLo = std::min(cLo, s.value);
                cHi = std::max(cHi, s.value);
            }
            cLast = s.value;
        }
        flush();
        p.setPen(QPen(palette().highlight().color(), 1));
        p.drawLines(strokes);
        p.setRenderHint(QPainter::Antialiasing);
    } else {
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath path(QPointF(xOf(samples.first().ms), yOf(samples.first().value)));
        for (qsizetype i = 1; i < samples.size(); ++i)
            path.lineTo(xOf(samples.at(i).ms), yOf(samples.at(i).value));
        p.setPen(QPen(palette().highlight().color(), 1.5));
        p.drawPath(path);
    }
    p.setBrush(palette().highlight());
    p.drawEllipse(QPointF(xOf(samples.last().ms), yOf(samples.last().value)), 2, 2);

    if (band) {
        // Outside the limits: a cross on the sample (one per pixel column).
        p.setPen(QPen(palette().text().color(), 1.5));
        int lastColumn = -1;
        for (const auto &s : samples) {
            if (s.value >= band->lower && s.value <= band->upper)
                continue;
            const QPointF c(xOf(s.ms), yOf(s.value));
            if (int(c.x()) == lastColumn)
                continue;
            lastColumn = int(c.x());
            p.drawLine(c + QPointF(-3, -3), c + QPointF(3, 3));
            p.drawLine(c + QPointF(-3, 3), c + QPointF(3, -3));
        }
    }
}

QImage TrendLine::picture(const QSize &size) const
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(palette().window().color());
    QPainter p(&image);
    QRectF frame(QPointF(0.5, 0.5), QSizeF(size) - QSizeF(1, 1));
    const auto samples = m_history.samples(m_key);
    if (size.height() >= 80) {
        // A caption above: what, whose, and when.
        const int line = p.fontMetrics().height();
        QString text = m_saving.caption.isEmpty() ? m_key : m_saving.caption;
        if (!m_unit.isEmpty())
            text += QStringLiteral(" (") + m_unit + QLatin1Char(')');
        const QString serial = m_saving.serialNumber ? m_saving.serialNumber().trimmed() : QString();
        if (!serial.isEmpty())
            text += QStringLiteral(", serial number ") + serial;
        if (!samples.isEmpty() && m_saving.wallMs) {
            const auto when = [&](qint64 ms) {
                return QDateTime::fromMSecsSinceEpoch(m_saving.wallMs(ms)).toString(QStringLiteral("yyyy-MM-dd hh:mm"));
            };
            text += QStringLiteral(", ") + when(samples.first().ms) + QStringLiteral(" to ") + when(samples.last().ms);
        }
        const int outside = samplesOutside();
        if (outside)
            text += tr(", %n reading(s) outside the limits (x)", nullptr, outside);
        p.setPen(palette().windowText().color());
        p.drawText(QRectF(4, 2, size.width() - 8, line), Qt::AlignLeft | Qt::AlignVCenter, text);
        frame.setTop(line + 6.5);
    }
    draw(p, frame);
    return image;
}

QString TrendLine::proposedName(const QString &extension) const
{
    QString what = m_saving.caption.isEmpty() ? m_key : m_saving.caption;
    what.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9+-]+")), QStringLiteral("_"));
    const QString serial = m_saving.serialNumber ? m_saving.serialNumber().trimmed() : QString();
    QString name = serial.isEmpty() ? what : serial + QLatin1Char('_') + what;
    name.replace(QRegularExpression(QStringLiteral("[/\\\\:*?\"<>| ]+")), QStringLiteral("_"));
    return name + extension;
}

bool TrendLine::saveCsv()
{
    if (!m_saving.dialogs)
        return false;
    FileDialogOptions o;
    o.title = tr("Save Trend as CSV");
    o.filter = QStringLiteral("CSV Files (*.csv);;All files (*.*)");
    o.proposedName = proposedName(QStringLiteral(".csv"));
    const auto path = m_saving.dialogs->saveFile(o);
    if (!path)
        return false;
    const QByteArray csv = trendCsv(m_history.samples(m_key), m_unit,
                                    m_saving.serialNumber ? m_saving.serialNumber().trimmed() : QString(),
                                    m_saving.wallMs);
    QSaveFile file(*path);
    if (file.open(QIODevice::WriteOnly) && file.write(csv) == csv.size() && file.commit())
        return true;
    if (m_saving.messages)
        m_saving.messages->message(tr("The trend could not be saved to %1 (%2).").arg(*path, file.errorString()));
    return false;
}

bool TrendLine::savePng()
{
    if (!m_saving.dialogs)
        return false;
    FileDialogOptions o;
    o.title = tr("Save Trend as PNG");
    o.filter = QStringLiteral("PNG Pictures (*.png);;All files (*.*)");
    o.proposedName = proposedName(QStringLiteral(".png"));
    const auto path = m_saving.dialogs->saveFile(o);
    if (!path)
        return false;
    QSaveFile file(*path);
    if (file.open(QIODevice::WriteOnly) && picture(QSize(960, 320)).save(&file, "PNG") && file.commit())
        return true;
    if (m_saving.messages)
        m_saving.messages->message(tr("The picture could not be saved to %1 (%2).").arg(*path, file.errorString()));
    return false;
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
            if (const auto band = limits()) {
                text += tr("; limits %1 to %2, %n outside (x)", nullptr, samplesOutside())
                            .arg(band->lower, 0, 'f', 0)
                            .arg(band->upper, 0, 'f', 0);
            }
        }
        QToolTip::showText(static_cast<QHelpEvent *>(e)->globalPos(), text, this);
        return true;
    }
    return QWidget::event(e);
}

} // namespace tvk

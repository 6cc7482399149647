#include "model/trendhistory.h"

#include <QDateTime>

#include <algorithm>

namespace tvk {

void TrendHistory::add(const QString &key, qint64 ms, double value)
{
    auto it = m_rings.find(key);
    if (it == m_rings.end()) {
        if (m_rings.size() >= kMaxReadings)
            return;
        it = m_rings.insert(key, Ring{});
    }
    Ring &ring = *it;
    if (int(ring.items.size()) < kCapacity) {
        // Grown by hand: never past the capacity.
        if (ring.items.size() == ring.items.capacity())
            ring.items.reserve(std::min<size_t>(kCapacity, std::max<size_t>(64, ring.items.capacity() * 2)));
        ring.items.push_back({ms, value});
    } else {
        ring.items[size_t(ring.head)] = {ms, value};
        ring.head = (ring.head + 1) % kCapacity;
    }
    emit added(key);
}

QList<TrendHistory::Sample> TrendHistory::samples(const QString &key) const
{
    QList<Sample> out;
    const auto it = m_rings.constFind(key);
    if (it == m_rings.constEnd() || it->items.empty())
        return out;
    const Ring &ring = *it;
    const int count = int(ring.items.size());
    // Not yet full: the oldest is at 0 and head stays 0.
    const int first = ring.head;
    const qint64 newest = ring.items[size_t((first - 1 + count) % count)].ms;
    out.reserve(count);
    for (int i = 0; i < count; ++i) {
        const Sample &s = ring.items[size_t((first + i) % count)];
        if (newest - s.ms <= kSpanMs)
            out.append(s);
    }
    return out;
}

qint64 TrendHistory::bytesHeld() const
{
    qint64 bytes = 0;
    for (const Ring &r : m_rings)
        bytes += qint64(r.items.capacity() * sizeof(Sample));
    return bytes;
}

namespace {
// A CSV field: quoted when it holds a comma, a quote or a line end.
QString csvField(const QString &text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}
} // namespace

QByteArray trendCsv(const QList<TrendHistory::Sample> &samples, const QString &unit, const QString &serialNumber,
                    const std::function<qint64(qint64)> &wallMs)
{
    QString out = QStringLiteral("time,value,unit,serial number\r\n");
    const QString tail = QLatin1Char(',') + csvField(unit) + QLatin1Char(',') + csvField(serialNumber) + QStringLiteral("\r\n");
    for (const TrendHistory::Sample &s : samples) {
        const qint64 ms = wallMs ? wallMs(s.ms) : s.ms;
        out += QDateTime::fromMSecsSinceEpoch(ms).toUTC().toString(Qt::ISODateWithMs) + QLatin1Char(',')
            + QString::number(s.value, 'g', 10) + tail;
    }
    return out.toUtf8();
}

void TrendHistory::clear()
{
    m_rings.clear();
}

} // namespace tvk

#include "model/trendhistory.h"

namespace tvk {

void TrendHistory::add(const QString &key, qint64 ms, double value)
{
    Ring &ring = m_rings[key];
    ring.items[size_t(ring.head)] = {ms, value};
    ring.head = (ring.head + 1) % kCapacity;
    ring.count = std::min(ring.count + 1, kCapacity);
    emit added(key);
}

QList<TrendHistory::Sample> TrendHistory::samples(const QString &key) const
{
    QList<Sample> out;
    const auto it = m_rings.constFind(key);
    if (it == m_rings.constEnd() || it->count == 0)
        return out;
    const Ring &ring = *it;
    const int first = (ring.head - ring.count + kCapacity) % kCapacity;
    const qint64 newest = ring.items[size_t((ring.head - 1 + kCapacity) % kCapacity)].ms;
    out.reserve(ring.count);
    for (int i = 0; i < ring.count; ++i) {
        const Sample &s = ring.items[size_t((first + i) % kCapacity)];
        if (newest - s.ms <= kSpanMs)
            out.append(s);
    }
    return out;
}

void TrendHistory::clear()
{
    m_rings.clear();
}

} // namespace tvk

#pragma once
// The last hours of every test-point reading, so that a panel can draw a
// small trend line beside the value, a drifting rail is seen at a glance,
// and a night's run can be saved and looked at in the morning. Widget-free:
// replies add samples, panels read them.
//
// Each reading keeps a ring of at most kCapacity samples: eight hours and
// more at the fastest poll of the panels (5 s). Samples older than kSpanMs
// behind the newest are not returned. At most kMaxReadings readings are
// kept (there are fewer on any monitor), so the whole history never takes
// more than kMaxBytes however long the tool runs. A ring grows as its
// samples come and is never larger than its capacity. Adding a sample
// signals its key, so a trend line repaints only when its reading arrives.

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <vector>

namespace tvk {

class TrendHistory : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 kSpanMs = 8LL * 60 * 60 * 1000;
    static constexpr int kFastestPollMs = 5000;
    static constexpr int kCapacity = int(kSpanMs / kFastestPollMs) + 240; // and 20 min to spare
    static constexpr int kMaxReadings = 64;

    struct Sample {
        qint64 ms;
        double value;
        bool operator==(const Sample &) const = default;
    };
    static constexpr qint64 kMaxBytes = qint64(kMaxReadings) * kCapacity * qint64(sizeof(Sample));

    using QObject::QObject;

    // A reading past the first kMaxReadings is not kept.
    void add(const QString &key, qint64 ms, double value);
    // The samples of the last kSpanMs before the newest one, oldest first.
    QList<Sample> samples(const QString &key) const;
    QStringList keys() const { return m_rings.keys(); }
    // Bytes the samples take now.
    qint64 bytesHeld() const;
    void clear();

signals:
    void added(const QString &key);

private:
    struct Ring {
        std::vector<Sample> items; // grows to kCapacity, then wraps
        int head = 0;              // where the next sample goes once full
    };
    QHash<QString, Ring> m_rings;
};

// The samples as CSV: a header line, then one line per sample with its time
// in ISO 8601 (UTC, milliseconds), the value, the unit and the monitor's
// serial number. wallMs turns a sample's time into ms since the epoch.
QByteArray trendCsv(const QList<TrendHistory::Sample> &samples, const QString &unit, const QString &serialNumber,
                    const std::function<qint64(qint64)> &wallMs);

} // namespace tvk

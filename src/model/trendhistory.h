#pragma once
// The last few minutes of every test-point reading, so that a panel can draw
// a small trend line beside the value and a drifting rail is seen at a
// glance. Widget-free: replies add samples, panels read them.
//
// Each reading keeps a ring of at most kCapacity samples; samples older than
// kSpanMs behind the newest are not returned. Adding a sample signals its key,
// so a trend line repaints only when its reading arrives.

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <array>

namespace tvk {

class TrendHistory : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 kSpanMs = 5 * 60 * 1000;
    static constexpr int kCapacity = 128;

    struct Sample {
        qint64 ms;
        double value;
        bool operator==(const Sample &) const = default;
    };

    using QObject::QObject;

    void add(const QString &key, qint64 ms, double value);
    // The samples of the last kSpanMs before the newest one, oldest first.
    QList<Sample> samples(const QString &key) const;
    void clear();

signals:
    void added(const QString &key);

private:
    struct Ring {
        std::array<Sample, kCapacity> items {};
        int head = 0;  // where the next sample goes
        int count = 0;
    };
    QHash<QString, Ring> m_rings;
};

} // namespace tvk

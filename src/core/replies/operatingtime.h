#pragma once
// The monitor's usage counters: operating time and on-off cycles.
//
// "dt" (and "du", whose reply starts with the same lines) is answered with
// two lines of four comma-separated numbers, days, hours, minutes and
// seconds (the stored total and the time since power-on), then a line with
// the cycle count. The tool shows the sum of the two times as "d:hh:mm:ss".
//
// The factory may overwrite each counter with "cod", "coh", "com", "cos" and
// "coc"; the set panel checks each entry against the counter's range first.

#include "base/windownames.h"
#include <QChar>
#include <QString>
#include <QStringView>
#include <array>
#include <optional>

namespace tvk {

struct ReplyContext;

struct OperatingTimeReading {
    qint64 days = 0;
    qint64 hours = 0;
    qint64 minutes = 0;
    qint64 seconds = 0;
    qint64 cycles = 0;
    bool operator==(const OperatingTimeReading &) const = default;
};

// The two times of a DT/DU reply added with carries into minutes, hours and
// days, and the cycle count. Nothing when the reply does not hold both time
// lines and the cycle count as plain non-negative numbers: a partial or
// foreign reply must not replace the counters shown with made-up values.
std::optional<OperatingTimeReading> ParseOperatingTime(QStringView text);

// "d:hh:mm:ss": days plain, the others with two digits at least.
QString FormatOperatingTime(const OperatingTimeReading &reading);

// Stores the texts in the monitor data and writes them into the Operating
// Time panel and the boxes of the Set Operating Times panel.
void ApplyOperatingTime(ReplyContext &ctx, const OperatingTimeReading &reading);

// The DT/DU reply handler: parse, then apply; an unrecognised reply changes
// nothing.
void HandleOperatingTimeReply(ReplyContext &ctx, const QString &text);

// One counter of the Set Operating Times panel.
struct OperatingField {
    QChar command;       // 'd', 'h', 'm', 's', 'c' after "co"
    QString caption;     // "Operating Days:"
    QString box;         // ctl::OperatingDaysTextBox
    QString button;      // "SetOperatingDaysButton"
    qint64 limit;        // highest value the monitor accepts
    QString rangeLine;   // "0 <= Operating Days <= 65535"
};
// Days, hours, minutes, seconds, cycles, in the panel's order.
const std::array<OperatingField, 5> &operatingFields();

// True when the entry, trimmed, is empty or only digits with a value within
// the field's limit (compared wide enough that 65535 days pass).
bool IsOperatingEntryAcceptable(const OperatingField &field, QStringView text);
// The refusal message: "Please Re-Enter", CR LF, the range line.
QString operatingEntryMessage(const OperatingField &field);
} // namespace tvk

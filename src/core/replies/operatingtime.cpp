#include "core/replies/operatingtime.h"
#include "base/confignames.h"
#include "base/windownames.h"

#include "core/appshell.h"
#include "model/replycontext.h"

#include <QList>

namespace tvk {

namespace {

// The time fields are the monitor's 16-bit counters; the cycle count is
// 32 bits wide.
constexpr qint64 kTimeFieldMax = 65535;
constexpr qint64 kCyclesMax = 4294967295LL;

// A whole field: digits only (blanks and the CR of the line around them are
// allowed), value at most max. -1 otherwise.
qint64 wholeNumber(QStringView field, qint64 max)
{
    const QStringView t = field.trimmed();
    if (t.isEmpty() || t.size() > 10)
        return -1;
    qint64 value = 0;
    for (QChar c : t) {
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value <= max ? value : -1;
}

struct TimeLine {
    qint64 days, hours, minutes, seconds;
};

std::optional<TimeLine> timeLine(QStringView line)
{
    const auto fields = line.split(u',');
    if (fields.size() != 4)
        return std::nullopt;
    qint64 v[4];
    for (int i = 0; i < 4; ++i) {
        v[i] = wholeNumber(fields[i], kTimeFieldMax);
        if (v[i] < 0)
            return std::nullopt;
    }
    return TimeLine{v[0], v[1], v[2], v[3]};
}

QString twoDigits(qint64 v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); }

} // namespace

std::optional<OperatingTimeReading> ParseOperatingTime(QStringView text)
{
    QStringView body = text;
    if (body.endsWith(u'#') || body.endsWith(u'$'))
        body.chop(1);
    // The first three lines that hold anything: time A, time B, cycles.
    QList<QStringView> lines;
    for (QStringView line : body.split(u'\n')) {
        if (!line.trimmed().isEmpty())
            lines.append(line);
        if (lines.size() == 3)
            break;
    }
    if (lines.size() < 3)
        return std::nullopt;
    const auto a = timeLine(lines[0]);
    const auto b = timeLine(lines[1]);
    const qint64 cycles = wholeNumber(lines[2], kCyclesMax);
    if (!a || !b || cycles < 0)
        return std::nullopt;

    OperatingTimeReading r;
    qint64 carry = 0;
    r.seconds = a->seconds + b->seconds;
    carry = r.seconds / 60;
    r.seconds %= 60;
    r.minutes = a->minutes + carry + b->minutes;
    carry = r.minutes / 60;
    r.minutes %= 60;
    r.hours = a->hours + carry + b->hours;
    carry = r.hours / 24;
    r.hours %= 24;
    r.days = a->days + carry + b->days;
    r.cycles = cycles;
    return r;
}

QString FormatOperatingTime(const OperatingTimeReading &r)
{
    return QString::number(r.days) + u':' + twoDigits(r.hours) + u':' + twoDigits(r.minutes) + u':'
        + twoDigits(r.seconds);
}

void ApplyOperatingTime(ReplyContext &ctx, const OperatingTimeReading &r)
{
    ctx.data.OperatingTimeText = FormatOperatingTime(r);
    ctx.data.OperatingCyclesText = QString::number(r.cycles);

    ControlBook &book = ctx.controls;
    book.setText(win::frmOperatingTime, ctl::lblOperatingTimeValue, ctx.data.OperatingTimeText);
    book.setText(win::frmOperatingTime, ctl::lblOperatingCyclesValue,
                 ctx.data.OperatingCyclesText);

    const qint64 values[5] = {r.days, r.hours, r.minutes, r.seconds, r.cycles};
    const auto &fields = operatingFields();
    for (size_t i = 0; i < fields.size(); ++i)
        book.setText(win::frmSetOperatingTimes, fields[i].box, QString::number(values[i]));
    // The set panel names the unit whose counters are being overwritten.
    book.setText(win::frmSetOperatingTimes, ctl::lblSerialNumberValue, ctx.data.SerialNumber);
}

void HandleOperatingTimeReply(ReplyContext &ctx, const QString &text)
{
    if (const auto reading = ParseOperatingTime(text))
        ApplyOperatingTime(ctx, *reading);
}

const std::array<OperatingField, 5> &operatingFields()
{
    static const std::array<OperatingField, 5> fields = {{
        {u'd', QStringLiteral("Operating Days:"), ctl::OperatingDaysTextBox,
         QStringLiteral("SetOperatingDaysButton"), 65535, QStringLiteral("0 <= Operating Days <= 65535")},
        {u'h', QStringLiteral("Operating Hours:"), ctl::OperatingHoursTextBox,
         QStringLiteral("SetOperatingHoursButton"), 23, QStringLiteral("0 <= Operating Hours <= 23")},
        {u'm', QStringLiteral("Operating Minutes:"), ctl::OperatingMinutesTextBox,
         QStringLiteral("SetOperatingMinutesButton"), 59, QStringLiteral("0 <= Operating Minutes <= 59")},
        {u's', QStringLiteral("Operating Seconds:"), ctl::OperatingSecondsTextBox,
         QStringLiteral("SetOperatingSecondsButton"), 59, QStringLiteral("0 <= Operating Seconds <= 59")},
        // The cycle count is read as a 32-bit signed number; nothing but
        // digits within that width goes to the monitor's counter.
        {u'c', QStringLiteral("Operating Cycles:"), ctl::OperatingCyclesTextBox,
         QStringLiteral("SetOperatingCyclesButton"), 2147483647LL,
         QStringLiteral("0 <= Operating Cycles <= 2147483647")},
    }};
    return fields;
}

bool IsOperatingEntryAcceptable(const OperatingField &field, QStringView text)
{
    const QStringView t = text.trimmed();
    return t.isEmpty() || wholeNumber(t, field.limit) >= 0;
}

QString operatingEntryMessage(const OperatingField &field)
{
    return QStringLiteral("Please Re-Enter\r\n") + field.rangeLine;
}

} // namespace tvk

#include "core/dacfile.h"
#include "base/windownames.h"
#include "base/monitorfamily.h"

#include "model/replycontext.h"
#include "protocol/dispatcher.h"
#include "core/replies/operatingtime.h"
#include "core/replies/identity.h"
#include "protocol/commands.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace tvk {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString headerText(const MonitorData &d)
{
    return d.FileHeaderText.isEmpty() ? kFileHeaderText : d.FileHeaderText;
}

QString versionText(const MonitorData &d)
{
    return d.FileVersionText.isEmpty() ? kFileVersionText : d.FileVersionText;
}

// A text field. A double quote inside the text would end the field early
// when the file is read back, and a line break would split the line: both
// are written as something harmless.
QString quoted(QString text)
{
    text.replace(QLatin1Char('"'), QLatin1Char('\''));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString textLine(const QString &key, const QString &value)
{
    return quoted(key) + QLatin1Char(',') + quoted(value);
}

QString numberLine(const QString &key, int value)
{
    return quoted(key) + QLatin1Char(',') + QString::number(value);
}

// --- Reading -------------------------------------------------------------

// A failure of the kind that ends a read with "In ReadMDF, Error # n: ...".
struct ReadFailure {
    int number;
    QString description;
};

ReadFailure typeMismatch() { return {13, QStringLiteral("Type mismatch")}; }
ReadFailure overflow() { return {6, QStringLiteral("Overflow")}; }
ReadFailure subscriptOutOfRange() { return {9, QStringLiteral("Subscript out of range")}; }
ReadFailure lineEndsEarly() { return {62, QStringLiteral("Input past end of file")}; }
ReadFailure noSuchRow(int index)
{
    return {340, QStringLiteral("Control array element '%1' doesn't exist").arg(index)};
}

// A number field read into a 16-bit integer: optional sign, digits, an
// optional fraction (rounded half to even); nothing else but surrounding
// blanks.
struct NumberResult {
    std::optional<qint16> value;
    ReadFailure failure{0, {}};
};

NumberResult parseInt16Field(const QString &field)
{
    const QString text = field.trimmed();
    bool ok = false;
    const double v = text.toDouble(&ok); // C locale: '.' as the decimal point
    const bool plain = ok && !text.isEmpty()
        && std::all_of(text.begin(), text.end(), [](QChar c) {
               return c.isDigit() || c == u'-' || c == u'+' || c == u'.';
           });
    if (!plain)
        return {std::nullopt, typeMismatch()};
    const double rounded = std::nearbyint(v);
    if (rounded < std::numeric_limits<qint16>::min() || rounded > std::numeric_limits<qint16>::max())
        return {std::nullopt, overflow()};
    return {qint16(rounded), {}};
}

// The number at the start of a text, as far as it goes (0 when none), as the
// HV limit lines hold it: "1250" or "1250 V".
NumberResult leadingNumber(const QString &field)
{
    const QString text = field.trimmed();
    qsizetype end = 0;
    if (end < text.size() && (text[end] == u'-' || text[end] == u'+'))
        ++end;
    while (end < text.size() && text[end].isDigit())
        ++end;
    if (end < text.size() && text[end] == u'.') {
        ++end;
        while (end < text.size() && text[end].isDigit())
            ++end;
    }
    bool ok = false;
    const double v = text.left(end).toDouble(&ok);
    if (!ok)
        return {qint16(0), {}};
    const double rounded = std::nearbyint(v);
    if (rounded < std::numeric_limits<qint16>::min() || rounded > std::numeric_limits<qint16>::max())
        return {std::nullopt, overflow()};
    return {qint16(rounded), {}};
}

// "d:hh:mm:ss" as the file holds the operating time.
std::optional<OperatingTimeReading> parseTimeText(const QString &text)
{
    const QStringList parts = text.trimmed().split(QLatin1Char(':'));
    if (parts.size() != 4)
        return std::nullopt;
    qint64 v[4];
    for (int i = 0; i < 4; ++i) {
        const QString &p = parts[i];
        if (p.isEmpty() || p.size() > 9
            || !std::all_of(p.begin(), p.end(), [](QChar c) { return c.isDigit(); }))
            return std::nullopt;
        v[i] = p.toLongLong();
    }
    OperatingTimeReading r;
    r.days = v[0];
    r.hours = v[1];
    r.minutes = v[2];
    r.seconds = v[3];
    return r;
}

std::optional<qint64> parseCyclesText(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 10
        || !std::all_of(t.begin(), t.end(), [](QChar c) { return c.isDigit(); }))
        return std::nullopt;
    return t.toLongLong();
}

// Restores the operating time or the cycle count, keeping the other half of
// the counters as they are.
void restoreOperatingTime(const MdfContext &mdf, const std::optional<OperatingTimeReading> &time,
                          std::optional<qint64> cycles)
{
    OperatingTimeReading r = time ? *time
                                  : parseTimeText(mdf.data.OperatingTimeText).value_or(OperatingTimeReading{});
    r.cycles = cycles ? *cycles : parseCyclesText(mdf.data.OperatingCyclesText).value_or(0);
    ApplyOperatingTime(mdf.replies, r);
}

enum class LineOutcome { Next, Stop };

// Applies the lines of a file, one at a time, each by the rule of its key:
// the key table names the fields a line needs and the function that applies
// it. A key the table does not know is a DAC channel's name, or an error.
class MdfReader {
public:
    explicit MdfReader(const MdfContext &mdf) : m_file(mdf), m_d(mdf.data) {}

    // One line (its fields), applied by the rule of its key.
    LineOutcome apply(const QStringList &fields);

private:
    using Handler = LineOutcome (MdfReader::*)(const QString &key, const QStringList &fields);
    struct KeyRule {
        int fields; // the line ends early with fewer
        Handler handler;
    };
    static const QHash<QString, KeyRule> &keyRules();

    // The line handlers, in the order the writer writes the lines.
    LineOutcome skip(const QString &, const QStringList &) { return LineOutcome::Next; }
    template <NumberKind kind, char unit>
    LineOutcome unitNumber(const QString &key, const QStringList &fields);
    template <QString (*readCommand)()>
    LineOutcome version(const QString &key, const QStringList &fields);
    LineOutcome operatingHours(const QString &key, const QStringList &fields);
    LineOutcome operatingCycles(const QString &key, const QStringList &fields);
    template <qint16 MonitorData::*limit>
    LineOutcome hvLimit(const QString &key, const QStringList &fields);
    LineOutcome scanSetCount(const QString &key, const QStringList &fields);
    LineOutcome groupCount(const QString &key, const QStringList &fields);
    LineOutcome scanSet(const QString &key, const QStringList &fields);
    LineOutcome scanSetName(const QString &key, const QStringList &fields);
    LineOutcome dacChannel(const QString &key, const QStringList &fields);

    bool need(const QStringList &fields, int n)
    {
        if (fields.size() >= n)
            return true;
        fail(lineEndsEarly());
        return false;
    }
    // A count line's value, 8 at most; null (with its message) otherwise.
    std::optional<qint16> count(const QString &key, const QStringList &fields);
    void fail(const ReadFailure &f)
    {
        m_file.messages.message(QStringLiteral("In ReadMDF, Error # %1: %2").arg(f.number).arg(f.description));
    }
    void badInput(const QString &key, const char *what)
    {
        m_file.messages.message(QStringLiteral("Bad Input - ") + key + QLatin1String(what)
                                + QStringLiteral("\rLine ") + QString::number(m_d.ReadPosition));
    }
    std::optional<qint16> number(const QString &field)
    {
        const NumberResult r = parseInt16Field(field);
        if (!r.value)
            fail(r.failure);
        return r.value;
    }

    const MdfContext &m_file;
    MonitorData &m_d;
};

const QHash<QString, MdfReader::KeyRule> &MdfReader::keyRules()
{
    static const QHash<QString, KeyRule> rules = [] {
        QHash<QString, KeyRule> r{
            // Comment and date lines.
            {QStringLiteral("#"), {0, &MdfReader::skip}},
            {QStringLiteral("File Created:"), {0, &MdfReader::skip}},
            // Identity lines restore what they name.
            {QStringLiteral("Model Number:"), {2, &MdfReader::unitNumber<NumberKind::Model, 'S'>}},
            {QStringLiteral("Serial Number:"), {2, &MdfReader::unitNumber<NumberKind::Serial, 'S'>}},
            {QStringLiteral("Part Number:"), {2, &MdfReader::unitNumber<NumberKind::Model, 'U'>}},
            {QStringLiteral("CRT Serial Number:"), {2, &MdfReader::unitNumber<NumberKind::Serial, 'T'>}},
            {QStringLiteral("CRT Part Number:"), {2, &MdfReader::unitNumber<NumberKind::Model, 'T'>}},
            {QStringLiteral("Firmware Version:"), {2, &MdfReader::version<&cmd::readFirmwareVersion>}},
            {QStringLiteral("ROM Version:"), {2, &MdfReader::version<&cmd::readEpromVersion>}},
            {QStringLiteral("Operating Hours:"), {2, &MdfReader::operatingHours}},
            {QStringLiteral("Operating Cycles:"), {2, &MdfReader::operatingCycles}},
            {QStringLiteral("HV Upper Limit:"), {2, &MdfReader::hvLimit<&MonitorData::HvUpperLimit>}},
            {QStringLiteral("HV Lower Limit:"), {2, &MdfReader::hvLimit<&MonitorData::HvLowerLimit>}},
            // Counts.
            {QStringLiteral("NumScanSets"), {2, &MdfReader::scanSetCount}},
            // Scan-set sections.
            {QStringLiteral("ScanSet"), {2, &MdfReader::scanSet}},
            {QStringLiteral("ScanSetName"), {2, &MdfReader::scanSetName}},
        };
        for (const DacGroupDesc &g : kDacGroups)
            r.insert(QString::fromLatin1(g.countKey), {2, &MdfReader::groupCount});
        return r;
    }();
    return rules;
}

LineOutcome MdfReader::apply(const QStringList &fields)
{
    const QString key = fields.value(0).trimmed();
    const auto rule = keyRules().constFind(key);
    if (rule == keyRules().constEnd())
        return dacChannel(key, fields);
    if (!need(fields, rule->fields))
        return LineOutcome::Stop;
    return (this->*rule->handler)(key, fields);
}

template <NumberKind kind, char unit>
LineOutcome MdfReader::unitNumber(const QString &, const QStringList &fields)
{
    ApplyUnitNumber(m_file.replies, kind, UnitNumber{QChar(QLatin1Char(unit)), fields[1]});
    return LineOutcome::Next;
}

// The version lines go through the reply of the command that reads them, so
// the monitor type follows the firmware version as it does online.
template <QString (*readCommand)()>
LineOutcome MdfReader::version(const QString &, const QStringList &fields)
{
    MonitorStateApplying::Scope applying(m_file.applying);
    m_file.dispatcher.DispatchResponse(readCommand() + kCrLf + fields[1]);
    return LineOutcome::Next;
}

// A text that is no counter value is passed over.
LineOutcome MdfReader::operatingHours(const QString &, const QStringList &fields)
{
    if (const auto time = parseTimeText(fields[1]))
        restoreOperatingTime(m_file, time, std::nullopt);
    return LineOutcome::Next;
}

LineOutcome MdfReader::operatingCycles(const QString &, const QStringList &fields)
{
    if (const auto cycles = parseCyclesText(fields[1]))
        restoreOperatingTime(m_file, std::nullopt, cycles);
    return LineOutcome::Next;
}

template <qint16 MonitorData::*limit>
LineOutcome MdfReader::hvLimit(const QString &, const QStringList &fields)
{
    const NumberResult r = leadingNumber(fields[1]);
    if (!r.value) {
        fail(r.failure);
        return LineOutcome::Stop;
    }
    m_d.*limit = *r.value;
    return LineOutcome::Next;
}

std::optional<qint16> MdfReader::count(const QString &key, const QStringList &fields)
{
    const auto v = number(fields[1]);
    if (v && *v > 8) {
        badInput(key, " Value Too Large");
        return std::nullopt;
    }
    return v;
}

LineOutcome MdfReader::scanSetCount(const QString &key, const QStringList &fields)
{
    const auto v = count(key, fields);
    if (!v)
        return LineOutcome::Stop;
    m_d.NumScanSets = *v;
    return LineOutcome::Next;
}

LineOutcome MdfReader::groupCount(const QString &key, const QStringList &fields)
{
    const auto v = count(key, fields);
    if (!v)
        return LineOutcome::Stop;
    if (!m_d.setCount(*dacGroupByCountKey(key), *v)) {
        // A negative count would leave the group without channels.
        badInput(key, " Value Too Small");
        return LineOutcome::Stop;
    }
    return LineOutcome::Next;
}

LineOutcome MdfReader::scanSet(const QString &key, const QStringList &fields)
{
    const auto v = number(fields[1]);
    if (!v)
        return LineOutcome::Stop;
    if (*v > m_d.NumScanSets - 1) {
        badInput(key, " Value Too Large");
        return LineOutcome::Stop;
    }
    m_d.FileScanSet = *v;
    m_file.scanSets.setLoadedFromFile(*v);
    return LineOutcome::Next;
}

LineOutcome MdfReader::scanSetName(const QString &key, const QStringList &fields)
{
    if (fields[1].isEmpty()) {
        badInput(key, " Has No Name Assigned");
        return LineOutcome::Stop;
    }
    if (!ScanSets::isValid(m_d.FileScanSet)) {
        fail(noSuchRow(m_d.FileScanSet));
        return LineOutcome::Stop;
    }
    m_file.scanSets.setTitle(m_d.FileScanSet, fields[1]);
    return LineOutcome::Next;
}

// A DAC value line: the channel's name, then its present, factory and
// initial values in the scan set being read.
LineOutcome MdfReader::dacChannel(const QString &key, const QStringList &fields)
{
    const auto channel = m_d.findChannel(key);
    if (!channel) {
        m_file.messages.message(QStringLiteral("Name Not Found: ") + key + kCrLf + QStringLiteral("Line ")
                                + QString::number(m_d.ReadPosition) + kCrLf
                                + QStringLiteral("ScanSetReading: ") + QString::number(m_d.FileScanSet));
        return LineOutcome::Stop;
    }
    if (!need(fields, 4))
        return LineOutcome::Stop;
    qint16 v[3];
    for (int i = 0; i < 3; ++i) {
        const auto n = number(fields[i + 1]);
        if (!n)
            return LineOutcome::Stop;
        v[i] = *n;
    }
    if (!m_d.StoreFileDac(channel->group, channel->channel, v[0], v[1], v[2])) {
        fail(subscriptOutOfRange());
        return LineOutcome::Stop;
    }
    return LineOutcome::Next;
}

// The lines of a file with the 0-based offset of each line's start. A line
// ends at CR LF, CR or LF.
struct FileLine {
    qint64 start;
    QString text;
};

QList<FileLine> splitLines(const QByteArray &bytes)
{
    QList<FileLine> lines;
    qint64 start = 0;
    const qint64 n = bytes.size();
    qint64 i = 0;
    while (i < n) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines.append({start, QString::fromLatin1(bytes.constData() + start, i - start)});
            if (c == '\r' && i + 1 < n && bytes[i + 1] == '\n')
                ++i;
            start = ++i;
            continue;
        }
        ++i;
    }
    if (start < n)
        lines.append({start, QString::fromLatin1(bytes.constData() + start, n - start)});
    return lines;
}

void detach(MonitorData &d)
{
    d.FileIsOpen = false;
}

} // namespace

void attachFile(MonitorData &d, const QString &path, bool forInput)
{
    d.FilePath = path;
    d.FileTitle = QFileInfo(path).fileName();
    d.FileIsOpen = true;
    d.DataChanged = false;
    d.FileOpenForInput = forInput;
}

QStringList SplitMdfFields(QStringView line)
{
    QStringList fields;
    qsizetype i = 0;
    const qsizetype n = line.size();
    auto isBlank = [](QChar c) { return c == u' ' || c == u'\t'; };
    if (line.trimmed().isEmpty())
        return fields;
    while (true) {
        while (i < n && isBlank(line[i]))
            ++i;
        QString field;
        if (i < n && line[i] == u'"') {
            const qsizetype close = line.indexOf(u'"', i + 1);
            const qsizetype end = close < 0 ? n : close;
            field = line.mid(i + 1, end - i - 1).toString();
            i = close < 0 ? n : close + 1;
            // Anything between the closing quote and the comma is dropped.
            while (i < n && line[i] != u',')
                ++i;
        } else {
            const qsizetype comma = line.indexOf(u',', i);
            const qsizetype end = comma < 0 ? n : comma;
            qsizetype last = end;
            while (last > i && isBlank(line[last - 1]))
                --last;
            field = line.mid(i, last - i).toString();
            i = end;
        }
        fields << field;
        if (i >= n)
            break;
        ++i; // past the comma
    }
    return fields;
}

QString MdfDateText(const QDateTime &when)
{
    return QLocale::system().toString(when, QLocale::ShortFormat);
}

QByteArray FormatMdfFile(const MdfContext &mdf, const QDateTime &created)
{
    const MonitorData &d = mdf.data;
    QStringList lines;
    lines << quoted(headerText(d)) << quoted(versionText(d));
    lines << textLine(QStringLiteral("File Created: "), MdfDateText(created));
    if (mdf.online && mdf.online()) {
        lines << textLine(QStringLiteral("Model Number: "), d.ModelNumber)
              << textLine(QStringLiteral("Serial Number: "), d.SerialNumber)
              << textLine(QStringLiteral("Part Number: "), d.PartNumber);
        if (hasCrt(d.MonitorType))
            lines << textLine(QStringLiteral("CRT Serial Number: "), d.CrtSerialNumber)
                  << textLine(QStringLiteral("CRT Part Number: "), d.CrtPartNumber);
        lines << textLine(QStringLiteral("Firmware Version: "), d.FirmwareVersion)
              << textLine(QStringLiteral("ROM Version: "), d.RomVersion)
              << textLine(QStringLiteral("Operating Hours: "), d.OperatingTimeText)
              << textLine(QStringLiteral("Operating Cycles: "), d.OperatingCyclesText)
              << textLine(QStringLiteral("HV Upper Limit: "), QString::number(d.HvUpperLimit))
              << textLine(QStringLiteral("HV Lower Limit: "), QString::number(d.HvLowerLimit));
    }
    lines << numberLine(QStringLiteral("NumScanSets"), d.NumScanSets);
    for (const DacGroupDesc &g : kDacGroups)
        lines << numberLine(QString::fromLatin1(g.countKey), d.count(g.id));

    // Only scan sets with a row in the scan selection window can be marked.
    for (int k = 0; k < d.NumScanSets && k < ScanSets::kCount; ++k) {
        if (mdf.scanSets.mark(k) != 1 && !mdf.scanSets.loadedFromFile(k))
            continue;
        lines << numberLine(QStringLiteral("ScanSet"), k);
        lines << textLine(QStringLiteral("ScanSetName"), mdf.scanSets.title(k));
        for (const DacGroupDesc &g : kDacGroups) {
            for (int c : d.channelsOf(g.id)) {
                const QString name = d.channelName(g.id, c);
                // A channel without a name could not be read back.
                if (name.isEmpty())
                    continue;
                lines << quoted(name) + QLatin1Char(',')
                        + QString::number(d.value(g.id, DacTable::Present, c, k).value_or(0))
                        + QLatin1Char(',')
                        + QString::number(d.value(g.id, DacTable::Factory, c, k).value_or(0))
                        + QLatin1Char(',')
                        + QString::number(d.value(g.id, DacTable::Initial, c, k).value_or(0));
            }
        }
    }

    QString text;
    for (const QString &line : lines)
        text += line + kCrLf;
    return text.toLatin1();
}

bool WriteMDF(const MdfContext &mdf)
{
    MonitorData &d = mdf.data;
    if (!d.FileIsOpen) {
        mdf.messages.message(QStringLiteral("InWriteMDF, FileIsOpen is False"));
        return false;
    }
    d.FileOpenForInput = false;

    // The file is written beside the target and takes its place only when
    // complete: a failed save leaves an earlier file as it was.
    const QByteArray bytes = FormatMdfFile(mdf, QDateTime::currentDateTime());
    QSaveFile file(d.FilePath);
    QString reason;
    if (!file.open(QIODevice::WriteOnly))
        reason = file.errorString();
    else if (file.write(bytes) != bytes.size())
        reason = file.errorString();
    else if (!file.flush()) // a full disk shows here: commit() would not notice it
        reason = file.errorString();
    else if (!file.commit())
        reason = file.errorString();
    if (!reason.isEmpty()) {
        file.cancelWriting();
        mdf.messages.message(QStringLiteral("The DAC values could not be saved to ") + d.FilePath
                              + kCrLf + QStringLiteral("Reason: ") + reason + kCrLf
                              + QStringLiteral("An existing file of that name has not been changed."));
        return false;
    }

    detach(d);
    d.DataChanged = false;
    return true;
}

bool ReadMDF(const MdfContext &mdf)
{
    MonitorData &d = mdf.data;
    if (!d.FileIsOpen) {
        mdf.messages.message(QStringLiteral("No File Is Open - Can't Finish Read Operation"));
        return false;
    }
    d.FileOpenForInput = true;

    QFile file(d.FilePath);
    if (!file.open(QIODevice::ReadOnly)) {
        const int number = file.exists() ? 75 : 53;
        mdf.messages.message(QStringLiteral("In ReadMDF, Error # %1: %2 (%3)")
                                  .arg(number)
                                  .arg(file.errorString(), d.FilePath));
        detach(d);
        return false;
    }
    const QByteArray bytes = file.readAll();
    file.close();

    const QString title = QStringLiteral("File ") + d.FileTitle;
    if (bytes.size() < kMdfMinimumSize) {
        mdf.messages.message(title + QStringLiteral(" is not a valid .mdv file"));
        detach(d);
        return false;
    }
    const QList<FileLine> lines = splitLines(bytes);
    if (lines.isEmpty() || SplitMdfFields(lines[0].text).value(0) != headerText(d)) {
        mdf.messages.message(title + QStringLiteral(" is not in .mdv format"));
        detach(d);
        return false;
    }
    if (lines.size() < 2 || SplitMdfFields(lines[1].text).value(0) != versionText(d)) {
        mdf.messages.message(title + QStringLiteral(" is a wrong version number"));
        detach(d);
        return false;
    }

    MdfReader reader(mdf);
    for (qsizetype i = 2; i < lines.size(); ++i) {
        d.ReadPosition = lines[i].start + 1;
        const QStringList fields = SplitMdfFields(lines[i].text);
        if (fields.isEmpty())
            continue; // a blank line
        if (reader.apply(fields) == LineOutcome::Stop)
            return false; // the file stays attached; what was stored stays
    }

    d.FileIsOpen = true;
    d.DataChanged = false;
    d.FileOpenForInput = true;
    return true;
}

} // namespace tvk

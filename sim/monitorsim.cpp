#include "monitorsim.h"

#include <algorithm>
#include <cmath>

namespace tvk::sim {

namespace {

constexpr char kAppPrompt = '#';
constexpr char kBootPrompt = '$';
constexpr char kInterimMarker = '!';
const QByteArray kLineEnd = QByteArrayLiteral("\r\n");

// Unit letters the model and serial number commands accept.
constexpr QStringView kModelUnits = u"sucptdfghlv";
constexpr QStringView kSerialUnits = u"scptdfghlv";

bool isUnit(QStringView units, char letter)
{
    return letter != '\0' && units.contains(QLatin1Char(letter));
}

// A whole-text number: decimal, or hexadecimal after "0x". Blanks around it
// are allowed; anything else makes it invalid.
bool parseWholeNumber(QByteArray text, qint64 &value)
{
    text = text.trimmed();
    if (text.isEmpty())
        return false;
    bool ok = false;
    if (text.startsWith("0x") || text.startsWith("0X"))
        value = text.mid(2).toLongLong(&ok, 16);
    else
        value = text.toLongLong(&ok, 10);
    return ok;
}

// "0"/"1" switch argument.
bool parseSwitch(QByteArray arg, bool &on)
{
    arg = arg.trimmed();
    if (arg == "0" || arg == "1") {
        on = arg == "1";
        return true;
    }
    return false;
}

bool parseFlag(QStringView value, bool &flag)
{
    const QString v = value.toString().toLower();
    if (v.isEmpty() || v == u"1" || v == u"true" || v == u"yes" || v == u"on") {
        flag = true;
        return true;
    }
    if (v == u"0" || v == u"false" || v == u"no" || v == u"off") {
        flag = false;
        return true;
    }
    return false;
}

QByteArray numberLine(std::initializer_list<int> values)
{
    QByteArray line;
    for (int v : values) {
        if (!line.isEmpty())
            line += ',';
        line += QByteArray::number(v);
    }
    return line;
}

} // namespace

MonitorConfig::MonitorConfig()
{
    operatingTime = {123, 4, 5, 6};
    sessionTime = {0, 0, 12, 30};
    operatingCycles = 321;
    modelNumbers = {
        {'s', QStringLiteral("TM-2100")}, {'u', QStringLiteral("P2100-01")},
        {'c', QStringLiteral("C-410")},   {'p', QStringLiteral("CPU-220")},
        {'t', QStringLiteral("CRT-19")},  {'d', QStringLiteral("DF-300")},
        {'f', QStringLiteral("FS-120")},  {'g', QStringLiteral("G2-110")},
        {'h', QStringLiteral("HV-250")},  {'l', QStringLiteral("LV-150")},
        {'v', QStringLiteral("VB-330")},
    };
    serialNumbers = {
        {'s', QStringLiteral("100234")}, {'c', QStringLiteral("C00017")},
        {'p', QStringLiteral("P00451")}, {'t', QStringLiteral("T07712")},
        {'d', QStringLiteral("D00318")}, {'f', QStringLiteral("F00092")},
        {'g', QStringLiteral("G00093")}, {'h', QStringLiteral("H00274")},
        {'l', QStringLiteral("L00533")}, {'v', QStringLiteral("V00616")},
    };
    i2cDevices = {0x50, 0x88};
}

int monitorTypeOf(const QString &version)
{
    bool ok = false;
    const double v = version.trimmed().toDouble(&ok);
    return ok ? int(std::floor(v * 100.0 + 0.4)) : 0;
}

void applyOptions(MonitorConfig &config, QStringView options, QStringList *ignored)
{
    const auto skip = [ignored](QStringView item) {
        if (ignored)
            ignored->append(item.toString());
    };
    for (QStringView item : options.split(u',', Qt::SkipEmptyParts)) {
        item = item.trimmed();
        if (item.isEmpty())
            continue;
        const qsizetype eq = item.indexOf(u'=');
        const QString name = (eq < 0 ? item : item.left(eq)).trimmed().toString().toLower();
        const QStringView value = eq < 0 ? QStringView() : item.mid(eq + 1).trimmed();
        const QByteArray numberText = value.toLatin1();
        qint64 number = 0;
        const bool isNumber = parseWholeNumber(numberText, number);
        const auto setInt = [&](int &field, qint64 lo, qint64 hi) {
            if (isNumber && number >= lo && number <= hi)
                field = int(number);
            else
                skip(item);
        };

        if (name == u"version" && !value.isEmpty() && monitorTypeOf(value.toString()) > 0) {
            config.firmwareVersion = value.toString();
        } else if (name == u"type" && isNumber && number > 0 && number < 10000) {
            config.firmwareVersion = QStringLiteral("%1.%2").arg(number / 100).arg(number % 100, 2, 10, QLatin1Char('0'));
        } else if (name == u"eprom" && !value.isEmpty()) {
            config.epromVersion = value.toString();
        } else if (name == u"boot") {
            if (!parseFlag(value, config.bootBlock))
                skip(item);
        } else if (name == u"busy") {
            if (!parseFlag(value, config.busy))
                skip(item);
        } else if (name == u"capability") {
            setInt(config.capability, 0, 0xFFFF);
        } else if (name == u"mode") {
            setInt(config.modeWord, 0, 31);
        } else if (name == u"silentafter") {
            setInt(config.silentAfter, -1, 1'000'000'000);
        } else if (name == u"days") {
            setInt(config.operatingTime.days, 0, 65535);
        } else if (name == u"hours") {
            setInt(config.operatingTime.hours, 0, 23);
        } else if (name == u"minutes") {
            setInt(config.operatingTime.minutes, 0, 59);
        } else if (name == u"seconds") {
            setInt(config.operatingTime.seconds, 0, 59);
        } else if (name == u"cycles") {
            setInt(config.operatingCycles, 0, 2'000'000'000);
        } else if (name == u"session" && isNumber && number >= 0 && number < qint64(65536) * 86400) {
            config.sessionTime = {int(number / 86400), int(number / 3600 % 24), int(number / 60 % 60), int(number % 60)};
        } else if (name == u"model" && eq >= 0) {
            config.modelNumbers['s'] = value.toString();
        } else if (name == u"part" && eq >= 0) {
            config.modelNumbers['u'] = value.toString();
        } else if (name == u"serial" && eq >= 0) {
            config.serialNumbers['s'] = value.toString();
        } else if (name.size() == 3 && name.startsWith(u"dm") && eq >= 0 && isUnit(kModelUnits, name.at(2).toLatin1())) {
            config.modelNumbers[name.at(2).toLatin1()] = value.toString();
        } else if (name.size() == 3 && name.startsWith(u"ds") && eq >= 0 && isUnit(kSerialUnits, name.at(2).toLatin1())) {
            config.serialNumbers[name.at(2).toLatin1()] = value.toString();
        } else if (name == u"i2c") {
            QList<int> devices;
            bool good = true;
            for (QStringView a : value.split(u':', Qt::SkipEmptyParts)) {
                bool ok = false;
                QStringView digits = a.trimmed();
                if (digits.startsWith(u"0x", Qt::CaseInsensitive))
                    digits = digits.mid(2);
                const int address = digits.toInt(&ok, 16);
                if (!ok || address < 0 || address > 0xFF) {
                    good = false;
                    break;
                }
                devices.append(address);
            }
            if (good)
                config.i2cDevices = devices;
            else
                skip(item);
        } else if (name == u"delay") {
            setInt(config.replyDelayMs, 0, 10'000);
        } else if (name == u"chunk") {
            setInt(config.replyChunk, 1, 1'000'000);
        } else {
            skip(item);
        }
    }
}

MonitorSimulator::MonitorSimulator(QObject *parent) : QObject(parent) {}

MonitorSimulator::MonitorSimulator(const MonitorConfig &config, QObject *parent)
    : QObject(parent), m_config(config)
{
}

bool MonitorSimulator::isSilent() const
{
    return m_config.silentAfter >= 0 && m_commands.size() >= m_config.silentAfter;
}

QByteArray MonitorSimulator::feed(const QByteArray &bytes)
{
    QByteArray out;
    for (const char c : bytes) {
        const bool afterCr = m_lastWasCr;
        m_lastWasCr = false;
        if (c == '\r') {
            m_lastWasCr = true;
            endOfLine(out);
        } else if (c == '\n') {
            if (!afterCr) // the LF of a CR LF pair ends nothing more
                endOfLine(out);
        } else if (c == '\b' || c == '\x7f') {
            if (!m_line.isEmpty()) {
                m_line.chop(1);
                if (!isSilent())
                    out += "\b \b";
            }
        } else if (c == '\t' || uchar(c) >= 0x20) {
            if (m_line.size() < kMaxLineLength) {
                m_line += c;
                m_lineHasText = true;
                if (!isSilent())
                    out += c;
            }
        }
        // Other control characters (NUL among them) are line noise: dropped.
    }
    return out;
}

void MonitorSimulator::endOfLine(QByteArray &out)
{
    const QByteArray line = m_line;
    const bool echoed = m_lineHasText;
    m_line.clear();
    m_lineHasText = false;

    if (line.trimmed().isEmpty()) {
        // Nothing to run; only finish the echoed line so the cursor moves on.
        if (echoed && !isSilent())
            out += kLineEnd;
        return;
    }

    const bool silent = isSilent();
    m_commands.append(line);
    emit commandReceived(line);
    if (silent)
        return;

    out += kLineEnd;
    execute(line, out);
}

const QList<MonitorSimulator::Command> &MonitorSimulator::commandTable()
{
    static const QList<Command> table = [] {
        QList<Command> t = {
            {"p", &MonitorSimulator::handlePing},
            {"pi0x", &MonitorSimulator::handleProbe},
            {"df", &MonitorSimulator::handleFirmwareVersion},
            {"de", &MonitorSimulator::handleEpromVersion},
            {"dx", &MonitorSimulator::handleCapability},
            {"dt", &MonitorSimulator::handleOperatingTime},
            {"du", &MonitorSimulator::handleUserControlsState},
            {"dm", &MonitorSimulator::handleModelNumber},
            {"ds", &MonitorSimulator::handleSerialNumber},
            {"dw", &MonitorSimulator::handleModeWord},
            {"cm", &MonitorSimulator::handleSetModelNumber},
            {"cs", &MonitorSimulator::handleSetSerialNumber},
            {"co", &MonitorSimulator::handleSetOperating},
            {"cw", &MonitorSimulator::handleSetModeWord},
            {"md", &MonitorSimulator::handleDeflection},
            {"mh", &MonitorSimulator::handleHighVoltage},
            {"CP", &MonitorSimulator::handleUserControls},
            {"CPB", &MonitorSimulator::handleUserBrightness},
            {"CPC", &MonitorSimulator::handleUserContrast},
            {"ct", &MonitorSimulator::handleVideoSource},
            {"cg", &MonitorSimulator::handleDegauss},
        };
        // Longest word first, so "pi0x" wins over "p" and "CPB" over "CP".
        std::stable_sort(t.begin(), t.end(),
                         [](const Command &a, const Command &b) { return a.word.size() > b.word.size(); });
        return t;
    }();
    return table;
}

void MonitorSimulator::execute(const QByteArray &rawLine, QByteArray &out)
{
    // Leading blanks are skipped; the argument after the command word is
    // kept as sent (a text may end in blanks on purpose).
    qsizetype start = 0;
    while (start < rawLine.size() && (rawLine.at(start) == ' ' || rawLine.at(start) == '\t'))
        ++start;
    const QByteArray line = rawLine.mid(start);

    if (m_config.busy) {
        out += kInterimMarker;
        return;
    }

    if (m_config.bootBlock) {
        // The boot block knows little: every command gets its prompt, and
        // "g" starts the application firmware after answering.
        if (line.trimmed() == "g")
            m_config.bootBlock = false;
        out += kBootPrompt;
        return;
    }

    Lines lines;
    for (const Command &cmd : commandTable()) {
        if (line.startsWith(cmd.word)) {
            (this->*cmd.handler)(line.mid(cmd.word.size()), lines);
            break;
        }
    }
    // Unknown commands get their echo and the prompt: the tool routes every
    // response by its echo, so no error text could be mistaken for data.
    for (const QByteArray &l : std::as_const(lines))
        out += l + kLineEnd;
    out += kAppPrompt;
}

// --- reads ---------------------------------------------------------------

void MonitorSimulator::handlePing(const QByteArray &, Lines &)
{
    // The echo and the prompt are the whole answer.
}

void MonitorSimulator::handleProbe(const QByteArray &arg, Lines &out)
{
    bool ok = false;
    const int address = arg.trimmed().toInt(&ok, 16);
    if (!ok || address < 0 || address > 0xFF) {
        out << QByteArrayLiteral("NC");
        return;
    }
    out << (m_config.i2cDevices.contains(address) ? QByteArrayLiteral("OK") : QByteArrayLiteral("NR"));
}

void MonitorSimulator::handleFirmwareVersion(const QByteArray &arg, Lines &out)
{
    // "dfd", "dfp" and "dff" are other reads; only the bare "df" reports the version.
    if (arg.trimmed().isEmpty())
        out << "V " + m_config.firmwareVersion.toLatin1();
}

void MonitorSimulator::handleEpromVersion(const QByteArray &arg, Lines &out)
{
    if (arg.trimmed().isEmpty())
        out << "V " + m_config.epromVersion.toLatin1();
}

void MonitorSimulator::handleCapability(const QByteArray &arg, Lines &out)
{
    if (arg.trimmed().isEmpty())
        out << "Capability = 0x" + QByteArray::number(m_config.capability, 16).toUpper().rightJustified(2, '0');
}

MonitorSimulator::Lines MonitorSimulator::operatingTimeLines() const
{
    const OperatingTime &a = m_config.operatingTime;
    const OperatingTime &b = m_config.sessionTime;
    return {numberLine({a.days, a.hours, a.minutes, a.seconds}),
            numberLine({b.days, b.hours, b.minutes, b.seconds}),
            QByteArray::number(m_config.operatingCycles)};
}

void MonitorSimulator::handleOperatingTime(const QByteArray &arg, Lines &out)
{
    if (arg.trimmed().isEmpty())
        out << operatingTimeLines();
}

void MonitorSimulator::handleUserControlsState(const QByteArray &arg, Lines &out)
{
    if (!arg.trimmed().isEmpty())
        return;
    // The tool reads this reply with its operating-time parser, so it starts
    // with the same three lines as "dt"; the user control states follow.
    out << operatingTimeLines();
    out << "User Controls = " + QByteArray::number(int(m_config.userControlsEnabled));
    out << "User Brightness = " + QByteArray::number(int(m_config.userBrightnessEnabled));
    out << "User Contrast = " + QByteArray::number(int(m_config.userContrastEnabled));
}

void MonitorSimulator::handleModelNumber(const QByteArray &rawArg, Lines &out)
{
    const QByteArray arg = rawArg.trimmed();
    // A bare "dm" (first-family firmware) means the monitor's own number.
    const char unit = arg.isEmpty() ? 's' : arg.at(0);
    if (arg.size() > 1 || !isUnit(kModelUnits, unit))
        return;
    out << "Model Number = " + m_config.modelNumbers.value(unit).toLatin1();
}

void MonitorSimulator::handleSerialNumber(const QByteArray &rawArg, Lines &out)
{
    const QByteArray arg = rawArg.trimmed();
    const char unit = arg.isEmpty() ? 's' : arg.at(0);
    if (arg.size() > 1 || !isUnit(kSerialUnits, unit))
        return;
    out << "Serial Number = " + m_config.serialNumbers.value(unit).toLatin1();
}

void MonitorSimulator::handleModeWord(const QByteArray &arg, Lines &out)
{
    if (arg.trimmed().isEmpty())
        out << "Model Type = " + QByteArray::number(m_config.modeWord);
}

// --- writes --------------------------------------------------------------

void MonitorSimulator::handleSetModelNumber(const QByteArray &arg, Lines &)
{
    if (!arg.isEmpty() && isUnit(kModelUnits, arg.at(0)))
        m_config.modelNumbers[arg.at(0)] = QString::fromLatin1(arg.mid(1));
}

void MonitorSimulator::handleSetSerialNumber(const QByteArray &arg, Lines &)
{
    if (!arg.isEmpty() && isUnit(kSerialUnits, arg.at(0)))
        m_config.serialNumbers[arg.at(0)] = QString::fromLatin1(arg.mid(1));
}

void MonitorSimulator::handleSetOperating(const QByteArray &arg, Lines &)
{
    if (arg.isEmpty())
        return;
    // A value out of range or not a number leaves the counter as it was:
    // the monitor never stores 25 hours or an empty cycle count.
    qint64 value = 0;
    if (!parseWholeNumber(arg.mid(1), value) || value < 0)
        return;
    OperatingTime &t = m_config.operatingTime;
    switch (arg.at(0)) {
    case 'd':
        if (value <= 65535)
            t.days = int(value);
        break;
    case 'h':
        if (value <= 23)
            t.hours = int(value);
        break;
    case 'm':
        if (value <= 59)
            t.minutes = int(value);
        break;
    case 's':
        if (value <= 59)
            t.seconds = int(value);
        break;
    case 'c':
        if (value <= 2'000'000'000)
            m_config.operatingCycles = int(value);
        break;
    default:
        break;
    }
}

void MonitorSimulator::handleSetModeWord(const QByteArray &arg, Lines &)
{
    qint64 value = 0;
    if (parseWholeNumber(arg, value) && value >= 0 && value <= 31)
        m_config.modeWord = int(value);
}

// The echo of "md1" or "mh0" is itself the state report the tool reads
// ("M" followed by "D1" or "H0"), so these print nothing more.
void MonitorSimulator::handleDeflection(const QByteArray &arg, Lines &)
{
    parseSwitch(arg, m_config.deflectionEnabled);
}

void MonitorSimulator::handleHighVoltage(const QByteArray &arg, Lines &)
{
    parseSwitch(arg, m_config.highVoltageEnabled);
}

void MonitorSimulator::handleUserControls(const QByteArray &arg, Lines &)
{
    parseSwitch(arg, m_config.userControlsEnabled);
}

void MonitorSimulator::handleUserBrightness(const QByteArray &arg, Lines &)
{
    parseSwitch(arg, m_config.userBrightnessEnabled);
}

void MonitorSimulator::handleUserContrast(const QByteArray &arg, Lines &)
{
    parseSwitch(arg, m_config.userContrastEnabled);
}

void MonitorSimulator::handleVideoSource(const QByteArray &arg, Lines &)
{
    qint64 value = 0;
    if (parseWholeNumber(arg, value) && value >= 0 && value <= 2)
        m_config.videoSource = int(value);
}

void MonitorSimulator::handleDegauss(const QByteArray &arg, Lines &)
{
    if (arg.trimmed().isEmpty())
        ++m_config.degaussCount;
}

} // namespace tvk::sim

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

} // namespace

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
    i2cDevices = boardI2cDevices();
    loadDefaultDacs();
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
        } else if (bool good = true; applyDiagOption(config, name, value, good)) {
            if (!good)
                skip(item);
        } else if (name == u"delay") {
            setInt(config.replyDelayMs, 0, 10'000);
        } else if (name == u"chunk") {
            setInt(config.replyChunk, 1, 1'000'000);
        } else if (bool good = true; applyFaultOption(config, name, value, good)) {
            if (!good)
                skip(item);
        } else if (applyFirmwareOption(config, name, value)) {
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
    return (m_config.silentAfter >= 0 && m_commands.size() >= m_config.silentAfter)
        || (m_faultActive && m_config.fault == MonitorConfig::Fault::Silent);
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

    startFault(line);
    const bool silent = isSilent();
    m_commands.append(line);
    emit commandReceived(line);
    if (!silent) {
        out += kLineEnd;
        execute(line, out);
    }
    countFaultLine();
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
            {"dd", &MonitorSimulator::handleReadDac},
            {"cd", &MonitorSimulator::handleSetDac},
            {"CDCC", &MonitorSimulator::handleCopyScanSet},
            {"CC", &MonitorSimulator::handleSelectScanSet},
            {"CCE", &MonitorSimulator::handleEnableScanSet},
            {"CCD", &MonitorSimulator::handleDisableScanSet},
            {"ccn", &MonitorSimulator::handleRenameScanSet},
            {"dc", &MonitorSimulator::handleCurrentScanSet},
            {"dv", &MonitorSimulator::handleSyncFrequencies},
            {"dp", &MonitorSimulator::handleLimitsReport},
            {"dh", &MonitorSimulator::handleHvReport},
            {"dr", &MonitorSimulator::handleDutyCycle},
            {"ch", &MonitorSimulator::handleSetHv},
            {"cp", &MonitorSimulator::handlePanelControl},
            {"CPH", &MonitorSimulator::handleHysteresis},
            {"cq", &MonitorSimulator::handleHeaterFan},
            {"cr", &MonitorSimulator::handleSetFilament},
            {"cv", &MonitorSimulator::handleStatusMessagesOn},
            {"cu", &MonitorSimulator::handleStatusMessagesOff},
            {"da", &MonitorSimulator::handleTestPoints},
            {"a", &MonitorSimulator::handleSetAddress},
            {"a+", &MonitorSimulator::handleAddressUp},
            {"a-", &MonitorSimulator::handleAddressDown},
            {"rb", &MonitorSimulator::handleReadByte},
            {"rw", &MonitorSimulator::handleReadWord},
            {"rc", &MonitorSimulator::handleReadChar},
            {"wb", &MonitorSimulator::handleWriteByte},
            {"ww", &MonitorSimulator::handleWriteWord},
            {"lt", &MonitorSimulator::handleToggleLeds},
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

    if (executeFault(line, out))
        return;
    if (m_config.busy) {
        out += kInterimMarker;
        return;
    }
    if (executeFirmware(line, out))
        return;

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
    QByteArray answer;
    for (const QByteArray &l : std::as_const(lines))
        answer += l + kLineEnd;
    if (const auto cut = m_config.cutAnswers.constFind(line.trimmed()); cut != m_config.cutAnswers.constEnd())
        answer = answer.left(*cut) + kLineEnd;
    out += answer + kAppPrompt;
}

// --- reads ---------------------------------------------------------------

void MonitorSimulator::handlePing(const QByteArray &, Lines &)
{
    // The echo and the prompt are the whole answer.
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

// --- DAC groups and scan sets ----------------------------------------------

namespace {

constexpr int kNorthSouthMax = 63;
constexpr int kHorizSCapMax = 127;
constexpr int kHorizSCap = 8;
constexpr int kScanTitleMax = 31; // the monitor keeps this many characters of a title

struct DefaultGroup {
    char letter;
    int count;
    std::array<int, MonitorConfig::kDacChannels> base;
};

// Factory values of scan set 0; later scan sets and the initial and present
// values move a little away from them.
const DefaultGroup kDefaultGroups[] = {
    {'l', 8, {200, 128, 180, 176, 172, 64, 62, 60, 0, 0}},
    {'b', 2, {150, 110, 0, 0, 0, 0, 0, 0, 0, 0}},
    {'h', 4, {128, 132, 120, 127, 0, 0, 0, 0, 64, 0}},
    {'v', 7, {140, 126, 118, 130, 128, 124, 131, 0, 0, 0}},
    {'s', 3, {32, 30, 34, 0, 0, 0, 0, 0, 0, 0}},
};

struct DefaultScanSet {
    const char *title;
    bool enabled;
    double vsync;
    double hsync;
};
const DefaultScanSet kDefaultScanSets[MonitorConfig::kScanSets] = {
    {"640x480 60Hz", true, 60.00, 31.25},
    {"800x600 60Hz", true, 60.32, 36.99},
    {"1024x768 60Hz", true, 60.00, 47.02},
    {"1024x768 75Hz", true, 75.03, 58.74},
    {"1280x1024 60Hz", true, 60.02, 62.55},
    {"1600x1200 60Hz", false, 60.00, 73.24},
    {"Factory Test", false, 50.00, 30.52},
};

// The channels a read lists: the counted ones, then channel 8 of group 'h'.
QList<int> listedChannels(char group, int count)
{
    QList<int> channels;
    for (int c = 0; c < count && c < MonitorConfig::kDacChannels; ++c)
        channels << c;
    if (group == 'h' && count <= kHorizSCap)
        channels << kHorizSCap;
    return channels;
}

// One decimal digit as a number, -1 for anything else.
int digitOf(char c) { return c >= '0' && c <= '9' ? c - '0' : -1; }

} // namespace

int dacMaximum(char group, int channel)
{
    if (group == 's')
        return kNorthSouthMax;
    if (group == 'h' && channel == kHorizSCap)
        return kHorizSCapMax;
    return 255;
}

void MonitorConfig::loadDefaultDacs()
{
    dacGroups.clear();
    for (const DefaultGroup &g : kDefaultGroups) {
        DacGroup group;
        group.count = g.count;
        for (int k = 0; k < kScanSets; ++k) {
            for (int c : listedChannels(g.letter, g.count)) {
                const int max = dacMaximum(g.letter, c);
                const int factory = std::min(max, g.base[size_t(c)] + 2 * k);
                const int initial = std::min(max, factory + c % 3);
                const int present = std::min(max, initial + (c % 2 == 0 ? 3 : 0));
                group.factory[size_t(k)][size_t(c)] = factory;
                group.initial[size_t(k)][size_t(c)] = initial;
                group.present[size_t(k)][size_t(c)] = present;
            }
        }
        dacGroups.insert(g.letter, group);
    }
    for (int k = 0; k < kScanSets; ++k) {
        const DefaultScanSet &d = kDefaultScanSets[k];
        scanSets[size_t(k)] = {QString::fromLatin1(d.title), d.enabled, d.vsync, d.hsync};
    }
    currentScanSet = 0;
}

// "dd" + group: present values; "ddp" + group: initial; "ddf" + group:
// factory; "ddn": the scan-set title lines. Every list is one line after the
// echo: "ddv" CR LF "143,126,...,131" CR LF "#"; the north-south initial and
// factory lists ("ddps", "ddfs") have a heading line before theirs. Letters
// without a group ("dda", "ddd", ...) get the echo and the prompt only.
void MonitorSimulator::handleReadDac(const QByteArray &rawArg, Lines &out)
{
    const QByteArray arg = rawArg.trimmed();
    if (arg == "n") {
        for (int k = 0; k < MonitorConfig::kScanSets; ++k) {
            const MonitorConfig::ScanSet &s = m_config.scanSets[size_t(k)];
            out << QByteArray::number(k) + ',' + QByteArray::number(int(s.enabled)) + ','
                    + s.title.toLatin1();
        }
        return;
    }
    QByteArray letter = arg;
    const MonitorConfig::DacGroup *group = nullptr;
    const std::array<MonitorConfig::DacColumn, MonitorConfig::kScanSets> *table = nullptr;
    char kind = 'd';
    if (arg.size() == 2 && (arg.at(0) == 'p' || arg.at(0) == 'f')) {
        kind = arg.at(0);
        letter = arg.mid(1);
    }
    if (letter.size() != 1 || !m_config.dacGroups.contains(letter.at(0)))
        return;
    group = &m_config.dacGroups[letter.at(0)];
    table = kind == 'p' ? &group->initial : kind == 'f' ? &group->factory : &group->present;
    // The north-south initial and factory lists come under a heading line.
    if (letter.at(0) == 's' && kind != 'd')
        out << (kind == 'p' ? QByteArrayLiteral("North-South Initial Values")
                            : QByteArrayLiteral("North-South Factory Values"));
    QByteArray line;
    for (int c : listedChannels(letter.at(0), group->count)) {
        if (!line.isEmpty())
            line += ',';
        line += QByteArray::number((*table)[size_t(m_config.currentScanSet)][size_t(c)]);
    }
    out << line;
}

// "cd" + group + channel digit + value sets a present value of the current
// scan set ("cdv1127", "cdl0200" contrast, "cdl1128" brightness); "cd" +
// group + "p" stores the group's present values as its initial values. A
// channel the group does not have or a value out of its range is refused.
void MonitorSimulator::handleSetDac(const QByteArray &rawArg, Lines &)
{
    const QByteArray arg = rawArg.trimmed();
    if (arg.size() < 2 || !m_config.dacGroups.contains(arg.at(0)))
        return;
    const char letter = arg.at(0);
    MonitorConfig::DacGroup &group = m_config.dacGroups[letter];
    const size_t scan = size_t(m_config.currentScanSet);
    if (arg.mid(1) == "p") {
        group.initial[scan] = group.present[scan];
        return;
    }
    const int channel = digitOf(arg.at(1));
    if (channel < 0 || !listedChannels(letter, group.count).contains(channel))
        return;
    const QByteArray valueText = arg.mid(2);
    bool ok = !valueText.isEmpty();
    for (char c : valueText)
        ok = ok && digitOf(c) >= 0;
    const int value = ok && valueText.size() <= 5 ? valueText.toInt() : -1;
    if (value < 0 || value > dacMaximum(letter, channel))
        return;
    group.present[scan][size_t(channel)] = value;
}

// "CDCC": the present values of scan set 0 (shown as 1) become those of the
// current scan set.
void MonitorSimulator::handleCopyScanSet(const QByteArray &arg, Lines &)
{
    if (!arg.trimmed().isEmpty())
        return;
    const size_t scan = size_t(m_config.currentScanSet);
    for (MonitorConfig::DacGroup &group : m_config.dacGroups)
        group.present[scan] = group.present[0];
}

namespace {
// A scan-set index argument, 0..6; -1 when it is none.
int scanSetArg(const QByteArray &arg)
{
    const QByteArray t = arg.trimmed();
    if (t.size() != 1)
        return -1;
    const int n = digitOf(t.at(0));
    return n < MonitorConfig::kScanSets ? n : -1;
}
} // namespace

void MonitorSimulator::handleSelectScanSet(const QByteArray &arg, Lines &)
{
    const int n = scanSetArg(arg);
    if (n >= 0)
        m_config.currentScanSet = n;
}

void MonitorSimulator::handleEnableScanSet(const QByteArray &arg, Lines &)
{
    const int n = scanSetArg(arg);
    if (n >= 0)
        m_config.scanSets[size_t(n)].enabled = true;
}

void MonitorSimulator::handleDisableScanSet(const QByteArray &arg, Lines &)
{
    const int n = scanSetArg(arg);
    if (n >= 0)
        m_config.scanSets[size_t(n)].enabled = false;
}

// "ccn" + title renames the current scan set; the monitor keeps 31
// characters, blanks around the title dropped.
void MonitorSimulator::handleRenameScanSet(const QByteArray &arg, Lines &)
{
    const QByteArray title = arg.trimmed().left(kScanTitleMax);
    if (!title.isEmpty())
        m_config.scanSets[size_t(m_config.currentScanSet)].title = QString::fromLatin1(title);
}

// "dc": the scan set the monitor runs, numbered from 1 as on its own menu.
void MonitorSimulator::handleCurrentScanSet(const QByteArray &arg, Lines &out)
{
    if (!arg.trimmed().isEmpty())
        return;
    const int k = m_config.currentScanSet;
    const MonitorConfig::ScanSet &s = m_config.scanSets[size_t(k)];
    out << "Config Number = " + QByteArray::number(k + 1);
    out << "Config Name = " + s.title.toLatin1();
    out << "H Freq = " + QByteArray::number(s.hsync * 1.024, 'f', 2) + " kHz";
    out << "V Freq = " + QByteArray::number(s.vsync, 'f', 2) + " Hz";
}

void MonitorSimulator::handleSyncFrequencies(const QByteArray &arg, Lines &out)
{
    if (!arg.trimmed().isEmpty())
        return;
    const MonitorConfig::ScanSet &s = m_config.scanSets[size_t(m_config.currentScanSet)];
    out << "Vsync Frequency = " + QByteArray::number(s.vsync, 'f', 2);
    out << "Hsync Frequency = " + QByteArray::number(s.hsync, 'f', 2);
}

} // namespace tvk::sim

// The simulated monitor's diagnostics commands: "da" in the layout of the
// monitor's family, the memory commands "a", "a+", "a-", "rb", "rw", "rc",
// "wb", "ww", the I2C probe "pi0x" and the LED toggle "lt".

#include "monitorsim.h"
#include "base/monitorfamily.h"

#include <cmath>

namespace tvk::sim {

namespace {

// One reading: its name in the reply (empty for the comma-separated ones),
// the count it sits at and how far and how slowly it wanders.
struct Reading {
    const char *name;
    int base;
    int swing;  // counts either side
    int period; // readings per cycle
};

const Reading kEarly[] = {
    {"", 99, 1, 40}, {"", 160, 3, 17}, {"", 128, 2, 23}, {"", 106, 4, 13},
    {"", 214, 2, 29}, {"", 203, 2, 19}, {"", 209, 3, 31},
};
const Reading kMdiListed[] = {{"", 159, 1, 37}, {"", 160, 3, 17}, {"", 128, 2, 23}, {"", 200, 3, 19}};
const Reading kMdiNamed[] = {
    {"Video_+80V", 243, 2, 21}, {"Anode Voltage", 221, 3, 27}, {"Anode Current", 123, 6, 11},
    {"Focus Voltage", 31, 1, 33}, {"G2 Voltage", 125, 2, 25}, {"Master G2", 120, 2, 25},
    {"-8V", 125, 1, 41}, {"+90V", 202, 2, 18}, {"+24V", 204, 2, 22}, {"+12V", 204, 1, 35},
    {"+6.3V", 203, 2, 15}, {"+5V", 204, 1, 29}, {"-12V", 204, 1, 26}, {"-100V", 204, 1, 39},
};
const Reading kMdiGuns[] = {{"Green G2", 128, 2, 24}, {"Blue G2", 126, 2, 28}};
const Reading kFlatPanel[] = {
    {"", 60, 6, 12}, {"", 160, 3, 17}, {"", 128, 2, 23}, {"", 96, 2, 27},
    {"", 20, 2, 14}, {"", 40, 3, 16}, {"", 80, 4, 18}, {"", 159, 1, 37},
    {"", 206, 2, 21}, {"", 204, 2, 25}, {"", 204, 1, 31}, {"", 52, 2, 19},
};

// The count of a reading at the n-th "da": a slow swing plus a count of
// converter noise, always within 0..255.
int countAt(const Reading &r, int index, int n)
{
    const double phase = 2 * M_PI * (double(n) / r.period + index * 0.37);
    // A count up or down now and then, as a converter's last bit flickers.
    const unsigned hash = (unsigned(n) * 2654435761u + unsigned(index) * 40503u) >> 28;
    const int noise = hash == 0 ? -1 : hash == 15 ? 1 : 0;
    return std::clamp(r.base + int(std::lround(r.swing * std::sin(phase))) + noise, 0, 255);
}

int familyOf(const MonitorConfig &config)
{
    const int type = monitorTypeOf(config.firmwareVersion);
    return belowMdiFamily(type) ? 1 : flatPanelOrLater(type) ? 3 : 2;
}

bool parseHex(QByteArray text, int maxValue, int &value)
{
    text = text.trimmed();
    if (text.startsWith("0x") || text.startsWith("0X"))
        text = text.mid(2);
    if (text.isEmpty() || text.size() > 4)
        return false;
    bool ok = false;
    value = text.toInt(&ok, 16);
    return ok && value >= 0 && value <= maxValue;
}

QByteArray hex(int value, int digits)
{
    return QByteArray::number(value, 16).toUpper().rightJustified(digits, '0');
}

QByteArray addressLine(int address) { return "Addr = 0x" + hex(address, 4); }

bool samePair(int a, int b) { return (a & 0xFE) == (b & 0xFE); }

bool anyOfPair(const QList<int> &addresses, int address)
{
    for (int a : addresses)
        if (samePair(a, address))
            return true;
    return false;
}

} // namespace

DiagConfig::DiagConfig() : memory(kMemorySize, '\0')
{
    // A recognisable pattern, and a text to read character by character.
    for (int a = 0; a < kMemorySize; ++a)
        memory[a] = char((a * 31 + 7) & 0xFF);
    const QByteArray text = "TARVIK SIMULATED MONITOR";
    memory.replace(0x0100, text.size(), text);
}

QList<int> boardI2cDevices()
{
    return {0x48, 0xAA, 0x4C, 0x9C, 0x92, 0x4A, 0x54, 0x5E, 0x5C, 0x5A, 0x4E, 0x9E, 0x58, 0x56,
            0xAE, 0x94, 0xAC, 0x90, 0xA8, 0x96, 0x98, 0x30, 0x44, 0xA6, 0x9A, 0x52, 0xA4};
}

bool applyDiagOption(MonitorConfig &config, const QString &name, QStringView value, bool &good)
{
    DiagConfig &d = config.diag;
    good = true;
    if (name == u"dadrop" || name == u"dajunk") {
        bool ok = false;
        const int n = value.toInt(&ok);
        good = ok && n >= 0 && n <= 32;
        if (good)
            (name == u"dadrop" ? d.dropField : d.junkField) = n;
        return true;
    }
    if (name == u"g2guns") {
        d.perGunG2 = value.isEmpty() || value == u"1" || value.compare(u"on", Qt::CaseInsensitive) == 0;
        return true;
    }
    if (name == u"i2cnc") {
        QList<int> list;
        for (QStringView a : value.split(u':', Qt::SkipEmptyParts)) {
            int address = 0;
            if (!parseHex(a.toLatin1(), 0xFF, address)) {
                good = false;
                return true;
            }
            list << address;
        }
        d.i2cNotConnected = list;
        return true;
    }
    return false;
}

// "da": the test points in the layout of the monitor's family, one reading
// further along their drift each time.
void MonitorSimulator::handleTestPoints(const QByteArray &arg, Lines &out)
{
    if (!arg.trimmed().isEmpty())
        return;
    DiagConfig &d = m_config.diag;
    const int n = d.testPointReads++;
    int field = 0;
    auto value = [&](const Reading &r, int index) -> QByteArray {
        ++field;
        if (field == d.junkField)
            return "??";
        return QByteArray::number(countAt(r, index, n));
    };
    auto list = [&](const Reading *readings, int count) {
        const int drop = d.dropField - field - 1; // index in this list
        QByteArrayList values;
        for (int i = 0; i < count; ++i)
            values << value(readings[i], i);
        // A dropped field is left empty; the last one shortens the list.
        if (drop == count - 1)
            values.removeLast();
        else if (drop >= 0 && drop < count)
            values[drop].clear();
        return values.join(',');
    };
    switch (familyOf(m_config)) {
    case 1:
        out << list(kEarly, int(std::size(kEarly)));
        break;
    case 2: {
        out << list(kMdiListed, int(std::size(kMdiListed)));
        QList<Reading> named(std::begin(kMdiNamed), std::end(kMdiNamed));
        if (d.perGunG2)
            named << kMdiGuns[0] << kMdiGuns[1];
        for (int i = 0; i < named.size(); ++i) {
            const QByteArray v = value(named.at(i), 10 + i);
            if (field != d.dropField)
                out << QByteArray(named.at(i).name) + ' ' + v;
        }
        break;
    }
    default:
        out << list(kFlatPanel, int(std::size(kFlatPanel)));
        break;
    }
}

void MonitorSimulator::handleSetAddress(const QByteArray &arg, Lines &out)
{
    int value = 0;
    if (parseHex(arg, DiagConfig::kMemorySize - 1, value))
        m_config.diag.address = value;
    out << addressLine(m_config.diag.address);
}

void MonitorSimulator::handleAddressUp(const QByteArray &, Lines &out)
{
    DiagConfig &d = m_config.diag;
    d.address = (d.address + 1) % DiagConfig::kMemorySize;
    out << addressLine(d.address);
}

void MonitorSimulator::handleAddressDown(const QByteArray &, Lines &out)
{
    DiagConfig &d = m_config.diag;
    d.address = (d.address + DiagConfig::kMemorySize - 1) % DiagConfig::kMemorySize;
    out << addressLine(d.address);
}

namespace {
int byteAt(const DiagConfig &d, int address) { return uchar(d.memory.at(address % DiagConfig::kMemorySize)); }
} // namespace

void MonitorSimulator::handleReadByte(const QByteArray &, Lines &out)
{
    const DiagConfig &d = m_config.diag;
    out << "Byte at 0x" + hex(d.address, 4) + " := 0x" + hex(byteAt(d, d.address), 2);
}

// Words are stored high byte first.
void MonitorSimulator::handleReadWord(const QByteArray &, Lines &out)
{
    const DiagConfig &d = m_config.diag;
    const int word = byteAt(d, d.address) << 8 | byteAt(d, d.address + 1);
    out << "Word at 0x" + hex(d.address, 4) + " := 0x" + hex(word, 4);
}

void MonitorSimulator::handleReadChar(const QByteArray &, Lines &out)
{
    const DiagConfig &d = m_config.diag;
    const int c = byteAt(d, d.address);
    out << "Char at 0x" + hex(d.address, 4) + " := '" + QByteArray(1, c >= 0x20 && c < 0x7F ? char(c) : '.');
}

void MonitorSimulator::handleWriteByte(const QByteArray &arg, Lines &)
{
    int value = 0;
    if (parseHex(arg, 0xFF, value))
        m_config.diag.memory[m_config.diag.address] = char(value);
}

void MonitorSimulator::handleWriteWord(const QByteArray &arg, Lines &)
{
    DiagConfig &d = m_config.diag;
    int value = 0;
    if (!parseHex(arg, 0xFFFF, value))
        return;
    d.memory[d.address] = char(value >> 8);
    d.memory[(d.address + 1) % DiagConfig::kMemorySize] = char(value & 0xFF);
}

// "pi0x" + address: "Device 0x93 OK" when the device answers, "NR" when it
// does not, "NC" when its board is not connected.
void MonitorSimulator::handleProbe(const QByteArray &arg, Lines &out)
{
    int address = 0;
    if (!parseHex(arg, 0xFF, address)) {
        out << QByteArrayLiteral("Bad address");
        return;
    }
    const QByteArray device = "Device 0x" + hex(address, 2);
    if (anyOfPair(m_config.diag.i2cNotConnected, address))
        out << device + " NC";
    else if (anyOfPair(m_config.i2cDevices, address))
        out << device + " OK";
    else
        out << device + " NR";
}

void MonitorSimulator::handleToggleLeds(const QByteArray &arg, Lines &)
{
    if (arg.trimmed().isEmpty())
        m_config.diag.ledsOn = !m_config.diag.ledsOn;
}

} // namespace tvk::sim

// The simulated monitor's firmware loading: erase ("bf3") or SRAM preparation
// ("bs"), Intel HEX records checked for length, checksum, type and address,
// the end record with the checksum result, the boot-block report ("db"), the
// automatic start ("cb0"/"cb1"), checking ("cz0"/"cz1"), running the SRAM
// program ("f"), reset ("x") and start of the application ("g").
//
// A refused record is answered with a reason and "!" (the tool resends it);
// with the prompt form the "!" is followed by CR LF and the prompt. Records
// are answered with the prompt of the code that runs ("#" application, "$"
// boot block).

#include "monitorsim.h"

#include <QFile>
#include <QSaveFile>

#include <cctype>

namespace tvk::sim {

namespace {

const QByteArray kLineEnd = QByteArrayLiteral("\r\n");

bool parseHexBytes(const QByteArray &hex, QByteArray &bytes)
{
    if (hex.size() % 2 != 0)
        return false;
    for (char c : hex) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
    }
    bytes = QByteArray::fromHex(hex);
    return true;
}

bool parseNumberList(QStringView value, QList<int> &numbers)
{
    QList<int> list;
    for (QStringView item : value.split(u':', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int n = item.trimmed().toInt(&ok);
        if (!ok || n < 1)
            return false;
        list.append(n);
    }
    numbers = list;
    return true;
}


} // namespace

bool applyFirmwareOption(MonitorConfig &config, const QString &name, QStringView value)
{
    bool ok = false;
    const int number = value.toInt(&ok);
    if (name == u"refuse")
        return parseNumberList(value, config.refuseRecords);
    if (name == u"refusetimes" && ok && number >= 0) {
        config.refuseTimes = number;
        return true;
    }
    if (name == u"refuseform") {
        if (value == u"bang")
            config.refusalForm = MonitorConfig::RefusalForm::Bang;
        else if (value == u"prompt")
            config.refusalForm = MonitorConfig::RefusalForm::BangThenPrompt;
        else if (value == u"both")
            config.refusalForm = MonitorConfig::RefusalForm::Alternate;
        else
            return false;
        return true;
    }
    if (name == u"silentafterrecord" && ok && number >= 0) {
        config.silentAfterRecord = number;
        return true;
    }
    if (name == u"image" && !value.isEmpty()) {
        config.imagePath = value.toString();
        return true;
    }
    if (name == u"eofbad")
        return parseFlag(value, config.eofChecksumBad);
    if (name == u"eofunreported")
        return parseFlag(value, config.eofUnreported);
    if (name == u"erasefail")
        return parseFlag(value, config.eraseFails);
    if (name == u"autoboot")
        return parseFlag(value, config.autoBoot);
    if (name == u"baud" && ok && number >= 0) {
        config.baud = number;
        return true;
    }
    return false;
}

QByteArray MonitorSimulator::prompt() const
{
    return m_config.bootBlock ? QByteArrayLiteral("$") : QByteArrayLiteral("#");
}

bool MonitorSimulator::executeFirmware(const QByteArray &rawLine, QByteArray &out)
{
    const QByteArray line = rawLine.trimmed();
    if (line.startsWith(':')) {
        handleRecord(line, out);
        return true;
    }
    if (line == "bf3") {
        if (m_config.eraseFails) {
            out += "Flash Erase Failed!";
            return true;
        }
        m_loadTarget = LoadTarget::Flash;
    } else if (line == "bs") {
        m_loadTarget = LoadTarget::Sram;
    } else if (line == "db") {
        for (const QByteArray &l : bootBlockLines())
            out += l + kLineEnd;
    } else if (line == "cb0" || line == "cb1") {
        m_config.autoBoot = line == "cb1";
    } else if (line == "cz0" || line == "cz1") {
        m_config.checking = line == "cz1";
    } else if (line == "f") {
        m_sramProgramRunning = m_loadTarget == LoadTarget::Sram && m_loadFinished;
        out += (m_sramProgramRunning ? QByteArrayLiteral("Running SRAM Program") : QByteArrayLiteral("No SRAM Program"))
               + kLineEnd;
    } else if (line == "x") {
        out += QByteArrayLiteral("Reset") + kLineEnd;
        const QByteArray p = prompt();
        // After the reset the boot loader starts the application only when
        // its automatic start is on.
        m_config.bootBlock = !m_config.autoBoot;
        out += p;
        return true;
    } else if (line == "g") {
        const QByteArray p = prompt();
        m_config.bootBlock = false;
        out += p;
        return true;
    } else {
        return false;
    }
    if (line == "bf3" || line == "bs") {
        m_image.clear();
        m_upperAddress = 0;
        m_recordsAccepted = 0;
        m_refusedThisRecord = 0;
        m_loadFinished = false;
        out += (line == "bf3" ? QByteArrayLiteral("Flash Erased") : QByteArrayLiteral("SRAM Ready")) + kLineEnd;
    }
    out += prompt();
    return true;
}

void MonitorSimulator::refuse(const QByteArray &why, QByteArray &out)
{
    using Form = MonitorConfig::RefusalForm;
    bool withPrompt = m_config.refusalForm == Form::BangThenPrompt;
    if (m_config.refusalForm == Form::Alternate)
        withPrompt = m_refusalsSent % 2 == 1;
    ++m_refusalsSent;
    out += why + '!';
    if (withPrompt)
        out += kLineEnd + prompt();
}

void MonitorSimulator::handleRecord(const QByteArray &record, QByteArray &out)
{
    if (m_loadTarget == LoadTarget::None || m_loadFinished) {
        refuse("Not Loading", out);
        return;
    }
    if (m_config.silentAfterRecord >= 0 && m_recordsAccepted >= m_config.silentAfterRecord) {
        // From now on nothing at all: this record's echo was the last word.
        m_config.silentAfter = int(m_commands.size());
        return;
    }
    const int number = m_recordsAccepted + 1;
    if (m_config.refuseRecords.contains(number) && m_refusedThisRecord < m_config.refuseTimes) {
        ++m_refusedThisRecord;
        refuse("Record Refused", out);
        return;
    }

    QByteArray bytes;
    if (!parseHexBytes(record.mid(1), bytes) || bytes.size() < 5) {
        refuse("Bad Record", out);
        return;
    }
    const int length = quint8(bytes.at(0));
    if (bytes.size() != length + 5) {
        refuse("Bad Length", out);
        return;
    }
    quint8 sum = 0;
    for (char b : bytes)
        sum += quint8(b);
    if (sum != 0) {
        refuse("Checksum Error", out);
        return;
    }
    const quint32 offset = (quint32(quint8(bytes.at(1))) << 8) | quint8(bytes.at(2));
    const int type = quint8(bytes.at(3));
    const QByteArray data = bytes.mid(4, length);

    switch (type) {
    case 0x00: {
        const quint32 address = m_upperAddress + offset;
        if (address + quint32(length) > m_config.memorySize) {
            refuse("Bad Address", out);
            return;
        }
        for (int i = 0; i < length; ++i)
            m_image.insert(address + quint32(i), data.at(i));
        break;
    }
    case 0x01:
        m_loadFinished = true;
        ++m_recordsAccepted;
        m_refusedThisRecord = 0;
        writeImage();
        if (m_config.eofUnreported) {
            out += prompt();
        } else if (m_config.eofChecksumBad) {
            out += "EOF Checksum Failed!";
        } else {
            out += "EOF Checksum OK" + kLineEnd + prompt();
        }
        return;
    case 0x02: // extended segment address
    case 0x04: // extended linear address
        if (length != 2) {
            refuse("Bad Length", out);
            return;
        }
        m_upperAddress = ((quint32(quint8(data.at(0))) << 8) | quint8(data.at(1))) << (type == 0x02 ? 4 : 16);
        break;
    case 0x03: // start addresses: noted by a real monitor, nothing to store here
    case 0x05:
        break;
    default:
        refuse("Bad Record Type", out);
        return;
    }
    ++m_recordsAccepted;
    m_refusedThisRecord = 0;
    out += prompt();
}

QByteArray MonitorSimulator::receivedImage(quint32 *base) const
{
    if (base)
        *base = m_image.isEmpty() ? 0 : m_image.firstKey();
    if (m_image.isEmpty())
        return {};
    const quint32 first = m_image.firstKey();
    QByteArray image(qsizetype(m_image.lastKey() - first + 1), char(0xFF));
    for (auto it = m_image.cbegin(); it != m_image.cend(); ++it)
        image[qsizetype(it.key() - first)] = it.value();
    return image;
}

void MonitorSimulator::writeImage() const
{
    if (m_config.imagePath.isEmpty())
        return;
    QSaveFile file(m_config.imagePath);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(receivedImage());
        file.commit();
    }
}

QByteArrayList MonitorSimulator::bootBlockLines() const
{
    quint8 checksum = 0;
    for (char b : m_image)
        checksum += quint8(b);
    const auto hex = [](int v) { return QByteArray::number(v, 16).toUpper().rightJustified(2, '0'); };
    return {
        "Flag AA = 0x" + hex(0xAA),
        "Flag 55 = 0x" + hex(0x55),
        "Boot Unconditional = 0x" + hex(0x00),
        "Flash L Bound H = 0x" + hex(0x00),
        "Flash L Bound L = 0x" + hex(0x00),
        "Flash U Bound H = 0x" + hex(int((m_config.memorySize - 1) >> 16) & 0xFF),
        "Flash U Bound L = 0x" + hex(int((m_config.memorySize - 1) >> 8) & 0xFF),
        "Flash Checksum = 0x" + hex(checksum),
        "Abort AutoBoot = 0x" + hex(m_config.autoBoot ? 0x00 : 0x01),
        QByteArray("auto boot ") + (m_config.autoBoot ? "ON" : "OFF"),
    };
}

} // namespace tvk::sim

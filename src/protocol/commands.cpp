#include "protocol/commands.h"

namespace tvk::cmd {

namespace {
const QString kCrLf = QStringLiteral("\r\n");

QString word(const char *w) { return line(QString::fromLatin1(w)); }
QString flag(const char *w, bool on) { return line(QString::fromLatin1(w) + (on ? u'1' : u'0')); }
QString trimmed(QStringView text) { return text.trimmed().toString(); }
QString number(int n) { return QString::number(n); }
QString digit(int n) { return QString::number(qBound(0, n, 9)); }
} // namespace

QString line(QStringView w, QStringView argument)
{
    return w.toString() + argument.toString() + kCrLf;
}

QString typed(QStringView rawText) { return line(rawText); }

QString ping() { return word("p"); }
QString disableChecking() { return word("cz0"); }
QString enableChecking() { return word("cz1"); }
QString terse() { return word("CU"); }
QString verbose() { return word("CV"); }
QString statusMessages(bool on) { return word(on ? "cv" : "cu"); }

QString readFirmwareVersion() { return word("df"); }
QString readEpromVersion() { return word("de"); }
QString readCapability() { return word("dx"); }
QString readOperatingTime() { return word("dt"); }
QString readUserControls() { return word("du"); }
QString readModeWord() { return word("dw"); }
QString readBootBlock() { return word("db"); }
QString readCurrentScanSet() { return word("dc"); }
QString readSyncFrequencies() { return word("dv"); }
QString readTestPoints() { return word("da"); }
QString readHighVoltage() { return word("dh"); }
QString readLimitsReport() { return word("dp"); }
QString readLimitsReportFull() { return word("dps"); }
QString readBacklight(QChar which) { return line(QStringLiteral("dr") + which); }
QString readVideoExtra(QChar which) { return line(QStringLiteral("df") + which); }
QString readModelNumber(QStringView unit) { return line(u"dm", unit); }
QString readSerialNumber(QStringView unit) { return line(u"ds", unit); }

QString readDac(QStringView group) { return line(u"dd", group); }
QString readDacInitial(QStringView group) { return line(u"ddp", group); }
QString readDacFactory(QStringView group) { return line(u"ddf", group); }
QString setDac(QStringView group, int channel, int value)
{
    return line(QStringLiteral("cd") + group.toString(), digit(channel) + number(value));
}
QString setContrast(int value) { return line(u"cdl0", number(value)); }
QString setBrightness(int value) { return line(u"cdl1", number(value)); }
QString storeDacInitial(QStringView group) { return line(QStringLiteral("cd") + group.toString() + u'p'); }
QString copyToScanSet() { return word("CDCC"); }

QString selectScanSet(int index) { return line(u"CC", number(index)); }
QString enableScanSet(int index) { return line(u"CCE", number(index)); }
QString disableScanSet(int index) { return line(u"CCD", number(index)); }
QString renameScanSet(QStringView text) { return line(u"ccn", trimmed(text)); }

QString setModeWord(int w) { return line(u"cw", number(w)); }
QString userControls(bool enabled) { return flag("CP", enabled); }
QString userBrightness(bool enabled) { return flag("CPB", enabled); }
QString userContrast(bool enabled) { return flag("CPC", enabled); }
QString brightnessHysteresis(QStringView text) { return line(u"CPHB", trimmed(text)); }
QString contrastHysteresis(QStringView text) { return line(u"CPHC", trimmed(text)); }
QString storeLimit(int index) { return line(u"cpl", number(qBound(0, index, 7))); }
QString photocell(bool enabled) { return word(enabled ? "cp9" : "cp8"); }
QString heaterFanMode(int mode) { return line(u"cp", number(qBound(2, mode, 5))); }
QString heater(bool on) { return flag("cqh", on); }
QString fan(int setting) { return line(u"cqf", number(qBound(0, setting, 3))); }
QString filament(QChar which, QStringView text) { return line(QStringLiteral("cr") + which, trimmed(text)); }
QString videoSource(int source) { return line(u"ct", number(qBound(0, source, 2))); }
QString degauss() { return word("cg"); }
QString deflection(bool enabled) { return flag("md", enabled); }
QString highVoltage(bool enabled) { return flag("mh", enabled); }
QString hvControl(QChar which, int value) { return line(QStringLiteral("ch") + which, number(value)); }
QString hvLowerLimit(QStringView raw) { return line(u"chl", raw); }
QString hvUpperLimit(QStringView raw) { return line(u"chu", raw); }
QString storeHvInitial() { return word("chp"); }
QString restoreHvFactory() { return word("chr"); }

QString setModelNumber(QStringView unit, QStringView text)
{
    return line(QStringLiteral("cm") + unit.toString(), trimmed(text));
}
QString setSerialNumber(QStringView unit, QStringView text)
{
    return line(QStringLiteral("cs") + unit.toString(), trimmed(text));
}
QString setOperating(QChar field, QStringView text)
{
    return line(QStringLiteral("co") + field, trimmed(text));
}

QString setAddress(QStringView raw) { return line(u"a", raw); }
QString addressDown() { return word("a-"); }
QString addressUp() { return word("a+"); }
QString readByte() { return word("rb"); }
QString readChar() { return word("rc"); }
QString readWord() { return word("rw"); }
QString writeByte(QStringView raw) { return line(u"wb", raw); }
QString writeWord(QStringView raw) { return line(u"ww", raw); }
QString probeI2c(QStringView hexAddress) { return line(u"pi0x", hexAddress); }
QString toggleLeds() { return word("lt"); }
QString bootBlock(bool enabled) { return flag("cb", enabled); }
QString startFlashLoad() { return word("bf3"); }
QString startSramLoad() { return word("bs"); }
QString hexRecord(QStringView record) { return line(record); }
QString runSram() { return word("f"); }
QString reset() { return word("x"); }
QString runApplication() { return word("g"); }

Kind kindOf(QStringView line)
{
    QStringView w = line.trimmed();
    if (w.isEmpty())
        return Kind::Link; // a bare line end asks for a prompt
    if (w.startsWith(u':'))
        return Kind::Transfer;
    if (w == u"p" || w == u"CU" || w == u"CV" || w == u"cu" || w == u"cv")
        return Kind::Link;
    // Reads: every "d" command, the memory reads and the I2C probe.
    if (w.startsWith(u'd') || w == u"rb" || w == u"rc" || w == u"rw" || w.startsWith(u"pi0x"))
        return Kind::Read;
    return Kind::Set;
}

namespace {

// An optional minus and at least one digit, and nothing else.
bool isNumber(QStringView text)
{
    if (text.startsWith(u'-'))
        text = text.mid(1);
    if (text.isEmpty())
        return false;
    for (QChar c : text) {
        if (!c.isDigit())
            return false;
    }
    return true;
}

} // namespace

QString controlOf(QStringView line)
{
    const QStringView w = line.trimmed();
    if (w.size() < 4)
        return {};
    if (w.startsWith(u"cd") && w.size() >= 5 && w[2] >= u'a' && w[2] <= u'z' && w[3].isDigit()
        && isNumber(w.mid(4)))
        return w.left(4).toString();
    const bool hv = w.startsWith(u"ch") && QStringView(u"hfgv").contains(w[2]);
    const bool filament = w.startsWith(u"cr") && QStringView(u"fsw").contains(w[2]);
    if ((hv || filament) && isNumber(w.mid(3)))
        return w.left(3).toString();
    return {};
}

} // namespace tvk::cmd

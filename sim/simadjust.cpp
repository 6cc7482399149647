// The simulated monitor's adjustment reports and settings. A CRT (type
// 200..299) reports its high-voltage controls; a flat panel (300 and up)
// has none but reports its backlight, photocell and limits. Every set
// command is kept, so the next report shows it.

#include "monitorsim.h"
#include "base/monitorfamily.h"

#include <algorithm>

namespace tvk::sim {

namespace {

// The number after a command word: digits only, at most five; -1 otherwise.
int wholeNumber(const QByteArray &text)
{
    const QByteArray t = text.trimmed();
    if (t.isEmpty() || t.size() > 5)
        return -1;
    for (char c : t) {
        if (c < '0' || c > '9')
            return -1;
    }
    return t.toInt();
}

int byteArg(const QByteArray &text)
{
    const int v = wholeNumber(text);
    return v <= 255 ? v : -1;
}


} // namespace

bool MonitorSimulator::flatPanel() const { return flatPanelOrLater(monitorTypeOf(m_config.firmwareVersion)); }

// "dp" (and the full read's "dps"): deflection states, photocell, limits and
// hysteresis, then the automatic-control flags ("0": under software control,
// that is the user's own control disabled).
void MonitorSimulator::handleLimitsReport(const QByteArray &arg, Lines &out)
{
    const QByteArray a = arg.trimmed();
    if (!a.isEmpty() && a != "s")
        return;
    const AdjustState &s = m_adjust;
    out << QByteArray(s.verticalOk ? "0" : "1") + ',' + (s.horizontalOk ? "0" : "1");
    if (flatPanel())
        out << (s.photocell ? QByteArrayLiteral("Photocell Enabled") : QByteArrayLiteral("Photocell Disabled"));
    QByteArray limits = "Limits ";
    for (int i = 0; i < 8; ++i)
        limits += QByteArray::number(s.limits[size_t(i)]) + ',';
    limits += numberLine({s.contrastHysteresis, s.brightnessHysteresis});
    out << limits;
    out << "BC " + QByteArray(m_config.userBrightnessEnabled ? "1" : "0") + ','
            + (m_config.userContrastEnabled ? "1" : "0");
}

void MonitorSimulator::handleHvReport(const QByteArray &arg, Lines &out)
{
    if (!arg.trimmed().isEmpty() || flatPanel())
        return;
    const AdjustState &s = m_adjust;
    out << "Upper Limit = " + QByteArray::number(s.hvUpperLimit);
    out << "Lower Limit = " + QByteArray::number(s.hvLowerLimit);
    const char *labels[4] = {"HV Control Value = ", "Focus Control Value = ", "G2 Control Value = ",
                             "Video +80V Control Value = "};
    for (int i = 0; i < 4; ++i) {
        const HvControlState &c = s.hv[size_t(i)];
        out << QByteArray(labels[i]) + QByteArray::number(c.present) + ", " + QByteArray::number(c.initial)
                + ", " + QByteArray::number(c.factory);
    }
}

void MonitorSimulator::handleDutyCycle(const QByteArray &arg, Lines &out)
{
    const QByteArray a = arg.trimmed();
    if (a.size() != 1)
        return;
    int value = 0;
    switch (a.at(0)) {
    case 's':
        value = m_adjust.filamentSteady;
        break;
    case 'w':
        value = m_adjust.filamentWarmup;
        break;
    case 'f':
        value = m_adjust.filamentImmediate;
        break;
    default:
        return;
    }
    out << "Duty Cycle = " + QByteArray::number(value) + " %";
}

// "chh", "chf", "chg", "chv" + value; "chp" stores the present values as the
// initial ones, "chr" returns to the factory values; "chu"/"chl" + value set
// the limits.
void MonitorSimulator::handleSetHv(const QByteArray &arg, Lines &)
{
    if (flatPanel() || arg.isEmpty())
        return;
    AdjustState &s = m_adjust;
    const char which = arg.at(0);
    const QByteArray rest = arg.mid(1);
    if (which == 'p' && rest.trimmed().isEmpty()) {
        for (HvControlState &c : s.hv)
            c.initial = c.present;
        return;
    }
    if (which == 'r' && rest.trimmed().isEmpty()) {
        for (HvControlState &c : s.hv)
            c.present = c.factory;
        return;
    }
    const int value = byteArg(rest);
    if (value < 0)
        return;
    switch (which) {
    case 'h': s.hv[0].present = value; break;
    case 'f': s.hv[1].present = value; break;
    case 'g': s.hv[2].present = value; break;
    case 'v': s.hv[3].present = value; break;
    case 'u': s.hvUpperLimit = value; break;
    case 'l': s.hvLowerLimit = value; break;
    default: break;
    }
}

// "cp2".."cp5" heater and fan modes, "cp8"/"cp9" photocell off/on,
// "cpl0".."cpl7": the present contrast (limits 0..3) or brightness (4..7)
// becomes that limit.
void MonitorSimulator::handlePanelControl(const QByteArray &rawArg, Lines &)
{
    const QByteArray arg = rawArg.trimmed();
    AdjustState &s = m_adjust;
    if (arg.size() == 2 && arg.at(0) == 'l' && arg.at(1) >= '0' && arg.at(1) <= '7') {
        const int slot = arg.at(1) - '0';
        const auto &l = m_config.dacGroups['l'];
        s.limits[size_t(slot)] = l.present[size_t(m_config.currentScanSet)][slot < 4 ? 0 : 1];
        return;
    }
    if (arg == "2" || arg == "3")
        s.heaterMode = arg.toInt();
    else if (arg == "4" || arg == "5")
        s.fanMode = arg.toInt();
    else if (arg == "8" || arg == "9")
        s.photocell = arg == "9";
}

// "CPHC" / "CPHB" + value: contrast and brightness hysteresis.
void MonitorSimulator::handleHysteresis(const QByteArray &arg, Lines &)
{
    if (arg.isEmpty())
        return;
    const int value = byteArg(arg.mid(1));
    if (value < 0)
        return;
    if (arg.at(0) == 'C')
        m_adjust.contrastHysteresis = value;
    else if (arg.at(0) == 'B')
        m_adjust.brightnessHysteresis = value;
}

// "cqh0"/"cqh1" heater off/on, "cqf0".."cqf3" fan settings; they act while
// the matching mode is forced.
void MonitorSimulator::handleHeaterFan(const QByteArray &rawArg, Lines &)
{
    const QByteArray arg = rawArg.trimmed();
    if (arg.size() != 2)
        return;
    const int n = arg.at(1) - '0';
    if (arg.at(0) == 'h' && (n == 0 || n == 1))
        m_adjust.heaterOn = n == 1;
    else if (arg.at(0) == 'f' && n >= 0 && n <= 3)
        m_adjust.fanSetting = n;
}

// "crs", "crw", "crf" + value: filament steady, warm-up and temporary power.
void MonitorSimulator::handleSetFilament(const QByteArray &arg, Lines &)
{
    if (arg.isEmpty())
        return;
    const int value = byteArg(arg.mid(1));
    if (value < 0)
        return;
    switch (arg.at(0)) {
    case 's': m_adjust.filamentSteady = value; break;
    case 'w': m_adjust.filamentWarmup = value; break;
    case 'f': m_adjust.filamentImmediate = value; break;
    default: break;
    }
}

void MonitorSimulator::handleStatusMessagesOn(const QByteArray &arg, Lines &)
{
    if (arg.trimmed().isEmpty())
        m_adjust.statusMessages = true;
}

void MonitorSimulator::handleStatusMessagesOff(const QByteArray &arg, Lines &)
{
    if (arg.trimmed().isEmpty())
        m_adjust.statusMessages = false;
}

} // namespace tvk::sim

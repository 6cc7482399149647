#include "core/replies/identity.h"
#include "base/firmwarenames.h"
#include "base/infonames.h"
#include "base/menunames.h"
#include "base/windownames.h"
#include "base/monitorfamily.h"

#include "core/appshell.h"
#include "model/replycontext.h"
#include "base/texthelpers.h"
#include "protocol/commands.h"

#include <limits>

namespace tvk {

namespace {

constexpr QStringView kModelLabel = u"Model Number = ";
constexpr QStringView kSerialLabel = u"Serial Number = ";
constexpr QStringView kCapabilityLabel = u"Capability = ";

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// The value after a label, up to the end of its line. A text that runs to
// its end without a line end (a file line, or a reply closed at once) loses
// the closing marker. Line-end characters never stay in a value: a CR kept
// here would end up in labels, file names and the DAC value file.
QString valueAfterLabel(QStringView text, QStringView label)
{
    const qsizetype at = text.indexOf(label);
    if (at < 0)
        return {};
    QStringView value = text.mid(at + label.size());
    const qsizetype cr = value.indexOf(u'\r');
    const qsizetype lf = value.indexOf(u'\n');
    qsizetype end = -1;
    if (cr >= 0 && lf >= 0)
        end = std::min(cr, lf);
    else
        end = std::max(cr, lf);
    if (end >= 0)
        value = value.left(end);
    else if (value.endsWith(u'#') || value.endsWith(u'$'))
        value.chop(1);
    return value.toString();
}

std::optional<UnitNumber> routeNumber(QStringView text, QStringView label, QStringView units)
{
    const QString trimmed = TrimLeading(text);
    // First-family firmware answers the bare "dm"/"ds": no unit letter, the
    // label comes first. That is the monitor's own number.
    if (trimmed.startsWith(label))
        return UnitNumber{QChar(u'S'), valueAfterLabel(trimmed, label)};
    if (trimmed.isEmpty())
        return std::nullopt;
    const QChar unit = trimmed.at(0).toUpper();
    if (!units.contains(unit))
        return std::nullopt;
    const QString rest = TrimLeading(QStringView(trimmed).mid(1));
    if (!rest.contains(label))
        return std::nullopt;
    return UnitNumber{unit, valueAfterLabel(rest, label)};
}

} // namespace

// --- Versions ------------------------------------------------------------

QString ExtractVersionText(QStringView text)
{
    qsizetype v = text.indexOf(u'V');
    if (v < 0) {
        const QString t = TrimLeading(text);
        if (!t.startsWith(u'v'))
            return {};
        v = text.size() - t.size();
    }
    QStringView digits = text.mid(std::min(text.size(), v + 2));
    while (!digits.isEmpty() && !isDigit(digits.back()))
        digits.chop(1);
    if (digits.isEmpty())
        return {};
    return QStringLiteral("V ") + digits.toString();
}

std::optional<qint16> MonitorTypeOfVersion(QStringView digits)
{
    // The leading decimal number: digits, at most one point, digits.
    qsizetype n = 0;
    bool point = false, anyDigit = false;
    for (; n < digits.size(); ++n) {
        const QChar c = digits.at(n);
        if (isDigit(c))
            anyDigit = true;
        else if (c == u'.' && !point)
            point = true;
        else
            break;
    }
    if (!anyDigit)
        return std::nullopt;
    bool ok = false;
    const double number = digits.left(n).toString().toDouble(&ok);
    if (!ok)
        return std::nullopt;
    // Single precision, the rounding every type code in the program rests on:
    // 2.17f x 100 is 216.99998, so 0.4 is added before the fraction goes.
    const float scaled = float(number) * 100.0f + 0.4f;
    if (!(scaled < float(std::numeric_limits<qint16>::max()) + 1.0f))
        return std::nullopt;
    return qint16(scaled);
}

std::optional<FirmwareVersionReply> ParseFirmwareVersion(QStringView text)
{
    if (text.contains(u'!'))
        return std::nullopt; // interim message
    const QString trimmed = TrimLeading(text);
    if (trimmed.isEmpty() || trimmed.at(0).toUpper() != u'V')
        return std::nullopt;
    const QString version = ExtractVersionText(trimmed);
    if (version.isEmpty())
        return std::nullopt;
    const auto type = MonitorTypeOfVersion(QStringView(version).mid(2));
    if (!type)
        return std::nullopt;
    return FirmwareVersionReply{version, *type};
}

std::optional<QString> ParseRomVersion(QStringView text)
{
    if (text.contains(u'!') || !text.contains(u'V'))
        return std::nullopt;
    const QString version = ExtractVersionText(text);
    if (version.isEmpty())
        return std::nullopt;
    return version;
}

std::optional<int> ParseCapability(QStringView text)
{
    const qsizetype at = text.indexOf(kCapabilityLabel);
    if (at < 0)
        return std::nullopt;
    QStringView number = text.mid(at + kCapabilityLabel.size());
    // The number ends at the line end: "0" CR LF is zero, not "0 followed by
    // something that is not octal".
    qsizetype n = 0;
    while (n < number.size() && IsAlphanumeric(number.mid(n, 1)))
        ++n;
    const int word = ParseNumber(number.left(n));
    if (n == 0 || word < 0)
        return std::nullopt;
    return word;
}

void ApplyFirmwareVersion(ReplyContext &ctx, const FirmwareVersionReply &reply)
{
    ctx.data.FirmwareVersion = reply.text;
    ctx.controls.setText(win::frmVersion, ctl::lblMonitorFirmwareVersionValue, reply.text);
    ctx.controls.setText(win::frmSoftware, ctl::lblFlashVersion, reply.text);
    ctx.data.MonitorType = reply.monitorType;
    switch (AppShell::profileForCode(reply.monitorType)) {
    case AppShell::MonitorProfile::FlatPanel:
    case AppShell::MonitorProfile::EarlyFirmware:
        ctx.data.MdiMonitor = false;
        break;
    case AppShell::MonitorProfile::Mdi:
        ctx.data.MdiMonitor = true;
        break;
    case AppShell::MonitorProfile::None:
        break;
    }
    ctx.profiles.applyMonitorTypeProfile(reply.monitorType);
}

void ApplyRomVersion(ReplyContext &ctx, const QString &version)
{
    ctx.data.RomVersion = version;
    ctx.controls.setText(win::frmVersion, ctl::lblMonitorEpromVersionValue, version);
}

void ApplyCapability(ReplyContext &ctx, int word)
{
    for (int bit = 0; bit < kCapabilityFlags; ++bit)
        ctx.data.CapabilityFlags[size_t(bit)] = (word >> bit) & 1;
    const bool video = ctx.data.capability(Capability::Video);
    ctx.profiles.SetMenuItemEnabled(menu::mnuAdjustmentBrightnessContrast, video);
    ctx.profiles.SetMenuItemEnabled(menu::mnuAdjustVideo, video);
    ctx.profiles.SetMenuItemEnabled(menu::mnuAdjustGeometry,
                                    ctx.data.capability(Capability::Deflection));
    ctx.profiles.SetMenuItemEnabled(menu::mnuAdjustHV,
                                    ctx.data.capability(Capability::G2Adjustment));
    ShowCapabilityIndicators(ctx);
}

std::array<int, 8> CapabilityIndicatorColours(int monitorType, const std::array<bool, 8> &flags)
{
    const bool byFlag = reportsCapabilities(monitorType);
    std::array<int, 8> colours {};
    for (size_t i = 0; i < colours.size(); ++i)
        colours[i] = byFlag && flags[i] ? Colour::Green : Colour::Red;
    return colours;
}

void ShowCapabilityIndicators(ReplyContext &ctx)
{
    const auto colours = CapabilityIndicatorColours(ctx.data.MonitorType, ctx.data.CapabilityFlags);
    for (size_t i = 0; i < colours.size(); ++i)
        ctx.controls.setColor(win::frmCapability, ctl::capabilityIndicators[i], colours[i]);
}

// --- Model, part and serial numbers -------------------------------------

std::optional<UnitNumber> RouteModelNumber(QStringView text)
{
    return routeNumber(text, kModelLabel, u"CDFGHLPSTUV");
}

std::optional<UnitNumber> RouteSerialNumber(QStringView text)
{
    return routeNumber(text, kSerialLabel, u"CDFGHLPSTV");
}

const std::vector<NumberSlot> &numberSlots()
{
    using K = NumberKind;
    // The HVPS and focus supplies keep one model number each, read with
    // "dmh"/"dmf" and written with "cmh"/"cmf": the part number rows and the
    // model number rows of these two units show and set the same number.
    static const std::vector<NumberSlot> kSlots = {
        {K::Model, 's', "Model Number:", ctl::lblModel, ctl::txtModel, "btnModel", false},
        {K::Serial, 's', "Serial Number:", ctl::lblSerial, ctl::txtSerial, "btnSerial", false},
        {K::Model, 'u', "Part Number:", ctl::lblPart, ctl::txtPart, "btnPart", false},
        {K::Serial, 'l', "LVPS Serial Number:", ctl::lblLVPSSerialValue, ctl::txtLVPSSerial, "btnLVPSSerial", true},
        {K::Model, 'l', "LVPS Part Number:", ctl::lblLVPSPartNumberValue, ctl::txtLVPSPart, "btnLVPSPart", true},
        {K::Serial, 'd', "Deflection Serial Number:", ctl::lblDeflSerialValue, ctl::txtDeflSerial, "btnDeflSerial", true},
        {K::Model, 'd', "Deflection Part Number:", ctl::lblDeflPartValue, ctl::txtDeflPart, "btnDeflPart", true},
        {K::Serial, 'c', "Convergence Serial Number:", ctl::lblConvSerialValue, ctl::txtConvSerial, "btnConvSerial", true},
        {K::Model, 'c', "Convergence Part Number:", ctl::lblConvPartValue, ctl::txtConvPart, "btnConvPart", true},
        {K::Serial, 'v', "Video Serial Number:", ctl::lblVideoSerialValue, ctl::txtVideoSerial, "btnVideoSerial", true},
        {K::Model, 'v', "Video Part Number:", ctl::lblVideoPartValue, ctl::txtVideoPart, "btnVideoPart", true},
        {K::Serial, 'p', "CPU Serial Number:", ctl::lblCPUSerialValue, ctl::txtCPUSerial, "btnCPUSerial", true},
        {K::Model, 'p', "CPU Part Number:", ctl::lblCPUPartValue, ctl::txtCPUPart, "btnCPUPart", true},
        {K::Serial, 't', "CRT Serial Number:", ctl::lblCRTSerialValue, ctl::txtCRTSerial, "btnCRTSerial", true},
        {K::Model, 't', "CRT Part Number:", ctl::lblCRTPartValue, ctl::txtCRTPart, "btnCRTPart", true},
        {K::Serial, 'h', "HVPS Serial Number:", ctl::lblHVPSSerialValue, ctl::txtHVPSSerial, "btnHVPSSerial", true},
        {K::Model, 'h', "HVPS Part Number:", ctl::lblHVPSPartValue, ctl::txtHVPSPart, "btnHVPSPart", true},
        {K::Model, 'h', "HVPS Model Number:", ctl::lblHVPSModelValue, ctl::txtHVPSModel, "btnHVPSModel", true},
        {K::Serial, 'f', "Focus Serial Number:", ctl::lblFocusSerialValue, ctl::txtFocusSerial, "btnFocusSerial", true},
        {K::Model, 'f', "Focus Part Number:", ctl::lblFocusPartValue, ctl::txtFocusPart, "btnFocusPart", true},
        {K::Model, 'f', "Focus Model Number:", ctl::lblFocusModelValue, ctl::txtFocusModel, "btnFocusModel", true},
        {K::Model, 'g', "G2 Part Number:", ctl::lblG2PartValue, ctl::txtG2Part, "btnG2Part", true},
        {K::Serial, 'g', "G2 Serial Number:", ctl::lblG2SerialValue, ctl::txtG2Serial, "btnG2Serial", true},
    };
    return kSlots;
}

void ApplyUnitNumber(ReplyContext &ctx, NumberKind kind, const UnitNumber &number)
{
    const QChar unit = number.unit.toLower();
    for (const NumberSlot &slot : numberSlots()) {
        if (slot.kind != kind || QChar(QLatin1Char(slot.unit)) != unit)
            continue;
        ctx.controls.setText(win::frmID, slot.idLabel, number.value);
        ctx.controls.setText(win::frmSetModelAndSerialNumber, slot.setBox, number.value);
    }
    MonitorData &d = ctx.data;
    if (kind == NumberKind::Model) {
        if (unit == u's')
            d.ModelNumber = number.value;
        else if (unit == u'u')
            d.PartNumber = number.value;
        else if (unit == u't')
            d.CrtPartNumber = number.value;
    } else {
        if (unit == u's')
            d.SerialNumber = number.value;
        else if (unit == u't')
            d.CrtSerialNumber = number.value;
    }
}

QStringList perUnitReadCommands()
{
    static const char *const order[] = {"dmu", "dsl", "dml", "dsd", "dmd", "dsc", "dmc",
                                        "dsv", "dmv", "dsp", "dmp", "dst", "dmt", "dsh",
                                        "dmh", "dsf", "dmf", "dmg", "dsg"};
    QStringList commands;
    for (const char *word : order) {
        const QString unit = QString(QLatin1Char(word[2]));
        commands << (word[1] == 'm' ? cmd::readModelNumber(unit) : cmd::readSerialNumber(unit));
    }
    return commands;
}

void installIdentityHandlers(ReplyHandlers &r)
{
    r.on(Route::FirmwareVersion, [](ReplyContext &ctx, const QString &text) {
        if (const auto reply = ParseFirmwareVersion(text))
            ApplyFirmwareVersion(ctx, *reply);
    });
    r.on(Route::EpromVersion, [](ReplyContext &ctx, const QString &text) {
        if (const auto version = ParseRomVersion(text))
            ApplyRomVersion(ctx, *version);
    });
    r.on(Route::Capability, [](ReplyContext &ctx, const QString &text) {
        if (const auto word = ParseCapability(text))
            ApplyCapability(ctx, *word);
    });
    r.on(Route::ModelNumber, [](ReplyContext &ctx, const QString &text) {
        if (const auto number = RouteModelNumber(text))
            ApplyUnitNumber(ctx, NumberKind::Model, *number);
    });
    r.on(Route::SerialNumber, [](ReplyContext &ctx, const QString &text) {
        if (const auto number = RouteSerialNumber(text))
            ApplyUnitNumber(ctx, NumberKind::Serial, *number);
    });
}

} // namespace tvk

#include "core/diag/testpoints.h"
#include "base/diagnames.h"
#include "base/monitorfamily.h"
#include "base/windownames.h"

#include "core/diag/numberformat.h"
#include "base/texthelpers.h"

#include <algorithm>

namespace tvk {

const std::array<const char *, 8> kMdiRailCaptions = {"-8V", "+90V", "+24V", "+12V",
                                                       "+6.3V", "+5V", "-12V", "-100V"};
const std::array<const char *, 4> kFlatPanelRailCaptions = {"+28V", "+23V", "+5V", "-5V"};

namespace {

// How one count becomes what a label shows.
struct Conversion {
    QString control;
    double (*convert)(int r);
    const char *picture;
    const char *prefix; // before the number ("+" on the positive rails)
    const char *unit;   // after it
};

constexpr int kMaxCount = 255;

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// The count at the start of a field (after leading blanks and line ends).
// Nothing for a field that does not start with a digit or whose number is
// not a count of an 8-bit converter.
std::optional<int> countAt(QStringView field)
{
    const QString t = TrimLeading(field);
    qsizetype n = 0;
    int value = 0;
    while (n < t.size() && isDigit(t.at(n))) {
        value = value * 10 + (t.at(n).unicode() - u'0');
        if (value > kMaxCount)
            return std::nullopt;
        ++n;
    }
    if (n == 0)
        return std::nullopt;
    return value;
}

// The count after a field name anywhere in the reply: blanks and an
// optional "=" may stand between them. Nothing when the name is absent;
// a present name without a count gives a value that is not measured.
struct NamedCount {
    bool present = false;
    std::optional<int> count;
};
NamedCount namedCount(QStringView text, QStringView key)
{
    const qsizetype at = text.indexOf(key);
    if (at < 0)
        return {};
    QStringView rest = text.mid(at + key.size());
    while (!rest.isEmpty() && (rest.front() == u' ' || rest.front() == u'\t' || rest.front() == u'='))
        rest = rest.mid(1);
    return {true, countAt(rest)};
}

TestPointValue convert(const Conversion &c, std::optional<int> count)
{
    TestPointValue v;
    v.control = c.control;
    v.count = count;
    if (!count) {
        v.text = kNotMeasured;
        return v;
    }
    const double value = c.convert(*count);
    v.value = value;
    v.text = QString::fromLatin1(c.prefix) + FormatNumber(value, QString::fromLatin1(c.picture))
        + QString::fromLatin1(c.unit);
    return v;
}

// The comma-separated fields of a fixed list; a short list leaves the rest
// empty (not measured).
QList<QStringView> fieldsOf(QStringView text, qsizetype wanted)
{
    QList<QStringView> fields = text.split(u',');
    while (fields.size() < wanted)
        fields.append(QStringView());
    return fields;
}

double ctrlVolts(int r) { return 4.0 * r / 256.0; }

// --- Early monitors ---------------------------------------------------------

constexpr int kColourAnodeFloor = 37;
constexpr int kMonoAnodeFloor = 18;

const Conversion kEarly[] = {
    {ctl::HFreqTextBox, [](int r) { return 4.0 * r / 256.0 / 0.049; }, "#0.0", "", ""},
    {ctl::BCtrlValue, ctrlVolts, "#0.00", "", " V"},
    {ctl::CCtrlValue, ctrlVolts, "#0.00", "", " V"},
    {ctl::IAnodeValue, nullptr, "#0", "", " uA"}, // by tube type, below
    {ctl::VAnodeValue, nullptr, "#00.0", "", " kV"},
    {ctl::LV80Value, [](int r) { return r * 101.0 / 256.0; }, "#00.0", "", " V"},
    {ctl::LV175Value, [](int r) { return r * 214.0 / 256.0; }, "#000.0", "", " V"},
};
// The anode current reads from a floor count upwards: below it the current
// is zero, and the floor is what is kept.
const Conversion kColourAnode[] = {
    {ctl::IAnodeValue, [](int r) { return (r - kColourAnodeFloor) * 740.0 / 256.0; }, "#0", "", " uA"},
    {ctl::VAnodeValue, [](int r) { return r * 23.91 / 256.0; }, "#00.0", "", " kV"},
};
const Conversion kMonoAnode[] = {
    {ctl::IAnodeValue, [](int r) { return (r - kMonoAnodeFloor) * 486.0 / 256.0; }, "#0", "", " uA"},
    {ctl::VAnodeValue, [](int r) { return r * 15.04 / 256.0; }, "#00.0", "", " kV"},
};

// --- Modular CRT monitors -------------------------------------------------

const Conversion kMdiListed[] = {
    {ctl::lblCPUP5Value, [](int r) { return r / 255.0 * 4 * 20 / 10; }, "#0.00", "", " V"},
    {ctl::BCtrlValue, ctrlVolts, "#0.00", "", " V"},
    {ctl::CCtrlValue, ctrlVolts, "#0.00", "", " V"},
    {ctl::lblCCtrlX16Value, ctrlVolts, "#0.00", "", " V"},
};

// Negative rails are measured against a 4 V reference: full scale is +4 V.
double negativeRail(int r, double scale) { return (4.0 * r / 255.0 - 4.0) * scale + 4.0; }
double positiveRail(int r, double scale) { return 4.0 * r / 255.0 * scale; }

struct NamedConversion {
    const char16_t *key; // with its trailing blank
    Conversion conversion;
};
// In the order they are written: a later field wins a label it shares with
// an earlier one (the per-gun G2 readings of colour tubes).
const NamedConversion kMdiNamed[] = {
    {u"Video_+80V ", {ctl::lblLV80Value, [](int r) { return r / 255.0 * 4 * 21; }, "#0.00", "", " V"}},
    {u"Anode Voltage ", {ctl::HVValTextBox, [](int r) { return double(r); }, "000", "", ""}},
    {u"Anode Voltage ", {ctl::VAnodeValue, [](int r) { return r / 255.0 * 5 * 4.61; }, "#0.00", "", " kV"}},
    {u"Anode Current ", {ctl::IAnodeValue, [](int r) { return r / 255.0 * 622; }, "#0", "", " uA"}},
    {u"Focus Voltage ", {ctl::FocusLabel, [](int r) { return r / 255.0 * 5 * 10; }, "#0.00", "", " kV"}},
    {u"G2 Voltage ", {ctl::G2Label, [](int r) { return r / 255.0 * 5 * 204; }, "#0.00", "", " V"}},
    {u"Green G2 ", {ctl::G2Label, [](int r) { return r / 255.0 * 1000; }, "0", "", "V"}},
    {u"Blue G2 ", {ctl::FocusLabel, [](int r) { return r / 255.0 * 1000; }, "0", "", "V"}},
    {u"-8V ", {ctl::lblVoltage_(0), [](int r) { return negativeRail(r, 58.7 / 10); }, "00.0", "", "V"}},
    {u"+90V ", {ctl::lblVoltage_(1), [](int r) { return positiveRail(r, 284.0 / 10); }, "000.0", "+", "V"}},
    {u"+24V ", {ctl::lblVoltage_(2), [](int r) { return positiveRail(r, 74.9 / 10); }, "00.0", "+", "V"}},
    {u"+12V ", {ctl::lblVoltage_(3), [](int r) { return positiveRail(r, 37.4 / 10); }, "00.0", "+", "V"}},
    {u"+6.3V ", {ctl::lblVoltage_(4), [](int r) { return positiveRail(r, 19.76 / 10); }, "00.0", "+", "V"}},
    {u"+5V ", {ctl::lblVoltage_(5), [](int r) { return positiveRail(r, 15.62 / 10); }, "0.00", "+", "V"}},
    {u"-12V ", {ctl::lblVoltage_(6), [](int r) { return negativeRail(r, 201.0 / 10); }, "00.0", "", "V"}},
    {u"-100V ", {ctl::lblVoltage_(7), [](int r) { return negativeRail(r, 131.0); }, "000", "", "V"}},
};

// --- Flat panels ------------------------------------------------------------

const Conversion kFlatPanel[] = {
    {ctl::lblACH7, ctrlVolts, "#0.00", "", " V"},
    {ctl::BCtrlValue, ctrlVolts, "#0.00", "", " V"},
    {ctl::CCtrlValue, ctrlVolts, "#0.00", "", " V"},
    {ctl::ECCtrlValue, ctrlVolts, "#0.00", "", " V"},
    {ctl::lblACH4, ctrlVolts, "#0.00", "", " V"},
    {ctl::lblACH5, ctrlVolts, "#0.00", "", " V"},
    {ctl::lblACH6, ctrlVolts, "#0.00", "", " V"},
    {ctl::P5VM, [](int r) { return 4.0 * r * 20 / 2550; }, "#0.00", "", " V"},
    {ctl::lblVoltage_(0), [](int r) { return 4.0 * r * 86.8 / 2550; }, "#0.00", "", " V"},
    {ctl::lblVoltage_(1), [](int r) { return 4.0 * r * 71.9 / 2550; }, "#0.00", "", " V"},
    {ctl::lblVoltage_(2), [](int r) { return 4.0 * r * 15.6 / 2550; }, "#0.00", "", " V"},
    {ctl::lblVoltage_(3), [](int r) { return 4.0 - (4.0 - 4.0 * r / 255) * 28.2 / 10; }, "#0.00", "", " V"},
};

int keptOf(std::optional<int> count) { return count.value_or(-1); }

} // namespace

std::optional<TestPointFamily> testPointFamilyOf(int monitorType)
{
    switch (monitorFamilyExceptX99(monitorType)) {
    case MonitorFamily::Early: return TestPointFamily::Early;
    case MonitorFamily::Mdi: return TestPointFamily::Mdi;
    case MonitorFamily::FlatPanel: return TestPointFamily::FlatPanel;
    case MonitorFamily::Unknown: break;
    }
    return std::nullopt;
}

const TestPointValue *TestPointReply::find(QStringView control) const
{
    // The last one written is what the label shows.
    for (auto it = values.rbegin(); it != values.rend(); ++it)
        if (it->control == control)
            return &*it;
    return nullptr;
}

TestPointReply ParseEarlyTestPoints(QStringView text, bool colour)
{
    TestPointReply reply;
    const QList<QStringView> fields = fieldsOf(text, std::size(kEarly));
    const Conversion *anode = colour ? kColourAnode : kMonoAnode;
    const int floor = colour ? kColourAnodeFloor : kMonoAnodeFloor;
    for (int i = 0; i < int(std::size(kEarly)); ++i) {
        std::optional<int> count = countAt(fields.at(i));
        const Conversion *c = &kEarly[i];
        if (i == 3) {
            c = &anode[0];
            if (count)
                count = std::max(*count, floor);
        } else if (i == 4) {
            c = &anode[1];
        }
        reply.values.push_back(convert(*c, count));
        reply.kept[size_t(i)] = keptOf(count);
    }
    return reply;
}

TestPointReply ParseMdiTestPoints(QStringView text)
{
    TestPointReply reply;
    const QList<QStringView> fields = fieldsOf(text, std::size(kMdiListed));
    for (int i = 0; i < int(std::size(kMdiListed)); ++i) {
        // The fourth field runs into the named ones on its line end; only
        // its leading count is taken.
        reply.values.push_back(convert(kMdiListed[i], countAt(fields.at(i))));
    }
    for (const NamedConversion &n : kMdiNamed) {
        const NamedCount found = namedCount(text, QStringView(n.key));
        if (!found.present)
            continue;
        reply.values.push_back(convert(n.conversion, found.count));
        if (n.conversion.control == ctl::HVValTextBox)
            reply.kept[4] = keptOf(found.count);
    }
    return reply;
}

TestPointReply ParseFlatPanelTestPoints(QStringView text)
{
    TestPointReply reply;
    const QList<QStringView> fields = fieldsOf(text, std::size(kFlatPanel));
    for (int i = 0; i < int(std::size(kFlatPanel)); ++i) {
        const std::optional<int> count = countAt(fields.at(i));
        reply.values.push_back(convert(kFlatPanel[i], count));
        if (i < kKeptReadings)
            reply.kept[size_t(i)] = keptOf(count);
    }
    return reply;
}

QStringList testPointWindows(TestPointFamily family, QStringView control)
{
    switch (family) {
    case TestPointFamily::Early:
        return {win::frmTestPoint};
    case TestPointFamily::FlatPanel:
        return {win::frmFlatPanelTestPoints};
    case TestPointFamily::Mdi:
        if (control == ctl::HVValTextBox)
            return {win::frmMDITestPoints, win::frmHVLimits};
        if (control == ctl::VAnodeValue || control == ctl::IAnodeValue)
            return {win::frmMDITestPoints, win::frmMDI_HV, win::frmCRTVoltages};
        return {win::frmMDITestPoints, win::frmCRTVoltages};
    }
    return {};
}

QString trendKey(TestPointFamily family, QStringView control)
{
    static const char *const prefixes[] = {"early/", "mdi/", "fp/"};
    return QString::fromLatin1(prefixes[int(family)]) + control.toString();
}

} // namespace tvk

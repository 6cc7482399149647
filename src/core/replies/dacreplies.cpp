#include "core/replies/dacreplies.h"
#include "base/adjustnames.h"
#include "base/diagnames.h"
#include "base/infonames.h"
#include "base/windownames.h"
#include "base/monitorfamily.h"

#include "core/appshell.h"
#include "model/replycontext.h"
#include "core/replies/replynumbers.h"
#include "base/texthelpers.h"

#include <QScopeGuard>

#include <algorithm>
#include <cmath>

namespace tvk {

namespace {
constexpr QStringView kConfigNumberLabel = u"Config Number ";
constexpr QStringView kConfigNameLabel = u"Config Name = ";
constexpr QStringView kVsyncLabel = u"Vsync Frequency = ";
constexpr QStringView kHsyncLabel = u"Hsync Frequency = ";
constexpr double kHsyncScale = 1.024;
constexpr double kFrequencyMaximum = 300.0;

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }


// True when the text (after leading white space) starts with a number, a
// "-" before the digits allowed.
bool startsWithNumber(QStringView text)
{
    const QString t = TrimLeading(text);
    if (t.isEmpty())
        return false;
    if (t.at(0) == u'-')
        return t.size() > 1 && isDigit(t.at(1));
    return isDigit(t.at(0));
}

// The text of a line: up to the first CR or LF. A line that runs to the end
// of the reply loses the closing marker.
QString lineText(QStringView text)
{
    qsizetype end = text.size();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n') {
            end = i;
            break;
        }
    }
    QStringView line = text.left(end);
    if (end == text.size() && (line.endsWith(u'#') || line.endsWith(u'$')))
        line.chop(1);
    return line.toString();
}

// Takes a value for each channel in turn; stops before a value outside
// 0..255, and after the last value of the list (one with no comma after
// it), setting *ranOut when channels were left over. cap(channel, value)
// gives the value kept for a channel.
template <typename CapFn>
DacValueList takeValues(const std::vector<int> &channels, QStringView values, CapFn cap,
                        bool *ranOut = nullptr, int maximum = kDacValueMaximum)
{
    DacValueList out;
    QString rest = values.toString();
    if (ranOut)
        *ranOut = false;
    for (int channel : channels) {
        const int v = ParseDecimal(rest);
        if (v < 0 || v > maximum)
            break;
        out.push_back({channel, cap(channel, v)});
        if (!rest.contains(u',')) {
            // The list ends here: the channels after it were not reported.
            if (ranOut)
                *ranOut = out.size() < channels.size();
            break;
        }
        rest = SkipPastComma(rest);
    }
    return out;
}

// The channels of a walk that a list cut short did not reach.
std::vector<int> channelsAfter(const std::vector<int> &walk, const DacValueList &taken)
{
    return std::vector<int>(walk.begin() + qsizetype(std::min(taken.size(), walk.size())), walk.end());
}

std::optional<DacGroupId> groupOfLetter(QChar letter)
{
    switch (letter.toUpper().unicode()) {
    case u'L':
        return DacGroupId::L;
    case u'B':
        return DacGroupId::B;
    case u'H':
        return DacGroupId::H;
    case u'V':
        return DacGroupId::V;
    case u'S':
        return DacGroupId::N;
    default:
        return std::nullopt;
    }
}


} // namespace

// --- Selection -------------------------------------------------------------

std::optional<DacReplySelection> SelectDacReply(QStringView text)
{
    const QString t = TrimLeading(text);
    if (t.isEmpty())
        return std::nullopt;
    const QChar selector = t.at(0).toUpper();
    const QString rest = TrimLeading(QStringView(t).mid(1));

    if (selector == u'N')
        return DacReplySelection{DacReplyKind::Titles, DacGroupId::N, rest};

    if (selector == u'F' || selector == u'P') {
        if (rest.isEmpty())
            return std::nullopt;
        const auto group = groupOfLetter(rest.at(0));
        if (!group)
            return std::nullopt;
        const DacReplyKind kind = selector == u'F' ? DacReplyKind::Factory : DacReplyKind::Initial;
        if (*group == DacGroupId::N) {
            // The monitor heads these two lists with a line of their own:
            // the values follow on the next line.
            return DacReplySelection{kind, *group,
                                     SkipPastLineFeed(TrimLeading(QStringView(rest).mid(1)))};
        }
        return DacReplySelection{kind, *group, TrimLeading(QStringView(rest).mid(1))};
    }

    const auto group = groupOfLetter(selector);
    if (!group)
        return std::nullopt;
    return DacReplySelection{DacReplyKind::Present, *group, rest};
}

// --- Value lists -------------------------------------------------------------

std::vector<int> PresentChannels(const MonitorData &data, DacGroupId group)
{
    if (group == DacGroupId::B)
        return {0, 1}; // exactly two, whatever the count says
    if (group == DacGroupId::N)
        return {0, 1, 2};
    return data.channelsOf(group);
}

std::vector<int> StoredChannels(const MonitorData &data, DacGroupId group)
{
    return group == DacGroupId::N ? std::vector<int>{0, 1, 2} : data.channelsOf(group);
}

DacValueList ParsePresentValues(const MonitorData &data, DacGroupId group, QStringView values, bool *ranOut)
{
    return takeValues(PresentChannels(data, group), values, [group](int channel, int v) {
        if (group == DacGroupId::H && channel == kHorizSCapChannel)
            return std::min(v, kHorizSCapMaximum);
        return v;
    }, ranOut);
}

DacValueList ParseStoredValues(const MonitorData &data, DacGroupId group, QStringView values, bool *ranOut)
{
    return takeValues(data.channelsOf(group), values, [](int, int v) { return v; }, ranOut);
}

DacValueList ParseNorthSouthColumn(QStringView values, int maximum, bool *ranOut)
{
    return takeValues({0, 1, 2}, values, [maximum](int, int v) { return std::min(v, maximum); }, ranOut);
}

DacValueList ParseNorthSouthSliders(QStringView values, int maximum, bool *ranOut)
{
    return takeValues({0, 1, 2}, values, [](int, int v) { return v; }, ranOut, maximum);
}

// --- Titles, current scan set, frequencies ---------------------------------

std::vector<ScanSetTitle> ParseScanSetTitles(QStringView text, int numScanSets)
{
    std::vector<ScanSetTitle> out;
    QString rest = TrimLeading(text);
    for (int k = 0; k < numScanSets; ++k) {
        // A line without an index is the end of the reply (its marker), not
        // a title line.
        if (!startsWithNumber(rest))
            break;
        int index = ParseDecimal(rest);
        if (index < 0 || index > numScanSets)
            index = 0;
        if (!ScanSets::isValid(index))
            break; // no row for it
        QString field = SkipPastComma(rest);
        int mark = ParseDecimal(field);
        if (mark < 0 || mark > 1)
            mark = 0;
        field = SkipPastComma(field);
        out.push_back({index, mark, lineText(field)});
        const qsizetype lf = rest.indexOf(u'\n');
        if (lf < 0)
            break;
        rest = TrimLeading(QStringView(rest).mid(lf + 1));
    }
    return out;
}

CurrentScanSetReply ParseCurrentScanSet(QStringView text)
{
    CurrentScanSetReply reply;
    const qsizetype at = text.indexOf(kConfigNumberLabel);
    if (at >= 0) {
        // The number stands after the label and its "=".
        const qsizetype from = at + kConfigNumberLabel.size() + 1;
        if (from <= text.size()) {
            if (const auto number = LeadingReal(text.mid(from)))
                reply.number = QString::number(std::round(*number), 'f', 0);
        }
    }
    const QString rest = SkipPastLineFeed(text);
    const qsizetype name = rest.indexOf(kConfigNameLabel);
    if (name >= 0) {
        QStringView value = QStringView(rest).mid(name + kConfigNameLabel.size());
        const qsizetype cr = value.indexOf(u'\r');
        if (cr >= 0) {
            value = value.left(cr);
        } else {
            const QString line = lineText(value);
            reply.name = line.left(kScanNameMaxLength);
            return reply;
        }
        reply.name = value.left(kScanNameMaxLength).toString();
    }
    return reply;
}

SyncFrequencies ParseSyncFrequencies(QStringView text)
{
    SyncFrequencies f;
    const QString trimmed = text.trimmed().toString();
    const qsizetype v = trimmed.indexOf(kVsyncLabel);
    if (v >= 0) {
        const double value = LeadingReal(QStringView(trimmed).mid(v + kVsyncLabel.size())).value_or(0);
        f.vertical = value > kFrequencyMaximum ? 0 : value;
    }
    const QString rest = SkipPastLineFeed(trimmed);
    const qsizetype h = rest.indexOf(kHsyncLabel);
    if (h >= 0) {
        const double value =
            LeadingReal(QStringView(rest).mid(h + kHsyncLabel.size())).value_or(0) * kHsyncScale;
        f.horizontal = value > kFrequencyMaximum ? 0 : value;
    }
    return f;
}

// --- Controls ----------------------------------------------------------------

DacChannelControls dacChannelControls(DacGroupId group, int channel)
{
    switch (group) {
    case DacGroupId::L:
        if (channel == 0)
            return {win::frmBrightnessContrast, ctl::HScroll_Contrast,
                    ctl::lblContrastPV, ctl::Label15,
                    ctl::Label12};
        if (channel == 1)
            return {win::frmBrightnessContrast, ctl::HScroll_Brightness,
                    ctl::Label18, ctl::Label33, ctl::Label31};
        if (channel >= 2 && channel <= 7)
            return {win::frmVideoAdj, ctl::HScroll1_(channel), ctl::Text1_(channel),
                    ctl::Text2_(channel), ctl::Text3_(channel)};
        break;
    case DacGroupId::B:
        if (channel == 0 || channel == 1)
            return {win::frmVideoAdj, ctl::HScroll2_(channel), ctl::BText1_(channel),
                    ctl::BText2_(channel), ctl::BText3_(channel)};
        break;
    case DacGroupId::V:
        if (channel >= 0 && channel <= 6)
            return {win::frmGeometryAdj, ctl::HScroll1_(channel), ctl::Text1_(channel),
                    ctl::Text2_(channel), ctl::Text3_(channel)};
        break;
    case DacGroupId::H:
        if ((channel >= 0 && channel <= 3) || channel == kHorizSCapChannel)
            return {win::frmGeometryAdj, ctl::HHScroll1_(channel), ctl::HText1_(channel),
                    ctl::HText2_(channel), ctl::HText3_(channel)};
        break;
    case DacGroupId::N:
        if (channel >= 0 && channel <= 2)
            return {win::frmGeometryAdj, ctl::HScroll2_(channel), ctl::NText4_(channel),
                    ctl::NText5_(channel), ctl::NText6_(channel)};
        break;
    default:
        break;
    }
    return {};
}

// --- Apply -------------------------------------------------------------------

std::vector<int> LimitedPresentChannels(const MonitorData &data, DacGroupId group, QStringView values)
{
    std::vector<int> limited;
    if (group != DacGroupId::H)
        return limited;
    for (const DacChannelValue &cv : ParseStoredValues(data, group, values)) {
        if (cv.channel == kHorizSCapChannel && cv.value > kHorizSCapMaximum)
            limited.push_back(cv.channel);
    }
    return limited;
}

void ApplyPresentValues(ReplyContext &ctx, DacGroupId group, const DacValueList &values,
                        const std::vector<int> &limited)
{
    MonitorStateApplying::Scope applying(ctx.applying);
    for (const DacChannelValue &cv : values) {
        const bool isLimited = std::find(limited.begin(), limited.end(), cv.channel) != limited.end();
        const MonitorStateApplying::Scope mode(ctx.applying, isLimited ? MonitorStateApplying::Mode::ShowOnly
                                                                       : MonitorStateApplying::Mode::Apply);
        // The panel's own change handler keeps the present table as well, but
        // a panel that was never opened has none: store it here too, so that
        // a full read refreshes the image whatever is open.
        ctx.data.setCurrentValue(group, DacTable::Present, cv.channel, cv.value);
        const DacChannelControls c = dacChannelControls(group, cv.channel);
        if (c.window.isEmpty())
            continue;
        ctx.controls.setText(c.window, c.present, QString::number(cv.value));
        ctx.controls.setValue(c.window, c.slider, cv.value);
    }
}

void ApplyStoredValues(ReplyContext &ctx, DacGroupId group, DacTable table, const DacValueList &values)
{
    for (const DacChannelValue &cv : values) {
        ctx.data.setCurrentValue(group, table, cv.channel, cv.value);
        const DacChannelControls c = dacChannelControls(group, cv.channel);
        if (c.window.isEmpty())
            continue;
        ctx.controls.setText(c.window, table == DacTable::Factory ? c.factory : c.initial,
                              QString::number(cv.value));
    }
}

void FillNorthSouthColumn(ReplyContext &ctx, const QString &window, const QString &box1,
                          const QString &box2, const QString &box3, QStringView text,
                          int maximum, DacTable table)
{
    const QString boxes[3] = {box1, box2, box3};
    bool ranOut = false;
    const DacValueList values = ParseNorthSouthColumn(text, maximum, &ranOut);
    for (const DacChannelValue &cv : values) {
        ctx.data.setCurrentValue(DacGroupId::N, table, cv.channel, cv.value);
        ctx.controls.setText(window, boxes[cv.channel], QString::number(cv.value));
    }
    if (ranOut) {
        for (int channel = int(values.size()); channel < 3; ++channel) {
            ctx.data.forgetCurrentValue(DacGroupId::N, table, channel);
            ctx.controls.setText(window, boxes[channel], QString());
        }
    }
}

DacValueList SetSlidersFromReply(ReplyContext &ctx, const QString &window, const QString &slider1,
                                 const QString &slider2, const QString &slider3,
                                 QStringView text, int maximum, bool *ranOut)
{
    const QString sliders[3] = {slider1, slider2, slider3};
    MonitorStateApplying::Scope applying(ctx.applying);
    const DacValueList values = ParseNorthSouthSliders(text, maximum, ranOut);
    for (const DacChannelValue &cv : values)
        ctx.controls.setValue(window, sliders[cv.channel], cv.value);
    return values;
}

void ApplyNorthSouthPresent(ReplyContext &ctx, QStringView text)
{
    bool ranOut = false;
    const DacValueList values =
        SetSlidersFromReply(ctx, win::frmGeometryAdj, ctl::HScroll2_(0), ctl::HScroll2_(1),
                            ctl::HScroll2_(2), text, kNorthSouthMaximum, &ranOut);
    for (const DacChannelValue &cv : values) {
        ctx.data.setCurrentValue(DacGroupId::N, DacTable::Present, cv.channel, cv.value);
        ctx.controls.setText(win::frmGeometryAdj, ctl::NText4_(cv.channel), QString::number(cv.value));
    }
    if (ranOut)
        ForgetChannels(ctx, DacGroupId::N, DacTable::Present, channelsAfter({0, 1, 2}, values));
}

void ForgetChannels(ReplyContext &ctx, DacGroupId group, DacTable table, const std::vector<int> &channels)
{
    MonitorStateApplying::Scope applying(ctx.applying);
    for (int channel : channels) {
        ctx.data.forgetCurrentValue(group, table, channel);
        const DacChannelControls c = dacChannelControls(group, channel);
        if (c.window.isEmpty())
            continue;
        if (table == DacTable::Present) {
            ctx.controls.clearValue(c.window, c.slider);
            ctx.controls.setText(c.window, c.present, QString());
        } else {
            ctx.controls.setText(c.window, table == DacTable::Factory ? c.factory : c.initial, QString());
        }
    }
}

void ApplyScanSetTitles(ReplyContext &ctx, const std::vector<ScanSetTitle> &titles)
{
    for (const ScanSetTitle &t : titles) {
        ctx.scanSets.setTitle(t.index, t.title);
        ctx.scanSets.setMark(t.index, t.mark);
    }
}

void ApplyCurrentScanSet(ReplyContext &ctx, const CurrentScanSetReply &reply)
{
    if (reply.number)
        ctx.controls.setText(win::frmCurrentScanSet, ctl::lblScanNumber, *reply.number);
    if (reply.name)
        ctx.controls.setText(win::frmCurrentScanSet, ctl::lblScanName, *reply.name);
}

void ApplySyncFrequencies(ReplyContext &ctx, const SyncFrequencies &frequencies)
{
    const QString vertical = QString::number(frequencies.vertical, 'f', 2);
    const QString horizontal = QString::number(frequencies.horizontal, 'f', 2);
    const auto show = [&](const QString &window) {
        ctx.controls.setText(window, ctl::VertFreqBox, vertical);
        ctx.controls.setText(window, ctl::HFreqTextBox, horizontal);
    };
    if (belowMdiFamily(ctx.data.MonitorType)) {
        show(win::frmTestPoint);
    } else {
        show(win::frmMDITestPoints);
        show(win::frmDeflectionStatus);
    }
}

void ParseDacReply(ReplyContext &ctx, const QString &text)
{
    const auto selection = SelectDacReply(text);
    if (!selection)
        return;
    const DacGroupId group = selection->group;
    switch (selection->kind) {
    case DacReplyKind::Titles:
        ApplyScanSetTitles(ctx, ParseScanSetTitles(selection->values, ctx.data.NumScanSets));
        return;
    case DacReplyKind::Present: {
        if (group == DacGroupId::N) {
            ApplyNorthSouthPresent(ctx, selection->values);
            return;
        }
        bool ranOut = false;
        const DacValueList values = ParsePresentValues(ctx.data, group, selection->values, &ranOut);
        ApplyPresentValues(ctx, group, values, LimitedPresentChannels(ctx.data, group, selection->values));
        if (ranOut)
            ForgetChannels(ctx, group, DacTable::Present, channelsAfter(PresentChannels(ctx.data, group), values));
        return;
    }
    case DacReplyKind::Factory:
    case DacReplyKind::Initial: {
        const DacTable table =
            selection->kind == DacReplyKind::Factory ? DacTable::Factory : DacTable::Initial;
        if (group == DacGroupId::N) {
            const auto box = table == DacTable::Factory ? ctl::NText5_ : ctl::NText6_;
            FillNorthSouthColumn(ctx, win::frmGeometryAdj, box(0), box(1), box(2),
                                 selection->values, kNorthSouthMaximum, table);
        } else {
            bool ranOut = false;
            const DacValueList values = ParseStoredValues(ctx.data, group, selection->values, &ranOut);
            ApplyStoredValues(ctx, group, table, values);
            if (ranOut)
                ForgetChannels(ctx, group, table, channelsAfter(StoredChannels(ctx.data, group), values));
        }
        return;
    }
    }
}

void installDacReplyHandlers(ReplyHandlers &r)
{
    r.on(Route::DacValues, ParseDacReply);
    r.on(Route::CurrentScanSet, [](ReplyContext &ctx, const QString &text) {
        ApplyCurrentScanSet(ctx, ParseCurrentScanSet(text));
    });
    r.on(Route::SyncFrequencies, [](ReplyContext &ctx, const QString &text) {
        ApplySyncFrequencies(ctx, ParseSyncFrequencies(text));
    });
}

} // namespace tvk

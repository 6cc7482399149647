#include "core/replies/hvreport.h"

#include "core/replies/replynumbers.h"

namespace tvk {

namespace {

constexpr QStringView kUpper = u"Upper Limit = ";
constexpr QStringView kLower = u"Lower Limit = ";
constexpr QStringView kSeparator = u", ";
constexpr QStringView kControlLabels[kHvControlCount] = {
    u"HV Control Value = ", u"Focus Control Value = ", u"G2 Control Value = ",
    u"Video +80V Control Value = "};

std::optional<int> rounded(QStringView text)
{
    const auto value = LeadingReal(text);
    return value ? std::optional<int>(RoundToInt16(*value)) : std::nullopt;
}

std::optional<int> numberAfter(QStringView text, QStringView label)
{
    const qsizetype at = text.indexOf(label);
    return at < 0 ? std::nullopt : rounded(text.mid(at + label.size()));
}

// The rest of the line the text starts on.
QStringView restOfLine(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n')
            return text.left(i);
    }
    return text;
}

HvControlValues controlValues(QStringView text, QStringView label)
{
    HvControlValues v;
    const qsizetype at = text.indexOf(label);
    if (at < 0)
        return v;
    QStringView line = restOfLine(text.mid(at + label.size()));
    v.present = rounded(line);
    qsizetype sep = line.indexOf(kSeparator);
    if (sep < 0)
        return v;
    line = line.mid(sep + kSeparator.size());
    v.initial = rounded(line);
    sep = line.indexOf(kSeparator);
    if (sep < 0)
        return v;
    v.factory = rounded(line.mid(sep + kSeparator.size()));
    return v;
}

} // namespace

char hvControlLetter(HvControl control)
{
    static constexpr char letters[kHvControlCount] = {'h', 'f', 'g', 'v'};
    return letters[size_t(control)];
}

HvReport ParseHvReport(QStringView text)
{
    HvReport r;
    r.upperLimit = numberAfter(text, kUpper);
    r.lowerLimit = numberAfter(text, kLower);
    for (int i = 0; i < kHvControlCount; ++i)
        r.controls[size_t(i)] = controlValues(text, kControlLabels[i]);
    return r;
}

} // namespace tvk

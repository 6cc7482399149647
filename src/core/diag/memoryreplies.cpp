#include "core/diag/memoryreplies.h"
#include "base/diagnames.h"

#include "base/texthelpers.h"

namespace tvk {

namespace {

bool isHex(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
}

// The hexadecimal digits after the marker, upper-cased, up to the first
// other character.
std::optional<QString> hexAfter(QStringView text, QStringView marker)
{
    const qsizetype at = text.indexOf(marker);
    if (at < 0)
        return std::nullopt;
    QStringView rest = text.mid(at + marker.size());
    qsizetype n = 0;
    while (n < rest.size() && isHex(rest.at(n)))
        ++n;
    return QStringLiteral("0x") + rest.left(n).toString().toUpper();
}

// From the start of the text to the end of its first line.
QString firstLine(QStringView text)
{
    qsizetype end = 0;
    while (end < text.size() && text.at(end) != u'\r' && text.at(end) != u'\n')
        ++end;
    return text.left(end).toString();
}

} // namespace

std::optional<MemoryReadReply> ParseMemoryRead(QStringView text)
{
    const QString t = TrimLeading(text);
    if (t.isEmpty())
        return std::nullopt;
    const QChar letter = t.at(0).toUpper();
    if (letter == u'B' || letter == u'W') {
        const auto digits = hexAfter(t, u":= 0x");
        if (!digits)
            return std::nullopt;
        return MemoryReadReply{letter == u'B' ? ctl::DataByteBox : ctl::DataWordBox,
                               *digits};
    }
    if (letter == u'C') {
        const qsizetype quote = t.indexOf(u'\'');
        return MemoryReadReply{ctl::txtDataChar, firstLine(QStringView(t).mid(quote + 1))};
    }
    return std::nullopt;
}

HexCheck CheckHexValue(QStringView text, HexWidth width, const QString &what)
{
    const int maxDigits = int(width);
    const QString range = QStringLiteral("0x%1 to 0x%2")
                              .arg(QString(maxDigits, u'0'), QString(maxDigits, u'F'));
    const QString problem = QStringLiteral("The %1 must be a hexadecimal number from %2, for example 0x%3.")
                                .arg(what, range, QString(maxDigits, u'1'));
    QStringView t = text.trimmed();
    if (t.startsWith(u"0x", Qt::CaseInsensitive))
        t = t.mid(2);
    if (t.isEmpty() || t.size() > maxDigits)
        return {std::nullopt, problem};
    for (QChar c : t)
        if (!isHex(c))
            return {std::nullopt, problem};
    return {QStringLiteral("0x") + t.toString().toUpper(), QString()};
}

} // namespace tvk

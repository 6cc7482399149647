#include "base/texthelpers.h"

namespace tvk {

namespace {

bool isLeadingSpace(QChar c)
{
    return c == u'\r' || c == u'\n' || c == u' ' || c == u'\t';
}

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }
bool isOctal(QChar c) { return c >= u'0' && c <= u'7'; }

int hexValue(QChar c)
{
    if (isDigit(c))
        return c.unicode() - '0';
    const char16_t u = c.unicode();
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// Reads digits of the given base from text[pos] on; stops at a non-digit,
// at the end, or when the value already exceeds limit.
int readDigits(QStringView text, qsizetype pos, int base, int limit)
{
    int value = 0;
    for (; pos < text.size(); ++pos) {
        const int d = hexValue(text[pos]);
        if (d < 0 || d >= base || value > limit)
            break;
        value = value * base + d;
    }
    return value;
}

} // namespace

QString TrimLeading(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && isLeadingSpace(text[i]))
        ++i;
    return text.mid(i).toString();
}

QString SkipPastComma(QStringView text)
{
    const qsizetype i = text.indexOf(u',');
    return (i < 0 ? text : text.mid(i + 1)).toString();
}

QString SkipPastLineFeed(QStringView text)
{
    const qsizetype i = text.indexOf(u'\n');
    return (i < 0 ? text : text.mid(i + 1)).toString();
}

bool IsDecimalDigit(QStringView text) { return text.isEmpty() || isDigit(text[0]); }
bool IsOctalDigit(QStringView text) { return text.isEmpty() || isOctal(text[0]); }
bool IsHexDigit(QStringView text) { return text.isEmpty() || hexValue(text[0]) >= 0; }

bool IsAlphanumeric(QStringView text)
{
    static const QString kAlphabet =
        QStringLiteral("0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    return kAlphabet.contains(text);
}

bool IsSingleDigit(QStringView text) { return text.size() == 1 && isDigit(text[0]); }

bool IsDigitsWithin(QStringView text, int limit)
{
    qint64 value = 0;
    for (QChar c : text) {
        if (!isDigit(c))
            return false;
        value = value * 10 + (c.unicode() - '0');
        if (value > 32767)
            return false;
    }
    return value <= limit;
}

int ParseDecimal(QStringView text)
{
    QString t = TrimLeading(text);
    bool negative = false;
    if (t.startsWith(u'-')) {
        negative = true;
        t = TrimLeading(QStringView(t).mid(1));
    }
    if (!IsDecimalDigit(t))
        return -1;
    const int value = readDigits(t, 0, 10, 6552);
    return negative ? -value : value;
}

int ParseNumber(QStringView text)
{
    if (!IsDecimalDigit(text))
        return -1;
    if (text.isEmpty())
        return 0;
    if (text[0] != u'0')
        return readDigits(text, 0, 10, 6552);
    if (text.size() == 1)
        return 0;
    if (isOctal(text[1]))
        return readDigits(text, 1, 8, 8190);
    if (text[1] == u'x' || text[1] == u'X')
        return readDigits(text, 2, 16, 4094);
    return -1;
}

} // namespace tvk

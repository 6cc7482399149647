#include "protocol/replyparsers.h"

#include "base/texthelpers.h"

namespace tvk {

PingReply ParsePingResponse(const QString &text)
{
    PingReply reply;
    const QString rest = TrimLeading(text);

    // I2C probe results echo "pi..." and are told apart by the lowercase i.
    if (rest.startsWith(QLatin1Char('i'))) {
        reply.kind = PingReply::Kind::Probe;
        reply.text = rest;
        // "NR" (no response) outranks "OK", which outranks "NC".
        if (rest.contains(QLatin1String("NR")))
            reply.colour = Colour::Red;
        else if (rest.contains(QLatin1String("OK")))
            reply.colour = Colour::Green;
        else if (rest.contains(QLatin1String("NC")))
            reply.colour = Colour::Yellow;
        return reply;
    }

    if (rest.contains(QLatin1Char('#')))
        reply.kind = PingReply::Kind::Application;
    else if (rest.startsWith(QLatin1Char('$')))
        reply.kind = PingReply::Kind::BootBlock;
    else
        reply.kind = PingReply::Kind::NotAnswered;
    return reply;
}

std::optional<QString> ParseAddressResponse(const QString &text)
{
    static const QLatin1String kMarker("Addr = 0x");
    const qsizetype at = text.indexOf(kMarker);
    if (at < 0)
        return std::nullopt;

    QString address = QStringLiteral("0x");
    for (qsizetype i = at + kMarker.size(); i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (!IsHexDigit(QStringView(&c, 1)))
            break;
        address += c;
    }
    return address;
}

} // namespace tvk

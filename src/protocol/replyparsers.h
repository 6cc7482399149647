#pragma once
// The two small reply parsers of the protocol layer: the ping reply (which
// also carries the I2C probe results) and the address reply. Both are pure
// functions from the reply text to values; the dispatcher applies them.

#include "base/colour.h"

#include <QString>
#include <optional>

namespace tvk {

struct PingReply {
    enum class Kind {
        Application, // "#": the application firmware answered
        BootBlock,   // "$": the boot block answered
        NotAnswered, // anything else: the monitor is not (or no longer) online
        Probe,       // an I2C probe result ("pi" commands)
    };
    Kind kind = Kind::NotAnswered;
    // Probe only: the result colour, absent when the text holds none of the
    // result codes "NR", "OK" and "NC".
    std::optional<int> colour;
    // Probe only: the result line, leading whitespace stripped (begins with "i").
    QString text;
};

// text: a "P" response after its family letter.
PingReply ParsePingResponse(const QString &text);

// text: an "A" response after its family letter. Returns "0x" followed by the
// hexadecimal digits after "Addr = 0x" (up to the first other character), or
// nothing when the text holds no "Addr = 0x".
std::optional<QString> ParseAddressResponse(const QString &text);

} // namespace tvk

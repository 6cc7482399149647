#pragma once

#include "base/windownames.h"
// Peek and poke: the replies to the memory reads ("rb", "rw", "rc") and the
// checks a value or address passes before it goes to the monitor.
//
// The monitor keeps the address in a register of its own; "a" + address
// loads it, "a+" and "a-" step it, and each answers "Addr = 0x1234", which
// the dispatcher hands on as "0x1234". Reads answer with the echoed letter
// and the value after ":= 0x" (byte, word) or after an apostrophe
// (character).

#include <QString>
#include <QStringView>
#include <optional>

namespace tvk {
struct MemoryReadReply {
    QString control; // ctl::DataByteBox, ctl::DataWordBox or ctl::txtDataChar
    QString text;    // "0x3F", "0x12AB", or the character text
};

// text: an "R" reply after its family letter, as the dispatcher hands it on
// ("b", CR LF, "0x0100 := 0x3f", CR LF, "#"). Nothing for another letter, or
// a byte or word reply without ":= 0x".
std::optional<MemoryReadReply> ParseMemoryRead(QStringView text);

// What a box of the panel may send: hexadecimal digits, with or without a
// "0x" prefix, blanks around them allowed, the value within its width.
// Addresses run as wide as the monitor's address register: six digits
// cover every unit's memory map.
enum class HexWidth { Byte = 2, Word = 4, Address = 6 };
struct HexCheck {
    std::optional<QString> value; // "0x" + the digits upper-cased, when valid
    QString problem;               // why not, when invalid
};
// what: the box's name in the message ("data byte", "address").
HexCheck CheckHexValue(QStringView text, HexWidth width, const QString &what);

} // namespace tvk

#pragma once
// Indicator colours: 24-bit values with red in the low byte.

namespace tvk::Colour {
inline constexpr int Red = 255;
inline constexpr int Green = 65280;
inline constexpr int Yellow = 65535;
} // namespace tvk::Colour

#pragma once
// Colours as the model and its files keep them: 0x00BBGGRR, red in the low
// byte, so that a literal such as 0xFF0000 is blue. Name colours here, or
// build them with rgb(), rather than writing such literals.

#include <cstdint>

namespace kestro {

using Colour = std::uint32_t;

constexpr Colour rgb(unsigned red, unsigned green, unsigned blue) { return red | (green << 8) | (blue << 16); }
constexpr unsigned red_of(Colour colour) { return colour & 0xFF; }
constexpr unsigned green_of(Colour colour) { return (colour >> 8) & 0xFF; }
constexpr unsigned blue_of(Colour colour) { return (colour >> 16) & 0xFF; }

namespace colour {
constexpr Colour Black = rgb(0, 0, 0);
constexpr Colour White = rgb(255, 255, 255);
constexpr Colour Red = rgb(255, 0, 0);
constexpr Colour Lime = rgb(0, 255, 0);
constexpr Colour Green = rgb(0, 128, 0);
constexpr Colour Blue = rgb(0, 0, 255);
constexpr Colour Yellow = rgb(255, 255, 0);
constexpr Colour Fuchsia = rgb(255, 0, 255);
constexpr Colour Silver = rgb(192, 192, 192);
constexpr Colour Grey = rgb(128, 128, 128);
constexpr Colour Maroon = rgb(128, 0, 0);
constexpr Colour Purple = rgb(128, 0, 128);
constexpr Colour Teal = rgb(0, 128, 128);
} // namespace colour

} // namespace kestro

#pragma once
// Strict number decoding shared by every reader and grid: the whole token
// must be a finite number with a point as decimal separator (an optional
// leading "+" allowed). Anything else gives nothing, never a partial value.

#include <cmath>
#include <optional>
#include <string_view>

namespace kestro {

std::optional<double> parse_real(std::string_view token);
// A decimal number or a fraction of two ("0.5", "1/2", "-3/4"), blanks
// around either part allowed; nothing for a zero denominator or a value
// that is not finite. The one reading of operator translations.
std::optional<double> parse_fraction(std::string_view text);
std::optional<long long> parse_integer(std::string_view token);

// Round half to even (Pascal's Round): pixel positions and shift ranges.
// The default floating-point rounding (to nearest, ties to even), which the
// program never changes; inline, as every pixel of a redraw takes it.
inline double round_half_even(double x) { return std::nearbyint(x); }

} // namespace kestro

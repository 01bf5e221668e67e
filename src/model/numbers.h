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
// The standard uncertainty written after a number in parentheses, in units
// of its last digit: '0.3691(2)' gives 0.0002, '16.6171(12)' 0.0012,
// '103.2(1)' 0.1, '1234(5)' 5, '1.2e-3(4)' 0.0004. 0 where the text has
// none or it cannot be read.
double number_su(std::string_view text);

// Round half to even (Pascal's Round): pixel positions and shift ranges.
// The default floating-point rounding (to nearest, ties to even), which the
// program never changes. Every pixel of a redraw takes it, so it is done
// inline: adding 2^52 leaves no bits below the unit, and the addition
// rounds to nearest, ties to even, exactly as nearbyint does; larger
// magnitudes, infinities and NaN are their own rounding.
inline double round_half_even(double x)
{
    constexpr double Unit = 4503599627370496.0; // 2^52
    const double magnitude = std::abs(x);
    if (!(magnitude < Unit)) return x;
    return std::copysign((magnitude + Unit) - Unit, x);
}

} // namespace kestro

#include "model/fields.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>

namespace kestro {

std::string fmt_real(double value, int width, int decimals)
{
    if (!std::isfinite(value)) return right_align("NaN", static_cast<std::size_t>(width));
    // to_chars, not printf: the decimal point stays a point whatever locale
    // the windows' toolkit set, and no digit of a large value is cut off.
    const int places = std::clamp(decimals, 0, 100);
    char buffer[DBL_MAX_10_EXP + 110];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, places);
    std::string text(buffer, written.ptr);
    // "-0.000" would tell the reader nothing the value does not: drop the sign.
    if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
    return right_align(text, static_cast<std::size_t>(width));
}

std::string fmt_int(long long value, int width)
{
    return right_align(std::to_string(value), static_cast<std::size_t>(width < 0 ? 0 : width));
}

std::string fill_to(std::string_view text, std::size_t n)
{
    std::string out(text);
    if (out.size() < n) out.append(n - out.size(), ' ');
    return out;
}

std::string right_align(std::string_view text, std::size_t n)
{
    if (text.size() >= n) return std::string(text);
    return std::string(n - text.size(), ' ') + std::string(text);
}

} // namespace kestro

#include "model/fields.h"

#include <cmath>
#include <cstdio>

namespace kestro {

std::string fmt_real(double value, int width, int decimals)
{
    if (!std::isfinite(value)) return right_align("NaN", static_cast<std::size_t>(width));
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    std::string text = buffer;
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

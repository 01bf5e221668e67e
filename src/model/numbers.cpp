#include "model/numbers.h"

#include <charconv>
#include <cmath>

namespace kestro {

namespace {
template <class T>
std::optional<T> parse_whole(std::string_view token)
{
    if (!token.empty() && token.front() == '+') token.remove_prefix(1);
    if (token.empty() || token.front() == '+' || token.front() == ' ') return std::nullopt;
    T value{};
    const char* last = token.data() + token.size();
    const auto [end, error] = std::from_chars(token.data(), last, value);
    if (error != std::errc() || end != last) return std::nullopt;
    if constexpr (std::is_floating_point_v<T>)
        if (!std::isfinite(value)) return std::nullopt;
    return value;
}
} // namespace

std::optional<double> parse_real(std::string_view token) { return parse_whole<double>(token); }
std::optional<long long> parse_integer(std::string_view token) { return parse_whole<long long>(token); }

std::optional<double> parse_fraction(std::string_view text)
{
    const auto trimmed = [](std::string_view t) {
        while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
        while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
        return t;
    };
    const std::size_t slash = text.find('/');
    if (slash == std::string_view::npos) return parse_real(trimmed(text));
    const auto numerator = parse_real(trimmed(text.substr(0, slash)));
    const auto denominator = parse_real(trimmed(text.substr(slash + 1)));
    if (!numerator || !denominator || *denominator == 0.0) return std::nullopt;
    const double value = *numerator / *denominator;
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

} // namespace kestro

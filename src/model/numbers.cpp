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

double number_su(std::string_view text)
{
    const std::size_t open = text.find('(');
    const std::size_t close = text.find(')', open);
    if (open == std::string_view::npos || close == std::string_view::npos) return 0;
    const auto digits = parse_integer(text.substr(open + 1, close - open - 1));
    if (!digits || *digits <= 0) return 0;
    std::string_view number = text.substr(0, open);
    while (!number.empty() && (number.front() == ' ' || number.front() == '\t')) number.remove_prefix(1);
    int exponent = 0;
    if (const std::size_t e = number.find_first_of("eE"); e != std::string_view::npos) {
        const auto power = parse_integer(number.substr(e + 1));
        if (!power) return 0;
        exponent = static_cast<int>(*power);
        number = number.substr(0, e);
    }
    if (!parse_real(number)) return 0;
    const std::size_t point = number.find('.');
    const int decimals = point == std::string_view::npos ? 0 : static_cast<int>(number.size() - point - 1);
    return static_cast<double>(*digits) * std::pow(10.0, exponent - decimals);
}

} // namespace kestro

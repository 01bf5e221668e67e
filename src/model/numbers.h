#pragma once
// Strict number decoding shared by every reader and grid: the whole token
// must be a finite number with a point as decimal separator (an optional
// leading "+" allowed). Anything else gives nothing, never a partial value.

#include <optional>
#include <string_view>

namespace kestro {

std::optional<double> parse_real(std::string_view token);
std::optional<long long> parse_integer(std::string_view token);

} // namespace kestro

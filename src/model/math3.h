#pragma once
// Fixed-size 3-vectors and 3x3 matrices (row by row: m[i][j] is row i,
// column j), and the coordinate types that keep fractional and Cartesian
// positions apart.

#include <array>

namespace kestro {

using Vec3 = std::array<double, 3>;
using Mat3 = std::array<Vec3, 3>;

constexpr Mat3 identity3() { return {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}}; }
constexpr Mat3 zero3() { return {{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}}; }

} // namespace kestro

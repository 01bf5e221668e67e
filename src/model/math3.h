#pragma once
// Fixed-size 3-vectors and 3x3 matrices (row by row: m[i][j] is row i,
// column j), and symmetric 3x3 tensors by their six components.

#include <array>
#include <cstddef>

namespace kestro {

using Vec3 = std::array<double, 3>;
using Mat3 = std::array<Vec3, 3>;

constexpr Mat3 identity3() { return {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}}; }
constexpr Mat3 zero3() { return {{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}}; }

// A symmetric 3x3 tensor by its six components in the order 11 22 33 12 13
// 23, the order of the structure file and of every reader but SHELX's.
// Indexed and iterated like the six numbers it holds.
struct SymMat3 {
    std::array<double, 6> c{};

    constexpr double& operator[](std::size_t k) { return c[k]; }
    constexpr double operator[](std::size_t k) const { return c[k]; }
    constexpr double* begin() { return c.data(); }
    constexpr double* end() { return c.data() + c.size(); }
    constexpr const double* begin() const { return c.data(); }
    constexpr const double* end() const { return c.data() + c.size(); }
    static constexpr std::size_t size() { return 6; }
    bool operator==(const SymMat3&) const = default;

    constexpr double s11() const { return c[0]; }
    constexpr double s22() const { return c[1]; }
    constexpr double s33() const { return c[2]; }
    constexpr double s12() const { return c[3]; }
    constexpr double s13() const { return c[4]; }
    constexpr double s23() const { return c[5]; }

    constexpr Mat3 matrix() const { return {{{s11(), s12(), s13()}, {s12(), s22(), s23()}, {s13(), s23(), s33()}}}; }

    // R S R^T: the tensor carried through the rotation R.
    constexpr SymMat3 transformed_by(const Mat3& r) const
    {
        const Mat3 m = matrix();
        Mat3 rm{}; // R S
        for (std::size_t i = 0; i < 3; ++i)
            for (std::size_t j = 0; j < 3; ++j)
                for (std::size_t k = 0; k < 3; ++k) rm[i][j] += r[i][k] * m[k][j];
        Mat3 out{}; // (R S) R^T
        for (std::size_t i = 0; i < 3; ++i)
            for (std::size_t j = 0; j < 3; ++j)
                for (std::size_t k = 0; k < 3; ++k) out[i][j] += rm[i][k] * r[j][k];
        return {{out[0][0], out[1][1], out[2][2], out[0][1], out[0][2], out[1][2]}};
    }
};

} // namespace kestro

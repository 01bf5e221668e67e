#include "crystal/cell_angles.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace kestro {

namespace {

using Matrix = std::array<std::array<double, 3>, 3>;

// The axes (i, j) whose angle is alpha, beta, gamma.
constexpr std::array<std::array<std::size_t, 2>, 3> angle_axes{{{1, 2}, {0, 2}, {0, 1}}};

constexpr double Tolerance = 1e-3;

// cos of an angle in degrees, exact for the angles symmetry imposes.
double cos_degrees(double angle)
{
    if (angle == 90) return 0;
    if (angle == 120) return -0.5;
    if (angle == 60) return 0.5;
    return std::cos(angle * std::numbers::pi / 180);
}

// R^T X R - X
Matrix change(const Matrix& r, const Matrix& x)
{
    Matrix out{};
    for (std::size_t i = 0; i < 3; ++i)
        for (std::size_t j = 0; j < 3; ++j) {
            double sum = 0;
            for (std::size_t k = 0; k < 3; ++k)
                for (std::size_t l = 0; l < 3; ++l) sum += r[k][i] * x[k][l] * r[l][j];
            out[i][j] = sum - x[i][j];
        }
    return out;
}

// One equation: coefficients of the unknown cosines and the right-hand side.
struct Equation {
    std::array<double, 3> a{};
    double b = 0;
};

} // namespace

AngleCompletion complete_cell_angles(const CrystalCell& cell, const std::array<bool, 3>& missing,
                                     const Table<SymmetryOperator, MaxOperators>& operators)
{
    const std::array<double, 3> lengths{cell.a, cell.b, cell.c};
    const std::array<double, 3> given{cell.alpha, cell.beta, cell.gamma};
    std::vector<std::size_t> unknown; // angle index of each unknown cosine
    Matrix known{};                   // the metric without the missing angles
    std::array<Matrix, 3> part{};     // its change per unit cosine of each unknown
    for (std::size_t k = 0; k < 3; ++k) known[k][k] = lengths[k] * lengths[k];
    for (std::size_t angle = 0; angle < 3; ++angle) {
        const auto [i, j] = angle_axes[angle];
        if (missing[angle]) {
            Matrix& u = part[unknown.size()];
            u[i][j] = u[j][i] = lengths[i] * lengths[j];
            unknown.push_back(angle);
        } else {
            known[i][j] = known[j][i] = lengths[i] * lengths[j] * cos_degrees(given[angle]);
        }
    }
    const std::size_t m = unknown.size();

    // Each operator gives six equations, scaled by the lengths so that the
    // tolerance is relative.
    std::vector<Equation> equations;
    for (const SymmetryOperator& op : operators) {
        Matrix r{};
        for (std::size_t i = 0; i < 3; ++i)
            for (std::size_t j = 0; j < 3; ++j) r[i][j] = op.rows[i][j];
        const Matrix c0 = change(r, known);
        std::array<Matrix, 3> cu{};
        for (std::size_t p = 0; p < m; ++p) cu[p] = change(r, part[p]);
        for (std::size_t i = 0; i < 3; ++i)
            for (std::size_t j = i; j < 3; ++j) {
                const double scale = 1 / (lengths[i] * lengths[j]);
                Equation e;
                for (std::size_t p = 0; p < m; ++p) e.a[p] = cu[p][i][j] * scale;
                e.b = -c0[i][j] * scale;
                equations.push_back(e);
            }
    }

    // Least squares through the normal equations, reduced by Gauss-Jordan;
    // a column without a pivot is an unknown the equations leave open.
    std::array<std::array<double, 4>, 3> normal{};
    for (const Equation& e : equations)
        for (std::size_t p = 0; p < m; ++p) {
            for (std::size_t q = 0; q < m; ++q) normal[p][q] += e.a[p] * e.a[q];
            normal[p][3] += e.a[p] * e.b;
        }
    double largest = 1;
    for (std::size_t p = 0; p < m; ++p) largest = std::max(largest, std::fabs(normal[p][p]));
    std::array<int, 3> pivot_row{-1, -1, -1};
    std::size_t rank = 0;
    for (std::size_t col = 0; col < m && rank < m; ++col) {
        std::size_t best = rank;
        for (std::size_t row = rank; row < m; ++row)
            if (std::fabs(normal[row][col]) > std::fabs(normal[best][col])) best = row;
        if (std::fabs(normal[best][col]) < 1e-9 * largest) continue;
        std::swap(normal[best], normal[rank]);
        const double p = normal[rank][col];
        for (double& v : normal[rank]) v /= p;
        for (std::size_t row = 0; row < m; ++row) {
            if (row == rank) continue;
            const double f = normal[row][col];
            for (std::size_t k = 0; k < 4; ++k) normal[row][k] -= f * normal[rank][k];
        }
        pivot_row[col] = static_cast<int>(rank++);
    }
    std::array<double, 3> cosine{}; // open unknowns stay 0 (90 degrees)
    AngleCompletion out;
    out.angles = given;
    for (std::size_t col = 0; col < m; ++col) {
        if (pivot_row[col] < 0) continue;
        const auto& row = normal[static_cast<std::size_t>(pivot_row[col])];
        cosine[col] = row[3];
        bool alone = true;
        for (std::size_t other = 0; other < m; ++other)
            if (pivot_row[other] < 0 && std::fabs(row[other]) > 1e-9) alone = false;
        out.fixed[unknown[col]] = alone;
    }

    for (const Equation& e : equations) {
        double lhs = 0;
        for (std::size_t p = 0; p < m; ++p) lhs += e.a[p] * cosine[p];
        if (!(std::fabs(lhs - e.b) <= Tolerance)) return out;
    }
    std::array<double, 3> cosines{};
    for (std::size_t angle = 0; angle < 3; ++angle) cosines[angle] = cos_degrees(given[angle]);
    for (std::size_t p = 0; p < m; ++p) {
        if (!(std::fabs(cosine[p]) < 1)) return out;
        const double degrees = std::acos(cosine[p]) * 180 / std::numbers::pi;
        out.angles[unknown[p]] = std::round(degrees * 1000) / 1000;
        cosines[unknown[p]] = cosine[p];
    }
    // A cell: the volume term 1 - cos2a - cos2b - cos2g + 2 cosa cosb cosg above 0.
    const auto [ca, cb, cg] = cosines;
    out.fits = 1 - ca * ca - cb * cb - cg * cg + 2 * ca * cb * cg > 1e-6;
    return out;
}

} // namespace kestro

#include "model/thermal.h"

namespace kestro {

namespace {

// p_i p_j for the pairs 11 22 33 12 13 23, p = (a*, b*, c*).
Thermal6 reciprocal_products(const CrystalCell& cell)
{
    const double p1 = cell.a_star, p2 = cell.b_star, p3 = cell.c_star;
    return {p1 * p1, p2 * p2, p3 * p3, p1 * p2, p1 * p3, p2 * p3};
}

} // namespace

double equivalent_u(const CrystalCell& cell, const Thermal6& u)
{
    const CellMetric& m = cell.metric;
    const double a = cell.a * cell.a_star, b = cell.b * cell.b_star, c = cell.c * cell.c_star;
    return (u[0] * a * a + u[1] * b * b + u[2] * c * c + 2 * u[3] * a * b * m.cos_gamma +
            2 * u[4] * a * c * m.cos_beta + 2 * u[5] * b * c * m.cos_alpha) /
           3.0;
}

Thermal6 to_uij(ThermalExpression shown_as, const Thermal6& shown, const CrystalCell& cell)
{
    Thermal6 u = shown;
    switch (shown_as) {
    case ThermalExpression::Uij: break;
    case ThermalExpression::Bij:
        for (double& v : u) v /= EightPiSquared;
        break;
    case ThermalExpression::Betaij: {
        const Thermal6 pp = reciprocal_products(cell);
        for (std::size_t k = 0; k < 6; ++k) {
            const double factor = TwoPiSquared * pp[k];
            u[k] = factor != 0 ? shown[k] / factor : 0.0;
        }
        break;
    }
    }
    return u;
}

Thermal6 from_uij(ThermalExpression shown_as, const Thermal6& uij, const CrystalCell& cell)
{
    Thermal6 v = uij;
    switch (shown_as) {
    case ThermalExpression::Uij: break;
    case ThermalExpression::Bij:
        for (double& x : v) x *= EightPiSquared;
        break;
    case ThermalExpression::Betaij: {
        const Thermal6 pp = reciprocal_products(cell);
        for (std::size_t k = 0; k < 6; ++k) v[k] = TwoPiSquared * pp[k] * uij[k];
        break;
    }
    }
    return v;
}

Thermal6 rotate_tensor(const Mat3& r, const Thermal6& s)
{
    const Mat3 m{{{s[0], s[3], s[4]}, {s[3], s[1], s[5]}, {s[4], s[5], s[2]}}};
    Mat3 rm{}; // R S
    for (std::size_t i = 0; i < 3; ++i)
        for (std::size_t j = 0; j < 3; ++j)
            for (std::size_t k = 0; k < 3; ++k) rm[i][j] += r[i][k] * m[k][j];
    Mat3 out{}; // (R S) R^T
    for (std::size_t i = 0; i < 3; ++i)
        for (std::size_t j = 0; j < 3; ++j)
            for (std::size_t k = 0; k < 3; ++k) out[i][j] += rm[i][k] * r[j][k];
    return {out[0][0], out[1][1], out[2][2], out[0][1], out[0][2], out[1][2]};
}

} // namespace kestro

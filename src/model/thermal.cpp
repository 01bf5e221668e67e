#include "model/thermal.h"

namespace kestro {

Thermal6 beta_from_u(const CrystalCell& cell, const Thermal6& uij)
{
    const double as = cell.a_star, bs = cell.b_star, cs = cell.c_star;
    const double g[6] = {TwoPiSquared * as * as, TwoPiSquared * bs * bs, TwoPiSquared * cs * cs,
                         TwoPiSquared * as * bs, TwoPiSquared * as * cs, TwoPiSquared * bs * cs};
    Thermal6 beta{};
    for (std::size_t i = 0; i < 6; ++i) beta[i] = g[i] * uij[i];
    return beta;
}

Thermal6 beta_from_isotropic_u(const CrystalCell& cell, double u)
{
    const double as = cell.a_star, bs = cell.b_star, cs = cell.c_star;
    const CellMetric& m = cell.metric;
    const double f[6] = {TwoPiSquared * as * as, TwoPiSquared * bs * bs, TwoPiSquared * cs * cs,
                         TwoPiSquared * as * bs * m.cos_gamma_star, TwoPiSquared * as * cs * m.cos_beta_star,
                         TwoPiSquared * bs * cs * m.cos_alpha_star};
    Thermal6 beta{};
    for (std::size_t i = 0; i < 6; ++i) beta[i] = f[i] * u;
    return beta;
}

double equivalent_u_of_beta(const CrystalCell& c, const Thermal6& b)
{
    const CellMetric& m = c.metric;
    return (b[0] * c.a * c.a + b[1] * c.b * c.b + b[2] * c.c * c.c + 2 * b[3] * c.a * c.b * m.cos_gamma +
            2 * b[4] * c.a * c.c * m.cos_beta + 2 * b[5] * c.b * c.c * m.cos_alpha) /
           (3 * TwoPiSquared);
}

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
        const Thermal6 factors = beta_from_u(cell, {1, 1, 1, 1, 1, 1});
        for (std::size_t k = 0; k < 6; ++k) u[k] = factors[k] != 0 ? shown[k] / factors[k] : 0.0;
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
    case ThermalExpression::Betaij: v = beta_from_u(cell, uij); break;
    }
    return v;
}

double probability_scale(int index)
{
    if (index < 0 || index >= static_cast<int>(ProbabilityScale.size())) return 1.0;
    return ProbabilityScale[static_cast<std::size_t>(index)];
}

} // namespace kestro

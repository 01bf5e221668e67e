#pragma once
// The three expressions of displacement parameters a user may type or see.
// The model always keeps Uij (Angstrom squared) in the asymmetric unit.

#include <array>

#include "model/structure_model.h"

namespace kestro {

enum class ThermalExpression { Uij, Bij, Betaij };

// The constants between the three expressions, side by side
// (Trueblood et al., Acta Cryst. A52 (1996) 770):
// betaij = 2 pi^2 a*_i a*_j Uij, with pi taken as 3.14159 as the program
// always has; B = 8 pi^2 U, for the isotropic value and the six Bij alike.
constexpr double TwoPiSquared = 19.7391754562;
constexpr double EightPiSquared = 78.9568352087;
// 2 pi^2 in full precision: the factor of the drawing's anisotropic path,
// which turns betaij back into Uij for the ellipsoids.
constexpr double TwoPiSquaredExact = 19.739208802178716;

// Probability index (0 none selected, 1..10 for 10 % .. 100 %) to the scale
// k of the displacement tensor (k^2 U) whose ellipsoid holds the atom with
// that probability; an index out of range gives 1.
constexpr std::array<double, 11> ProbabilityScale = {1.0,    0.7644, 1.0026, 1.1932, 1.3672, 1.5382,
                                                     1.7164, 1.9144, 2.1544, 2.5,    5.95};
double probability_scale(int index);

// SHELX writes U11 U22 U33 U23 U13 U12. The permutation is its own inverse:
// it takes either order to the other.
constexpr Thermal6 swap_shelx_order(const Thermal6& u) { return {u[0], u[1], u[2], u[5], u[4], u[3]}; }

// betaij of an anisotropic Uij, and of an isotropic U spread over the
// reciprocal metric (the cell needs cell_metric first).
Thermal6 beta_from_u(const CrystalCell& cell, const Thermal6& uij);
Thermal6 beta_from_isotropic_u(const CrystalCell& cell, double u);

// From the values shown in the chosen expression to Uij. For Betaij the
// reciprocal lengths of the cell are used (U_ij = b_ij / (2 pi^2 p_i p_j)).
Thermal6 to_uij(ThermalExpression shown_as, const Thermal6& shown, const CrystalCell& cell);
// From Uij to the values shown in the chosen expression.
Thermal6 from_uij(ThermalExpression shown_as, const Thermal6& uij, const CrystalCell& cell);

// The isotropic equivalent of Uij, Ueq = 1/3 sum U_ij a*_i a*_j (a_i . a_j)
// (Fischer & Tillmanns, Acta Cryst. C44 (1988) 775); needs the reciprocal
// lengths that cell_metric computes.
double equivalent_u(const CrystalCell& cell, const Thermal6& uij);
// The same from betaij: sum beta_ij a_i a_j cos(a_i, a_j) / (3 2 pi^2).
double equivalent_u_of_beta(const CrystalCell& cell, const Thermal6& beta);


} // namespace kestro

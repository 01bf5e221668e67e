#pragma once
// The three expressions of displacement parameters a user may type or see.
// The model always keeps Uij (Angstrom squared) in the asymmetric unit.

#include <array>

#include "model/structure_model.h"

namespace kestro {

enum class ThermalExpression { Uij, Bij, Betaij };

// 2 pi^2 with pi taken as 3.14159, the factor between betaij and Uij.
constexpr double TwoPiSquared = 19.7391754562;
// B = 8 pi^2 U, for the isotropic value and the six Bij alike.
constexpr double EightPiSquared = 78.9568352087;

using Thermal6 = std::array<double, 6>; // order 11 22 33 12 13 23

// From the values shown in the chosen expression to Uij. For Betaij the
// reciprocal lengths of the cell are used (U_ij = b_ij / (2 pi^2 p_i p_j)).
Thermal6 to_uij(ThermalExpression shown_as, const Thermal6& shown, const CrystalCell& cell);
// From Uij to the values shown in the chosen expression.
Thermal6 from_uij(ThermalExpression shown_as, const Thermal6& uij, const CrystalCell& cell);

// The isotropic equivalent of Uij, Ueq = 1/3 sum U_ij a*_i a*_j (a_i . a_j)
// (Fischer & Tillmanns, Acta Cryst. C44 (1988) 775); needs the reciprocal
// lengths that cell_metric computes.
double equivalent_u(const CrystalCell& cell, const Thermal6& uij);

// R S R^T of a symmetric tensor held as 11 22 33 12 13 23: the
// displacement tensor of an atom carried through the rotation part R of a
// symmetry operator.
Thermal6 rotate_tensor(const Mat3& r, const Thermal6& s);

} // namespace kestro

#pragma once
// Cell angles a structure file leaves out, from its symmetry.

#include <array>

#include "model/structure_model.h"

namespace kestro {

// alpha, beta, gamma (index 0, 1, 2) as the operators leave them: every
// rotation R of the list keeps the metric, R^T G R = G (International
// Tables Vol. A, section 9.1), equations linear in the cosines of the
// missing angles. A missing angle is `fixed` when these equations give it
// one value (gamma = 120 for hexagonal axes, 90 for an orthogonal lattice);
// one they leave open is 90, the CIF default (angles the equations tie
// together but leave open, as on rhombohedral axes, are all 90). `fits` is
// false when no values of the missing angles satisfy the equations with
// the lengths and angles given (within 0.1 % of the lengths' products), or
// when the values found make no cell. Angles are rounded to 0.001 degree.
struct AngleCompletion {
    bool fits = false;
    std::array<double, 3> angles{};  // given angles as they were
    std::array<bool, 3> fixed{};
};
AngleCompletion complete_cell_angles(const CrystalCell& cell, const std::array<bool, 3>& missing,
                                     const Table<SymmetryOperator, MaxOperators>& operators);

} // namespace kestro

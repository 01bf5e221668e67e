#pragma once
// The bond search: every pair of generated atoms closer than the limit of
// the bond sort naming their two elements becomes a bond.

#include "model/math3.h"
#include "model/messages.h"
#include "model/structure_model.h"

namespace kestro {

// Carbon-carbon order classes: 2 below the first, 1 strictly between.
constexpr double CarbonDoubleBelow = 1.271;
constexpr double CarbonSingleBelow = 1.439;

// Replaces model.bonds with one bond per pair i < j of generated atoms
// (shown or not) and per bond sort naming their two element symbols in
// either order, when d = |T x_i - T x_j| <= max_length; a pair listed twice
// gives two bonds. Symbols are the first two label characters and the sort
// symbols, both trimmed and upper case. Bonds come in the order i, then j,
// then bond sort. C-C bonds get order 2 for d < 1.271, 1 for
// 1.271 < d < 1.439, otherwise 0. A NaN length or limit never bonds, nor
// does an atom whose position is not finite. The 10001st bond shows
// "Too much bonds!" and ends the search with the 10000 found kept: false.
// Atoms of disorder parts bond by the rule of DisorderBonds.
// A grid of cells as large as the longest limit keeps the cost about
// linear in the atom count.
bool liaisons(StructureModel& model, Messages& messages);

// The C-C order class of a bond of length d.
int carbon_bond_order(double d);

// |a - b| in Angstrom, the length every bond carries.
double bond_distance(const Vec3& a, const Vec3& b);

} // namespace kestro

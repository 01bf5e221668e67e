#pragma once
// Symmetry operators as text (the grid, the catalogues, the structure file)
// and completion of a list by the inversion and the lattice centring.

#include <array>
#include <string>
#include <string_view>

#include "model/messages.h"
#include "model/structure_model.h"

namespace kestro {

// Component text of one row (c1, c2, c3, t): " X", " Y", " Z", "-X", "-Y",
// "-Z", " X-Y" or " Y-X" (empty for other coefficients) followed by the
// translation: nothing for 0; after a negative one is raised by 1 and one
// above 1 lowered by 1 (the result stored back into row), four blanks within
// 0.001 of 0, "+1/2", "+1/3", "+2/3", "+1/4", "+3/4", "+1/6" or "+5/6"
// within 0.001 of the fraction, nothing within 0.001 of a whole number, and
// otherwise the signed decimal value ("+0.125"), so that reading the grid
// back never drops a translation.
std::string format_operator_row(std::array<double, 4>& row);

// The three components trimmed, in upper case, joined by ","
// ("-X+1/2,Y,Z+1/2"): the text the catalogues and the structure file keep.
// At most 24 characters when every translation is one of the fractions
// above; callers rebuild model.operator_texts from it themselves. Stores
// the reduced translations back into op, as format_operator_row does.
std::string operator_text(SymmetryOperator& op);

// Every operator of the full list gets its text (operator_text) and an
// unselected mark.
void rebuild_operator_texts(StructureModel& model);

// Coefficients equal exactly, translations equal modulo 1 within tolerance.
bool same_operator(const SymmetryOperator& a, const SymmetryOperator& b, double tolerance = 1e-4);



// One cell of the positions grid ("-X+1/2", "1/2-x", " Y") into row; false
// when it is not a coordinate form with an optional number or fraction
// before or after it.
bool read_grid_component(std::string_view cell, std::array<double, 4>& row);

// One comma-separated catalogue component in upper case ("-X+1/2", "Y-X",
// "Z-1/3") into row. False, and row untouched, when the text does not
// reduce to one of the eight coordinate forms.
bool read_catalogue_component(std::string_view text, std::array<double, 4>& row);

// Appends (-R, -t) for each operator (R, t) of the full list. False, and
// nothing changed, when the doubled list would not fit.
bool add_inversion(StructureModel& model);

// Appends, for each centring vector of model.lattice_letter (and
// model.system_code for R) and each operator of the list, a copy translated
// by the vector, and stores the number of vectors in model.centring_count.
// False, and nothing changed, when the result would not fit.
bool add_centring(StructureModel& model);


} // namespace kestro

#include <optional>

namespace kestro {

// One operator as CIF and SHELX files write it: three comma-separated
// components, each a signed sum of x, y, z and a translation, in any order
// and case ("-x+y", "1/2-x", "x+1/2", "-Z+0.5", "y-x+1/3"); quotes and blanks
// are ignored. Nothing for a text that is not three such components, for a
// zero denominator, and for a rotation part that cannot be inverted
// ('x,y,x'), which alone sets *singular when it is given.
std::optional<SymmetryOperator> parse_operator_xyz(std::string_view text, bool* singular = nullptr);

} // namespace kestro

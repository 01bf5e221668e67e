#pragma once
// The element sorts (one per distinct element symbol of the asymmetric unit,
// with covalent radius and default colour) and the default bond sorts (one
// per unordered pair of element sorts).

#include <string_view>

#include "model/messages.h"
#include "model/structure_model.h"

namespace kestro {

// Element sorts in order of first appearance in the asymmetric unit, radii
// from data_directory/rayons.cst (0 when not listed), default colours, and
// the element index of each asymmetric-unit atom. Also sets the bond and
// background colours of the drawing. More than 93 distinct symbols: refused
// with a message, false, nothing changed. IoError when rayons.cst is missing
// or malformed (nothing changed either).
bool build_element_sorts(StructureModel& model, Messages& messages);

// The element sorts as above, then for each pair i <= j the bond sort
// (symbol i, symbol j) with maximum length (r_i + r_j) * 1.2. More than 44
// element sorts (their pairs would not fit the 1000 bond sorts): refused
// with a message, false, nothing changed.
bool build_bond_sorts(StructureModel& model, Messages& messages);

// Each generated atom takes the colour of the element sort of its symbol;
// white when no sort matches or the sort's colour is 0 (black).
void assign_atom_colours(StructureModel& model);

// Default colour of an element symbol (upper case, trimmed); white when
// the symbol has none.
Colour default_colour(std::string_view symbol);

} // namespace kestro

#pragma once
// Space groups named by their Hall symbol ("-P 2ybc", "-F 4vw 2vw 3",
// "P 2ac 2ab (0 0 1)"), read with gemmi's Hall-symbol generator and
// named from its table of settings.

#include <string_view>

#include "model/structure_model.h"

namespace kestro {

// The full operator list of a Hall symbol: one position per rotation, then
// the copies shifted by each centring vector, translations in [0, 1). When
// the inversion through the origin belongs to the group the proper
// rotations come first and their inverted copies (-R, -t) after them, as
// the catalogues list a group. Sets the texts (none selected), centro_flag,
// listed_operator_count, centring_count, lattice_letter (the Hall symbol's
// lattice letter) and space_group: the compact Hermann-Mauguin symbol of
// the setting these operators make ("P121/c1", "Fd-3m:2"), else the Hall
// symbol as given. False, and nothing changed, for a text that is no Hall
// symbol and for a group of more than 192 operators.
bool positions_of_hall(StructureModel& model, std::string_view hall);

} // namespace kestro

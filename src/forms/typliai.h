#pragma once
// The bond-length dialog (Tftypliai, "Modif the bond lengths") as a grid of
// texts: one row per bond sort below a header row, columns first element,
// second element, maximum length. The window only shows the grid.

#include <array>
#include <string>
#include <vector>

#include "model/messages.h"
#include "model/structure_model.h"

namespace kestro::typliai {

struct BondLimitGrid {
    std::vector<std::array<std::string, 3>> rows; // row 0 is the header
};

// One header row and a row per bond sort: 'CL' shows as 'Cl', the limit as
// width 6 with 2 decimals.
void initialisation(const StructureModel& model, BondLimitGrid& grid);

// Stores column 2 of rows 1 to the bond-sort count as the limits. The first
// row that is missing or not a number (point as separator: '1,5' is refused)
// shows "Read error at line " n and gives false; the rows before it keep
// their new values.
bool sortie(StructureModel& model, const BondLimitGrid& grid, Messages& messages);

} // namespace kestro::typliai

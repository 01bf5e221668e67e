#pragma once
// The main window's "Asymetric unit contents" grid as texts: one row per
// atom with its number, label, x, y, z and six displacement values in the
// expression the user chose, read back into the asymmetric unit.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "model/structure_model.h"
#include "model/thermal.h"

namespace kestro::mainmenu {

// "No", "Atome", "X", "Y", "Z", then the six displacement values.
constexpr int AtomColumns = 11;
constexpr int FirstCoordinateColumn = 2;
constexpr int FirstThermalColumn = 5;

// A cell: its text and, while that text is the one the program wrote, the
// value it was written from, so that a cell read back unedited keeps the
// precision its rounded text lost.
struct AtomCell {
    std::string text;
    std::optional<double> exact;
    bool operator==(const AtomCell&) const = default;
};
using AtomGridRow = std::array<AtomCell, AtomColumns>;

// "No", "Atome", "X", "Y", "Z", "u11" .. "u23" (or "B11" .., "Beta11" ..).
std::array<std::string, AtomColumns> atom_grid_headers(ThermalExpression shown_as);

// The asymmetric unit: x, y, z width 9 with 5 decimals, the displacement
// values in the chosen expression width 9 with 6 decimals, left empty
// where |Uij| is below 1e-6.
std::vector<AtomGridRow> atom_grid_rows(const StructureModel& model, ThermalExpression shown_as);

// A cell box or grid cell as a number: '5.' and ' .5' repaired first.
std::optional<double> read_number(const std::string& text);

// A cell the grid cannot give (row and column from 0) and what to say.
struct AtomGridFault {
    int row = 0;
    int column = 0;
    std::string message;
};

// The rows into the asymmetric unit, which is emptied first. A row with an
// empty label is skipped; the label is trimmed, upper case, 4 characters
// at most. An empty coordinate becomes "  0", an empty displacement value
// "0", in the rows too. A cell that is not a number stops the reading
// ("Erreur à la ligne R ,colonne C"); so does a value no crystal has (its
// reason and " (line R)"), after the whole grid is read. Rows past the
// table's capacity are not read.
std::optional<AtomGridFault> read_atom_grid(StructureModel& model, std::vector<AtomGridRow>& rows,
                                            ThermalExpression shown_as);

enum class RowEdit {
    None,    // nothing to do
    Edited,  // texts put in upper case; a new label got its number and defaults
    Deleted, // the row's label was emptied: the rows below moved up
};

// The user left cell `column` of grid row `row` (from 1). An emptied label
// deletes its row (the numbers below follow, a cell keeps its exact value
// as it moves). Otherwise the row's texts go to upper case, and leaving the
// label gives the row its number and fills its empty cells: "0.05" for the
// first displacement value, "0" for the others.
RowEdit modif_ligne(std::vector<AtomGridRow>& rows, int row, int column);

} // namespace kestro::mainmenu

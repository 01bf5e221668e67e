#pragma once
// Symmetry operators as text (the grid, the catalogues, the structure file),
// completion of a list by the inversion and the lattice centring, and the
// selection commands of the "Equivalent positions" grid.

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

// The "Equivalent positions" grid as plain texts: row 0 holds the headers,
// row i operator i of the full list; columns "Nb", "a", "b", "c", "Selected".
struct OperatorGrid {
    static constexpr int rows = 200;
    static constexpr int columns = 5;
    static constexpr int selected_column = 4;

    // Throws std::out_of_range outside the grid.
    std::string& cell(int col, int row) { return cells.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(col)); }
    const std::string& cell(int col, int row) const { return cells.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(col)); }

    std::array<std::array<std::string, columns>, rows> cells{};
    std::array<int, columns> column_widths{}; // pixels; 0 leaves the widget's default
};

// Headers and widths, then one row per operator of the full list with "*"
// in column 4 for a selected one. Stores the reduced translations back.
void fill_operator_grid(StructureModel& model, OperatorGrid& grid);

// Rebuilds model.selected_operators and model.selected from the rows 1 to
// the full-list count (stopping at the first row whose column 1 is empty).
// A component that holds none of the eight coordinate forms, or whose
// remaining text is not a number or a fraction of two numbers, shows
// "Decoding Error!" and stops the reading: false is returned, and the
// operators decoded so far, the current one included, stay selected.
bool read_operator_grid(StructureModel& model, const OperatorGrid& grid, Messages& messages);

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

// The cell the user last moved to in the grid.
struct GridSelection {
    int col = -1;
    int row = -1;
};

// "Select All": marks every row down to the first empty one, then reads the grid.
bool selecte_tout(StructureModel& model, OperatorGrid& grid, Messages& messages);
// "Unselect All": clears the marks from row 2 down; row 1 keeps its mark.
void deselecte_tut(StructureModel& model, OperatorGrid& grid);
void on_select_cell(GridSelection& selection, int col, int row);
// Toggles the mark of the remembered cell when it lies in column 4 of a data row.
void on_click_stringgrid1(StructureModel& model, OperatorGrid& grid, const GridSelection& selection);

} // namespace kestro

#include <optional>

namespace kestro {

// One operator as CIF and SHELX files write it: three comma-separated
// components, each a signed sum of x, y, z and a translation, in any order
// and case ("-x+y", "1/2-x", "x+1/2", "-Z+0.5", "y-x+1/3"); quotes and blanks
// are ignored. Nothing for a text that is not three such components, for a
// zero denominator, and for a rotation part that cannot be inverted.
std::optional<SymmetryOperator> parse_operator_xyz(std::string_view text);

} // namespace kestro

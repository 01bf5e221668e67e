#pragma once
// The main window's logic that needs no Qt: the cell rules of the crystal
// systems, the "Equivalent positions" grid, the space-group lists and the
// "Generation options" list.

#include <array>
#include <string>
#include <string_view>

#include "crystal/generation.h"
#include "model/messages.h"
#include "model/structure_model.h"

namespace kestro::mainmenu {

// The cell boxes a, b, c, alpha, beta, gamma (1 to 6) under a crystal
// system: the boxes the system fixes (shown grey), the value a fixed angle
// takes, and the box whose text a box repeats (b = a in tetragonal, beta =
// gamma = alpha in rhombohedral).
struct CellRules {
    std::array<bool, 6> fixed{};
    std::array<const char*, 6> fixed_text{}; // "90", "120", or null
    std::array<int, 6> copies{};             // box 1 to 6 repeated, 0 for none
};

// By the four-letter code: CUBI, TETR, ORTH, HEXA, RHOM, MONO; anything else
// (TRIC) fixes nothing.
CellRules cell_rules(std::string_view system_code);

// The six box texts after the rules: fixed angles written, copies made from
// the texts as they were.
std::array<std::string, 6> apply_cell_rules(const CellRules& rules, const std::array<std::string, 6>& texts);

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
};
constexpr std::array<std::string_view, OperatorGrid::columns> OperatorGridHeaders{"Nb", "a", "b", "c", "Selected"};

// Every cell emptied but the headers.
void clear_operator_grid(OperatorGrid& grid);

// The headers, then one row per operator of the full list with "*"
// in column 4 for a selected one. Stores the reduced translations back.
void fill_operator_grid(StructureModel& model, OperatorGrid& grid);

// Rebuilds model.selected_operators and model.selected from the rows 1 to
// the full-list count (stopping at the first row whose column 1 is empty).
// A component that holds none of the eight coordinate forms, or whose
// remaining text is not a number or a fraction of two numbers, shows
// "Decoding Error!" and stops the reading: false is returned, and the
// operators decoded so far, the current one included, stay selected.
bool read_operator_grid(StructureModel& model, const OperatorGrid& grid, Messages& messages);

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

// What the list and the window do after a click.
struct OptionChoice {
    GenerationDialog dialog = GenerationDialog::None; // dialog to show now
    std::array<bool, 5> checked{};                    // check state of the five items
    int selected_item = -1;                           // item to select, -1 to leave the selection
    bool operators_read = true;                       // false when "Cell contents" met a grid it could not decode
};

// The list with only `item` checked and selected.
OptionChoice only_item(GenerationItem item);
// The item that stored options check: cell contents before fragments,
// sphere and box; none of them gives "No option".
GenerationItem checked_item(const GenerationOptions& options);

// An item of the list was checked or unchecked: sets the option flags (and
// for "Cell contents" the box, the reduction flag and the full selection).
OptionChoice on_click_checklistbox(StructureModel& model, OperatorGrid& grid, Messages& messages, int item,
                                   bool checked);

// The user chose a symbol in the standard list, or an item of the MIRALDO
// list: the full operator list with inversion and centring, every text,
// only the identity selected, data_changed set, the generation option in
// force (`option_item`, GenerationItem as int, -1 none) applied again, the
// grid filled and read back, and the bond search run. `grid` is the
// window's positions grid, left filled. False when the symbol could not be
// loaded (the message has been shown); the operator list, symbol, lattice
// letter and flags are then as they were. Showing "Space Group: " and the
// symbol, and clearing the other list's selection, are the window's part.
// click_groupe_miraldo reads the positions through a private directory and
// leaves a copy of scfs.dat in model.program_directory; an R setting on
// hexagonal axes (":H") gets the R centring whatever model.system_code, one
// on rhombohedral axes (":R") none (lattice letter "P").
bool click_groupe(StructureModel& model, const std::string& symbol, OperatorGrid& grid, int option_item,
                  Messages& messages);
bool click_groupe_miraldo(StructureModel& model, const std::string& item, OperatorGrid& grid, int option_item,
                          Messages& messages);

// The main window's caption for the structure read from `file`.
std::string data_caption(const StructureModel& model, const std::string& file);

// The plot's generation once the grids are read: "No coordinates!" for an
// empty asymmetric unit; the element and bond sorts built when the atoms
// changed or none exist; the atoms generated, with the busy cursor; "No
// data" when none came out. A reference file that cannot be read gives its
// message. False when there is nothing to draw.
bool plot_generation(StructureModel& model, bool atoms_changed, Messages& messages);

} // namespace kestro::mainmenu

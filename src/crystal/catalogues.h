#pragma once
// The space-group catalogues: the standard-symbol files (one per crystal
// system, "CUBI.pos" ... "TRIC.pos"), the settings list "spgr.dat", the
// symbols by number "spa.grp", and the positions written by the miraldo
// library into "scfs.dat". Reference files are read from data_directory;
// "scfs.dat" lives in program_directory. A missing file or a malformed
// integer line throws IoError naming the file and the line.

#include <string>
#include <string_view>
#include <vector>

#include "crystal/operators.h"
#include "model/messages.h"
#include "model/structure_model.h"

namespace kestro {

// A space-group symbol as the catalogues are searched: blanks and quotes
// removed, upper case ("P 21/C" and "p21/c" give "P21/C").
std::string compact_symbol(std::string_view symbol);

// The equivalent positions of a symbol read from a structure file ("P 21/c",
// "P 1 21/n 1", "R -3 :H", in any case): the standard list whose symbol
// matches it without regard to case and blanks (the list of
// model.system_code first, then the other systems' lists), else the settings
// the miraldo library knows. Fills the full list with inversion and centring
// and every text, centro_flag, listed_operator_count, lattice_letter, and
// model.space_group in the catalogue's spelling; no operator is selected.
// False when no catalogue knows the symbol (nothing changed). IoError for a
// missing or malformed catalogue.
bool positions_of_symbol(StructureModel& model, const std::string& symbol);

// Lines of spgr.dat for each system, 1-based and inclusive: TRIC 1-18,
// MONO 19-178, ORTH 179-370, TETR 371-480, RHOM 481-525, HEXA 526-557,
// CUBI 558-637. False for an unknown code.
bool miraldo_range(const std::string& system_code, int& first, int& last);

// The symbols of the standard list of model.system_code, in file order.
std::vector<std::string> fill_standard_list(const StructureModel& model);
// The MIRALDO list items of model.system_code: symbol padded to 12, Hall
// symbol to 21, number to 3.
std::vector<std::string> fill_miraldo_list(const StructureModel& model);

// The block of model.space_group in the system's .pos file into the full
// operator list (texts included), centro_flag and listed_operator_count.
// False when the symbol is not in the file (the list is left as it was).
bool read_standard_group(StructureModel& model);

// The user chose a symbol in the standard list, or an item of the MIRALDO
// list: the full operator list with inversion and centring, every text,
// only the identity selected, data_changed set, the generation option in
// force (`option_item`, GenerationItem as int, -1 none) applied again, the
// grid filled and read back, and the bond search run. `grid` is the
// window's positions grid, left filled. False when the symbol could not be
// loaded (the message has been shown); the operator list, symbol, lattice
// letter and flags are then as they were. Showing "Space Group: " and the
// symbol, and clearing the other list's selection, are the window's part.
// click_groupe_miraldo has the miraldo library write scfs.dat into
// model.program_directory and reads it from there; an R setting on
// hexagonal axes (":H") gets the R centring whatever model.system_code, one
// on rhombohedral axes (":R") none (lattice letter "P").
bool click_groupe(StructureModel& model, const std::string& symbol, OperatorGrid& grid, int option_item,
                  Messages& messages);
bool click_groupe_miraldo(StructureModel& model, const std::string& item, OperatorGrid& grid, int option_item,
                          Messages& messages);

// Reads scfs.dat as the miraldo library writes it: first line skipped,
// 12 numbers per line ('.5' and '-.5' accepted), blanks or commas between.
// Replaces the full operator list. IoError when missing or malformed.
void read_scfs_file(StructureModel& model, const std::string& path);

// spa.grp: the symbol of a space-group number (1..230), then its positions
// from the catalogue with inversion and centring. False when the number is
// outside the file or the symbol is not in the system's .pos file (the
// list is then left as it was); IoError for a missing or malformed file.
bool symbol_from_number(StructureModel& model, int number);

// After a load: lattice letter (P for "RHOM"), and the list rows to select:
// the index in the standard list, else in the MIRALDO list; -1 for none.
// Symbols are compared in upper case; model.space_group keeps its spelling.
struct LoadedGroupSelection {
    int system_row = -1;   // row of the system list ("Cubic" = 0 ... "Tricl." = 6)
    int standard_row = -1;
    int miraldo_row = -1;
};
LoadedGroupSelection select_loaded_group(StructureModel& model, const std::vector<std::string>& standard_items,
                                         const std::vector<std::string>& miraldo_items);

} // namespace kestro

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

// A symbol as some files write it, made plain for the catalogues (without
// blanks): subscript marks dropped ("P2_1/n", "P_1", "P2(1)2(1)2(1)"),
// a note in braces, or in parentheses when it speaks of the origin,
// removed ("F d -3 m {origin @ centre (-3m)}"). The catalogues hold origin
// choice 2 where a group has two; a note that puts the origin elsewhere
// ("origin choice 1", "{origin @ -43m}") gives the suffix ":1".
std::string plain_symbol(std::string_view written);

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


// What a space-group choice replaces, put back when the choice fails.
struct GroupState {
    Table<SymmetryOperator, MaxOperators> operators;
    std::string space_group;
    std::string lattice_letter;
    int centro_flag = 0;
    int listed_operator_count = 0;
    int centring_count = 0;

    explicit GroupState(const StructureModel& m)
        : operators(m.operators), space_group(m.space_group), lattice_letter(m.lattice_letter),
          centro_flag(m.centro_flag), listed_operator_count(m.listed_operator_count),
          centring_count(m.centring_count)
    {
    }
    void restore(StructureModel& m) const
    {
        m.operators = operators;
        m.space_group = space_group;
        m.lattice_letter = lattice_letter;
        m.centro_flag = centro_flag;
        m.listed_operator_count = listed_operator_count;
        m.centring_count = centring_count;
    }
};

inline constexpr const char* TooManyOperators = "Too many symmetry operators";

// The centring of a MIRALDO setting. An R setting names its axes: on
// hexagonal axes (":H") it gets the R centring whatever the cell system, on
// rhombohedral axes (":R") none, so that the group does not depend on the
// list it was chosen from. False when the list would not fit.
bool add_setting_centring(StructureModel& model, const std::string& symbol);

// The positions of a setting from the settings library, which writes them
// into "scfs.dat" of a private directory of the call, so two processes never
// read each other's file and loading needs no writable working directory. A
// copy goes to `keep_in` when given (the settings window leaves it beside
// the reports). False for a symbol the library does not know (the model
// untouched); IoError when the file cannot be written or read.
bool read_setting_positions(StructureModel& model, const std::string& symbol, const std::string& keep_in = {});

// Reads scfs.dat as the miraldo library writes it: first line skipped,
// 12 numbers per line ('.5' and '-.5' accepted), blanks or commas between.
// Replaces the full operator list. IoError when missing or malformed.
void read_scfs_file(StructureModel& model, const std::string& path);

// spa.grp: the symbol of a space-group number (1..230), then its positions
// from the catalogue with inversion and centring. False when the number is
// outside the file or the symbol is not in the system's .pos file (the
// list is then left as it was); IoError for a missing or malformed file.
bool symbol_from_number(StructureModel& model, int number);

// The positions of space-group number (1..230) whatever system the cell
// suggests: its spa.grp symbol looked up by positions_of_symbol, which tries
// the cell's own list first. False, nothing changed, when spa.grp has no
// such line or no catalogue knows its symbol; IoError as above.
bool positions_of_number(StructureModel& model, int number);

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

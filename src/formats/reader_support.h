#pragma once
// What the readers of foreign structure files (SHELX, CIF, PowderCell,
// Lazy Pulverix) share: the blank-separated number list with the position
// of its first bad character, the label rule, and the end of every load.

#include <algorithm>
#include <array>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "model/fixed_text.h"
#include "model/messages.h"
#include "model/structure_model.h"

namespace kestro {

// The numbers of one line: commas count as blanks. Every token is counted;
// the first 11 are kept. error_position is that of the last token: 0 when it
// is a whole number, else the 1-based position of its first character that
// does not fit a number (1 when the token does not start like one). A token
// that is not a number gives 0, so first_bad (the 1-based place of the first
// such token, 0 when there is none) tells a typo in the middle of a line.
struct NumberList {
    static constexpr int capacity = 11;
    std::array<double, capacity> values{};
    int count = 0;
    int error_position = 0;
    int first_bad = 0;
    std::array<bool, capacity> bad{}; // of the kept tokens

    // Value k, 1-based; 0 past the count or the capacity.
    double operator[](int k) const
    {
        return k >= 1 && k <= capacity ? values[static_cast<std::size_t>(k - 1)] : 0.0;
    }
    // Every one of these places (1-based) that the line has holds a number.
    bool numbers_at(std::initializer_list<int> places) const
    {
        for (const int k : places)
            if (k >= 1 && k <= std::min(count, capacity) && bad[static_cast<std::size_t>(k - 1)]) return false;
        return true;
    }
};
NumberList decode_number_list(std::string_view text);

// Error position of one token read as a decimal number (0: it is one).
int number_error_position(std::string_view token);

// The stored form of a label read from a file: trimmed, upper case, a blank
// before a digit in second place where the label then fits in 4 characters
// ('C1' gives 'C 1', 'H12A' stays), at most 8 characters, no control
// characters.
AtomLabel stored_label(std::string_view text);

// What a reader says when the file holds more atoms than the asymmetric
// unit takes: "The number of atoms is > 10000!".
std::string too_many_atoms_text();

// The labels of one load: stored forms, noting those cut to 8 characters,
// so that the load can say once where a cut left two atoms one label.
class LabelReader {
public:
    AtomLabel operator()(std::string_view text);
    // "Labels longer than 8 characters were cut: ..." when a cut label names
    // more than one atom of the asymmetric unit; nothing otherwise.
    void report(const StructureModel& model, Messages& messages) const;

private:
    std::vector<std::string> cut_; // the labels as the file gave them
};

// a, b, c, alpha, beta, gamma from values first to first + 5 of the list,
// then the cell metric and the crystal system (which the catalogue lookup
// and the R centring need). False, with the metric's message, for a cell
// that cannot be used.
bool store_cell(StructureModel& model, const NumberList& values, int first, Messages& messages);

// Only the first operator of the full list selected, and it alone in the
// selected list.
void select_first_operator_only(StructureModel& model);

// The end of every foreign load, once the cell, operators and atoms are in
// the model: coordinates and displacements no crystal has are refused (the
// message names the atom, the field and the file), operator 1 alone
// selected, the bond sorts built and data_changed set. False, after its
// message, when the structure cannot be plotted.
bool finish_foreign_load(StructureModel& model, std::string_view file, Messages& messages);

// Inversion when the structure is centrosymmetric (centro_flag > 0), then
// the centring of model.lattice_letter. False, and a message shown, when the
// completed list would pass 192 operators (the list is then as read).
bool complete_operator_list(StructureModel& model, Messages& messages);

} // namespace kestro

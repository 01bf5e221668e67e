#pragma once
// Element symbols, atom labels and the repairs of number texts read from
// files and grids.

#include <string>
#include <string_view>

namespace kestro {

// Trimmed and upper case: the form in which element symbols are compared.
std::string symbol_key(std::string_view symbol);
// 'C1' becomes 'C 1': a blank as second character when it is a digit, so that
// the first two characters of every label are its element symbol.
std::string space_label(std::string_view label);
// Blanks removed, the second character lower case: 'CL' and 'C L' give 'Cl'.
std::string display_symbol(std::string_view symbol);
// First two characters of the label, trimmed, upper case: 'CL1' gives 'CL'.
std::string element_symbol(std::string_view label);
// Label without blanks, second character lower case, at most 8 characters:
// 'CL12' gives 'Cl12', 'H 1' gives 'H1'.
std::string display_label(std::string_view label);
// Empty gives "0"; " ." and ". " get their blank turned to 0, "-." becomes
// "-0.", a final "." gets "0" (each for its first occurrence only).
std::string repair_number_b(std::string_view text);

} // namespace kestro

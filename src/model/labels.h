#pragma once
// Element symbols, atom labels and the repairs of number texts read from
// files and grids.

#include <span>
#include <string>
#include <string_view>

namespace kestro {

// Trimmed and upper case: the form in which element symbols are compared.
std::string symbol_key(std::string_view symbol);
// The characters a label keeps: every one the file gives, up to 8.
constexpr std::size_t LabelWidth = 8;
// The field a label has in the files and reports when it fits: 4 characters.
constexpr std::size_t ShortLabelWidth = 4;

// 'C1' becomes 'C 1' and 'H12' 'H 12': a blank as second character when it
// is a digit and the label then still fits in 4 characters, so that the
// first two characters of such a label are its element symbol. 'H12A' stays.
std::string space_label(std::string_view label);
// Blanks removed, the second character lower case: 'CL' and 'C L' give 'Cl'.
std::string display_symbol(std::string_view symbol);
// Every element symbol, upper case, H to Og in atomic-number order, then D.
std::span<const std::string_view> element_symbols();
// True for the symbol of an element (any case, trimmed), deuterium included.
bool is_element_symbol(std::string_view symbol);
// The element a label names, upper case: the first character when a blank
// follows it ('C 1'), else its two leading letters when they name an element
// ('CL1', 'HG2'), else its first letter ('H12A', 'OW1', 'C121').
std::string element_symbol(std::string_view label);
// The element of a type symbol as files write it ('C', 'Cl', 'CL', 'O2-',
// 'Fe3+', 'Na1+'), upper case; empty when it names none.
std::string type_element(std::string_view type);
// Label without blanks, at most 8 characters, its second character in lower
// case when the element has two letters: 'CL12' gives 'Cl12', 'H 1' gives
// 'H1', 'H12A' stays, and 'CA1' of a carbon (element "C") stays 'CA1'.
std::string display_label(std::string_view label, std::string_view element);
std::string display_label(std::string_view label);
// Empty gives "0"; " ." and ". " get their blank turned to 0, "-." becomes
// "-0.", a final "." gets "0" (each for its first occurrence only).
std::string repair_number_b(std::string_view text);

} // namespace kestro

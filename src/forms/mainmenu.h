#pragma once
// The main window's logic that needs no Qt.

#include <array>
#include <string>
#include <string_view>

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

} // namespace kestro::mainmenu

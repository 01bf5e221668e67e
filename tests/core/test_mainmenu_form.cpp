// The main window's cell rules: a cell typed under each system comes out
// with that system's metric.
#include <gtest/gtest.h>

#include "forms/mainmenu.h"

using namespace kestro::mainmenu;

TEST(MainMenuCellRules, EachSystemGivesItsOwnCell)
{
    const std::array<std::string, 6> typed{"5", "6", "7", "80", "85", "95"};
    const struct {
        const char* system;
        std::array<std::string, 6> cell;
        std::array<bool, 6> grey;
    } cases[] = {
        {"CUBI", {"5", "5", "5", "90", "90", "90"}, {false, true, true, true, true, true}},
        {"TETR", {"5", "5", "7", "90", "90", "90"}, {false, true, false, true, true, true}},
        {"ORTH", {"5", "6", "7", "90", "90", "90"}, {false, false, false, true, true, true}},
        {"HEXA", {"5", "5", "7", "90", "90", "120"}, {false, true, false, true, true, true}},
        {"RHOM", {"5", "5", "5", "80", "80", "80"}, {false, true, true, false, true, true}},
        {"MONO", {"5", "6", "7", "90", "85", "90"}, {false, false, false, true, false, true}},
        {"TRIC", typed, {}},
    };
    for (const auto& c : cases) {
        const CellRules rules = cell_rules(c.system);
        EXPECT_EQ(apply_cell_rules(rules, typed), c.cell) << c.system;
        EXPECT_EQ(rules.fixed, c.grey) << c.system;
    }
}

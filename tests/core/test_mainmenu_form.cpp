// The main window's cell rules, and its atom grid read into the
// asymmetric unit.
#include <gtest/gtest.h>

#include <memory>

#include "forms/atom_grid.h"
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

namespace {

kestro::StructureModel& one_atom(kestro::StructureModel& model, kestro::Vec3 xyz, kestro::Thermal6 u)
{
    kestro::AtomRecord atom;
    atom.label = "CL1";
    atom.xyz = xyz;
    atom.thermal = u;
    model.asym.push(atom);
    return model;
}

} // namespace

TEST(MainMenuAtomGrid, UneditedCellsKeepTheirPrecisionEditedOnesAreRead)
{
    auto model = std::make_unique<kestro::StructureModel>();
    one_atom(*model, {0.123456789, -0.5, 0.25}, {0.0123456789, 0.02, 0.03, 0, 0.001, 0});
    std::vector<AtomGridRow> rows = atom_grid_rows(*model, kestro::ThermalExpression::Bij);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][2].text, "  0.12346");
    EXPECT_EQ(rows[0][8].text, "");         // U12 = 0 is left empty
    rows[0][3] = {"-0.25", std::nullopt}; // typed by the user
    ASSERT_FALSE(read_atom_grid(*model, rows, kestro::ThermalExpression::Bij));
    const kestro::AtomRecord& atom = model->asym[1];
    EXPECT_EQ(atom.label.str(), "CL1");
    EXPECT_EQ(atom.xyz[0], 0.123456789);
    EXPECT_EQ(atom.xyz[1], -0.25);
    EXPECT_NEAR(atom.thermal[0], 0.0123456789, 1e-15);
    EXPECT_EQ(rows[0][8].text, "0"); // filled in the rows too
}

TEST(MainMenuAtomGrid, FaultsNameTheirCell)
{
    auto model = std::make_unique<kestro::StructureModel>();
    std::vector<AtomGridRow> rows(3);
    rows[1][1].text = "o1";
    rows[1][2].text = "0.1x";
    auto fault = read_atom_grid(*model, rows, kestro::ThermalExpression::Uij);
    ASSERT_TRUE(fault);
    EXPECT_EQ(fault->row, 1);
    EXPECT_EQ(fault->column, 2);
    EXPECT_EQ(fault->message, "Erreur \xC3\xA0 la ligne 2 ,colonne 3");

    rows[1][2].text = "2000";
    fault = read_atom_grid(*model, rows, kestro::ThermalExpression::Uij);
    ASSERT_TRUE(fault);
    EXPECT_EQ(fault->column, 2);
    EXPECT_NE(fault->message.find("(line 2)"), std::string::npos) << fault->message;
    EXPECT_EQ(rows[1][3].text, "  0");
}

TEST(MainMenuAtomGrid, AnEmptiedLabelDeletesItsRowANewOneFillsIt)
{
    auto model = std::make_unique<kestro::StructureModel>();
    one_atom(*model, {0.1, 0.2, 0.3}, {0.01, 0.01, 0.01, 0, 0, 0});
    one_atom(*model, {0.123456789, 0, 0}, {0.02, 0.02, 0.02, 0, 0, 0});
    std::vector<AtomGridRow> rows = atom_grid_rows(*model, kestro::ThermalExpression::Uij);
    rows.resize(4);
    rows[0][1].text = " ";
    EXPECT_EQ(modif_ligne(rows, 1, 2), RowEdit::Deleted);
    EXPECT_EQ(rows[0][0].text, "1");
    EXPECT_EQ(rows[0][2].exact, 0.123456789); // the exact value moved with its text
    EXPECT_EQ(rows[1], AtomGridRow{});

    rows[2][1].text = "n5";
    EXPECT_EQ(modif_ligne(rows, 3, 1), RowEdit::Edited);
    EXPECT_EQ(rows[2][0].text, "3");
    EXPECT_EQ(rows[2][1].text, "N5");
    EXPECT_EQ(rows[2][2].text, "0");
    EXPECT_EQ(rows[2][5].text, "0.05");
    EXPECT_EQ(rows[2][6].text, "0");
}

// The main window's data controls as plain texts: the cell rules of the
// crystal systems, the equivalent-positions grid, the generation options
// and the atom grid.
#include <gtest/gtest.h>

#include <memory>

#include "crystal/oemath.h"
#include "crystal/operators.h"
#include "forms/atom_grid.h"
#include "forms/mainmenu.h"
#include "operator_rows.h"
#include "recording_messages.h"

using namespace kestro;
using namespace kestro::mainmenu;

namespace {

using kestro_test::make_op;
using kestro_test::Row;

StructureModel& one_atom(StructureModel& model, Vec3 xyz, Thermal6 u)
{
    AtomRecord atom;
    atom.label = "CL1";
    atom.xyz = xyz;
    atom.thermal = u;
    model.asym.push(atom);
    return model;
}

} // namespace

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

TEST(MainMenuAtomGrid, UneditedCellsKeepTheirPrecisionEditedOnesAreRead)
{
    auto model = std::make_unique<StructureModel>();
    one_atom(*model, {0.123456789, -0.5, 0.25}, {0.0123456789, 0.02, 0.03, 0, 0.001, 0});
    model->asym[1].xyz_su = {0.0001, 0.0002, 0.0003};
    model->asym[1].file_label = "Cl(1)";
    std::vector<AtomGridRow> rows = atom_grid_rows(*model, ThermalExpression::Bij);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][2].text, "  0.12346");
    EXPECT_EQ(rows[0][8].text, "");         // U12 = 0 is left empty
    rows[0][3] = {"-0.25", std::nullopt}; // typed by the user
    ASSERT_FALSE(read_atom_grid(*model, rows, ThermalExpression::Bij));
    const AtomRecord& atom = model->asym[1];
    EXPECT_EQ(atom.label.str(), "CL1");
    EXPECT_EQ(atom.xyz[0], 0.123456789);
    EXPECT_EQ(atom.xyz[1], -0.25);
    // The file's s.u. stay with the coordinates the user left as they were.
    EXPECT_EQ(atom.xyz_su, (Vec3{0.0001, 0, 0.0003}));
    EXPECT_EQ(atom.file_label.str(), "Cl(1)");
    EXPECT_NEAR(atom.thermal[0], 0.0123456789, 1e-15);
    EXPECT_EQ(rows[0][8].text, "0"); // filled in the rows too
}

TEST(MainMenuAtomGrid, FaultsNameTheirCell)
{
    auto model = std::make_unique<StructureModel>();
    std::vector<AtomGridRow> rows(3);
    rows[1][1].text = "o1";
    rows[1][2].text = "0.1x";
    auto fault = read_atom_grid(*model, rows, ThermalExpression::Uij);
    ASSERT_TRUE(fault);
    EXPECT_EQ(fault->row, 1);
    EXPECT_EQ(fault->column, 2);
    EXPECT_EQ(fault->message, "Erreur \xC3\xA0 la ligne 2 ,colonne 3");

    rows[1][2].text = "2000";
    fault = read_atom_grid(*model, rows, ThermalExpression::Uij);
    ASSERT_TRUE(fault);
    EXPECT_EQ(fault->column, 2);
    EXPECT_NE(fault->message.find("(line 2)"), std::string::npos) << fault->message;
    EXPECT_EQ(rows[1][3].text, "  0");
}

TEST(MainMenuAtomGrid, AnEmptiedLabelDeletesItsRowANewOneFillsIt)
{
    auto model = std::make_unique<StructureModel>();
    one_atom(*model, {0.1, 0.2, 0.3}, {0.01, 0.01, 0.01, 0, 0, 0});
    one_atom(*model, {0.123456789, 0, 0}, {0.02, 0.02, 0.02, 0, 0, 0});
    std::vector<AtomGridRow> rows = atom_grid_rows(*model, ThermalExpression::Uij);
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

TEST(OperatorGridReader, ReadsOnlyListedMarkedRowsAndStopsAtAnError)
{
    StructureModel model;
    OperatorGrid grid;
    RecordingMessages messages;
    for (int i = 1; i <= 6; ++i) {
        grid.cell(1, i) = "X", grid.cell(2, i) = "Y", grid.cell(3, i) = "-X+Y", grid.cell(4, i) = "*";
    }
    grid.cell(3, 1) = "Z", grid.cell(3, 2) = "Z+1/2";
    grid.cell(4, 3) = " * "; // not exactly "*": unselected, never decoded
    model.operators.push(SymmetryOperator{}), model.operators.push(SymmetryOperator{}), model.operators.push(SymmetryOperator{});
    model.selected[3] = 1;
    EXPECT_TRUE(read_operator_grid(model, grid, messages)); // rows 4.. hold garbage below the count
    EXPECT_EQ(model.selected_operators.count(), 2);
    EXPECT_EQ(model.selected[3], 0);
    EXPECT_TRUE(messages.shown.empty());

    model.operators.push(SymmetryOperator{});
    EXPECT_FALSE(read_operator_grid(model, grid, messages));
    EXPECT_EQ(model.selected_operators.count(), 3);
    EXPECT_EQ(model.selected[4], 1);

    grid.cell(1, 2) = " "; // an empty first component ends the list
    EXPECT_TRUE(read_operator_grid(model, grid, messages));
    EXPECT_EQ(model.selected_operators.count(), 1);
}

TEST(OperatorGrid, FillSelectAndToggle)
{
    StructureModel model;
    OperatorGrid grid;
    RecordingMessages messages;
    grid.cell(1, 5) = "stale";
    model.operators.push(make_op({1, 0, 0, -0.25}, {0, 1, 0, 0}, {0, 0, 1, 0}));
    model.operators.push(make_op({-1, 0, 0, 0}, {0, -1, 0, 0.5}, {0, 0, 1, 0}));
    model.operators.push(make_op({0, 1, 0, 0}, {1, 0, 0, 0}, {0, 0, -1, 0}));
    model.selected[2] = 2; // a flag other than 0, as a file may hold it, is on
    fill_operator_grid(model, grid);
    EXPECT_EQ(grid.cell(0, 0) + grid.cell(1, 0) + grid.cell(4, 0), "NbaSelected");
    EXPECT_EQ(grid.cell(0, 2) + grid.cell(1, 2) + grid.cell(2, 2) + grid.cell(4, 2), "2-X-Y+1/2*");
    EXPECT_EQ(grid.cell(1, 1), " X+3/4");
    EXPECT_DOUBLE_EQ(model.operators[1].rows[0][3], 0.75);
    EXPECT_EQ(grid.cell(4, 1) + grid.cell(1, 5), ""); // unselected; stale row cleared

    EXPECT_TRUE(selecte_tout(model, grid, messages));
    EXPECT_EQ(model.selected_operators.count(), 3);
    EXPECT_EQ(model.edit.data_changed, 1);

    model.edit.data_changed = 0;
    deselecte_tut(model, grid);
    EXPECT_EQ(grid.cell(4, 1) + "|" + grid.cell(4, 2) + "|" + grid.cell(4, 3), "*||");
    EXPECT_EQ(model.edit.data_changed, 1);
    EXPECT_EQ(model.selected_operators.count(), 3); // not read until the next plot

    GridSelection selection;
    on_select_cell(selection, 4, 3);
    on_click_stringgrid1(model, grid, selection);
    EXPECT_EQ(grid.cell(4, 3), "*");
    on_click_stringgrid1(model, grid, selection);
    EXPECT_EQ(grid.cell(4, 3), "");
    on_select_cell(selection, 4, 0); // the header is no mark
    on_click_stringgrid1(model, grid, selection);
    EXPECT_EQ(grid.cell(4, 0), "Selected");
}

TEST(OperatorGrid, FormatThenReadGivesTheSameOperators)
{
    const std::array<std::array<double, 3>, 8> forms{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {-1, 0, 0},
                                                      {0, -1, 0}, {0, 0, -1}, {1, -1, 0}, {-1, 1, 0}}};
    const std::array<double, 16> translations{0, 0.5, 1.0 / 3, 2.0 / 3, 0.25, 0.75, 1.0 / 6, 5.0 / 6,
                                              -0.25, -0.5, 1.5, 1.0, 0.125, -0.375, 0.1, 0.9999999999};
    auto row = [&](int v) {
        const auto& f = forms[v % 8];
        return Row{f[0], f[1], f[2], translations[(v / 8) % 16]};
    };
    StructureModel model;
    for (int i = 0; i < MaxOperators; ++i) model.operators.push(make_op(row(i), row(7 * i + 3), row(13 * i + 5)));
    const auto original = model.operators;
    OperatorGrid grid;
    RecordingMessages messages;
    fill_operator_grid(model, grid);
    ASSERT_TRUE(selecte_tout(model, grid, messages));
    ASSERT_EQ(model.selected_operators.count(), MaxOperators);
    for (int i = 1; i <= MaxOperators; ++i) {
        EXPECT_TRUE(same_operator(model.selected_operators[i], original[i], 1e-6)) << i;
    }
    EXPECT_FALSE(same_operator(make_op({1, 0, 0, 0.5}, {}, {}), make_op({1, 0, 0, 0.5002}, {}, {})));
    EXPECT_TRUE(same_operator(make_op({1, 0, 0, -0.25}, {}, {}), make_op({1, 0, 0, 0.75}, {}, {})));
}

TEST(GenerationOptionChoice, ItemsSetTheFlagsAndNameTheDialog)
{
    auto model = std::make_unique<StructureModel>();
    model->cell.a = model->cell.b = model->cell.c = 6;
    model->cell.alpha = model->cell.beta = model->cell.gamma = 90;
    RecordingMessages messages;
    ASSERT_TRUE(cell_metric(*model, messages));
    set_crystal_system(*model);
    for (const char* text : {"X,Y,Z", "-X,-Y,-Z"}) {
        model->operators.push(*parse_operator_xyz(text));
        model->selected_operators.push(*parse_operator_xyz(text));
    }
    OperatorGrid grid;
    fill_operator_grid(*model, grid);
    grid.cell(OperatorGrid::selected_column, 2).clear();

    OptionChoice c = on_click_checklistbox(*model, grid, messages, 1, true);
    EXPECT_EQ(c.dialog, GenerationDialog::Box);
    EXPECT_EQ(c.checked, (std::array<bool, 5>{false, true, false, false, false}));
    EXPECT_EQ(model->generation.box, 1);
    EXPECT_EQ(model->edit.data_changed, 1);

    c = on_click_checklistbox(*model, grid, messages, 2, true);
    EXPECT_EQ(c.dialog, GenerationDialog::Sphere);
    EXPECT_EQ(model->generation.box, 0);
    EXPECT_EQ(model->generation.sphere, 1);

    c = on_click_checklistbox(*model, grid, messages, 4, true);
    EXPECT_EQ(c.dialog, GenerationDialog::None);
    EXPECT_EQ(model->generation.cell_contents, 1);
    EXPECT_EQ(model->generation.box_reduce, 1);
    EXPECT_EQ(model->generation.box_size, (Vec3{1.01, 1.01, 1.01}));
    EXPECT_EQ(model->generation.centre, (Vec3{0.5, 0.5, 0.5}));
    EXPECT_EQ(model->system_code, "CUBI");
    EXPECT_EQ(model->selected_operators.count(), 2); // every row selected again
    EXPECT_EQ(grid.cell(OperatorGrid::selected_column, 2), "*");

    c = on_click_checklistbox(*model, grid, messages, 4, false);
    EXPECT_EQ(c.checked, (std::array<bool, 5>{true, false, false, false, false}));
    EXPECT_EQ(c.selected_item, 0);
    EXPECT_EQ(model->generation.cell_contents, 0);

    model->generation.fragments = 1;
    c = on_click_checklistbox(*model, grid, messages, 7, true); // not an item
    EXPECT_EQ(model->generation.fragments, 1);

    // A stored file's options check one item, cell contents first.
    GenerationOptions stored;
    stored.box = stored.cell_contents = 1;
    EXPECT_EQ(checked_item(stored), GenerationItem::CellContents);
    EXPECT_EQ(checked_item(GenerationOptions{}), GenerationItem::NoOption);
}

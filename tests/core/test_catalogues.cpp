// The catalogue readers and the two space-group choices of the main window,
// on the files of data/ and on small files written for the test.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "catalogue_groups.h"
#include "crystal/catalogues.h"
#include "crystal/generation.h"
#include "forms/mainmenu.h"
#include "miraldo.h"
#include "model/errors.h"
#include "model/file_io.h"
#include "recording_messages.h"
#include "temp_dir.h"

using namespace kestro;
using namespace kestro::mainmenu;

namespace {

StructureModel cubic_model(const TempDir& program)
{
    StructureModel model;
    model.data_directory = KESTRO_SOURCE_DATA_DIR;
    model.program_directory = program.path();
    model.system_code = "CUBI";
    model.cell.a = model.cell.b = model.cell.c = 5.0;
    model.cell.alpha = model.cell.beta = model.cell.gamma = 90.0;
    return model;
}

int selected_rows(const StructureModel& model)
{
    int n = 0;
    for (int i = 1; i <= model.operators.count(); ++i) n += model.selected[i];
    return n;
}

std::string item_of(const std::vector<std::string>& items, const std::string& symbol)
{
    for (const std::string& item : items) {
        if (item.substr(0, item.find(' ')) == symbol) return item;
    }
    return {};
}

std::array<int, 16> codes_of(const std::string& symbol)
{
    std::array<int, 16> codes{};
    codes.fill(32);
    for (std::size_t k = 0; k < symbol.size(); ++k) codes[k] = symbol[k];
    return codes;
}

void expect_io_error_naming(const std::function<void()>& call, const std::string& name)
{
    try {
        call();
        ADD_FAILURE() << "no IoError for " << name;
    } catch (const IoError& error) {
        EXPECT_NE(std::string(error.what()).find(name), std::string::npos) << error.what();
    }
}

} // namespace

TEST(Catalogues, MiraldoRangesAndListSizes)
{
    int first = 0, last = 0;
    EXPECT_TRUE(miraldo_range("RHOM", first, last));
    EXPECT_EQ(first, 481);
    EXPECT_EQ(last, 525);
    EXPECT_FALSE(miraldo_range("XXXX", first, last));

    TempDir program;
    StructureModel model = cubic_model(program);
    model.system_code = "TRIC";
    const std::vector<std::string> tric = fill_miraldo_list(model);
    ASSERT_EQ(tric.size(), 18u);
    EXPECT_EQ(tric[0], std::string("P1") + std::string(10, ' ') + "P 1" + std::string(18, ' ') + "1  ");
    model.system_code = "CUBI";
    const std::vector<std::string> cubi = fill_miraldo_list(model);
    ASSERT_EQ(cubi.size(), 80u);
    for (const std::string& item : cubi) EXPECT_EQ(item.size(), 36u) << item;
    EXPECT_NE(item_of(cubi, "Fd-3m:2"), "");
}

TEST(Catalogues, StandardChoiceOfAnFGroupGives192WithOnlyTheIdentitySelected)
{
    TempDir program;
    StructureModel model = cubic_model(program);
    RecordingMessages messages;
    OperatorGrid grid;
    ASSERT_TRUE(click_groupe(model, "Fm-3m", grid, -1, messages));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(model.listed_operator_count, 24);
    EXPECT_EQ(model.centro_flag, 1);
    EXPECT_EQ(model.lattice_letter, "F");
    EXPECT_EQ(model.operators.count(), 192);
    EXPECT_EQ(model.centring_count, 3);
    EXPECT_EQ(selected_rows(model), 1);
    EXPECT_EQ(model.selected[1], 1);
    EXPECT_EQ(model.selected_operators.count(), 1);
    EXPECT_EQ(model.edit.data_changed, 1);
    EXPECT_EQ(grid.cell(4, 1), "*");
    EXPECT_EQ(grid.cell(4, 2), "");
    EXPECT_EQ(model.operator_texts[1].str(), "X,Y,Z");
    EXPECT_EQ(model.operator_texts[49].str(), "X,Y+1/2,Z+1/2");
    EXPECT_EQ(keys_of(model), keys_of(gemmi::find_spacegroup_by_name("Fm-3m")->operations()));
}

TEST(Catalogues, CellContentsOptionSelectsEveryPosition)
{
    TempDir program;
    StructureModel model = cubic_model(program);
    RecordingMessages messages;
    OperatorGrid grid;
    ASSERT_TRUE(click_groupe(model, "Pm-3m", grid, static_cast<int>(GenerationItem::CellContents), messages));
    EXPECT_EQ(model.operators.count(), 48);
    EXPECT_EQ(selected_rows(model), 48);
    EXPECT_EQ(model.selected_operators.count(), 48);

    ASSERT_TRUE(click_groupe(model, "P213", grid, static_cast<int>(GenerationItem::Fragments), messages));
    EXPECT_EQ(model.operators.count(), 12);
    EXPECT_EQ(selected_rows(model), 1);
}

TEST(Catalogues, UnknownSymbolLeavesTheListAsItWas)
{
    TempDir program;
    StructureModel model = cubic_model(program);
    RecordingMessages messages;
    OperatorGrid grid;
    ASSERT_TRUE(click_groupe(model, "P213", grid, -1, messages));
    EXPECT_FALSE(click_groupe(model, "P2x3", grid, -1, messages));
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(model.operators.count(), 12);
    EXPECT_EQ(model.space_group, "P213");

    model.space_group = "Q99";
    EXPECT_FALSE(read_standard_group(model));
    EXPECT_EQ(model.operators.count(), 12);
}

TEST(Catalogues, MissingFilesGiveIoErrorsNamingThem)
{
    TempDir empty;
    StructureModel model;
    model.data_directory = empty.path();
    model.program_directory = empty.path();
    model.system_code = "CUBI";
    model.space_group = "Pm-3m";
    expect_io_error_naming([&] { read_standard_group(model); }, "CUBI.pos");
    expect_io_error_naming([&] { fill_standard_list(model); }, "CUBI.pos");
    expect_io_error_naming([&] { fill_miraldo_list(model); }, "spgr.dat");
    expect_io_error_naming([&] { symbol_from_number(model, 14); }, "spa.grp");
    expect_io_error_naming([&] { read_scfs_file(model, empty.file("scfs.dat")); }, "scfs.dat");

    // The choice itself shows the error and keeps the list.
    RecordingMessages messages;
    OperatorGrid grid;
    EXPECT_FALSE(click_groupe(model, "Pm-3m", grid, -1, messages));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].find("CUBI.pos"), std::string::npos);
}

TEST(Catalogues, MalformedBlocksAreRefusedWithTheirLine)
{
    TempDir data;
    StructureModel model;
    model.data_directory = data.path();
    model.system_code = "TRIC";
    model.space_group = "P1";
    model.operators.push(SymmetryOperator::identity());

    data.write("TRIC.pos", "\nP1\nx\n1\nX,Y,Z\n0\n");
    expect_io_error_naming([&] { read_standard_group(model); }, "line 3");
    data.write("TRIC.pos", "\nP1\n0\n500\nX,Y,Z\n0\n");
    expect_io_error_naming([&] { read_standard_group(model); }, "line 4");
    data.write("TRIC.pos", "\nP1\n0\n2\nX,Y,Z\nX,Y\n0\n");
    expect_io_error_naming([&] { read_standard_group(model); }, "line 6");
    data.write("TRIC.pos", "\nP1\n0\n1\nX+Y,Y,Z\n0\n");
    expect_io_error_naming([&] { read_standard_group(model); }, "line 5");
    data.write("TRIC.pos", "\nP1\n0\n3\nX,Y,Z\n");
    expect_io_error_naming([&] { read_standard_group(model); }, "TRIC.pos");
    EXPECT_EQ(model.operators.count(), 1);

    // A well-formed block with skipped lines, lower-case positions accepted.
    data.write("TRIC.pos", "\nP1\n0\n1\nx,y,z\n2\nskipped\nskipped\n\nP-1\n1\n1\nX,Y,Z\n0\n");
    EXPECT_EQ(fill_standard_list(model), (std::vector<std::string>{"P1", "P-1"}));
    model.space_group = "P-1";
    ASSERT_TRUE(read_standard_group(model));
    EXPECT_EQ(model.centro_flag, 1);
    EXPECT_EQ(model.operator_texts[1].str(), "X,Y,Z");
}

TEST(Catalogues, ScfsNumbersWithoutLeadingZero)
{
    TempDir dir;
    StructureModel model;
    const std::string path = dir.write("scfs.dat", "title line\n-.5,0,0,.5, 0 1 0 -.25\t0 0 -1 .75\n\n");
    read_scfs_file(model, path);
    ASSERT_EQ(model.operators.count(), 1);
    const auto& rows = model.operators[1].rows;
    EXPECT_DOUBLE_EQ(rows[0][0], -0.5);
    EXPECT_DOUBLE_EQ(rows[0][3], 0.5);
    EXPECT_DOUBLE_EQ(rows[1][3], -0.25);
    EXPECT_DOUBLE_EQ(rows[2][2], -1.0);
    EXPECT_DOUBLE_EQ(rows[2][3], 0.75);

    dir.write("scfs.dat", "title\n1 0 0 0 0 1 0 0 0 0 1\n");
    expect_io_error_naming([&] { read_scfs_file(model, path); }, "line 2");
    dir.write("scfs.dat", "title\n1 0 0 0 0 1 0 0 0 0 1 x\n");
    expect_io_error_naming([&] { read_scfs_file(model, path); }, "line 2");
    EXPECT_EQ(model.operators.count(), 1);
}

TEST(Catalogues, MiraldoWritesPositionsWithInversionWithoutCentring)
{
    TempDir dir;
    StructureModel model;
    for (const auto& [symbol, listed] : {std::pair<std::string, int>{"P21/c", 4}, {"Fm-3m", 48}, {"R-3c:H", 12},
                                         {"Fd-3m:2", 48}, {"P121/n1", 4}}) {
        SCOPED_TRACE(symbol);
        const std::array<int, 16> codes = codes_of(symbol);
        ASSERT_EQ(miraldo_positions_to(codes.data(), dir.path().c_str()), 0);
        read_scfs_file(model, dir.file("scfs.dat"));
        EXPECT_EQ(model.operators.count(), listed);
        model.lattice_letter = symbol.substr(0, 1);
        model.system_code = "HEXA";
        ASSERT_TRUE(add_centring(model));
        const std::string name = symbol == "P121/n1" ? "P 1 21/n 1" : symbol;
        const gemmi::SpaceGroup* sg = gemmi::find_spacegroup_by_name(name);
        ASSERT_NE(sg, nullptr);
        EXPECT_EQ(keys_of(model), keys_of(sg->operations()));
    }
    const std::array<int, 16> unknown = codes_of("Q42");
    EXPECT_EQ(miraldo_positions_to(unknown.data(), dir.path().c_str()), 1);
    EXPECT_EQ(miraldo_positions_to(codes_of("P1").data(), (dir.path() + "/missing").c_str()), 2);
}

TEST(Catalogues, MiraldoChoiceReadsTheProgramDirectory)
{
    TempDir program;
    StructureModel model = cubic_model(program);
    RecordingMessages messages;
    OperatorGrid grid;
    const std::vector<std::string> items = fill_miraldo_list(model);
    ASSERT_TRUE(click_groupe_miraldo(model, item_of(items, "Fd-3m:2"), grid, -1, messages));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(model.space_group, "Fd-3m:2");
    EXPECT_EQ(model.operators.count(), 192);
    EXPECT_EQ(selected_rows(model), 1);
    EXPECT_EQ(grid.cell(4, 1), "*");
    EXPECT_TRUE(file_exists(program.file("scfs.dat")));
    EXPECT_EQ(keys_of(model), keys_of(gemmi_setting("Fd-3m", false)->operations()));

    EXPECT_FALSE(click_groupe_miraldo(model, "Q42         ", grid, -1, messages));
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(model.operators.count(), 192);
}

TEST(Catalogues, RhombohedralSettingsGetTheCentringOfTheirAxes)
{
    TempDir program;
    StructureModel model = cubic_model(program);
    RecordingMessages messages;
    OperatorGrid grid;
    model.system_code = "RHOM";
    const std::vector<std::string> items = fill_miraldo_list(model);
    ASSERT_TRUE(click_groupe_miraldo(model, item_of(items, "R3:H"), grid, -1, messages));
    EXPECT_EQ(model.operators.count(), 9);
    EXPECT_EQ(model.system_code, "RHOM");
    model.system_code = "HEXA";
    ASSERT_TRUE(click_groupe_miraldo(model, item_of(items, "R3:R"), grid, -1, messages));
    EXPECT_EQ(model.operators.count(), 3);
}

TEST(Catalogues, LoadedGroupSelection)
{
    TempDir program;
    StructureModel model = cubic_model(program);
    model.system_code = "RHOM";
    model.space_group = "R-3";
    const std::vector<std::string> standard = fill_standard_list(model);
    const std::vector<std::string> miraldo = fill_miraldo_list(model);
    LoadedGroupSelection selection = select_loaded_group(model, standard, miraldo);
    EXPECT_EQ(model.lattice_letter, "P");
    EXPECT_EQ(selection.system_row, 4);
    ASSERT_GE(selection.standard_row, 0);
    EXPECT_EQ(standard[static_cast<std::size_t>(selection.standard_row)], "R-3");

    // A symbol from a file in upper case still finds the catalogue's spelling.
    model.system_code = "MONO";
    model.space_group = "P21/C";
    selection = select_loaded_group(model, fill_standard_list(model), fill_miraldo_list(model));
    EXPECT_EQ(model.lattice_letter, "P");
    EXPECT_EQ(selection.system_row, 5);
    EXPECT_GE(selection.standard_row, 0);

    model.space_group = "P1121/b";
    selection = select_loaded_group(model, fill_standard_list(model), fill_miraldo_list(model));
    EXPECT_EQ(selection.standard_row, -1);
    EXPECT_GE(selection.miraldo_row, 0);

    model.space_group = "";
    selection = select_loaded_group(model, {}, {});
    EXPECT_EQ(selection.standard_row, -1);
    EXPECT_EQ(selection.miraldo_row, -1);
}

TEST(Catalogues, SymbolFromNumber)
{
    TempDir program;
    StructureModel model = cubic_model(program);
    model.system_code = "MONO";
    ASSERT_TRUE(symbol_from_number(model, 14));
    EXPECT_EQ(model.space_group, "P21/c");
    EXPECT_EQ(model.lattice_letter, "P");
    EXPECT_EQ(model.operators.count(), 4);
    EXPECT_EQ(model.operator_texts[2].str(), "-X,Y+1/2,-Z+1/2");

    EXPECT_FALSE(symbol_from_number(model, 0));
    EXPECT_FALSE(symbol_from_number(model, 231));
    // 227 is cubic: not in MONO.pos, the list stays.
    EXPECT_FALSE(symbol_from_number(model, 227));
    EXPECT_EQ(model.space_group, "P21/c");
    EXPECT_EQ(model.operators.count(), 4);
}

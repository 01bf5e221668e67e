// The catalogue files of data/ against gemmi's tables: every standard block
// rebuilds its whole group, every settings line names a real setting.

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "catalogue_groups.h"
#include "crystal/catalogues.h"
#include "crystal/hall_symbols.h"
#include "crystal/operators.h"
#include "model/file_io.h"
#include "model/text.h"

using namespace kestro;

namespace {

StructureModel data_model(const std::string& system)
{
    StructureModel model;
    model.data_directory = KESTRO_SOURCE_DATA_DIR;
    model.system_code = system;
    return model;
}

// Loads a block the way the standard list does: listed positions, the
// inversion when flagged, the centring of the first letter.
void complete_block(StructureModel& model, const std::string& symbol)
{
    model.space_group = symbol;
    model.lattice_letter = symbol.substr(0, 1);
    ASSERT_TRUE(read_standard_group(model)) << symbol;
    if (model.centro_flag == 1) {
        ASSERT_TRUE(add_inversion(model));
    }
    ASSERT_TRUE(add_centring(model));
}

} // namespace

TEST(CatalogueData, EveryStandardBlockRebuildsGemmisGroup)
{
    std::map<int, int> numbers_seen;
    int rhombohedral_blocks = 0;
    for (const char* system : {"CUBI", "HEXA", "RHOM", "TETR", "ORTH", "MONO", "TRIC"}) {
        StructureModel model = data_model(system);
        const std::vector<std::string> symbols = fill_standard_list(model);
        for (const std::string& symbol : symbols) {
            SCOPED_TRACE(std::string(system) + " " + symbol);
            EXPECT_EQ(symbol.find(' '), std::string::npos);
            const bool rhombohedral = std::string(system) == "RHOM";
            const gemmi::SpaceGroup* sg = gemmi_setting(symbol, rhombohedral);
            ASSERT_NE(sg, nullptr);
            complete_block(model, symbol);
            const gemmi::GroupOps ops = sg->operations();
            EXPECT_EQ(model.operators.count(), static_cast<int>(ops.order()));
            EXPECT_EQ(keys_of(model), keys_of(ops));
            if (rhombohedral) ++rhombohedral_blocks;
            else ++numbers_seen[sg->number];
        }
    }
    EXPECT_EQ(rhombohedral_blocks, 7);
    ASSERT_EQ(numbers_seen.size(), 230u);
    for (const auto& [number, count] : numbers_seen) EXPECT_EQ(count, 1) << number;
}

TEST(CatalogueData, OriginChoiceTwoIsTheStandardOfFdMinus3m)
{
    StructureModel model = data_model("CUBI");
    complete_block(model, "Fd-3m");
    EXPECT_EQ(model.centro_flag, 1);
    EXPECT_EQ(model.listed_operator_count, 24);
    EXPECT_EQ(model.operators.count(), 192);
    // Origin at the centre: -x,-y,-z itself belongs to the group.
    SymmetryOperator inversion;
    inversion.rows = {{{-1, 0, 0, 0}, {0, -1, 0, 0}, {0, 0, -1, 0}}};
    EXPECT_TRUE(keys_of(model).count(key_of(inversion)));
}

TEST(CatalogueData, SettingsListHas637RealSettingsInTheirRanges)
{
    const std::vector<std::string> lines =
        split_lines(read_file_bytes(std::string(KESTRO_SOURCE_DATA_DIR) + "/spgr.dat"));
    ASSERT_EQ(lines.size(), 637u);
    const std::map<std::string, std::pair<int, int>> numbers{{"TRIC", {1, 2}},     {"MONO", {3, 15}},
                                                             {"ORTH", {16, 74}},   {"TETR", {75, 142}},
                                                             {"RHOM", {143, 167}}, {"HEXA", {168, 194}},
                                                             {"CUBI", {195, 230}}};
    for (const auto& [system, range] : numbers) {
        int first = 0, last = 0;
        ASSERT_TRUE(miraldo_range(system, first, last));
        for (int k = first; k <= last; ++k) {
            const std::string& line = lines[static_cast<std::size_t>(k - 1)];
            SCOPED_TRACE(line);
            ASSERT_EQ(line.size(), 49u);
            const std::string symbol = trim(line.substr(5, 12));
            const std::string hall = trim(line.substr(26, 20));
            const int number = std::stoi(line.substr(46, 3));
            EXPECT_GE(number, range.first);
            EXPECT_LE(number, range.second);
            EXPECT_FALSE(symbol.empty());
            EXPECT_EQ(trim(line.substr(17, 9)), "");

            // The symbol names a setting of gemmi's table whose group is the one
            // the Hall symbol generates, or, for a line with a moved origin
            // ("P 2 2 3 (3 3 3)"), the one generated without the shift; such a
            // line gives a group of the same order that the table does not hold.
            const gemmi::SpaceGroup* sg = nullptr;
            for (const gemmi::SpaceGroup& candidate : gemmi::spacegroup_tables::main) {
                if (to_upper(replace_all(candidate.xhm(), " ", "")) == to_upper(symbol)) sg = &candidate;
            }
            ASSERT_NE(sg, nullptr);
            EXPECT_EQ(sg->number, number);
            const gemmi::GroupOps ops = gemmi::symops_from_hall(hall.c_str());
            const std::size_t shift = hall.find(" (");
            if (ops.is_same_as(sg->operations())) continue;
            ASSERT_NE(shift, std::string::npos);
            EXPECT_EQ(gemmi::find_spacegroup_by_ops(ops), nullptr);
            const gemmi::GroupOps base = gemmi::symops_from_hall(hall.substr(0, shift).c_str());
            EXPECT_TRUE(base.is_same_as(sg->operations()));
            EXPECT_EQ(ops.order(), base.order());
        }
    }
}

TEST(CatalogueData, EveryNumberOfSpaGrpLoadsItsGroup)
{
    const std::vector<std::string> lines =
        split_lines(read_file_bytes(std::string(KESTRO_SOURCE_DATA_DIR) + "/spa.grp"));
    ASSERT_EQ(lines.size(), 230u);
    const char* systems[] = {"TRIC", "MONO", "ORTH", "TETR", "HEXA", "HEXA", "CUBI"};
    const int last_numbers[] = {2, 15, 74, 142, 167, 194, 230};
    int system = 0;
    for (int n = 1; n <= 230; ++n) {
        while (n > last_numbers[system]) ++system;
        StructureModel model = data_model(systems[system]);
        ASSERT_TRUE(symbol_from_number(model, n)) << n;
        const gemmi::SpaceGroup* sg = gemmi_setting(model.space_group, false);
        ASSERT_NE(sg, nullptr) << model.space_group;
        EXPECT_EQ(sg->number, n);
        EXPECT_EQ(keys_of(model), keys_of(sg->operations())) << model.space_group;
    }
}

TEST(CatalogueData, EveryHallSymbolOfTheSettingsListGivesItsGroup)
{
    const std::vector<std::string> lines =
        split_lines(read_file_bytes(std::string(KESTRO_SOURCE_DATA_DIR) + "/spgr.dat"));
    ASSERT_EQ(lines.size(), 637u);
    for (const std::string& line : lines) {
        const std::string hall = trim(line.substr(26, 20));
        SCOPED_TRACE(hall);
        StructureModel model = data_model("TRIC");
        ASSERT_TRUE(positions_of_hall(model, hall));
        const gemmi::GroupOps ops = gemmi::symops_from_hall(hall.c_str());
        EXPECT_EQ(model.operators.count(), ops.order());
        EXPECT_EQ(keys_of(model), keys_of(ops));
        EXPECT_EQ(model.centring_count + 1, static_cast<int>(ops.cen_ops.size()));
    }
    // Texts that are no Hall symbol never reach gemmi's parser where it
    // would write out of bounds (a subscript without an axis), nor a long
    // change of basis.
    for (const char* bad : {"P 21'", "P 3 21", "P 11", "P 1 (x,y,z)", "P 2 (0 0 1", "-", "Q 1", "P 2 (0 0 123)"}) {
        StructureModel model = data_model("TRIC");
        EXPECT_FALSE(positions_of_hall(model, bad)) << bad;
        EXPECT_EQ(model.operators.count(), 0);
    }
}

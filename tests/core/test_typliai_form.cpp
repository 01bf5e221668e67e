// The bond-length dialog as a grid of texts: filled from the bond sorts, the
// edited limits read back.
#include <gtest/gtest.h>

#include <memory>

#include "forms/typliai.h"
#include "recording_messages.h"

using namespace kestro;
using namespace kestro::typliai;

namespace {

std::unique_ptr<StructureModel> with_sorts()
{
    auto model = std::make_unique<StructureModel>();
    for (const BondSort& sort : {BondSort{"C", "CL", 2.1}, BondSort{"CL", "FE", 3.012}, BondSort{"H", "H", 0.888}})
        model->bond_sorts.push(sort);
    return model;
}

using Row = std::array<std::string, 3>;

} // namespace

TEST(BondLimits, GridShowsOneRowPerSortAndReadsTheEditsBack)
{
    auto model = with_sorts();
    BondLimitGrid grid;
    grid.rows.resize(50, {"stale", "stale", "stale"});
    initialisation(*model, grid);
    ASSERT_EQ(grid.rows.size(), 4u);
    EXPECT_EQ(grid.rows[1], (Row{"C", "Cl", "  2.10"}));
    EXPECT_EQ(grid.rows[2], (Row{"Cl", "Fe", "  3.01"}));
    EXPECT_EQ(grid.rows[3], (Row{"H", "H", "  0.89"}));

    grid.rows[1][2] = " 1.75 ";
    grid.rows[3][2] = "+0.5";
    RecordingMessages messages;
    ASSERT_TRUE(sortie(*model, grid, messages));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_DOUBLE_EQ(model->bond_sorts[1].max_length, 1.75);
    EXPECT_DOUBLE_EQ(model->bond_sorts[2].max_length, 3.01); // the text shown, not the old 3.012
    EXPECT_DOUBLE_EQ(model->bond_sorts[3].max_length, 0.5);

    auto empty = std::make_unique<StructureModel>();
    initialisation(*empty, grid);
    EXPECT_EQ(grid.rows.size(), 1u); // the header alone
}

TEST(BondLimits, TheFirstRowThatIsNotANumberStopsTheReadingThere)
{
    for (const char* bad : {"1,5", "", "1.5x", "nan", "inf"}) {
        auto model = with_sorts();
        BondLimitGrid grid;
        initialisation(*model, grid);
        grid.rows[1][2] = "2.5", grid.rows[2][2] = bad, grid.rows[3][2] = "9";
        RecordingMessages messages;
        EXPECT_FALSE(sortie(*model, grid, messages)) << bad;
        EXPECT_EQ(messages.shown, std::vector<std::string>{"Read error at line 2"}) << bad;
        EXPECT_DOUBLE_EQ(model->bond_sorts[1].max_length, 2.5) << bad; // kept
        EXPECT_DOUBLE_EQ(model->bond_sorts[2].max_length, 3.012) << bad;
        EXPECT_DOUBLE_EQ(model->bond_sorts[3].max_length, 0.888) << bad;

        grid.rows.resize(2); // a grid shorter than the sort list: refused at the first missing row
        grid.rows[1][2] = "1.0";
        EXPECT_FALSE(sortie(*model, grid, messages));
        EXPECT_EQ(messages.shown.back(), "Read error at line 2");
        EXPECT_DOUBLE_EQ(model->bond_sorts[1].max_length, 1.0);
    }
}

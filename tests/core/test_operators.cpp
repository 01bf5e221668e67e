// Operator texts, the equivalent-positions grid, inversion and centring.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "crystal/operators.h"
#include "forms/mainmenu.h"
#include "operator_rows.h"
#include "recording_messages.h"

using namespace kestro;
using namespace kestro::mainmenu;

namespace {

using kestro_test::make_op;
using kestro_test::Row;

// The 48 signed permutation matrices: point group m-3m.
std::vector<SymmetryOperator> m3m_operators()
{
    std::vector<SymmetryOperator> ops;
    std::array<int, 3> perm{0, 1, 2};
    do {
        for (int signs = 0; signs < 8; ++signs) {
            SymmetryOperator op;
            for (int r = 0; r < 3; ++r) op.rows[r][perm[r]] = (signs >> r & 1) ? -1 : 1;
            ops.push_back(op);
        }
    } while (std::next_permutation(perm.begin(), perm.end()));
    return ops;
}

// One operator typed into grid row 1 and read back.
struct GridRead {
    StructureModel model;
    OperatorGrid grid;
    RecordingMessages messages;
    bool ok = false;

    GridRead(const std::string& a, const std::string& b = "Y", const std::string& c = "Z")
    {
        model.operators.push(SymmetryOperator::identity());
        grid.cell(1, 1) = a, grid.cell(2, 1) = b, grid.cell(3, 1) = c, grid.cell(4, 1) = "*";
        ok = read_operator_grid(model, grid, messages);
    }
    Row first() { return model.selected_operators[1].rows[0]; }
};

} // namespace

TEST(OperatorFormat, FormsAndTranslations)
{
    const std::vector<std::pair<Row, std::string>> cases{
        {{1, 0, 0, 0}, " X"}, {{0, -1, 0, 0}, "-Y"}, {{0, 0, -1, 0}, "-Z"},
        {{1, -1, 0, 0}, " X-Y"}, {{-1, 1, 0, 0}, " Y-X"}, {{-0.0, 1, -0.0, 0}, " Y"},
        {{2, 0, 0, 0.5}, "+1/2"}, {{1, 0, 0, 0.0004}, " X    "}, {{0, 0, 1, 1.0 / 3}, " Z+1/3"},
        {{1, 0, 0, 5.0 / 6}, " X+5/6"}, {{1, 0, 0, 1.0}, " X"}, {{1, 0, 0, -0.0004}, " X"},
        // Outside the listed fractions the value is written, not dropped.
        {{1, 0, 0, 0.125}, " X+0.125"}, {{1, 0, 0, -1.25}, " X-0.25"}};
    for (auto [row, expected] : cases) EXPECT_EQ(format_operator_row(row), expected) << row[3];

    Row row{1, 0, 0, -0.25}; // 'X-1/4'
    EXPECT_EQ(format_operator_row(row), " X+3/4");
    EXPECT_DOUBLE_EQ(row[3], 0.75);
    Row high{0, 1, 0, 1.5};
    EXPECT_EQ(format_operator_row(high), " Y+1/2");
    EXPECT_DOUBLE_EQ(high[3], 0.5);

    SymmetryOperator op = make_op({-1, 0, 0, 0.5}, {0, 1, 0, 0}, {1, -1, 0, -1.0 / 3});
    EXPECT_EQ(operator_text(op), "-X+1/2,Y,X-Y+2/3");
    SymmetryOperator longest = make_op({1, -1, 0, 0.5}, {-1, 1, 0, 5.0 / 6}, {1, -1, 0, 1.0 / 6});
    EXPECT_LE(operator_text(longest).size(), 24u);
}

TEST(OperatorGridReader, ComponentsReadAlike)
{
    for (const char* text : {"-X+1/2", "1/2-X", "-X+ 1/2", " -x+0.5 "}) {
        GridRead read(text);
        ASSERT_TRUE(read.ok) << text;
        EXPECT_EQ(read.first(), (Row{-1, 0, 0, 0.5})) << text;
    }
    EXPECT_EQ(GridRead("X-1/4").first(), (Row{1, 0, 0, -0.25}));
    EXPECT_EQ(GridRead("Y-X").first(), (Row{-1, 1, 0, 0}));
    EXPECT_EQ(GridRead("X-Y+1/3").first(), (Row{1, -1, 0, 1.0 / 3}));
}

TEST(OperatorGridReader, MalformedComponentsAreDecodingErrors)
{
    // '-X+Y' must be written 'Y-X'; a translation needs a coordinate form.
    for (const char* text : {"-X+Y", "1/2", "", "X+1/0", "X+0/0", "X+0.5abc", "X+1/2/3", "X+inf", "X+nan",
                             "X+1,5", "X+1e999", "X+--1"}) {
        GridRead read("X", text);
        EXPECT_FALSE(read.ok) << text;
        EXPECT_EQ(read.messages.shown, std::vector<std::string>{"Decoding Error!"}) << text;
        EXPECT_EQ(read.model.selected_operators.count(), 1) << text; // the current one stays
        for (double v : read.model.selected_operators[1].rows[1]) EXPECT_TRUE(std::isfinite(v)) << text;
    }
}

TEST(OperatorCatalogue, ComponentReader)
{
    const std::vector<std::pair<std::string, double>> translations{
        {"+1/2", 0.5}, {"+1/3", 0.3333333}, {"+2/3", 0.6666667}, {"+1/4", 0.25}, {"+3/4", 0.75},
        {"+1/6", 0.166667}, {"+5/6", 0.83333}, {"-1/2", -0.5}, {"-1/3", -0.3333333}, {"-2/3", -0.6666667},
        {"-1/4", -0.25}, {"-3/4", -0.75}, {"-1/6", -0.166667}, {"-5/6", -0.83333}};
    for (const auto& [text, value] : translations) {
        Row row{};
        ASSERT_TRUE(read_catalogue_component("Y-X" + text, row)) << text;
        EXPECT_EQ(row, (Row{-1, 1, 0, value})) << text;
    }
    Row row{};
    EXPECT_TRUE(read_catalogue_component(" -Z    ", row));
    EXPECT_EQ(row, (Row{0, 0, -1, 0}));
    EXPECT_TRUE(read_catalogue_component("+1/2X", row));
    EXPECT_EQ(row, (Row{1, 0, 0, 0.5}));
    for (const char* bad : {"-X+Y", "X+1/8", "X    +1/2", "1/2+X", ""}) {
        Row untouched{7, 7, 7, 7};
        EXPECT_FALSE(read_catalogue_component(bad, untouched)) << bad;
        EXPECT_EQ(untouched, (Row{7, 7, 7, 7})) << bad;
    }
}

TEST(OperatorCompletion, InversionAndCentring)
{
    StructureModel model;
    model.operators.push(make_op({0, -1, 0, 0.75}, {1, 0, 0, 0.25}, {0, 0, 1, 0.25}));
    ASSERT_TRUE(add_inversion(model));
    ASSERT_EQ(model.operators.count(), 2);
    SymmetryOperator inverted = model.operators[2];
    EXPECT_EQ(inverted.rows[0], (Row{0, 1, 0, -0.75}));
    EXPECT_EQ(inverted.rows[1], (Row{-1, 0, 0, -0.25}));
    EXPECT_EQ(inverted.rows[2], (Row{0, 0, -1, -0.25}));
    EXPECT_FALSE(std::signbit(inverted.rows[0][0]));
    EXPECT_EQ(format_operator_row(inverted.rows[0]), " Y+1/4");

    // m-3m (48 signed permutations, the inversion included) with F-centring fills the list.
    StructureModel cubic;
    cubic.lattice_letter = "F";
    const auto m3m = m3m_operators();
    for (const auto& op : m3m) cubic.operators.push(op);
    ASSERT_TRUE(add_centring(cubic));
    EXPECT_EQ(cubic.operators.count(), 192);
    EXPECT_EQ(cubic.centring_count, 3);
    EXPECT_EQ(cubic.operators[49].rows[1][3] + cubic.operators[97].rows[0][3] + cubic.operators[145].rows[0][3], 1.5);
    for (int i = 1; i <= 192; ++i) {
        for (int j = i + 1; j <= 192; ++j) ASSERT_FALSE(same_operator(cubic.operators[i], cubic.operators[j])) << i << " " << j;
    }

    // No room: 49 operators refuse F (and 97 the inversion), nothing changes.
    StructureModel crowded;
    crowded.lattice_letter = "F";
    crowded.centring_count = 7;
    for (int i = 0; i < 49; ++i) crowded.operators.push(m3m[i % 48]);
    EXPECT_FALSE(add_centring(crowded));
    EXPECT_EQ(crowded.operators.count(), 49);
    EXPECT_EQ(crowded.centring_count, 7);
    for (int i = 0; i < 48; ++i) crowded.operators.push(m3m[i]);
    EXPECT_FALSE(add_inversion(crowded));
    EXPECT_EQ(crowded.operators.count(), 97);
}

TEST(OperatorCompletion, CentringVectorsAndReduction)
{
    StructureModel model;
    model.operators.push(make_op({1, 0, 0, 0.5}, {0, 1, 0, 0.5}, {0, 0, 1, 0}));
    model.lattice_letter = "R";
    model.system_code = "RHOM"; // R centring only in hexagonal axes
    EXPECT_TRUE(add_centring(model));
    EXPECT_EQ(model.operators.count() + model.centring_count, 1);

    model.system_code = "HEXA";
    ASSERT_TRUE(add_centring(model));
    ASSERT_EQ(model.operators.count() + model.centring_count, 3 + 2);
    EXPECT_NEAR(model.operators[2].rows[1][3], 0.1666666666, 1e-12); // 0.5 + 0.6666666666 - 1
    EXPECT_NEAR(model.operators[3].rows[2][3], 0.3333333333, 1e-12);

    model.lattice_letter = "i"; // letters compare case-insensitively
    ASSERT_TRUE(add_centring(model));
    EXPECT_EQ(model.operators[4].rows[0][3], 1.0); // exactly 1 stays 1
}

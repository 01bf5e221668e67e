// Element sorts, default bond sorts and atom colours, with rayons.cst
// written to a temporary directory.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "crystal/sorts.h"
#include "model/labels.h"
#include "model/errors.h"
#include "recording_messages.h"

#include "temp_dir.h"

using namespace kestro;
namespace fs = std::filesystem;

namespace {

void write_radii(const TempDir& dir, const char* text) { dir.write("rayons.cst", text); }


StructureModel with_atoms(const TempDir& dir, std::initializer_list<std::string> labels)
{
    StructureModel model;
    model.data_directory = dir.path();
    for (const std::string& label : labels) {
        AtomRecord atom;
        atom.label.assign(label);
        model.asym.push(atom);
    }
    return model;
}

// The first n elements, H, HE, LI, ..., one atom each ('H1', 'HE1', ...).
StructureModel with_elements(const TempDir& dir, int n)
{
    StructureModel model = with_atoms(dir, {});
    for (int i = 0; i < n; ++i) {
        AtomRecord atom;
        atom.label.assign(std::string(element_symbols()[static_cast<std::size_t>(i)]) + "1");
        model.asym.push(atom);
    }
    return model;
}

} // namespace

TEST(ElementSorts, InOrderOfFirstAppearanceWithRadiiAndColours)
{
    TempDir dir;
    write_radii(dir, " c \r\n 0.77\r\nN\r\n0.71\r\nFe\r\n1.52\r\nO\r\n0.66"); // no final line end
    // 'XX1' names no element: its sort is its first letter.
    StructureModel model = with_atoms(dir, {"O 1", "C 1", "CL1", "O 2", "FE1", "C 2", "XX1"});
    model.drawing.bond_colour = model.drawing.saved_background_colour = 0x123456;
    RecordingMessages messages;
    ASSERT_TRUE(build_element_sorts(model, messages));
    struct Expected {
        const char* symbol;
        double radius; // 0 when rayons.cst has no entry
        Colour colour;
    } const expected[] = {{"O", 0.66, 0x00FF00}, {"C", 0.77, 0x808080}, {"CL", 0, 0x808000},
                          {"FE", 1.52, 0x000080}, {"X", 0, 0xFFFFFF}};
    ASSERT_EQ(model.element_sorts.count(), 5);
    for (int i = 1; i <= 5; ++i) {
        const Expected& e = expected[i - 1];
        EXPECT_EQ(model.element_sorts[i].symbol, e.symbol);
        EXPECT_DOUBLE_EQ(model.element_sorts[i].radius, e.radius) << e.symbol;
        EXPECT_EQ(model.element_sorts[i].colour, e.colour) << e.symbol;
        EXPECT_EQ(model.element_colours[i], e.colour) << e.symbol;
    }
    const int sort_of_atom[] = {1, 2, 3, 1, 4, 2, 5};
    for (int i = 1; i <= 7; ++i) EXPECT_EQ(model.asym[i].element_sort, sort_of_atom[i - 1]) << i;
    EXPECT_EQ(model.drawing.bond_colour, 0x00FFFFu);
    EXPECT_EQ(model.drawing.saved_background_colour, 0xFFFFFFu);
}

TEST(ElementSorts, BondSortsAreThePairsWithTheirRadiiSumTimes1_2)
{
    TempDir dir;
    write_radii(dir, "C\n0.77\nO\n0.66\n");
    StructureModel model = with_atoms(dir, {"C 1", "O 1", "C 2"});
    RecordingMessages messages;
    ASSERT_TRUE(build_bond_sorts(model, messages));
    ASSERT_EQ(model.bond_sorts.count(), 3);
    const char* pairs[][2] = {{"C", "C"}, {"C", "O"}, {"O", "O"}};
    const double lengths[] = {1.848, 1.716, 1.584};
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(model.bond_sorts[i].element1, pairs[i - 1][0]);
        EXPECT_EQ(model.bond_sorts[i].element2, pairs[i - 1][1]);
        EXPECT_NEAR(model.bond_sorts[i].max_length, lengths[i - 1], 1e-12);
    }
    EXPECT_EQ(model.asym[3].element_sort, 1);
}

TEST(ElementSorts, TablesFillToTheirLimitsAndRefuseBeyondThem)
{
    TempDir dir;
    write_radii(dir, "C\n0.77\n");
    RecordingMessages messages;
    StructureModel model = with_elements(dir, 93);
    ASSERT_TRUE(build_element_sorts(model, messages));
    EXPECT_EQ(model.element_sorts[93].symbol, "NP");
    model = with_elements(dir, 44);
    ASSERT_TRUE(build_bond_sorts(model, messages));
    EXPECT_EQ(model.bond_sorts.count(), 990);
    EXPECT_EQ(model.bond_sorts[990].element1, "RU");

    // One element more: refused, the sorts built before are kept.
    StructureModel kept = with_atoms(dir, {"C 1", "O 1"});
    ASSERT_TRUE(build_bond_sorts(kept, messages));
    for (int n : {94, 45}) {
        StructureModel too_many = with_elements(dir, n);
        too_many.element_sorts = kept.element_sorts;
        too_many.bond_sorts = kept.bond_sorts;
        EXPECT_FALSE(n == 94 ? build_element_sorts(too_many, messages)
                             : build_bond_sorts(too_many, messages));
        EXPECT_EQ(too_many.element_sorts.count(), 2);
        EXPECT_EQ(too_many.bond_sorts.count(), 3);
        EXPECT_EQ(too_many.asym[1].element_sort, 0);
    }
    EXPECT_EQ(messages.shown, (std::vector<std::string>{
        "Too many elements: the asymmetric unit holds 94 different element symbols, at most 93 fit the element table",
        "Too many elements: the asymmetric unit holds 45 different element symbols, at most 44 fit the 1000 bond "
        "types (44 elements give 990 pairs)"}));
}

TEST(ElementSorts, BadRadiusFilesThrowAndChangeNothing)
{
    TempDir dir;
    const std::pair<const char*, std::string> cases[] = {
        {nullptr, "File not found: " + (fs::path(dir.path()) / "rayons.cst").string()},
        {"C\n0.77\nO\n0,66\n", "Invalid numeric input at line 4"},
        {"C\n\nO\n0.66\n", "Invalid numeric input at line 2"},
        {"C\n0.77 A\n", "Invalid numeric input at line 2"},
        {"C\nnan\n", "Invalid numeric input at line 2"},
        {"C\n0.77\nO\n", "Read beyond end of file"},
    };
    for (const auto& [file, error] : cases) {
        fs::remove(fs::path(dir.path()) / "rayons.cst");
        if (file) write_radii(dir, file);
        StructureModel model = with_atoms(dir, {"C 1"});
        RecordingMessages messages;
        try {
            build_bond_sorts(model, messages);
            ADD_FAILURE() << "no IoError for " << error;
        } catch (const IoError& e) {
            EXPECT_EQ(std::string(e.what()), error);
        }
        EXPECT_EQ(model.element_sorts.count() + model.bond_sorts.count() + model.asym[1].element_sort, 0);
    }
}

TEST(ElementSorts, ShippedRadiusFile)
{
    TempDir unused;
    StructureModel model = with_atoms(unused, {"H 1", "D 1", "C 1", "MN1", "FE1", "CO1", "CM1", "CF1"});
    model.data_directory = KESTRO_SOURCE_DATA_DIR;
    const double radii[] = {0.31, 0.31, 0.76, 1.61, 1.52, 1.50, 1.69, 1.68}; // Cordero et al.; Cf: Pyykko
    RecordingMessages messages;
    ASSERT_TRUE(build_element_sorts(model, messages));
    for (int i = 1; i <= 8; ++i) EXPECT_DOUBLE_EQ(model.element_sorts[i].radius, radii[i - 1]) << i;
    std::ifstream file(std::string(KESTRO_SOURCE_DATA_DIR) + "/rayons.cst");
    std::string symbol, radius;
    int entries = 0;
    for (; std::getline(file, symbol) && std::getline(file, radius); ++entries)
        EXPECT_GT(std::stod(radius), 0.2) << symbol;
    EXPECT_EQ(entries, 99); // H to Cf and D
}

TEST(AtomColours, FromTheElementSortOfEachGeneratedAtom)
{
    StructureModel model;
    for (auto [symbol, colour] : {std::pair{"C", 0x808080u}, {"O", 0x00FF00u}, {"S", 0u}}) {
        ElementSort sort;
        sort.symbol.assign(symbol);
        sort.colour = colour;
        model.element_sorts.push(sort);
    }
    const char* labels[] = {"O 1", "C 2", "S 1", "N 1"};
    const Colour expected[] = {0x00FF00, 0x808080, 0xFFFFFF, 0xFFFFFF}; // black and unknown: white
    for (const char* label : labels) {
        AtomRecord atom;
        atom.label.assign(label);
        model.generated.push(atom);
    }
    assign_atom_colours(model);
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(model.generated[i].colour, expected[i - 1]) << labels[i - 1];
}

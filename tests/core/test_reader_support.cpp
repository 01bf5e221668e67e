// What the foreign-format readers share: the number list of a line, the
// label rule, the lookup of a symbol's positions and the isotropic
// equivalent of Uij.

#include <gtest/gtest.h>

#include <cmath>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "crystal/catalogues.h"
#include "crystal/oemath.h"
#include "formats/kes.h"
#include "formats/reader_support.h"
#include "model/labels.h"
#include "formats/structure_files.h"
#include "model/file_io.h"
#include "model/thermal.h"
#include "recording_messages.h"
#include "temp_dir.h"

using namespace kestro;

TEST(ReaderNumbers, ListCountsEveryTokenAndKeepsEleven)
{
    const NumberList list = decode_number_list("  1.5, -2  3e1 ,4 ");
    EXPECT_EQ(list.count, 4);
    EXPECT_EQ(list.error_position, 0);
    EXPECT_DOUBLE_EQ(list[1], 1.5);
    EXPECT_DOUBLE_EQ(list[2], -2.0);
    EXPECT_DOUBLE_EQ(list[3], 30.0);
    EXPECT_DOUBLE_EQ(list[5], 0.0); // past the count
    EXPECT_DOUBLE_EQ(list[0], 0.0); // outside the list

    const NumberList many = decode_number_list("1 2 3 4 5 6 7 8 9 10 11 12 13");
    EXPECT_EQ(many.count, 13);
    EXPECT_DOUBLE_EQ(many[11], 11.0);
    EXPECT_DOUBLE_EQ(many[12], 0.0);

    EXPECT_EQ(decode_number_list("").count, 0);
}

TEST(ReaderNumbers, ErrorPositionIsThatOfTheLastToken)
{
    EXPECT_EQ(decode_number_list("1 2 abc").error_position, 1);
    EXPECT_EQ(decode_number_list("1 2 0.25(3)").error_position, 5);
    EXPECT_EQ(decode_number_list("abc 2").error_position, 0); // an earlier bad token is forgotten
    EXPECT_DOUBLE_EQ(decode_number_list("abc 2")[1], 0.0);
    EXPECT_EQ(number_error_position("-x"), 2);
    EXPECT_EQ(number_error_position("=") , 1);
    EXPECT_EQ(number_error_position("12"), 0);
}

TEST(ReaderLabels, UpperCaseWholeAndSpacedWhereTheyStillFitFour)
{
    EXPECT_EQ(stored_label(" c1 ").view(), "C 1");
    EXPECT_EQ(stored_label("h12").view(), "H 12");
    EXPECT_EQ(stored_label("C12A").view(), "C12A");
    EXPECT_EQ(stored_label("H28C").view(), "H28C");
    EXPECT_EQ(stored_label("C77'").view(), "C77'");
    EXPECT_EQ(stored_label("Cl12").view(), "CL12");
    EXPECT_EQ(stored_label("O").view(), "O");
    EXPECT_EQ(stored_label("C1-2_1xyz").view(), "C1-2_1XY"); // cut to 8

    // A cut that leaves two atoms one label is said once.
    StructureModel model;
    LabelReader labels;
    for (const char* text : {"OW1^*^a", "C1-2_1xy1", "C1-2_1xy2", "N1"}) {
        AtomRecord atom;
        atom.label = labels(text);
        model.asym.push(atom);
    }
    RecordingMessages messages;
    labels.report(model, messages);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0], "Labels longer than 8 characters were cut, and some now name more than one atom: "
                                 "C1-2_1XY1 (read as C1-2_1XY) C1-2_1XY2 (read as C1-2_1XY)");
}

TEST(ReaderSymbols, CompactFormIgnoresCaseBlanksAndQuotes)
{
    EXPECT_EQ(compact_symbol("'P 21/c'"), "P21/C");
    EXPECT_EQ(compact_symbol("p 21/C\r"), compact_symbol("P21/c"));
    EXPECT_NE(compact_symbol("P 21/c"), compact_symbol("P 21/n"));
}

TEST(ReaderSymbols, PositionsOfSymbolFromTheCatalogues)
{
    TempDir program;
    auto model = std::make_unique<StructureModel>();
    model->data_directory = KESTRO_SOURCE_DATA_DIR;
    model->program_directory = program.path();

    // Old files write the symbol in capitals with blanks.
    ASSERT_TRUE(positions_of_symbol(*model, "P 21/C"));
    EXPECT_EQ(model->operators.count(), 4);
    EXPECT_EQ(model->centro_flag, 1);
    EXPECT_EQ(model->lattice_letter, "P");
    EXPECT_EQ(compact_symbol(model->space_group), "P21/C");
    for (int i = 1; i <= model->operators.count(); ++i) EXPECT_EQ(model->selected[i], 0);

    // A centred cubic group: 48 operators times the four F translations.
    ASSERT_TRUE(positions_of_symbol(*model, "F m -3 m"));
    EXPECT_EQ(model->operators.count(), 192);
    EXPECT_EQ(model->lattice_letter, "F");

    // An unknown symbol changes nothing.
    const int before = model->operators.count();
    EXPECT_FALSE(positions_of_symbol(*model, "Q 99"));
    EXPECT_EQ(model->operators.count(), before);
}

TEST(ReaderThermal, EquivalentUOfIsotropicTensorIsItsValue)
{
    RecordingMessages messages;
    auto model = std::make_unique<StructureModel>();
    model->cell = CrystalCell{};
    model->cell.a = 7.0, model->cell.b = 9.0, model->cell.c = 11.0;
    model->cell.alpha = 90.0, model->cell.beta = 105.0, model->cell.gamma = 90.0;
    ASSERT_TRUE(cell_metric(*model, messages));

    // U_ij = U g*_ij / sqrt(g*_ii g*_jj) is isotropic in any cell: its Ueq is U.
    const double u = 0.03;
    const double cos_beta_star = -std::cos(105.0 * M_PI / 180.0);
    Thermal6 iso{u, u, u, 0.0, u * cos_beta_star, 0.0};
    EXPECT_NEAR(equivalent_u(model->cell, iso), u, 1e-7); // the degree constant of the cell metric

    // Orthogonal cell: the mean of the diagonal.
    model->cell.beta = 90.0;
    ASSERT_TRUE(cell_metric(*model, messages));
    EXPECT_NEAR(equivalent_u(model->cell, Thermal6{0.01, 0.02, 0.06, 0.005, 0.0, 0.0}), 0.03, 1e-7);
}

TEST(ReaderBounds, CoordinatesAndDisplacementsNoCrystalHasAreRefusedByEveryReader)
{
    // Read until now, they gave a blank picture (and 309-digit numbers in a saved file).
    const std::string cif_head = "data_x\n_cell_length_a 5\n_cell_length_b 5\n_cell_length_c 5\n_cell_angle_alpha 90\n"
                                 "_cell_angle_beta 90\n_cell_angle_gamma 90\n_symmetry_space_group_name_H-M 'P 1'\n"
                                 "loop_\n_atom_site_label\n_atom_site_fract_x\n_atom_site_fract_y\n_atom_site_fract_z\n"
                                 "_atom_site_U_iso_or_equiv\n";
    struct Case {
        StructureFormat format;
        const char* file;
        std::string text, message;
    } const cases[] = {
        {StructureFormat::Cif, "x.cif", cif_head + "C1 1e20 0.2 0.3 0.02\n",
         "Atom C 1: x = 1e+20 is not between -1000 and 1000 in x.cif"},
        {StructureFormat::Cif, "x.cif", cif_head + "C1 0.1 0.2 0.3 50.0\n",
         "Atom C 1: U11 = 50 is not between -10 and 10 in x.cif"},
        {StructureFormat::LazyPulverix, "x.lzy", "CELL 5 5 5 90 90 90\nSPCGRP P 1\nATOM C1   0.1 0.2 1e308 1 1\n",
         "Atom C 1: z = 1e+308 is not between -1000 and 1000 in x.lzy"},
        {StructureFormat::PowderCell, "x.cel", "CELL  5 5 5 90 90 90\nC1     6  0.1 -2000 0.3 1.0 1.0\nRGNR  1\n",
         "Atom C: y = -2000 is not between -1000 and 1000 in x.cel"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        auto model = std::make_unique<StructureModel>();
        model->data_directory = KESTRO_SOURCE_DATA_DIR;
        RecordingMessages messages;
        std::string summary;
        EXPECT_FALSE(read_structure_text(c.format, c.text, c.file, *model, messages, summary));
        EXPECT_EQ(messages.shown, std::vector<std::string>{c.message});
    }

    // The program's own file: an asymmetric-unit U and a generated atom's beta.
    std::string kes = read_file_bytes(std::string(KESTRO_TEST_DATA_DIR) + "/golden.kes");
    for (const auto& [from, to, message] :
         std::vector<std::array<std::string, 3>>{{"0.12345  -0.50000   0.99999\r\n       0.021000",
                                                  "0.12345  -0.50000   0.99999\r\n       1e300",
                                                  "Atom C 1: U11 = 1e+300 is not between -10 and 10"},
                                                 {"0.00451234  0.00789012", "0.00451234  -2e4",
                                                  "Atom C 1: beta22 = -20000 is not between -10000 and 10000"}}) {
        std::string text = kes;
        ASSERT_NE(text.find(from), std::string::npos) << from;
        text.replace(text.find(from), from.size(), to);
        auto model = std::make_unique<StructureModel>();
        RecordingMessages messages;
        EXPECT_FALSE(read_ascii_structure(text, *model, messages));
        EXPECT_EQ(messages.shown, std::vector<std::string>{message});
    }
}

// The CIF reader: the operator text parser, the CIF syntax (quotes, text
// fields, loops, blocks), the values and labels, the anisotropic loop,
// the refusals, the summary file, and the real files of the shared corpus
// against an independent reader (gemmi).

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "crystal/operators.h"
#include "formats/cif.h"
#include "formats/structure_files.h"
#include "formats/reader_support.h"
#include "model/file_io.h"
#include "model/thermal.h"
#include "recording_messages.h"
#include "temp_dir.h"

#ifdef KESTRO_HAVE_JSON
#include <fstream>
#include <nlohmann/json.hpp>
#endif

using namespace kestro;

namespace {

// A CIF read as the load command reads it: reset model, catalogues and
// radii from the source tree, the summary written beside the file.
struct CifLoad {
    TempDir dir;
    RecordingMessages messages;
    std::unique_ptr<StructureModel> model = std::make_unique<StructureModel>();
    bool loaded = false;

    explicit CifLoad(const std::string& text, const std::string& name = "test.cif")
    {
        model->data_directory = KESTRO_SOURCE_DATA_DIR;
        model->program_directory = dir.path();
        loaded = load_structure_file(*model, dir.write(name, text), messages);
    }
    const AtomRecord& atom(int i) const { return model->asym[i]; }
};

const std::string Cell = R"(_cell_length_a 10.0
_cell_length_b 11.0
_cell_length_c 12.0
_cell_angle_alpha 90
_cell_angle_beta 100.0
_cell_angle_gamma 90
)";

const std::string P21c = R"(loop_
_symmetry_equiv_pos_as_xyz
'x, y, z'
'-x, y+1/2, -z+1/2'
'-x, -y, -z'
'x, -y-1/2, z-1/2'
)";

std::string cif(const std::string& atoms, const std::string& head = Cell + P21c)
{
    return "data_test\n" + head + atoms;
}

const std::string TwoAtoms = R"(loop_
_atom_site_label
_atom_site_fract_x
_atom_site_fract_y
_atom_site_fract_z
_atom_site_U_iso_or_equiv
C1 0.1 0.2 0.3 0.02
O1 0.4 0.5 0.6 0.03
)";

bool starts_with(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }

} // namespace

TEST(CifOperatorText, ReadsEverySpellingCifsUse)
{
    using Row = std::array<double, 4>;
    const auto row = [](const std::string& text, int r) {
        const std::optional<SymmetryOperator> op = parse_operator_xyz(text);
        return op ? op->rows[static_cast<std::size_t>(r)] : Row{-9, -9, -9, -9};
    };
    EXPECT_EQ(row("x,y,z", 0), (Row{1, 0, 0, 0}));
    EXPECT_EQ(row("'x, y+1/2, -z+1/2'", 1), (Row{0, 1, 0, 0.5}));
    EXPECT_EQ(row("'x, y+1/2, -z+1/2'", 2), (Row{0, 0, -1, 0.5}));
    EXPECT_EQ(row("1/2-x,+y,z", 0), (Row{-1, 0, 0, 0.5}));
    EXPECT_EQ(row("-x+y,-x,z+1/3", 0), (Row{-1, 1, 0, 0}));
    EXPECT_EQ(row("-x+y,-x,z+1/3", 2), (Row{0, 0, 1, 1.0 / 3.0}));
    EXPECT_EQ(row("x-y+1/3,-y,-z", 0), (Row{1, -1, 0, 1.0 / 3.0}));
    EXPECT_EQ(row("y-x,-x,z", 0), (Row{-1, 1, 0, 0}));
    EXPECT_EQ(row("X, 0.5+Y, -Z+0.5", 1), (Row{0, 1, 0, 0.5}));
    EXPECT_EQ(row("X, 0.5+Y, -Z+0.5", 2), (Row{0, 0, -1, 0.5}));
    EXPECT_EQ(row("x,y,\"z-1/4\"", 2), (Row{0, 0, 1, -0.25}));
    EXPECT_EQ(row("x, y, -.5-z", 2), (Row{0, 0, -1, -0.5}));

    // Not operators: nothing, never a division by zero.
    for (const char* bad : {"", "x,y", "x,y,z,1", "x,y,z+1/0", "x,y,a", "x,y,z+", "x,y,z y", "x,x,z", "x,y,1/2",
                            "x,,z", "x,y,z+1/2/3", "x,y,z+."})
        EXPECT_FALSE(parse_operator_xyz(bad).has_value()) << bad;
}

TEST(CifSyntax, TokensLoopsTextFieldsAndCommentsAreReadAsCifDefinesThem)
{
    // CR line ends, a text field that holds data names, a comment, a value
    // with an inner quote, a save frame, names with leading blanks, a loop
    // whose rows wrap lines and whose columns come in any order, and a loop
    // that ends the file.
    const std::string text = "data_first\r"
                             "_publ_section_title\r"
                             ";\r"
                             "_cell_length_a 99\r"
                             "loop_ _atom_site_fract_x\r"
                             ";\r"
                             "_chemical_formula_sum 'C2 O2' # the formula\r"
                             "_journal_name_full 'O'Neil's journal'\r"
                             "save_frame\r"
                             "_cell_length_a 77\r"
                             "save_\r"
                             "  _cell_length_a 10.234(2)\r"
                             "\t_cell_length_b 11\r"
                             "_cell_length_c 12 _cell_angle_alpha 90\r"
                             "_cell_angle_beta ? _cell_angle_gamma 90\r" +
                             P21c + "loop_\r"
                                    "   _atom_site_U_iso_or_equiv\r"
                                    "   _atom_site_fract_z\r"
                                    "   _atom_site_label\r"
                                    "   _atom_site_type_symbol\r"
                                    "   _atom_site_fract_y\r"
                                    "   _atom_site_fract_x\r"
                                    "0.021(2) -.25 C1 C\r"
                                    "0.5 0.1234(3)\r"
                                    "0.03 0.5 'O 1' O 0.25 .5 # last row";
    CifLoad load(text);
    ASSERT_TRUE(load.loaded);
    // beta '?' is the CIF default, which P 21/c leaves open: said once.
    ASSERT_EQ(load.messages.shown.size(), 1u);
    EXPECT_NE(load.messages.shown[0].find("beta = 90"), std::string::npos);
    EXPECT_EQ(load.model->cell.a, 10.234);
    EXPECT_EQ(load.model->cell.beta, 90.0);
    EXPECT_EQ(load.model->title, "'C2O2'");
    ASSERT_EQ(load.model->asym.count(), 2);
    EXPECT_EQ(load.atom(1).label, "C 1");
    EXPECT_EQ(load.atom(1).xyz, (Vec3{0.1234, 0.5, -0.25}));
    EXPECT_EQ(load.atom(1).thermal[0], 0.021);
    EXPECT_EQ(load.atom(2).label, "O 1");
    EXPECT_EQ(load.atom(2).xyz, (Vec3{0.5, 0.25, 0.5}));
}

TEST(CifSyntax, TheFirstBlockWithAtomSitesGivesEverything)
{
    // A global block with its own cell and symbol (as Jana and journal
    // files write them), then the structure, then a second structure.
    const std::string text = "data_global\n_cell_length_a 5\n_symmetry_space_group_name_H-M 'P 1'\n"
                             "data_one\n" +
                             Cell + "_space_group_name_H-M_alt 'P 1 21/c 1'\n" +
                             "loop_\n_space_group_symop_id\n_space_group_symop_operation_xyz\n"
                             "1 x,y,z\n2 -x,1/2+y,1/2-z\n3 -x,-y,-z\n4 x,1/2-y,1/2+z\n" + TwoAtoms +
                             "data_two\n" + Cell + "loop_\n_atom_site_label\n_atom_site_fract_x\n_atom_site_fract_y\n"
                             "_atom_site_fract_z\nNa1 0 0 0\n";
    CifLoad load(text);
    ASSERT_TRUE(load.loaded);
    EXPECT_EQ(load.model->cell.a, 10.0);
    EXPECT_EQ(load.model->space_group, "P121/c1");
    EXPECT_EQ(load.model->lattice_letter, "P");
    EXPECT_EQ(load.model->asym.count(), 2);
    ASSERT_EQ(load.model->operators.count(), 4);
    EXPECT_EQ(load.model->listed_operator_count, 4);
    EXPECT_EQ(load.model->operator_texts[2], "-x,1/2+y,1/2-z");
    EXPECT_EQ(load.model->operators[2].rows[1], (std::array<double, 4>{0, 1, 0, 0.5}));
    // The list as read, first operator alone selected.
    EXPECT_EQ(load.model->selected[1] + load.model->selected[2], 1);
    EXPECT_EQ(load.model->selected_operators.count(), 1);
    EXPECT_EQ(load.model->system_code, "MONO");
    EXPECT_EQ(load.model->edit.data_changed, 1);
    EXPECT_FALSE(load.model->element_sorts.empty());

    // Data before any data_ line form a block of their own.
    CifLoad headless(Cell + P21c + TwoAtoms);
    EXPECT_TRUE(headless.loaded);
    EXPECT_EQ(headless.model->asym.count(), 2);

    // Without an operator loop the symbol gives the catalogue's positions.
    CifLoad by_symbol(cif(TwoAtoms, Cell + "_symmetry_space_group_name_H-M 'P 21/c'\n"));
    ASSERT_TRUE(by_symbol.loaded);
    EXPECT_EQ(by_symbol.model->operators.count(), 4);
    EXPECT_EQ(by_symbol.model->selected_operators.count(), 1);
    EXPECT_FALSE(by_symbol.model->operator_texts[2].empty());
}

TEST(CifValues, NumbersLabelsAndDisplacementsAsACrystallographerReadsThem)
{
    const std::string atoms = R"(loop_
_atom_site_label
_atom_site_fract_x
_atom_site_fract_y
_atom_site_fract_z
_atom_site_B_iso_or_equiv
C(11) 1/3 2/3 0/4 1.5
Fe(1) 0.5 0.5 0.5 ?
H11A 0.1 0.2 0.3 .
)";
    CifLoad load(cif(atoms));
    ASSERT_TRUE(load.loaded);
    EXPECT_EQ(load.atom(1).label, "C 11");
    EXPECT_EQ(load.atom(2).label, "FE1");
    EXPECT_EQ(load.atom(3).label, "H11A"); // whole: it does not fit 4 characters with a blank
    EXPECT_EQ(load.atom(1).xyz, (Vec3{1.0 / 3.0, 2.0 / 3.0, 0.0}));
    EXPECT_DOUBLE_EQ(load.atom(1).thermal[0], 1.5 / EightPiSquared);
    EXPECT_EQ(load.atom(2).thermal[0], 0.0); // unknown U
    EXPECT_EQ(load.atom(3).thermal[0], 0.0);
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(load.atom(i).isotropic, 1);
    EXPECT_TRUE(load.model->title.empty());
}

TEST(CifAniso, RowsMatchTheWholeLabelAndBValuesAreConverted)
{
    const std::string sites = "loop_\n_atom_site_label\n_atom_site_fract_x\n_atom_site_fract_y\n_atom_site_fract_z\n"
                              "_atom_site_U_iso_or_equiv\nC11A 0.1 0.1 0.1 0.05\nC11B 0.2 0.2 0.2 0.06\n"
                              "N(1) 0.3 0.3 0.3 0.07\n";
    // Columns in any order; C11A listed twice; 'C11' is no atom.
    CifLoad load(cif(sites + R"(loop_
_atom_site_aniso_U_23
_atom_site_aniso_label
_atom_site_aniso_U_11
_atom_site_aniso_U_22
_atom_site_aniso_U_33
_atom_site_aniso_U_12
_atom_site_aniso_U_13
0.006 C11B 0.01 0.02 0.03 0.004 0.005
0.0 C11A 1 1 1 0 0
0.016 C11A 0.11 0.12 0.13 0.014 0.015
0.026 C11 9 9 9 9 9
)"));
    ASSERT_TRUE(load.loaded);
    using T6 = Thermal6;
    EXPECT_EQ(load.atom(1).label, "C11A");
    EXPECT_EQ(load.atom(2).label, "C11B");
    EXPECT_EQ(load.atom(1).thermal, (T6{0.11, 0.12, 0.13, 0.014, 0.015, 0.016}));
    EXPECT_EQ(load.atom(2).thermal, (T6{0.01, 0.02, 0.03, 0.004, 0.005, 0.006}));
    EXPECT_EQ(load.atom(3).thermal, (T6{0.07, 0, 0, 0, 0, 0}));
    EXPECT_EQ(load.atom(1).isotropic, 1);

    // B = 8 pi^2 U; a name missing or a value unknown leaves U as it was.
    CifLoad b(cif(sites + "loop_\n_atom_site_aniso_label\n_atom_site_aniso_B_11\n_atom_site_aniso_B_22\n"
                          "_atom_site_aniso_B_33\nN1 7.89568352087 ? 1.578\n"));
    ASSERT_TRUE(b.loaded);
    EXPECT_NEAR(b.atom(3).thermal[0], 0.1, 1e-12);
    EXPECT_EQ(b.atom(3).thermal[1], 0.0);
    EXPECT_NEAR(b.atom(3).thermal[2], 1.578 / EightPiSquared, 1e-12);
    EXPECT_EQ(b.atom(1).thermal, (T6{0.05, 0, 0, 0, 0, 0}));
}

TEST(CifRefusals, EveryRefusalSaysWhatIsWrongAndWhere)
{
    const auto refused = [](const std::string& text, const std::string& start, const std::string& part = "") {
        CifLoad load(text, "bad.cif");
        EXPECT_FALSE(load.loaded) << start;
        ASSERT_EQ(load.messages.shown.size(), 1u) << start;
        const std::string& message = load.messages.shown[0];
        EXPECT_TRUE(starts_with(message, start)) << message;
        EXPECT_NE(message.find(part), std::string::npos) << message;
    };
    std::string no_b = Cell;
    no_b.replace(no_b.find("_cell_length_b 11.0"), 19, "_cell_length_b ?");
    refused(cif(TwoAtoms, no_b + P21c), "Cell error", "bad.cif gives no _cell_length_b");
    std::string bad_c = Cell;
    bad_c.replace(bad_c.find("12.0"), 4, "1x");
    refused(cif(TwoAtoms, bad_c + P21c), "Cell error", "bad.cif line 4");
    refused(cif(TwoAtoms, Cell), "Kestro cannot find symmetry operators or Space group");
    refused(cif(TwoAtoms, Cell + "_symmetry_space_group_name_H-M 'Q 99'\n"),
            "Kestro cannot find symmetry operators or Space group");
    refused(cif(TwoAtoms, Cell + "loop_\n_symmetry_equiv_pos_as_xyz\nx,y,z\n'x,y,z+1/0'\n"), "bad.cif line 11",
            "'x,y,z+1/0'");
    std::string many = "loop_\n_symmetry_equiv_pos_as_xyz\n";
    for (int i = 0; i < 193; ++i) many += "x,y,z\n";
    refused(cif(TwoAtoms, Cell + many), "bad.cif: 193 symmetry operators");
    refused(cif("loop_\n_atom_site_label\n_atom_site_fract_x\n_atom_site_fract_z\nC1 0 0\n"), "bad.cif line 14",
            "_atom_site_fract_y");
    refused(cif("loop_\n_atom_site_label\n_atom_site_fract_x\n_atom_site_fract_y\n_atom_site_fract_z\nC1 0 0\n"),
            "bad.cif line 14", "ends inside a row");
    refused(cif("loop_\n_atom_site_label\n_atom_site_fract_x\n_atom_site_fract_y\n_atom_site_fract_z\nC1 0 ? 0\n"),
            "bad.cif line 19", "_atom_site_fract_y '?' of atom C1");
    // A zero denominator is no coordinate (it used to be read as 0).
    refused(cif("loop_\n_atom_site_label\n_atom_site_fract_x\n_atom_site_fract_y\n_atom_site_fract_z\nC1 0 1/0 0\n"),
            "bad.cif line 19", "_atom_site_fract_y '1/0' of atom C1");
    refused(cif("loop_\n_atom_site_label\n_atom_site_fract_x\n_atom_site_fract_y\n_atom_site_fract_z\n"),
            "Kestro cannot find any atoms site");
    refused(cif("loop_\n_atom_site_label\n_atom_site_Cartn_x\nC1 0\n"), "Kestro cannot find any atoms site");
    refused(cif(TwoAtoms + "loop_\n_atom_site_aniso_label\n_atom_site_aniso_U_11\nC1 0.0x\n"), "bad.cif line 25",
            "_atom_site_aniso_U_11 '0.0x'");
    refused(cif("_atom_site_fract_x 0.5\n", "data_a\n_cell_length_a 3\n_cell_length_b 0\n_cell_length_c 3\n" + P21c),
            "");
    refused("not a CIF at all\n", "Kestro cannot find any atoms site");
}

TEST(CifLimits, MoreSitesThanTheAsymmetricUnitTakesKeepsTheFirst)
{
    std::string atoms = "loop_\n_atom_site_label\n_atom_site_fract_x\n_atom_site_fract_y\n_atom_site_fract_z\n";
    for (int i = 1; i <= MaxAsymAtoms + 5; ++i) atoms += "C" + std::to_string(i) + " 0.1 0.2 0.3\n";
    CifLoad load(cif(atoms));
    EXPECT_TRUE(load.loaded);
    EXPECT_EQ(load.model->asym.count(), MaxAsymAtoms);
    ASSERT_EQ(load.messages.shown.size(), 1u);
    EXPECT_EQ(load.messages.shown[0], too_many_atoms_text());
}

TEST(CifSummary, CifoutTxtListsWhatWasRead)
{
    const std::string aniso =
        "loop_\n_atom_site_aniso_label\n_atom_site_aniso_U_11\n_atom_site_aniso_U_22\nO1 0.031 0.032\n";
    CifLoad load(cif(TwoAtoms + aniso, "_chemical_formula_sum 'C O'\n" + Cell +
                                           "_symmetry_space_group_name_H-M 'P 21/c'\n" + P21c));
    ASSERT_TRUE(load.loaded);
    const std::string expected = "Title:\r\n'CO'\r\n\r\n"
                                 "Cell parameters:\r\n"
                                 " 10.0000 11.0000 12.0000   90.00  100.00   90.00\r\n\r\n"
                                 "Space group:\r\nP21/c\r\n\r\n"
                                 "Equivalent positions:\r\n"
                                 "x,y,z\r\n-x,y+1/2,-z+1/2\r\n-x,-y,-z\r\nx,-y-1/2,z-1/2\r\n\r\n"
                                 "Asymetric unit contents\r\n"
                                 "C 1    0.10000   0.20000   0.30000\r\n"
                                 "       0.02000   0.00000   0.00000   0.00000   0.00000   0.00000\r\n"
                                 "O 1    0.40000   0.50000   0.60000\r\n"
                                 "       0.03100   0.03200   0.00000   0.00000   0.00000   0.00000\r\n\r\n";
    EXPECT_EQ(read_file_bytes(load.dir.file("Cifout.txt")), expected);
}

namespace {

std::string cubic_cell(double a)
{
    const std::string length = std::to_string(a);
    return "_cell_length_a " + length + "\n_cell_length_b " + length + "\n_cell_length_c " + length +
           "\n_cell_angle_alpha 90\n_cell_angle_beta 90\n_cell_angle_gamma 90\n";
}

bool holds(const StructureModel& model, const std::string& xyz)
{
    const std::optional<SymmetryOperator> wanted = parse_operator_xyz(xyz);
    for (const SymmetryOperator& op : model.operators)
        if (wanted && same_operator(op, *wanted)) return true;
    return false;
}

} // namespace

// Symmetry without an operator loop, written as the files of a crystallographic
// database write it.
TEST(CifSymmetry, AnInternationalTablesNumberIsLookedUpInEverySystem)
{
    // A cubic cell suggests the cubic list; the numbers are triclinic and
    // orthorhombic groups all the same.
    for (const auto& [number, count] : {std::pair{1, 1}, {2, 2}, {19, 4}}) {
        CifLoad load(cif(TwoAtoms, cubic_cell(10) + "_space_group_IT_number " + std::to_string(number) + "\n"));
        ASSERT_TRUE(load.loaded) << number;
        EXPECT_TRUE(load.messages.shown.empty());
        EXPECT_EQ(load.model->system_code, "CUBI");
        EXPECT_EQ(load.model->operators.count(), count) << number;
    }
    CifLoad p212121(cif(TwoAtoms, cubic_cell(10) + "_symmetry_Int_Tables_number 19\n"));
    ASSERT_TRUE(p212121.loaded);
    EXPECT_EQ(p212121.model->space_group, "P212121");
    EXPECT_EQ(p212121.model->operator_texts[2].str(), "-X+1/2,-Y,Z+1/2");
}

TEST(CifSymmetry, AHallSymbolAloneGivesTheGroupOfItsSetting)
{
    CifLoad p1(cif(TwoAtoms, cubic_cell(10) + "_space_group_name_Hall 'P 1'\n"));
    ASSERT_TRUE(p1.loaded);
    EXPECT_EQ(p1.model->operators.count(), 1);
    EXPECT_EQ(p1.model->space_group, "P1");

    // Origin choice 2 of Fd-3m: 48 positions and the three F translations,
    // the proper rotations listed first as the catalogues do.
    CifLoad fd3m(cif(TwoAtoms, cubic_cell(8.5) + "_symmetry_space_group_name_Hall '-F 4vw 2vw 3'\n"));
    ASSERT_TRUE(fd3m.loaded);
    EXPECT_TRUE(fd3m.messages.shown.empty());
    const StructureModel& m = *fd3m.model;
    EXPECT_EQ(m.operators.count(), 192);
    EXPECT_EQ(m.space_group, "Fd-3m:2");
    EXPECT_EQ(m.lattice_letter, "F");
    EXPECT_EQ(m.centro_flag, 1);
    EXPECT_EQ(m.listed_operator_count, 24);
    EXPECT_EQ(m.operator_texts[25].str(), "-X,-Y,-Z");
    EXPECT_TRUE(holds(m, "1/4+y,1/4+x,-z"));
    EXPECT_TRUE(holds(m, "1/2+x,y,1/2+z"));
    EXPECT_EQ(m.selected_operators.count(), 1);
    for (int i = 1; i <= m.operators.count(); ++i)
        for (int j = 1; j < i; ++j) ASSERT_FALSE(same_operator(m.operators[i], m.operators[j])) << i << " " << j;

    // A Hall symbol is taken where the H-M symbol is not understood; '_'
    // stands for a blank in Hall symbols.
    CifLoad p21n(cif(TwoAtoms, Cell + "_symmetry_space_group_name_H-M 'P 21/n (unknown)'\n"
                                      "_symmetry_space_group_name_Hall '-P_2yn'\n"));
    ASSERT_TRUE(p21n.loaded);
    EXPECT_EQ(p21n.model->operators.count(), 4);
    EXPECT_TRUE(holds(*p21n.model, "1/2-x,1/2+y,1/2-z"));
    EXPECT_NE(read_file_bytes(p21n.dir.file("Cifout.txt")).find("Space group:\r\n-P_2yn\r\n"), std::string::npos);

    CifLoad bad(cif(TwoAtoms, Cell + "_space_group_name_Hall 'Q 2x'\n"));
    EXPECT_FALSE(bad.loaded);
    EXPECT_EQ(bad.messages.shown, std::vector<std::string>{"Kestro cannot find symmetry operators or Space group"});
}

TEST(CifSymmetry, AnOperatorListThatCannotBeUsedGivesWayToTheSymbol)
{
    const std::string singular = "loop_\n_symmetry_equiv_pos_as_xyz\nx,y,z\n'x, y, x'\n";
    CifLoad load(cif(TwoAtoms, Cell + "_symmetry_space_group_name_H-M 'P 21/c'\n" + singular), "odd.cif");
    ASSERT_TRUE(load.loaded);
    EXPECT_EQ(load.messages.shown,
              std::vector<std::string>{"odd.cif line 12: the symmetry operator 'x, y, x' is singular (its rotation "
                                       "part has no inverse); the equivalent positions of the space group 'P 21/c' "
                                       "are used instead"});
    EXPECT_EQ(load.model->operators.count(), 4);
    EXPECT_TRUE(holds(*load.model, "-x,1/2+y,1/2-z"));
    EXPECT_EQ(load.model->operator_texts[2].str(), "-X,Y+1/2,-Z+1/2");

    // A Hall symbol serves as well; a number alone does not (it names the
    // standard setting, which the file's operators may not be in).
    CifLoad hall(cif(TwoAtoms, Cell + "_space_group_name_Hall '-P 2ybc'\n" + singular));
    ASSERT_TRUE(hall.loaded);
    EXPECT_EQ(hall.model->operators.count(), 4);
    CifLoad number(cif(TwoAtoms, Cell + "_space_group_IT_number 14\n" + singular), "odd.cif");
    EXPECT_FALSE(number.loaded);
    EXPECT_EQ(number.messages.shown, std::vector<std::string>{"odd.cif line 12: the symmetry operator 'x, y, x' is "
                                                              "singular (its rotation part has no inverse)"});
}

TEST(CifSymmetry, SymbolsWithSubscriptMarksAndNotesAreUnderstood)
{
    const auto loaded = [](const std::string& symbol, const std::string& cell = Cell) {
        const std::string head = cell + "_symmetry_space_group_name_H-M '" + symbol + "'\n";
        auto load = std::make_unique<CifLoad>(cif(TwoAtoms, head));
        EXPECT_TRUE(load->loaded) << symbol;
        EXPECT_TRUE(load->messages.shown.empty()) << symbol;
        return load;
    };
    EXPECT_EQ(loaded("P_1")->model->operators.count(), 1);
    const auto p21n = loaded("P2_1/n");
    EXPECT_EQ(p21n->model->operators.count(), 4);
    EXPECT_TRUE(holds(*p21n->model, "1/2-x,1/2+y,1/2-z"));
    EXPECT_EQ(loaded("P2(1)2(1)2(1)")->model->space_group, "P212121");

    // Origin choice 2 (at the centre -3m) is the catalogues' own; a note
    // that puts the origin at -43m asks for choice 1.
    const auto centre = loaded("F d -3 m {origin @ centre (-3m)}", cubic_cell(8.5));
    EXPECT_EQ(centre->model->operators.count(), 192);
    EXPECT_TRUE(holds(*centre->model, "-x,-y,-z"));
    const auto choice1 = loaded("F d -3 m {origin @ -43m}", cubic_cell(8.5));
    EXPECT_EQ(choice1->model->operators.count(), 192);
    EXPECT_FALSE(holds(*choice1->model, "-x,-y,-z"));
    EXPECT_TRUE(holds(*choice1->model, "1/4-x,1/4-y,1/4-z"));
    // A note that names an origin a group with one origin cannot have.
    EXPECT_EQ(loaded("P b c a (origin choice 1)")->model->operators.count(), 8);
}

TEST(CifCell, AnglesTheFileLacksComeFromTheLatticeTheSymmetryImplies)
{
    const std::string lengths = "_cell_length_a 10\n_cell_length_b 10\n_cell_length_c 12\n";
    const std::string p3c1 = "loop_\n_symmetry_equiv_pos_as_xyz\nx,y,z\n-y,x-y,z\n-x+y,-x,z\n-y,-x,1/2+z\n"
                             "-x+y,y,1/2+z\nx,x-y,1/2+z\n";
    CifLoad hexagonal(cif(TwoAtoms, lengths + p3c1), "hex.cif");
    ASSERT_TRUE(hexagonal.loaded);
    EXPECT_EQ(hexagonal.messages.shown,
              std::vector<std::string>{"hex.cif gives no _cell_angle_alpha, _cell_angle_beta, _cell_angle_gamma; "
                                       "alpha = 90, beta = 90, gamma = 120 degrees taken, as required by "
                                       "the symmetry operators of the file"});
    EXPECT_EQ(hexagonal.model->cell.gamma, 120.0);
    EXPECT_EQ(hexagonal.model->system_code, "HEXA");
    EXPECT_NE(read_file_bytes(hexagonal.dir.file("Cifout.txt")).find("   90.00   90.00  120.00\r\n"),
              std::string::npos);

    // From a symbol: R -3 on hexagonal axes gets its R centring once the
    // cell is known to be hexagonal.
    CifLoad r3(cif(TwoAtoms, lengths + "_cell_angle_alpha 90\n_cell_angle_beta 90\n"
                                        "_symmetry_space_group_name_H-M 'R -3'\n"));
    ASSERT_TRUE(r3.loaded);
    EXPECT_EQ(r3.model->cell.gamma, 120.0);
    EXPECT_EQ(r3.model->operators.count(), 18);
    EXPECT_TRUE(holds(*r3.model, "2/3+x,1/3+y,1/3+z"));
    ASSERT_EQ(r3.messages.shown.size(), 1u);
    EXPECT_NE(r3.messages.shown[0].find("as required by the space group 'R -3'"), std::string::npos);

    // Rhombohedral axes tie the three angles together: beta and gamma are alpha.
    CifLoad tied(cif(TwoAtoms, "_cell_length_a 7\n_cell_length_b 7\n_cell_length_c 7\n_cell_angle_alpha 75.5\n"
                               "loop_\n_symmetry_equiv_pos_as_xyz\nx,y,z\nz,x,y\ny,z,x\n"));
    ASSERT_TRUE(tied.loaded);
    EXPECT_EQ(tied.model->cell.beta, 75.5);
    EXPECT_EQ(tied.model->cell.gamma, 75.5);

    // Operators no completed cell fits: alpha given as 100, or a != b.
    for (const std::string& given : {lengths + "_cell_angle_alpha 100\n",
                                     std::string("_cell_length_a 10\n_cell_length_b 11\n_cell_length_c 12\n")}) {
        CifLoad bad(cif(TwoAtoms, given + p3c1), "bad.cif");
        EXPECT_FALSE(bad.loaded);
        ASSERT_EQ(bad.messages.shown.size(), 1u);
        EXPECT_TRUE(starts_with(bad.messages.shown[0], "Cell error: bad.cif gives no ")) << bad.messages.shown[0];
        EXPECT_NE(bad.messages.shown[0].find("_cell_angle_gamma, and no cell with the lengths and angles it gives "
                                             "fits the symmetry operators of the file"),
                  std::string::npos)
            << bad.messages.shown[0];
    }
}

// Atom-site loops as databases write them.
TEST(CifAtomSites, DummyRowsBesideRealAtomsAreSkippedAndNamed)
{
    const std::string sites = R"(loop_
_atom_site_label
_atom_site_fract_x
_atom_site_fract_y
_atom_site_fract_z
_atom_site_U_iso_or_equiv
_atom_site_calc_flag
C1 0.1 0.2 0.3 0.02 d
H1 . . . . calc
O1 0.4 0.5 0.6 0.03 .
Q1 0.5 0.5 0.5 0 DUM
. . . . . dum
)";
    CifLoad load(cif(sites + "loop_\n_atom_site_aniso_label\n_atom_site_aniso_U_11\nH1 0.5\nO1 0.04\n"), "db.cif");
    ASSERT_TRUE(load.loaded);
    EXPECT_EQ(load.messages.shown, std::vector<std::string>{"db.cif: 3 dummy atom sites (_atom_site_calc_flag dum, "
                                                            "or coordinates '.') skipped: H1, Q1, row 5"});
    ASSERT_EQ(load.model->asym.count(), 2);
    EXPECT_EQ(load.atom(2).label, "O 1");
    EXPECT_EQ(load.atom(2).thermal[0], 0.04);
    EXPECT_EQ(read_file_bytes(load.dir.file("Cifout.txt")).find("H 1"), std::string::npos);

    // Only dummies: no atom to draw.
    CifLoad none(cif("loop_\n_atom_site_label\n_atom_site_fract_x\n_atom_site_fract_y\n_atom_site_fract_z\n"
                     "X1 . . .\n"));
    EXPECT_FALSE(none.loaded);
    EXPECT_EQ(none.messages.shown, std::vector<std::string>{"Kestro cannot find any atoms site"});
}

TEST(CifAtomSites, WithoutLabelsTheTypeSymbolNamesEachSite)
{
    CifLoad load(cif(R"(loop_
_atom_site_type_symbol
_atom_site_fract_x
_atom_site_fract_y
_atom_site_fract_z
Si4+ 0.1 0.1 0.1
O2- 0.2 0.2 0.2
Si4+ 0.3 0.3 0.3
O2- 0.4 0.4 0.4
)"));
    ASSERT_TRUE(load.loaded);
    EXPECT_TRUE(load.messages.shown.empty());
    ASSERT_EQ(load.model->asym.count(), 4);
    EXPECT_EQ(load.atom(1).label, "SI1");
    EXPECT_EQ(load.atom(2).label, "O 1");
    EXPECT_EQ(load.atom(3).label, "SI2");
    EXPECT_EQ(load.atom(4).label, "O 2");
    EXPECT_EQ(load.atom(3).xyz, (Vec3{0.3, 0.3, 0.3}));

    CifLoad unknown(cif("loop_\n_atom_site_type_symbol\n_atom_site_fract_x\n_atom_site_fract_y\n"
                        "_atom_site_fract_z\nNa 0 0 0\n? 0.5 0.5 0.5\n"), "db.cif");
    EXPECT_FALSE(unknown.loaded);
    EXPECT_EQ(unknown.messages.shown, std::vector<std::string>{"db.cif line 20: an atom site has no type symbol"});
}

#ifdef KESTRO_HAVE_JSON

namespace {

// Operators as sets: coefficients exact, translations modulo 1.
bool holds_operator(const StructureModel& model, const nlohmann::json& rows)
{
    SymmetryOperator wanted;
    for (std::size_t r = 0; r < 3; ++r)
        for (std::size_t c = 0; c < 4; ++c) wanted.rows[r][c] = rows[r][c].get<double>();
    for (const SymmetryOperator& op : model.operators)
        if (same_operator(op, wanted, 1e-6)) return true;
    return false;
}

double value_or_zero(const nlohmann::json& v) { return v.is_null() ? 0.0 : v.get<double>(); }

} // namespace

TEST(CifCorpus, RealFilesReadAsAnIndependentReaderReadsThem)
{
    const std::filesystem::path dir = std::filesystem::path(KESTRO_SHARED_TESTDATA_DIR) / "cif";
    if (!std::filesystem::is_directory(dir)) GTEST_SKIP() << "no CIF files in " << dir;
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        std::ifstream json_file(std::filesystem::path(KESTRO_SHARED_TESTDATA_DIR) / "expected" / (name + ".json"));
        ASSERT_TRUE(json_file.good());
        const nlohmann::json expected = nlohmann::json::parse(json_file);
        ++files;

        TempDir out;
        RecordingMessages messages;
        auto model = std::make_unique<StructureModel>();
        model->data_directory = KESTRO_SOURCE_DATA_DIR;
        model->program_directory = out.path();
        ASSERT_TRUE(load_structure_file(*model, entry.path().string(), messages)) << (messages.shown.empty() ? "" : messages.shown[0]);
        EXPECT_TRUE(messages.shown.empty());

        const CrystalCell& cell = model->cell;
        const std::array<double, 6> cell_values{cell.a, cell.b, cell.c, cell.alpha, cell.beta, cell.gamma};
        std::size_t k = 0;
        for (const char* key : {"a", "b", "c", "alpha", "beta", "gamma"})
            EXPECT_NEAR(cell_values[k++], expected["cell"][key].get<double>(), 1e-9) << key;

        const auto& atoms = expected["atoms"];
        ASSERT_EQ(model->asym.count(), std::min<int>(static_cast<int>(atoms.size()), MaxAsymAtoms));
        for (int i = 1; i <= model->asym.count(); ++i) {
            const auto& want = atoms[static_cast<std::size_t>(i - 1)];
            const AtomRecord& atom = model->asym[i];
            std::string label;
            for (const char c : want["label"].get<std::string>())
                if (c != '(' && c != ')') label += c;
            EXPECT_EQ(atom.label, stored_label(label)) << i;
            k = 0;
            for (const char* key : {"x", "y", "z"}) EXPECT_NEAR(atom.xyz[k++], want[key].get<double>(), 1e-9) << i;
            if (!want["aniso"].is_null()) {
                k = 0;
                for (const char* key : {"U11", "U22", "U33", "U12", "U13", "U23"})
                    EXPECT_NEAR(atom.thermal[k++], value_or_zero(want["aniso"][key]), 1e-9) << i << " " << key;
            } else {
                const double u = !want["u_iso"].is_null()   ? want["u_iso"].get<double>()
                                 : !want["b_iso"].is_null() ? want["b_iso"].get<double>() / EightPiSquared
                                                            : 0.0;
                EXPECT_NEAR(atom.thermal[0], u, 1e-9) << i;
            }
        }

        const auto& ops = expected["full_ops"];
        EXPECT_EQ(model->operators.count(), static_cast<int>(ops.size()));
        for (const auto& op : ops) EXPECT_TRUE(holds_operator(*model, op)) << op.dump();
        EXPECT_EQ(model->selected_operators.count(), 1);
        EXPECT_TRUE(std::filesystem::exists(out.file("Cifout.txt")));
    }
    EXPECT_EQ(files, 33);
}

#endif

// Bond lengths and angles with standard uncertainties: the propagation on
// cases worked by hand, the IUCr rounding, the symmetry codes of bonds
// across an inversion centre, and a file without s.u.
#include <gtest/gtest.h>

#include <memory>

#include "analysis/geometry.h"
#include "formats/structure_files.h"
#include "recording_messages.h"
#include "temp_dir.h"

using namespace kestro;

namespace {

struct Loaded {
    TempDir dir;
    RecordingMessages messages;
    std::unique_ptr<StructureModel> model = std::make_unique<StructureModel>();
    explicit Loaded(const std::string& text)
    {
        model->data_directory = KESTRO_SOURCE_DATA_DIR;
        model->program_directory = dir.path();
        EXPECT_TRUE(load_structure_file(*model, dir.write("test.cif", text), messages));
    }
};

std::string cif(const std::string& cell, const std::string& operators, const std::string& atoms)
{
    return "data_t\n" + cell + "loop_\n_symmetry_equiv_pos_as_xyz\n" + operators +
           "loop_\n_atom_site_label\n_atom_site_type_symbol\n_atom_site_fract_x\n_atom_site_fract_y\n"
           "_atom_site_fract_z\n_atom_site_U_iso_or_equiv\n" + atoms;
}

const std::string Cube = "_cell_length_a 10\n_cell_length_b 10\n_cell_length_c 10\n_cell_angle_alpha 90\n"
                         "_cell_angle_beta 90\n_cell_angle_gamma 90\n";

} // namespace

TEST(Geometry, IucrRoundingOfTheUncertainty)
{
    EXPECT_EQ(value_with_su(1.54213, 0.00123, 4), "1.5421(12)");
    EXPECT_EQ(value_with_su(1.54213, 0.0152, 4), "1.542(15)");
    EXPECT_EQ(value_with_su(1.54213, 0.0026, 4), "1.542(3)");
    EXPECT_EQ(value_with_su(92.3125, 0.07, 2), "92.31(7)");
    EXPECT_EQ(value_with_su(1.54213, 0.00197, 4), "1.542(2)"); // 19.7 rounds to 20: one digit
    EXPECT_EQ(value_with_su(1.54213, 0, 4), "1.5421");
}

// A bond along a with an s.u. on x alone: d = a dx, s.u. = a s.u.(x). An
// angle of 90 degrees at the origin of an orthogonal cell, one arm 1 A long
// with an s.u. of 0.01 A across it: s.u. 0.01 rad.
TEST(Geometry, FirstOrderPropagationOnHandCases)
{
    const Loaded bond(cif(Cube, "'x, y, z'\n", "C1 C 0 0 0 0.02\nC2 C 0.15000(20) 0 0 0.02\n"));
    const GeometryTables t = geometry_tables(*bond.model);
    ASSERT_EQ(t.bonds.size(), 1u);
    EXPECT_NEAR(t.bonds[0].distance, 1.5, 1e-12);
    EXPECT_NEAR(t.bonds[0].su, 10 * 0.0002, 1e-9);

    const Loaded angle(cif(Cube, "'x, y, z'\n", "C1 C 0 0 0 0.02\nH1 H 0.1 0.0000(10) 0 0.02\nH2 H 0 0.1 0 0.02\n"));
    const GeometryTables a = geometry_tables(*angle.model);
    ASSERT_EQ(a.angles.size(), 1u);
    EXPECT_NEAR(a.angles[0].angle, 90, 1e-9);
    EXPECT_NEAR(a.angles[0].su, 0.01 * 180 / 3.141592653589793, 1e-6);
}

// Two carbons bonded across the inversion centre at (1/2, 0, 0): the image
// -x+1, -y, -z is operator 2 with a translation of one cell along a.
TEST(Geometry, SymmetryCodesOfRefinementPrograms)
{
    const Loaded l(cif(Cube, "'x, y, z'\n'-x, -y, -z'\n", "C1 C 0.43000(10) 0.01 0.02 0.02\n"));
    const GeometryTables t = geometry_tables(*l.model);
    ASSERT_EQ(t.bonds.size(), 1u);
    EXPECT_EQ(symmetry_code(t.bonds[0].to, t.identity_op), "2_655");
    EXPECT_EQ(symmetry_code(t.bonds[0].from, t.identity_op), ".");
    // Both ends move with x: twice the s.u. along the bond.
    EXPECT_NEAR(t.bonds[0].su, 2 * 10 * 0.0001 * 1.4 / t.bonds[0].distance, 1e-6);
    const std::string text = geometry_cif(*l.model, t);
    EXPECT_NE(text.find("C1 C1 1.4"), std::string::npos) << text;
    EXPECT_NE(text.find(" 2_655\n"), std::string::npos);
    EXPECT_EQ(text.find("loop_\n_geom_angle"), std::string::npos); // no angle: no empty loop
}

TEST(Geometry, AFileWithoutUncertaintiesGivesPlainValues)
{
    const Loaded l(cif(Cube, "'x, y, z'\n", "O1 O 0 0 0 0.02\nC1 C 0.1 0 0 0.02\nC2 C 0 0.15 0 0.02\n"));
    const std::string text = geometry_cif(*l.model, geometry_tables(*l.model));
    EXPECT_NE(text.find("O1 C1 1.0000 .\n"), std::string::npos) << text;
    EXPECT_NE(text.find("C1 O1 C2 90.00 . .\n"), std::string::npos) << text;
    EXPECT_EQ(text.find('('), text.find("(no covariance")); // no parentheses in the values
}

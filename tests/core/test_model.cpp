// The structure model: fixed tables, reset, displacement-parameter
// conversions, and where the reference files are found.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "crystal/oemath.h"
#include "model/numbers.h"
#include "model/reference_files.h"
#include "model/structure_model.h"
#include "model/thermal.h"
#include "recording_messages.h"
#include "temp_dir.h"

using namespace kestro;

namespace {
CrystalCell make_cell(double a, double b, double c, double alpha, double beta, double gamma)
{
    CrystalCell cell;
    cell.a = a, cell.b = b, cell.c = c;
    cell.alpha = alpha, cell.beta = beta, cell.gamma = gamma;
    return cell;
}
} // namespace

TEST(ModelTable, RefusesToGrowPastItsCapacity)
{
    Table<int, 3> table;
    EXPECT_TRUE(table.push(1) && table.push(2) && table.push(3));
    EXPECT_FALSE(table.push(4));
    EXPECT_EQ(table.count(), 3);
    EXPECT_EQ(table[1], 1);
    EXPECT_EQ(table[3], 3);
    EXPECT_FALSE(table.set_count(4));
    EXPECT_FALSE(table.set_count(-1));
    table.clear();
    EXPECT_TRUE(table.empty());
    EXPECT_EQ(table[3], 3); // emptied by the count, entries kept
}

TEST(ModelTable, AnIndexPastTheTableIsAProgramErrorInEveryBuild)
{
    auto model = std::make_unique<StructureModel>();
    EXPECT_THROW(model->bonds[MaxBonds + 1], ProgramError);
    EXPECT_THROW(model->generated[0], ProgramError);
    EXPECT_THROW(model->generated[900000000], ProgramError);
    EXPECT_THROW(model->display_labels[MaxGeneratedAtoms + 1], ProgramError);
    EXPECT_NO_THROW(model->generated[MaxGeneratedAtoms]); // any slot, used or not
}

TEST(ModelTable, RecordsStayPutAsTheTableFillsAndCopiesAreWhole)
{
    Table<AtomRecord, MaxGeneratedAtoms> table;
    const Table<AtomRecord, MaxGeneratedAtoms>& reading = table;
    EXPECT_EQ(reading[MaxGeneratedAtoms].occupancy, 1.0); // a slot never written reads as a new record
    EXPECT_EQ(reading.begin(), reading.end());
    AtomRecord atom;
    atom.label = "C 1";
    ASSERT_TRUE(table.push(atom));
    const AtomRecord* first = &table[1];
    for (int i = 2; i <= 50000; ++i) table.push(atom);
    EXPECT_EQ(first, &table[1]); // no record moved: references taken earlier stay valid
    table[60000].label = "O 9";  // beyond the count, kept for a later set_count
    ASSERT_TRUE(table.set_count(60000));
    EXPECT_EQ(table[59999].label, AtomLabel()); // between: value-initialised

    Table<AtomRecord, MaxGeneratedAtoms> copy;
    copy.push(atom);
    copy[70000].label = "N 1";
    copy = table;
    EXPECT_EQ(copy.count(), 60000);
    EXPECT_EQ(copy[60000].label, AtomLabel("O 9"));
    EXPECT_EQ(copy[70000].label, AtomLabel()); // what the copy held past the source is gone
    EXPECT_NE(&copy[1], &table[1]);

    Slots<int, 5> flags;
    flags.fill(7);
    EXPECT_EQ(flags[5], 7);
}

TEST(ModelNumbers, RoundHalfToEven)
{
    for (const auto& [x, rounded] : std::initializer_list<std::pair<double, double>>{
             {0.5, 0}, {1.5, 2}, {2.5, 2}, {-0.5, -0.0}, {-1.5, -2}, {-2.5, -2}, {2.4999999, 2}, {-3.6, -4},
             {4503599627370497.0, 4503599627370497.0}, {1e300, 1e300}})
        EXPECT_EQ(round_half_even(x), rounded) << x;
    EXPECT_TRUE(std::signbit(round_half_even(-0.4)));
    EXPECT_TRUE(std::isnan(round_half_even(NAN)));
    // The library's rounding on every scale a picture meets, ties included,
    // and just below and above 2^52.
    for (int e = -3; e <= 53; ++e)
        for (int k = -40; k <= 40; ++k) {
            const double x = std::ldexp(1.0, e) + k * 0.25, y = std::nextafter(x, 0.0);
            for (const double v : {x, -x, y, -y}) EXPECT_EQ(round_half_even(v), std::nearbyint(v)) << v;
        }
}

TEST(ModelTable, LabelsKeepAtMostTheirCapacity)
{
    AtomRecord atom;
    atom.label = std::string("CL123ABCD");
    EXPECT_EQ(atom.label, "CL123ABC");
    FixedText<8> display = "C1";
    EXPECT_EQ(display.size(), 2u);
}

TEST(ModelReset, CountsNamesAndOptionsGoBackToTheirStartValues)
{
    auto model = std::make_unique<StructureModel>();
    StructureModel& m = *model;
    m.title = "x";
    m.space_group = "P1";
    m.system_code = "TRIC";
    m.ascii_file_name = "a.kes";
    m.generated.push(AtomRecord{});
    m.bonds.push(BondRecord{});
    m.asym.push(AtomRecord{});
    m.operators.push(SymmetryOperator::identity());
    m.generation.sphere = 1;
    m.generation.sphere_radius = 3;
    m.generation.box_size = {2, 2, 2};
    m.drawing.probability_index = 9;
    m.drawing.draw_cell = 1;
    m.drawing.label_font.size = 20;
    m.drawing.bond_width = 0.2;
    m.edit.data_changed = 1;
    reset_model(m);
    EXPECT_TRUE(m.title.empty() && m.space_group.empty() && m.system_code.empty() && m.ascii_file_name.empty());
    EXPECT_EQ(m.generated.count() + m.bonds.count() + m.element_sorts.count(), 0);
    EXPECT_EQ(m.generation.sphere, 0);
    EXPECT_DOUBLE_EQ(m.generation.sphere_radius, 6.0);
    EXPECT_DOUBLE_EQ(m.generation.box_size[1], 1.01);
    EXPECT_DOUBLE_EQ(m.generation.centre[2], 0.5);
    EXPECT_EQ(m.drawing.probability_index, 5);
    EXPECT_EQ(m.drawing.draw_cell, 0);
    EXPECT_EQ(m.drawing.label_font.name, "Times New Roman");
    EXPECT_EQ(m.drawing.label_font.style, "Bold, Italic");
    EXPECT_EQ(m.drawing.label_font.size, 12);
    EXPECT_EQ(m.edit.data_changed, 0);
    // The asymmetric unit and the operators are the readers' to replace.
    EXPECT_EQ(m.asym.count(), 1);
    EXPECT_EQ(m.operators.count(), 1);
    // Bond width belongs to the drawing window's defaults, not to the reset.
    EXPECT_DOUBLE_EQ(m.drawing.bond_width, 0.2);
}

TEST(ModelCell, MissingWhenAnyValueIsZero)
{
    CrystalCell cell = make_cell(10, 10, 10, 90, 90, 90);
    EXPECT_FALSE(cell.missing());
    cell.gamma = 0;
    EXPECT_TRUE(cell.missing());
}

TEST(ModelThermal, BijIsEightPiSquaredTimesUij)
{
    const CrystalCell cell{};
    // A crystallographer's B = 1.58 is U = 0.02.
    const Thermal6 u = to_uij(ThermalExpression::Bij, {1.58, 0, 0, 0, 0, 0}, cell);
    EXPECT_NEAR(u[0], 0.02001, 1e-5);
    EXPECT_EQ(u[1], 0.0); // still isotropic
    const Thermal6 b = from_uij(ThermalExpression::Bij, {0.01, 0.02, 0.03, -0.001, 0.002, 0.0}, cell);
    EXPECT_NEAR(b[0], 0.789568352087, 1e-12);
    EXPECT_NEAR(b[3], -0.0789568352087, 1e-12);
    EXPECT_EQ(to_uij(ThermalExpression::Uij, b, cell), b);
}

TEST(ModelThermal, BetaijUsesTheReciprocalLengths)
{
    auto model = std::make_unique<StructureModel>();
    model->cell = make_cell(5, 8, 10, 90, 90, 90);
    RecordingMessages messages;
    ASSERT_TRUE(cell_metric(*model, messages));
    const CrystalCell& cell = model->cell;
    const Thermal6 uij{0.01, 0.02, 0.03, 0.001, -0.002, 0.003};
    const Thermal6 beta = from_uij(ThermalExpression::Betaij, uij, cell);
    // beta11 = 2 pi^2 a*^2 U11 with a* = 1/5 (orthorhombic); beta23 = 2 pi^2 b* c* U23.
    EXPECT_NEAR(beta[0], 19.7391754562 * 0.04 * 0.01, 1e-8);
    EXPECT_NEAR(beta[5], 19.7391754562 * (1.0 / 80) * 0.003, 1e-8);
    const Thermal6 back = to_uij(ThermalExpression::Betaij, beta, cell);
    for (std::size_t k = 0; k < 6; ++k) EXPECT_NEAR(back[k], uij[k], 1e-12);
}

TEST(ReferenceFiles, DirectoryChoiceAndStartUpCheck)
{
    TempDir dir;
    EXPECT_EQ(find_data_directory("/from/env", dir.path()), "/from/env");
    // An empty current directory falls back to the installed or source data.
    EXPECT_NE(find_data_directory(nullptr, dir.path()), dir.path());
    EXPECT_EQ(find_data_directory("", dir.path()), find_data_directory(nullptr, dir.path()));

    EXPECT_EQ(missing_reference_file(dir.path()), "The file Kestr.hlp was not found!");
    dir.write("Kestro.hlp", "@topic 7 Contents\n");
    EXPECT_EQ(missing_reference_file(dir.path()), "The file Kestr.cnt was not found!");
    dir.write("Kestro.cnt", "7 Contents\n");
    EXPECT_EQ(missing_reference_file(dir.path()), "The file rayons.cst was not found!");
    dir.write("rayons.cst", "C\n0.76\n");
    EXPECT_EQ(missing_reference_file(dir.path()), std::nullopt);
    EXPECT_EQ(find_data_directory(nullptr, dir.path()), dir.path());
}

// Atom generation: candidates, coinciding positions, displacement
// parameters, fragments, box, sphere, cell contents and the limits.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "crystal/generation.h"
#include "crystal/generation_steps.h"
#include "crystal/oemath.h"
#include "forms/mainmenu.h"
#include "generation_groups.h"
#include "recording_messages.h"

using namespace kestro;
using namespace kestro::mainmenu;

namespace {

class BusyRecorder : public RecordingMessages {
public:
    std::vector<bool> busy_calls;
    void busy(bool on) override { busy_calls.push_back(on); }
};

std::unique_ptr<StructureModel> model_with_cell(double a, double b, double c, double alpha, double beta, double gamma)
{
    auto model = std::make_unique<StructureModel>();
    model->cell.a = a, model->cell.b = b, model->cell.c = c;
    model->cell.alpha = alpha, model->cell.beta = beta, model->cell.gamma = gamma;
    RecordingMessages messages;
    EXPECT_TRUE(cell_metric(*model, messages));
    set_crystal_system(*model);
    return model;
}

void set_operators(StructureModel& model, const std::vector<std::string>& texts)
{
    model.operators.clear();
    model.selected_operators.clear();
    for (const std::string& t : texts) {
        model.operators.push(parse_operator(t));
        model.selected_operators.push(parse_operator(t));
    }
}

// x + k/n, y, z for k = 0 .. n-1.
void set_translations(StructureModel& model, int n)
{
    model.operators.clear();
    model.selected_operators.clear();
    for (int k = 0; k < n; ++k) {
        SymmetryOperator op = SymmetryOperator::identity();
        op.rows[0][3] = static_cast<double>(k) / n;
        model.operators.push(op);
        model.selected_operators.push(op);
    }
}

void add_atom(StructureModel& model, const std::string& label, Vec3 xyz, Thermal6 u = {0.02, 0, 0, 0, 0, 0})
{
    AtomRecord atom;
    atom.label = label;
    atom.xyz = xyz;
    atom.thermal = u;
    model.asym.push(atom);
}

void add_bond_sort(StructureModel& model, const char* e1, const char* e2, double max_length)
{
    BondSort sort;
    sort.element1 = e1;
    sort.element2 = e2;
    sort.max_length = max_length;
    model.bond_sorts.push(sort);
}

void choose_cell_contents(StructureModel& model)
{
    OperatorGrid grid;
    fill_operator_grid(model, grid);
    RecordingMessages messages;
    on_click_checklistbox(model, grid, messages, static_cast<int>(GenerationItem::CellContents), true);
}

} // namespace

TEST(GenerationCandidates, SpecialPositionGivesOneAtomWithTheFirstOperator)
{
    auto model = model_with_cell(10, 10, 10, 90, 90, 90);
    set_operators(*model, {"X,Y,Z", "-X,-Y,-Z"});
    add_atom(*model, "C 1", {0, 0, 0});
    add_atom(*model, "C 2", {0.1, 0.2, 0.3});
    RecordingMessages messages;
    ASSERT_TRUE(generer(*model, messages));
    ASSERT_EQ(model->generated.count(), 3);
    EXPECT_EQ(model->generated[1].label, "C 1");
    EXPECT_EQ(model->generated[1].operator_index, 1);
    EXPECT_EQ(model->generated[3].label, "C 2");
    EXPECT_EQ(model->generated[3].operator_index, 2);
    EXPECT_EQ(model->generated[3].xyz, (Vec3{-0.1, -0.2, -0.3})); // not brought into the cell
}

TEST(GenerationCandidates, CoincidenceIsAHundredthOfAnAngstromWithoutWrapping)
{
    auto model = model_with_cell(10, 10, 10, 90, 90, 90);
    set_operators(*model, {"X,Y,Z"});
    add_atom(*model, "C 1", {0.99999, 0.5, 0.5});
    add_atom(*model, "C 2", {0.00001, 0.5, 0.5}); // 0.0002 A away through the face, yet kept
    add_atom(*model, "O 1", {0.3333, 0.6667, 0});
    add_atom(*model, "O 2", {0.3333, 0.6666, 0}); // 0.001 A from O 1: the same site
    add_atom(*model, "N 1", {0.3333, 0.6687, 0}); // 0.02 A from O 1: a site of its own
    add_atom(*model, "N 2", {1.3333, -0.3334, 0}); // O 1 again once reduced into the cell
    RecordingMessages messages;
    ASSERT_TRUE(generer(*model, messages));
    std::vector<std::string> labels;
    for (const AtomRecord& a : model->generated) labels.push_back(a.label.str());
    EXPECT_EQ(labels, (std::vector<std::string>{"C 1", "C 2", "O 1", "N 1"}));
}

TEST(GenerationCandidates, HydrogenIsASphereOfFixedU)
{
    auto model = model_with_cell(8, 9, 10, 90, 100, 90);
    set_operators(*model, {"X,Y,Z"});
    const Thermal6 u{0.03, 0.04, 0.05, 0.001, 0.002, 0.003};
    add_atom(*model, "H 1", {0.1, 0.1, 0.1}, u);
    add_atom(*model, "HG1", {0.3, 0.3, 0.3}, u); // mercury: anisotropic
    add_atom(*model, "H12A", {0.7, 0.7, 0.7}, u); // hydrogen, whatever follows the letter
    add_atom(*model, "C 1", {0.5, 0.5, 0.5}, {0.02, 0, 0.07, 0.01, 0, 0}); // U22 = 0: isotropic
    RecordingMessages messages;
    ASSERT_TRUE(generer(*model, messages));
    const CrystalCell& cell = model->cell;
    const double p2 = 19.7391754562;
    const AtomRecord& h = model->generated[1];
    EXPECT_EQ(h.isotropic, 1);
    EXPECT_NEAR(h.thermal[0], p2 * cell.a_star * cell.a_star * 0.01, 1e-15);
    EXPECT_NEAR(h.thermal[4], p2 * cell.a_star * cell.c_star * cell.metric.cos_beta_star * 0.01, 1e-15);
    const AtomRecord& h1 = model->generated[2];
    EXPECT_EQ(h1.isotropic, 0);
    EXPECT_NEAR(h1.thermal[1], p2 * cell.b_star * cell.b_star * 0.04, 1e-15);
    EXPECT_NEAR(h1.thermal[3], p2 * cell.a_star * cell.b_star * 0.001, 1e-15);
    EXPECT_EQ(model->generated[3].isotropic, 1);
    EXPECT_NEAR(model->generated[3].thermal[0], h.thermal[0], 1e-15);
    const AtomRecord& c = model->generated[4];
    EXPECT_EQ(c.isotropic, 1);
    EXPECT_NEAR(c.thermal[2], p2 * cell.c_star * cell.c_star * 0.02, 1e-15);
}

TEST(GenerationCandidates, BetaIsTurnedByTheOperator)
{
    auto model = model_with_cell(7, 7, 9, 90, 90, 90);
    set_operators(*model, {"-Y,X,Z"});
    add_atom(*model, "C 1", {0.1, 0.2, 0.3}, {0.01, 0.02, 0.03, 0.004, 0.005, 0.006});
    RecordingMessages messages;
    ASSERT_TRUE(generer(*model, messages));
    const auto& b = model->generated[1].thermal;
    const double g = 19.7391754562 * model->cell.a_star * model->cell.a_star;
    const double gc = 19.7391754562 * model->cell.a_star * model->cell.c_star;
    // R = [[0,-1,0],[1,0,0],[0,0,1]]: b'11 = b22, b'22 = b11, b'12 = -b12, b'13 = -b23, b'23 = b13.
    EXPECT_NEAR(b[0], g * 0.02, 1e-14);
    EXPECT_NEAR(b[1], g * 0.01, 1e-14);
    EXPECT_NEAR(b[3], -g * 0.004, 1e-14);
    EXPECT_NEAR(b[4], -gc * 0.006, 1e-14);
    EXPECT_NEAR(b[5], gc * 0.005, 1e-14);
}

TEST(GenerationCandidates, StoreCountsSurvivorsNotTheProduct)
{
    // 192 operators x 20 atoms = 3840 pairs, but only 480 distinct sites.
    auto model = model_with_cell(12, 12, 12, 90, 90, 90);
    const auto ops = close_group(test_groups().back()); // Fm-3m
    ASSERT_EQ(ops.size(), 192u);
    for (const SymmetryOperator& op : ops) model->operators.push(op), model->selected_operators.push(op);
    for (int i = 1; i <= 20; ++i) add_atom(*model, "C " + std::to_string(i), {0.01 * i, 0, 0});
    RecordingMessages messages;
    EXPECT_TRUE(generer(*model, messages));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(model->generated.count(), 20 * 24);
}

TEST(GenerationCandidates, MoreSitesThanTheTableTakesKeepTheFirst)
{
    // 10 000 atoms under 12 translations: 120 000 distinct sites, operator
    // after operator; the table keeps the first 100 000.
    auto model = model_with_cell(100, 100, 100, 90, 90, 90);
    set_translations(*model, 12);
    for (int i = 0; i < MaxAsymAtoms; ++i)
        add_atom(*model, "C" + std::to_string(i % 100), {0.0008 * (i % 100), 0.01 * (i / 100), 0.5});
    RecordingMessages messages;
    EXPECT_FALSE(generer(*model, messages));
    EXPECT_EQ(messages.shown, std::vector<std::string>{"Too many generated atoms"});
    ASSERT_EQ(model->generated.count(), MaxGeneratedAtoms);
    EXPECT_EQ(model->generated[MaxGeneratedAtoms].operator_index, 10);
    EXPECT_EQ(model->generated[MaxGeneratedAtoms].xyz[1], model->asym[MaxAsymAtoms].xyz[1]);
}

TEST(GenerationRun, RestoresTheUnitRebuildsCopiesAndShowsTheWaitCursor)
{
    auto model = model_with_cell(10, 10, 10, 90, 90, 90);
    set_operators(*model, {"X,Y,Z", "-X,-Y,-Z"});
    add_atom(*model, "CL1", {0.9, 0.5, 0.5});
    add_atom(*model, "C 1", {0.05, 0.5, 0.5});
    add_bond_sort(*model, "CL", "C", 2.0);
    model->generation.box = 1;
    model->generation.box_reduce = 1;
    const AtomRecord before = model->asym[2];
    BusyRecorder messages;
    ASSERT_TRUE(generer(*model, messages));
    EXPECT_EQ(messages.busy_calls, (std::vector<bool>{true, false}));
    ASSERT_EQ(model->asym.count(), 2);
    EXPECT_EQ(model->asym[2].xyz, before.xyz); // the pre-pass moved it only in its own copy
    EXPECT_EQ(model->asym[2].label, before.label);
    ASSERT_GT(model->generated.count(), 0);
    for (int i = 1; i <= model->generated.count(); ++i) {
        EXPECT_EQ(model->initial_generated[i].xyz, model->generated[i].xyz);
        EXPECT_EQ(model->generated[i].shown, 1);
        EXPECT_EQ(model->display_labels[i], model->generated[i].label == "CL1" ? "Cl1" : "C1");
    }

    model->asym.clear();
    EXPECT_TRUE(generer(*model, messages));
    EXPECT_EQ(model->generated.count(), 0);
    EXPECT_EQ(model->bonds.count(), 0); // no bond left naming atoms that are gone
}

TEST(GenerationRun, MissingCellIsRefused)
{
    auto model = std::make_unique<StructureModel>();
    set_operators(*model, {"X,Y,Z"});
    add_atom(*model, "C 1", {0.1, 0.2, 0.3});
    RecordingMessages messages;
    EXPECT_FALSE(generer(*model, messages));
    EXPECT_EQ(messages.shown, std::vector<std::string>{"No cell parameters"});
    EXPECT_EQ(model->generated.count(), 0);
}

TEST(GenerationFragments, MoleculeAcrossTheCellFaceStaysWhole)
{
    auto model = model_with_cell(10, 10, 10, 90, 90, 90);
    set_operators(*model, {"X,Y,Z"});
    add_atom(*model, "C 1", {0.9, 0.5, 0.5});
    add_atom(*model, "O 1", {0.3, 0.5, 0.5});
    add_atom(*model, "C 2", {0.02, 0.5, 0.5}); // bonded to C 1 through the face
    add_bond_sort(*model, "C", "C", 1.6);
    model->generation.fragments = 1;
    RecordingMessages messages;
    ASSERT_TRUE(generer(*model, messages));
    ASSERT_EQ(model->generated.count(), 3);
    EXPECT_EQ(model->generated[1].label, "C 1");
    EXPECT_EQ(model->generated[2].label, "C 2");
    EXPECT_NEAR(model->generated[2].xyz[0], 1.02, 1e-12);
    EXPECT_EQ(model->generated[2].operator_index, 1); // fragment numbers
    EXPECT_EQ(model->generated[3].label, "O 1");
    EXPECT_EQ(model->generated[3].operator_index, 2);
}

TEST(GenerationFragments, OnlyAnisotropicAtomsAreTurnedInThePrePass)
{
    auto model = model_with_cell(10, 10, 10, 90, 90, 90);
    set_operators(*model, {"X,Y,Z", "Y,X,Z"});
    add_atom(*model, "C 1", {0.1, 0.2, 0.3});
    add_atom(*model, "C 2", {0.21, 0.1, 0.3}, {0.05, 0, 0, 0, 0, 0});                   // joins through Y,X,Z
    add_atom(*model, "C 3", {0.2, 0.12, 0.3}, {0.01, 0.02, 0.03, 0.001, 0.002, 0.003}); // likewise
    add_bond_sort(*model, "C", "C", 1.0);
    std::vector<AtomRecord> atoms(model->asym.begin(), model->asym.end());
    const auto f = gen::asym_fragments(*model, atoms);
    ASSERT_EQ(f.fragments, 1);
    ASSERT_EQ(f.atoms.size(), 3u);
    EXPECT_EQ(f.atoms[1].xyz, (Vec3{0.1, 0.21, 0.3}));
    EXPECT_EQ(f.atoms[1].thermal, (Thermal6{0.05, 0, 0, 0, 0, 0})); // still isotropic
    EXPECT_EQ(f.atoms[2].thermal, (Thermal6{0.02, 0.01, 0.03, 0.001, 0.003, 0.002}));
}

TEST(GenerationFragments, StoreLimitsKeepWhatFitted)
{
    // Isolated atoms, one more than the asymmetric-unit store has fragments.
    auto model = model_with_cell(40, 40, 40, 90, 90, 90);
    set_operators(*model, {"X,Y,Z"});
    const int atoms = gen::MaxAsymFragments + 1;
    for (int i = 0; i < atoms; ++i) add_atom(*model, "C 1", {0.03 * (i % 32) + 0.01, 0.03 * (i / 32) + 0.01, 0.5});
    model->generation.fragments = 1;
    RecordingMessages messages;
    EXPECT_FALSE(generer(*model, messages));
    EXPECT_EQ(messages.shown, std::vector<std::string>{"Too many generated atoms"});
    EXPECT_EQ(model->generated.count(), gen::MaxAsymFragments);
    EXPECT_EQ(model->asym.count(), atoms);
}

TEST(GenerationSphere, AtomExactlyAtTheRadius)
{
    auto model = model_with_cell(10, 11, 12, 90, 90, 90);
    set_operators(*model, {"X,Y,Z"});
    const Vec3 x{0.3, 0.4, 0.45};
    add_atom(*model, "C 1", x);
    model->generation.sphere = 1;
    model->generation.centre = {0, 0, 0};
    model->generation.sphere_radius = gen::cart_distance(model->cell.metric.T, x, {0, 0, 0});
    model->generation.sphere_reduce = 1; // atom by atom: distance <= R
    RecordingMessages messages;
    ASSERT_TRUE(generer(*model, messages));
    ASSERT_EQ(model->generated.count(), 1);
    EXPECT_EQ(model->generated[1].xyz, x);

    model->generation.sphere_reduce = 0; // fragment by fragment: strictly closer than R
    ASSERT_TRUE(generer(*model, messages));
    EXPECT_EQ(model->generated.count(), 0);
    model->generation.sphere_radius = std::nextafter(model->generation.sphere_radius, 10.0);
    ASSERT_TRUE(generer(*model, messages));
    EXPECT_EQ(model->generated.count(), 1);
}

TEST(GenerationBox, HexagonalCellContentsIsTheHexagon)
{
    auto model = model_with_cell(5, 5, 8, 90, 90, 120);
    set_operators(*model, {"X,Y,Z"});
    add_atom(*model, "C 1", {0.2, 0.1, 0.3});
    add_atom(*model, "O 1", {0, 0, 0});
    choose_cell_contents(*model);
    EXPECT_EQ(model->generation.box_size, (Vec3{2.01, 2.01, 1.01}));
    EXPECT_EQ(model->generation.centre, (Vec3{0, 0, 0}));
    RecordingMessages messages;
    ASSERT_TRUE(generer(*model, messages));
    int carbons = 0, oxygens = 0;
    for (const AtomRecord& a : model->generated) {
        EXPECT_LE(std::abs(a.xyz[0]), 1.005);
        EXPECT_LE(std::abs(a.xyz[1]), 1.005);
        EXPECT_LE(std::abs(a.xyz[2]), 0.505);
        EXPECT_LE(std::abs(a.xyz[0] - a.xyz[1]), 1.001);
        (a.label == "C 1" ? carbons : oxygens)++;
    }
    EXPECT_EQ(carbons, 3); // three cells make the hexagon
    EXPECT_EQ(oxygens, 7); // its centre and six corners; z = +-1 lie outside
}

TEST(GenerationBox, TheLastAtomThatFitsIsKeptTheNextRefused)
{
    for (const bool one_more : {false, true}) {
        auto model = model_with_cell(100, 100, 100, 90, 90, 90);
        set_translations(*model, 10);
        // Atoms on the face z = 0 appear twice in the cell, at z = 0 and 1:
        // 5000 atoms under 10 translations give 100 000 copies, one more
        // than an enclosure keeps; 99 990 when the last lies inside.
        for (int i = 0; i < 5000; ++i)
            add_atom(*model, "C 1",
                     {0.006 + 0.0018 * (i % 50), 0.01 + 0.0098 * (i / 50), (i == 4999 && !one_more) ? 0.5 : 0.0});
        choose_cell_contents(*model);
        RecordingMessages messages;
        EXPECT_EQ(generer(*model, messages), !one_more);
        ASSERT_EQ(model->generated.count(), one_more ? gen::MaxKept : 99990);
        EXPECT_EQ(messages.shown.size(), one_more ? 1u : 0u);
        // In order: each atom's copies with the shift along c innermost.
        const AtomRecord& last = model->generated[model->generated.count()];
        EXPECT_EQ(last.operator_index, 10);
        EXPECT_EQ(last.xyz[1], model->asym[5000].xyz[1]);
        EXPECT_EQ(last.xyz[2], model->asym[5000].xyz[2]);
    }
}

TEST(GenerationSiteSet, GrowsPastItsAnnouncedSizeAndSkipsNothing)
{
    auto model = model_with_cell(10, 10, 10, 90, 90, 90);
    gen::SiteSet sites(model->cell.metric.BG, 1);
    for (int i = 0; i < 1000; ++i) sites.add({0.001 * i, 0.5, 0.5}); // 0.01 A apart: each its own site
    EXPECT_EQ(sites.count(), 1000);
    EXPECT_TRUE(sites.contains({0.4995, 0.5, 0.5}));  // 0.005 A from two of them
    EXPECT_FALSE(sites.contains({0.5, 0.5, 0.502})); // 0.02 A off the row
    EXPECT_FALSE(sites.contains({NAN, 0.5, 0.5}));   // a position that is not a number is no site
}

TEST(GenerationSphere, AbsurdSizesEndAtOnce)
{
    auto model = model_with_cell(5, 5, 5, 90, 90, 90);
    set_operators(*model, {"X,Y,Z"});
    add_atom(*model, "C 1", {0.1, 0.2, 0.3});
    model->generation.sphere = 1;
    model->generation.sphere_reduce = 1;
    RecordingMessages messages;
    model->generation.sphere_radius = 1e6; // millions of cells
    EXPECT_FALSE(generer(*model, messages));
    EXPECT_EQ(messages.shown.back(), "Too many generated atoms");
    model->generation.sphere_radius = NAN;
    EXPECT_TRUE(generer(*model, messages));
    EXPECT_EQ(model->generated.count(), 0);

    model->generation.sphere = 0;
    model->generation.box = 1;
    model->generation.box_reduce = 1;
    model->generation.box_size = {1e9, 0.01, 0.01}; // a long thin box missing the atom
    EXPECT_TRUE(generer(*model, messages));
    EXPECT_EQ(model->generated.count(), 0);
    model->generation.box_size = {1e9, 1, 1}; // one atom per cell along a
    EXPECT_FALSE(generer(*model, messages));
    EXPECT_EQ(model->generated.count(), gen::MaxKept);
}

TEST(GenerationBox, ThinBoxFragmentByFragmentEndsAtOnce)
{
    auto model = model_with_cell(5, 5, 5, 90, 90, 90);
    set_operators(*model, {"X,Y,Z"});
    add_atom(*model, "C 1", {0.1, 0.2, 0.3});
    model->generation.box = 1;
    model->generation.box_size = {1e9, 0.01, 0.01}; // misses the atom along b and c
    RecordingMessages messages;
    EXPECT_TRUE(generer(*model, messages));
    EXPECT_EQ(model->generated.count(), 0);
}

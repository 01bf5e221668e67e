// The bond search: carbon order classes, the inclusive limit, one bond per
// matching sort, the full bond table, limits that could upset the cell grid,
// and the grid search against the plain double loop on random cells.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <vector>

#include "bonds_literal.h"
#include "recording_messages.h"

using namespace kestro;

namespace {

// T is the identity: coordinates are Angstrom, distances from the origin exact.
std::unique_ptr<StructureModel> structure(std::initializer_list<std::pair<const char*, Vec3>> atoms,
                                          std::initializer_list<BondSort> sorts)
{
    auto model = std::make_unique<StructureModel>();
    model->cell.metric.T = identity3();
    for (const auto& [label, xyz] : atoms) {
        AtomRecord atom;
        atom.label = label, atom.xyz = xyz;
        model->generated.push(atom);
    }
    for (const BondSort& s : sorts) model->bond_sorts.push(s);
    return model;
}

struct Found {
    int atom1, atom2, order;
    double length;
    bool operator==(const Found&) const = default;
};
void PrintTo(const Found& f, std::ostream* os) { *os << f.atom1 << "-" << f.atom2 << " o" << f.order << " " << f.length; }

std::vector<Found> bonds_of(const StructureModel& model)
{
    std::vector<Found> out;
    for (const BondRecord& b : model.bonds) out.push_back({b.atom1, b.atom2, b.order, b.length});
    return out;
}

std::vector<Found> search(StructureModel& model, bool expected_result = true)
{
    RecordingMessages messages;
    EXPECT_EQ(liaisons(model, messages), expected_result);
    EXPECT_EQ(messages.shown.size(), expected_result ? 0u : 1u);
    return bonds_of(model);
}

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

} // namespace

TEST(Bonds, CarbonCarbonBondsAreClassedByLengthWithStrictThresholds)
{
    const struct {
        const char* second;
        double d;
        int order;
    } cases[] = {{"C 2", 1.40, 1}, {"C 2", 1.20, 2}, {"C 2", 1.439, 0}, {"C 2", 1.271, 0},
                 {"C 2", 1.54, 0}, {"C 2", 0.0, 2},  {"N 1", 1.25, 0},  {"N 1", 1.40, 0}};
    for (const auto& c : cases) {
        auto model = structure({{"C 1", {0, 0, 0}}, {c.second, {c.d, 0, 0}}}, {{"C", "C", 2.0}, {"C", "N", 2.0}});
        EXPECT_EQ(search(*model), (std::vector<Found>{{1, 2, c.order, c.d}})) << c.second << " " << c.d;
    }
}

TEST(Bonds, LimitIsInclusiveAndEveryMatchingSortGivesABond)
{
    // C-N is listed twice (once reversed, lower case as a structure file may
    // hold it); atom 2 is hidden and still takes part; XX and "" name no sort.
    auto model = structure({{"C 1", {0, 0, 0}}, {"N 1", {0, 1.0, 0}}, {"N 2", {1.5, 0, 0}},
                            {"XX1", {0, 0, 0.5}}, {"", {0, 0, 0.4}}, {"CL1", {0, 0, -1.5}}},
                           {{"C", "N", 1.5}, {"N", "N", 1.0}, {"n", "c", 2.0}, {"C", "C", 9}, {"Cl", "C ", 1.5}});
    model->generated[2].shown = 0;
    EXPECT_EQ(search(*model), (std::vector<Found>{{1, 2, 0, 1.0}, {1, 2, 0, 1.0}, {1, 3, 0, 1.5}, {1, 3, 0, 1.5},
                                                  {1, 6, 0, 1.5}})); // N-N is 1.80, over its limit

    const double n_n = std::sqrt(1.5 * 1.5 + 1.0); // a limit equal to the computed length accepts it
    model->bond_sorts[1].max_length = std::nextafter(1.5, 0.0);
    model->bond_sorts[2].max_length = n_n;
    model->bond_sorts[3].max_length = 1.2;
    EXPECT_EQ(search(*model), (std::vector<Found>{{1, 2, 0, 1.0}, {1, 2, 0, 1.0}, {1, 6, 0, 1.5}, {2, 3, 0, n_n}}));
}

TEST(Bonds, AFullTableEndsTheSearchAtItsLastBond)
{
    // 1000 coincident carbons give 499 500 pairs, which fit; a 1001st gives
    // 500 500, and the search stops at the table's last bond in pair order.
    auto model = structure({}, {{"C", "C", 1.0}});
    AtomRecord atom;
    atom.label = "C 1";
    for (int k = 0; k < 1000; ++k) model->generated.push(atom);
    RecordingMessages quiet;
    EXPECT_TRUE(liaisons(*model, quiet));
    EXPECT_EQ(model->bonds.count(), 499500);
    ASSERT_LT(model->bonds.count(), MaxBonds);

    model->generated.push(atom);
    RecordingMessages messages;
    EXPECT_FALSE(liaisons(*model, messages));
    EXPECT_EQ(messages.shown, std::vector<std::string>{"Too much bonds!"});
    ASSERT_EQ(model->bonds.count(), MaxBonds);
    int row = 1, left = MaxBonds; // the MaxBonds-th pair i < j of 1001 atoms
    while (left > 1001 - row) left -= 1001 - row++;
    EXPECT_EQ(bonds_of(*model).back(), (Found{row, row + left, 2, 0.0}));
}

TEST(Bonds, LimitsAndPositionsThatCouldUpsetTheGrid)
{
    // Coincident carbons, one 1e6 Angstrom away, one at a NaN position (never bonds).
    const auto pairs = [](double limit) {
        auto model = structure({{"C 1", {5, 5, 5}}, {"C 2", {5, 5, 5}}, {"C 3", {1e6, 0, -1e6}}, {"C 4", {NaN, 0, 0}}},
                               {{"C", "C", limit}});
        std::vector<std::pair<int, int>> out;
        for (const Found& f : search(*model)) out.emplace_back(f.atom1, f.atom2);
        return out;
    };
    using Pairs = std::vector<std::pair<int, int>>;
    for (double limit : {0.0, 1e-300}) EXPECT_EQ(pairs(limit), (Pairs{{1, 2}})) << limit; // no lower limit
    for (double limit : {-1.0, NaN}) EXPECT_EQ(pairs(limit), Pairs{}) << limit;
    for (double limit : {1e300, std::numeric_limits<double>::infinity()})
        EXPECT_EQ(pairs(limit), (Pairs{{1, 2}, {1, 3}, {2, 3}})) << limit;

    // 2000 atoms spread over 1e7 Angstrom with a 0.01 limit: the grid stays
    // bounded by the atom count and still finds the one coincident pair.
    auto spread = structure({}, {{"H", "H", 0.01}});
    AtomRecord atom;
    atom.label = "H 1";
    for (int k = 0; k < MaxGeneratedAtoms; ++k) {
        atom.xyz = {k * 1e4, (k % 7) * 1e5, (k % 13) * -1e5};
        spread->generated.push(atom);
    }
    spread->generated[MaxGeneratedAtoms].xyz = spread->generated[1].xyz;
    EXPECT_EQ(search(*spread), (std::vector<Found>{{1, MaxGeneratedAtoms, 0, 0.0}}));
}

// Random structures of every crystal system with coincident atoms, repeated
// sorts, limits exactly at a pair's distance and carbons near the thresholds:
// same bonds, same order, bit-identical lengths as the double loop.
TEST(Bonds, DisorderPartsBondAsTheRefinementProgramsHaveIt)
{
    // T is the identity; x' = -x for the second operator. O1 of part 0,
    // C2 and C3 the two parts of assembly A, N4 part 1 of assembly B, and
    // S5, S6 of part -1 with S5' the image of S5 through -x, 0.4 A away.
    auto model = structure({{"O1", {0, 0, 0}},
                            {"C2", {1.4, 0, 0}},
                            {"C3", {1.4, 0.5, 0}},
                            {"N4", {1.4, 1.5, 0}},
                            {"S5", {0.2, 5, 0}},
                            {"S6", {1.7, 5, 0}},
                            {"S5", {-0.2, 5, 0}}},
                           {{"O", "C", 1.6}, {"C", "C", 1.6}, {"C", "N", 1.6}, {"S", "S", 1.6}});
    const int parts[] = {0, 1, 2, 1, -1, -1, -1};
    const char* assemblies[] = {"", "A", "A", "B", "", "", ""};
    for (int i = 1; i <= 7; ++i) {
        model->generated[i].part = parts[i - 1];
        model->generated[i].assembly = assemblies[i - 1];
    }
    model->selected_operators.push(SymmetryOperator::identity());
    model->selected_operators.push({{{{-1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}}}});
    for (int i : {5, 6}) model->asym.push(model->generated[i]);
    const std::vector<Found> bonds = search(*model);
    std::vector<std::pair<int, int>> pairs;
    for (const Found& f : bonds) pairs.emplace_back(f.atom1, f.atom2);
    // O1 bonds both parts; C2-C3 (parts 1 and 2 of A) do not; N4 of another
    // assembly bonds to both; S5-S6 of one copy do, S5-S5' does not.
    EXPECT_EQ(pairs, (std::vector<std::pair<int, int>>{{1, 2}, {1, 3}, {2, 4}, {3, 4}, {5, 6}}));

    // Without parts every pair within its limit bonds, as always.
    for (AtomRecord& atom : model->generated) atom.part = 0;
    EXPECT_EQ(search(*model).size(), 7u);
}

TEST(Bonds, GridSearchMatchesTheDoubleLoopOnRandomStructures)
{
    std::mt19937 rng(20240601);
    const auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    const auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    const char* const labels[] = {"C 1", "C12", "H 3", "N 1", "O 7", "CL2", "S 1", "XX1", "c 4"};
    const char* const symbols[] = {"C", "H", "N", "O", "CL", "Cl", "S", "C "};
    auto model = std::make_unique<StructureModel>(), reference = std::make_unique<StructureModel>();
    int total_bonds = 0, overflows = 0;
    for (int run = 0; run < 1200; ++run) {
        *model = StructureModel{};
        CrystalCell& cell = model->cell;
        cell.a = uniform(3, 25), cell.b = uniform(3, 25), cell.c = uniform(3, 25);
        cell.alpha = uniform(60, 120), cell.beta = uniform(60, 120), cell.gamma = uniform(60, 120);
        const int system = run % 7; // cubic, tetragonal, orthorhombic, hexagonal, rhombohedral, monoclinic, triclinic
        if (system <= 3) cell.alpha = cell.beta = cell.gamma = 90;
        if (system == 0 || system == 4) cell.b = cell.c = cell.a;
        if (system == 1 || system == 3) cell.b = cell.a;
        if (system == 3) cell.gamma = 120;
        if (system == 4) cell.beta = cell.gamma = cell.alpha;
        if (system == 5) cell.alpha = cell.gamma = 90;
        RecordingMessages quiet;
        if (!cell_metric(*model, quiet)) continue; // an impossible set of angles

        // One run crowded enough (all sorts without a limit) to fill the table.
        const bool crowded = run == 600;
        const int atoms = crowded ? 1400 : run % 50 == 0 ? 500 : 2 + pick(160);
        for (int k = 0; k < atoms; ++k) {
            AtomRecord atom;
            atom.label = crowded ? "C 1" : labels[pick(std::size(labels))];
            atom.xyz = {uniform(-0.2, 1.2), uniform(-0.2, 1.2), uniform(-0.2, 1.2)};
            if (k > 0 && pick(10) == 0) atom.xyz = model->generated[1 + pick(k)].xyz;
            // Every third run disordered: parts -1 to 2 in assemblies "", A, B.
            if (run % 3 == 0) {
                atom.part = static_cast<int>(pick(4)) - 1;
                atom.assembly = std::array<const char*, 3>{"", "A", "B"}[pick(3)];
            }
            model->generated.push(atom);
        }
        for (int k = 1 + pick(12); k > 0; --k) {
            BondSort sort{symbols[pick(std::size(symbols))], symbols[pick(std::size(symbols))], uniform(0.5, 4.0)};
            if (pick(15) == 0) sort.max_length = 0;
            model->bond_sorts.push(sort);
            if (pick(4) == 0) model->bond_sorts.push(sort);
        }
        if (crowded) model->bond_sorts.push({"C", "C", 1e3});
        for (int k = 0; k < 3; ++k) {
            const int i = 1 + pick(atoms), j = 1 + pick(atoms);
            const Mat3& t = cell.metric.T;
            model->bond_sorts[1 + pick(model->bond_sorts.count())].max_length =
                bond_distance(mat_vec(t, model->generated[i].xyz), mat_vec(t, model->generated[j].xyz));
            AtomRecord carbon = model->generated[i];
            model->generated[i].label = carbon.label = "C 8";
            carbon.xyz[0] += (pick(2) ? CarbonDoubleBelow : CarbonSingleBelow) / t[0][0];
            if (model->generated.push(carbon)) model->bond_sorts.push({"C", "C", 2.0});
        }

        *reference = *model;
        RecordingMessages fast_messages, literal_messages;
        const bool fast = liaisons(*model, fast_messages);
        ASSERT_EQ(fast, kestro_test::liaisons_literal(*reference, literal_messages)) << "run " << run;
        EXPECT_EQ(fast_messages.shown, literal_messages.shown) << "run " << run;
        ASSERT_EQ(bonds_of(*model), bonds_of(*reference)) << "run " << run;
        total_bonds += model->bonds.count();
        overflows += fast ? 0 : 1;
    }
    EXPECT_GT(total_bonds, 100000); // the runs exercised the search
    EXPECT_GT(overflows, 0);        // and the full table
}

// The hashed generation against the pair-by-pair one on random structures
// of every crystal system, under every enclosure option.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <sstream>

#include "crystal/generation.h"
#include "crystal/oemath.h"
#include "crystal/generation_steps.h"
#include "generation_groups.h"
#include "generation_literal.h"
#include "recording_messages.h"

using namespace kestro;

namespace {

constexpr const char* Symbols[] = {"C", "O", "N", "H"};

// Coordinates drawn from special values (0, 1/2, 1/4, thirds, the edges
// 0 and 1 and just inside them) or at random.
double coordinate(std::mt19937& rng)
{
    static const double special[] = {0.0, 0.5, 0.25, 0.75, 1.0 / 3, 2.0 / 3, 0.99999, 0.00001, 1.0, 0.3333, 0.6667};
    if (std::uniform_int_distribution<int>(0, 2)(rng) == 0)
        return special[std::uniform_int_distribution<int>(0, 10)(rng)];
    return std::uniform_real_distribution<double>(-0.2, 1.2)(rng);
}

void random_structure(StructureModel& model, std::mt19937& rng, int group_index)
{
    const GroupSpec& group = test_groups()[static_cast<std::size_t>(group_index)];
    random_cell(model, group.system, rng);
    const auto ops = close_group(group);
    model.operators.clear();
    model.selected_operators.clear();
    std::uniform_int_distribution<int> coin(0, 1);
    for (const SymmetryOperator& op : ops) {
        model.operators.push(op);
        if (model.selected_operators.empty() || coin(rng) || coin(rng)) model.selected_operators.push(op);
    }
    std::uniform_real_distribution<double> unit(0, 1);
    const int max_atoms = ops.size() >= 96 ? 3 : ops.size() >= 24 ? 5 : 10;
    const int n = std::uniform_int_distribution<int>(1, max_atoms)(rng);
    model.asym.clear();
    for (int i = 0; i < n; ++i) {
        AtomRecord atom;
        const char* symbol = Symbols[std::uniform_int_distribution<int>(0, 3)(rng)];
        const bool unspaced_h = std::string(symbol) == "H" && coin(rng);
        atom.label = unspaced_h ? "H" + std::to_string(i + 1) : std::string(symbol) + " " + std::to_string(i + 1);
        if (i > 0 && coin(rng)) {
            // Near the previous atom: bonded chains make fragments.
            const Vec3 step{unit(rng) - 0.5, unit(rng) - 0.5, unit(rng) - 0.5};
            const double len = std::sqrt(step[0] * step[0] + step[1] * step[1] + step[2] * step[2]) + 1e-9;
            const double d = 0.9 + 0.9 * unit(rng);
            const Vec3 cart{step[0] / len * d, step[1] / len * d, step[2] / len * d};
            const Vec3 frac = mat_vec(model.cell.metric.GBi, cart);
            const Vec3& prev = model.asym[i].xyz;
            atom.xyz = {prev[0] + frac[0], prev[1] + frac[1], prev[2] + frac[2]};
        } else {
            atom.xyz = {coordinate(rng), coordinate(rng), coordinate(rng)};
            if (coin(rng)) atom.xyz[1] = atom.xyz[0]; // on a diagonal
        }
        if (coin(rng)) {
            atom.thermal = {0.01 + 0.03 * unit(rng), 0.01 + 0.03 * unit(rng), 0.01 + 0.03 * unit(rng),
                            0.005 * unit(rng), -0.004 * unit(rng), 0.003 * unit(rng)};
        } else {
            atom.thermal = {0.02 + 0.02 * unit(rng), 0, coin(rng) ? 0.01 : 0.0, 0, 0, 0};
        }
        model.asym.push(atom);
    }
    model.bond_sorts.clear();
    for (int a = 0; a < 4; ++a)
        for (int b = a; b < 4; ++b) {
            if (std::uniform_int_distribution<int>(0, 5)(rng) == 0) continue; // some pairs never bond
            BondSort sort;
            sort.element1 = Symbols[a];
            sort.element2 = Symbols[b];
            sort.max_length = 1.2 + 1.0 * unit(rng);
            model.bond_sorts.push(sort);
        }

    GenerationOptions& o = model.generation;
    o = GenerationOptions{};
    switch (std::uniform_int_distribution<int>(0, 4)(rng)) {
    case 1: o.box = 1; break;
    case 2: o.sphere = 1; break;
    case 3: o.fragments = 1; break;
    case 4:
        o.cell_contents = 1;
        o.box_reduce = 1;
        if (model.system_code == "HEXA") o.box_size = {2.01, 2.01, 1.01}, o.centre = {0, 0, 0};
        break;
    default: break;
    }
    if (o.box) {
        o.box_size = {0.4 + 1.4 * unit(rng), 0.4 + 1.4 * unit(rng), 0.4 + 1.4 * unit(rng)};
        o.centre = {unit(rng), unit(rng), unit(rng)};
        o.box_reduce = coin(rng);
    }
    if (o.sphere) {
        o.sphere_radius = 1.5 + 6 * unit(rng);
        o.centre = {unit(rng), unit(rng), unit(rng)};
        o.sphere_reduce = coin(rng);
    }
}

std::string describe(const AtomRecord& a)
{
    std::ostringstream out;
    out.precision(17);
    out << a.label.str() << " (" << a.xyz[0] << ", " << a.xyz[1] << ", " << a.xyz[2] << ") op " << a.operator_index
        << " iso " << a.isotropic;
    return out.str();
}

bool same_record(const AtomRecord& a, const AtomRecord& b)
{
    return a.label == b.label && a.xyz == b.xyz && a.thermal == b.thermal && a.operator_index == b.operator_index
        && a.isotropic == b.isotropic && a.shown == b.shown && a.labelled == b.labelled;
}

} // namespace

TEST(GenerationRandom, HashedEqualsPairByPairInEverySystemAndOption)
{
    std::mt19937 rng(20261208);
    const int groups = static_cast<int>(test_groups().size());
    int runs = 0, too_many = 0, options[5] = {0, 0, 0, 0, 0};
    for (int round = 0; round < 100; ++round)
        for (int g = 0; g < groups; ++g) {
            auto model = std::make_unique<StructureModel>();
            random_structure(*model, rng, g);
            const LiteralGeneration expected = literal_generation(*model);
            RecordingMessages messages;
            const bool ok = generer(*model, messages);
            ++runs;
            const GenerationOptions& o = model->generation;
            ++options[o.box ? 1 : o.sphere ? 2 : o.fragments ? 3 : o.cell_contents ? 4 : 0];
            const bool refused = !messages.shown.empty() && messages.shown.front() == "Too many generated atoms";
            too_many += refused;
            SCOPED_TRACE(std::string(test_groups()[static_cast<std::size_t>(g)].name) + " round " + std::to_string(round));
            ASSERT_EQ(refused, expected.too_many);
            // A run that fitted may still meet the bond table's own limit.
            const bool bonds_full = !messages.shown.empty() && messages.shown.back() == "Too much bonds!";
            ASSERT_EQ(ok, !expected.too_many && !bonds_full);
            ASSERT_EQ(model->generated.count(), static_cast<int>(expected.atoms.size()));
            for (int i = 1; i <= model->generated.count(); ++i)
                ASSERT_TRUE(same_record(model->generated[i], expected.atoms[static_cast<std::size_t>(i - 1)]))
                    << "atom " << i << ": " << describe(model->generated[i]) << " vs "
                    << describe(expected.atoms[static_cast<std::size_t>(i - 1)]);
        }
    EXPECT_GE(runs, 1000);
    for (int n : options) EXPECT_GT(n, 100); // every option well represented
    RecordProperty("too_many", too_many);
}

// Fragment building alone, on larger asymmetric units than the whole run can
// take in reasonable time pair by pair.
TEST(GenerationRandom, FragmentPassesEqualPairByPair)
{
    std::mt19937 rng(77);
    const int groups = static_cast<int>(test_groups().size());
    for (int round = 0; round < 20; ++round)
        for (int g = 0; g < groups; ++g) {
            auto model = std::make_unique<StructureModel>();
            random_structure(*model, rng, g);
            std::vector<AtomRecord> atoms(model->asym.begin(), model->asym.end());
            const auto fast = gen::asym_fragments(*model, atoms);
            const auto slow = literal_asym_fragments(*model, atoms);
            ASSERT_EQ(fast.fragments, slow.fragments);
            ASSERT_EQ(fast.atoms.size(), slow.atoms.size());
            for (std::size_t i = 0; i < fast.atoms.size(); ++i) ASSERT_TRUE(same_record(fast.atoms[i], slow.atoms[i]));
            const auto fast2 = gen::generated_fragments(*model, fast.atoms);
            const auto slow2 = literal_generated_fragments(*model, fast.atoms);
            ASSERT_EQ(fast2.fragments, slow2.fragments);
            ASSERT_EQ(fast2.atoms.size(), slow2.atoms.size());
            for (std::size_t i = 0; i < fast2.atoms.size(); ++i) ASSERT_TRUE(same_record(fast2.atoms[i], slow2.atoms[i]));
        }
}

// The bond search on an organic-like structure: the grid search against the
// plain double loop. Run: build/kestro_bench --benchmark_filter=Bonds
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>
#include <string>

#include "../tests/core/bonds_literal.h"
#include "crystal/bonds.h"
#include "crystal/oemath.h"
#include "crystal/sorts.h"
#include "model/structure_model.h"
#include "recording_messages.h"

namespace {

// Molecules as random walks of C, N and O (1.45 Angstrom steps) each heavy
// atom carrying one H at 1.0 Angstrom, dropped at random into a monoclinic
// cell of about 11 Angstrom^3 per atom, a molecular crystal's density. The
// limits are the defaults from rayons.cst (C-C 1.82, C-H 1.28, H-H 0.74).
std::unique_ptr<kestro::StructureModel> organic_model(int atoms)
{
    using namespace kestro;
    auto model = std::make_unique<StructureModel>();
    model->data_directory = KESTRO_SOURCE_DATA_DIR;
    for (const char* label : {"C 1", "H 1", "N 1", "O 1"}) {
        AtomRecord atom;
        atom.label = label;
        model->asym.push(atom);
    }
    RecordingMessages messages;
    build_bond_sorts(*model, messages);

    const double edge = std::cbrt(11.0 * atoms / 0.98); // sin(beta) of 101.3 degrees
    model->cell.a = edge * 0.9, model->cell.b = edge * 1.1, model->cell.c = edge;
    model->cell.alpha = 90, model->cell.beta = 101.3, model->cell.gamma = 90;
    cell_metric(*model, messages);
    const Mat3& to_fractional = model->cell.metric.T_inv;

    std::mt19937 rng(7);
    std::uniform_real_distribution<double> unit(0, 1);
    const auto direction = [&] {
        const double z = 2 * unit(rng) - 1, phi = 6.283185307 * unit(rng), s = std::sqrt(1 - z * z);
        return Vec3{s * std::cos(phi), s * std::sin(phi), z};
    };
    const auto add = [&](const char* label, const Vec3& cartesian) {
        AtomRecord atom;
        atom.label = label;
        atom.xyz = mat_vec(to_fractional, cartesian);
        return model->generated.count() < atoms && model->generated.push(atom);
    };
    while (model->generated.count() < atoms) {
        Vec3 heavy = mat_vec(model->cell.metric.T, {unit(rng), unit(rng), unit(rng)});
        for (int k = 0; k < 10; ++k) {
            const double pick = unit(rng);
            if (!add(pick < 0.75 ? "C 1" : pick < 0.88 ? "N 1" : "O 1", heavy)) break;
            const Vec3 h = direction(), step = direction();
            add("H 1", {heavy[0] + h[0], heavy[1] + h[1], heavy[2] + h[2]});
            for (int c = 0; c < 3; ++c) heavy[c] += 1.45 * step[c];
        }
    }
    return model;
}

void BM_Bonds(benchmark::State& state)
{
    auto model = organic_model(static_cast<int>(state.range(0)));
    RecordingMessages messages;
    for (auto _ : state) benchmark::DoNotOptimize(kestro::liaisons(*model, messages));
    state.counters["bonds"] = model->bonds.count();
}
BENCHMARK(BM_Bonds)->Arg(500)->Arg(2000)->Unit(benchmark::kMicrosecond);

void BM_BondsLiteral(benchmark::State& state)
{
    auto model = organic_model(static_cast<int>(state.range(0)));
    RecordingMessages messages;
    for (auto _ : state) benchmark::DoNotOptimize(kestro_test::liaisons_literal(*model, messages));
    state.counters["bonds"] = model->bonds.count();
}
BENCHMARK(BM_BondsLiteral)->Arg(500)->Arg(2000)->Unit(benchmark::kMicrosecond);

} // namespace

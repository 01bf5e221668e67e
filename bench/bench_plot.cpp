// A whole plot: generation ("Cell contents" of a C-centred orthorhombic
// organic crystal) and bond search, the grid versions against the pairwise
// ones. The argument is the number of generated atoms.
// Run: build/kestro_bench --benchmark_filter=Plot
#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "bench_support.h"
#include "bonds_literal.h"
#include "crystal/bonds.h"
#include "crystal/generation.h"
#include "crystal/oemath.h"
#include "crystal/operators.h"
#include "crystal/sorts.h"
#include "generation_groups.h"
#include "generation_literal.h"
#include "recording_messages.h"

namespace {

using kestro_bench::centred_organic;

void BM_Plot(benchmark::State& state)
{
    auto model = centred_organic(static_cast<int>(state.range(0)));
    RecordingMessages messages;
    for (auto _ : state) {
        kestro::generer(*model, messages);
        benchmark::DoNotOptimize(model->bonds.count());
    }
    state.counters["atoms"] = model->generated.count();
    state.counters["bonds"] = model->bonds.count();
}
BENCHMARK(BM_Plot)->Arg(2000)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_PlotLiteral(benchmark::State& state)
{
    auto model = centred_organic(static_cast<int>(state.range(0)));
    RecordingMessages messages;
    for (auto _ : state) {
        const LiteralGeneration result = literal_generation(*model);
        model->generated.clear();
        for (const kestro::AtomRecord& atom : result.atoms) model->generated.push(atom);
        kestro_test::liaisons_literal(*model, messages);
        benchmark::DoNotOptimize(model->bonds.count());
    }
    state.counters["atoms"] = model->generated.count();
    state.counters["bonds"] = model->bonds.count();
}
BENCHMARK(BM_PlotLiteral)->Arg(500)->Arg(2000)->Unit(benchmark::kMillisecond);

} // namespace

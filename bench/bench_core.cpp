// Hot paths of the core. Run: build/kestro_bench
#include <benchmark/benchmark.h>

#include <memory>

#include "crystal/oemath.h"
#include "formats/kes.h"
#include "model/structure_model.h"
#include "recording_messages.h"

namespace {

std::unique_ptr<kestro::StructureModel> filled_model(int atoms)
{
    auto model = std::make_unique<kestro::StructureModel>();
    model->cell.a = 10.2, model->cell.b = 11.5, model->cell.c = 7.9;
    model->cell.alpha = 90, model->cell.beta = 101.3, model->cell.gamma = 90;
    RecordingMessages messages;
    kestro::cell_metric(*model, messages);
    for (int i = 0; i < atoms; ++i) {
        kestro::AtomRecord atom;
        atom.label = "C 1";
        atom.xyz = {0.001 * i, 0.5, 0.25};
        atom.thermal = {0.001, 0.002, 0.003, 0, 0, 0};
        model->generated.push(atom);
    }
    return model;
}

void BM_CellMetric(benchmark::State& state)
{
    auto model = filled_model(0);
    RecordingMessages messages;
    for (auto _ : state) benchmark::DoNotOptimize(kestro::cell_metric(*model, messages));
}
BENCHMARK(BM_CellMetric);

// The structure text written after every plot ("dummy.kes").
void BM_StructureFileText(benchmark::State& state)
{
    auto model = filled_model(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(kestro::ascii_structure_text(*model));
}
BENCHMARK(BM_StructureFileText)->Arg(2000);

} // namespace

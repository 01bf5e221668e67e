// The readers on large texts: a SHELX atom continued over n lines and a CIF
// with n atom rows. Both should grow linearly with n.
// Run: build/kestro_bench --benchmark_filter=Reader
#include <benchmark/benchmark.h>

#include <string>

#include "formats/cif.h"
#include "formats/shelx.h"
#include "recording_messages.h"

namespace {

void BM_ReaderShelxContinuations(benchmark::State& state)
{
    std::string text = "TITL x\nCELL 0.7 10 11 12 90 100 90\nFVAR 1\nC1 1 0.1 0.2 0.3 11 0.02 =\n";
    for (int i = 0; i < state.range(0); ++i) text += "   =\n";
    text += " 0.01 0.03 0 0 0\nEND\n";
    for (auto _ : state) {
        kestro::StructureModel model;
        model.data_directory = KESTRO_SOURCE_DATA_DIR;
        RecordingMessages messages;
        benchmark::DoNotOptimize(kestro::read_shelx_instructions(text, "long.ins", model, messages));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ReaderShelxContinuations)->RangeMultiplier(10)->Range(1000, 1000000)->Complexity()
    ->Unit(benchmark::kMillisecond);

void BM_ReaderCifRows(benchmark::State& state)
{
    std::string text = "data_x\n_cell_length_a 10\n_cell_length_b 11\n_cell_length_c 12\n_cell_angle_alpha 90\n"
                       "_cell_angle_beta 100\n_cell_angle_gamma 90\n_symmetry_space_group_name_H-M 'P 1'\n"
                       "loop_\n_atom_site_label\n_atom_site_fract_x\n_atom_site_fract_y\n_atom_site_fract_z\n"
                       "_atom_site_U_iso_or_equiv\n";
    for (int i = 0; i < state.range(0); ++i) text += "C" + std::to_string(i % 1000) + " 0.1234(5) 0.2 0.3 0.02\n";
    text += "loop_\n_atom_site_aniso_label\n_atom_site_aniso_U_11\n_atom_site_aniso_U_22\n_atom_site_aniso_U_33\n";
    for (int i = 0; i < state.range(0); ++i) text += "C" + std::to_string(i % 1000) + " 0.01 0.02 0.03\n";
    for (auto _ : state) {
        kestro::StructureModel model;
        model.data_directory = KESTRO_SOURCE_DATA_DIR;
        RecordingMessages messages;
        std::string summary;
        benchmark::DoNotOptimize(kestro::read_cif(text, "big.cif", model, messages, summary));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ReaderCifRows)->RangeMultiplier(10)->Range(1000, 1000000)->Complexity()->Unit(benchmark::kMillisecond);

} // namespace

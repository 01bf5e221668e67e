// The label placement on real structures: every CIF of ../shared/testdata
// whose asymmetric unit has 10 to 150 atoms, plotted as the main window
// plots it, labels placed on all but hydrogen. Besides the time, the
// counters say how readable the labels are, placed and centred ("Labels in
// centre", every atom): label pairs that overlap, the share of label area
// on atoms or bonds (percent), labels nearer another atom than their own.
// Run: build/kestro_bench --benchmark_filter=LabelsOnRealStructures
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>

#include "bench_support.h"
#include "drawing/drawing_state.h"
#include "drawing/interaction.h"
#include "drawing/label_placement.h"
#include "formats/structure_files.h"
#include "platform/image_export.h"

namespace {

struct RealPicture {
    std::unique_ptr<kestro::StructureModel> model = std::make_unique<kestro::StructureModel>();
    std::unique_ptr<kestro::DrawingState> state = std::make_unique<kestro::DrawingState>();
    RecordingMessages messages;
    bool ready = false;

    explicit RealPicture(const std::string& path)
    {
        model->data_directory = KESTRO_SOURCE_DATA_DIR;
        model->program_directory = std::filesystem::temp_directory_path().string();
        ready = kestro::load_structure_file(*model, path, messages) &&
                kestro::mainmenu::plot_generation(*model, false, messages) && !model->generated.empty();
        if (!ready) return;
        kestro::assign_atom_colours(*model);
        kestro::prepare_drawing(*model, *state, 686, 686, messages);
    }
    kestro::LabelQuality quality()
    {
        kestro::LabelQuality q;
        kestro::with_picture_metrics(686, 686,
                                     [&](kestro::Canvas& metrics) { q = kestro::label_quality(*model, *state, metrics); });
        return q;
    }
};

void put(benchmark::State& s, const char* prefix, const kestro::LabelQuality& q)
{
    const std::string p = prefix;
    s.counters[p + "labels"] = q.labels;
    s.counters[p + "overlaps"] = q.overlapping_pairs;
    s.counters[p + "ink%"] = 100 * q.ink_on_figure;
    s.counters[p + "nearer"] = q.nearer_other;
}

void labels_on(benchmark::State& s, const std::string& path)
{
    kestro_bench::ensure_gui_application();
    RealPicture centred(path);
    centred.model->drawing.labels_centre = 1;
    kestro::centre_all_labels(*centred.model);
    put(s, "centre_", centred.quality());

    RealPicture placed(path);
    for (auto _ : s)
        kestro::with_picture_metrics(686, 686, [&](kestro::Canvas& metrics) {
            kestro::place_labels(*placed.model, *placed.state, metrics, kestro::AutoLabels::NoHydrogen);
        });
    put(s, "auto_", placed.quality());
    s.counters["atoms"] = placed.model->generated.count();
}

const bool registered = [] {
    const std::filesystem::path folder = std::filesystem::path(KESTRO_SOURCE_DATA_DIR) / "../../shared/testdata/cif";
    if (!std::filesystem::is_directory(folder)) return false;
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().extension() == ".cif") files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    for (const std::string& file : files) {
        RealPicture probe(file);
        const int asym = probe.model->asym.count();
        if (!probe.ready || asym < 10 || asym > 150) continue;
        benchmark::RegisterBenchmark(("LabelsOnRealStructures/" + std::filesystem::path(file).stem().string()).c_str(),
                                     [file](benchmark::State& s) { labels_on(s, file); })
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

} // namespace

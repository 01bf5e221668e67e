// The drawing where the user waits: one mouse-rotation step (outlines and
// the scene through the screen canvas), a full redraw with colour
// gradation, and the painter's order with the bond clipping alone. The
// argument is the number of generated atoms, on the 686 x 686 picture.
// Run: build/kestro_bench --benchmark_filter='Rotation|Gradation|SceneOrder'
#include <benchmark/benchmark.h>

#include <QImage>

#include "bench_support.h"
#include "crystal/generation.h"
#include "drawing/drawing_state.h"
#include "drawing/label_placement.h"
#include "platform/image_export.h"
#include "platform/raster_canvas.h"

namespace {

struct Picture {
    std::unique_ptr<kestro::StructureModel> model;
    std::unique_ptr<kestro::DrawingState> state = std::make_unique<kestro::DrawingState>();
    QImage image{686, 686, QImage::Format_RGB32};
    RecordingMessages messages;

    explicit Picture(int atoms) : model(kestro_bench::centred_organic(atoms))
    {
        kestro_bench::ensure_gui_application();
        kestro::generer(*model, messages);
        kestro::assign_atom_colours(*model);
        kestro::prepare_drawing(*model, *state, 686, 686, messages);
    }
    void count(benchmark::State& s) const
    {
        s.counters["atoms"] = model->generated.count();
        s.counters["bonds"] = model->bonds.count();
    }
};

void BM_RotationStep(benchmark::State& s)
{
    Picture p(static_cast<int>(s.range(0)));
    kestro::RasterCanvas canvas(p.image);
    int x = 300;
    for (auto _ : s) {
        kestro::mouse_step(*p.model, *p.state, kestro::MouseMode::RotationXY, {x, 300}, {x + 1, 301}, p.messages);
        kestro::draw_scene(*p.model, *p.state, canvas);
        ++x;
    }
    p.count(s);
}
BENCHMARK(BM_RotationStep)->Arg(250)->Arg(2000)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_RedrawGradation(benchmark::State& s)
{
    Picture p(static_cast<int>(s.range(0)));
    p.model->drawing.colour_gradation = 1;
    kestro::RasterCanvas canvas(p.image);
    for (auto _ : s) kestro::draw_scene(*p.model, *p.state, canvas);
    p.count(s);
}
BENCHMARK(BM_RedrawGradation)->Arg(250)->Arg(2000)->Unit(benchmark::kMillisecond);

void BM_SceneOrder(benchmark::State& s)
{
    Picture p(static_cast<int>(s.range(0)));
    kestro::BondBand band{};
    for (auto _ : s) {
        kestro::compute_paint_order(*p.state);
        int drawn = 0;
        for (int b = 1; b <= p.model->bonds.count(); ++b) drawn += kestro::bond_band(*p.model, *p.state, b, band);
        benchmark::DoNotOptimize(drawn);
    }
    p.count(s);
}
BENCHMARK(BM_SceneOrder)->Arg(2000)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

// Labels placed on every atom of the picture, measured in the fonts of the
// picture files.
void BM_LabelPlacement(benchmark::State& s)
{
    Picture p(static_cast<int>(s.range(0)));
    for (auto _ : s)
        kestro::with_picture_metrics(686, 686, [&](kestro::Canvas& metrics) {
            kestro::place_labels(*p.model, *p.state, metrics, kestro::AutoLabels::All);
        });
    p.count(s);
}
BENCHMARK(BM_LabelPlacement)->Arg(48)->Arg(208)->Unit(benchmark::kMillisecond);

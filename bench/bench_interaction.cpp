// The drawing window's actions on a large picture, each as the window runs
// it: a click that picks an atom, a masking rectangle confirmed, a zoom
// rectangle, and a label tool (delete one label, then its mode ends). The
// argument is the number of generated atoms, on the 686 x 686 picture.
// Run: build/kestro_bench --benchmark_filter='Interaction'
#include <benchmark/benchmark.h>

#include "bench_support.h"
#include "crystal/generation.h"
#include "drawing/drawing_state.h"
#include "drawing/interaction.h"
#include "drawing/view.h"

namespace {

using namespace kestro;

struct Bench {
    std::unique_ptr<StructureModel> model;
    std::unique_ptr<DrawingState> drawing = std::make_unique<DrawingState>();
    std::unique_ptr<InteractionState> state = std::make_unique<InteractionState>();
    RecordingMessages messages;
    Workbench bench{*model, *drawing, *state, messages};

    explicit Bench(int atoms) : model(kestro_bench::centred_organic(atoms))
    {
        generer(*model, messages);
        assign_atom_colours(*model);
        prepare_drawing(*model, *drawing, 686, 686, messages);
    }
    void count(benchmark::State& s) const { s.counters["atoms"] = model->generated.count(); }
    void click(PixelPoint p)
    {
        flag_on(bench, MouseButton::Left, p);
        mouse_up(bench, MouseButton::Left, p);
    }
    void drag(PixelPoint from, PixelPoint to)
    {
        flag_on(bench, MouseButton::Left, from);
        mouse_move(bench, to);
        mouse_up(bench, MouseButton::Left, to);
    }
};

// A click in distance mode on the picture's centre, and one on empty space.
void BM_InteractionHitTest(benchmark::State& s)
{
    Bench b(static_cast<int>(s.range(0)));
    for (auto _ : s) {
        start_mode(b.bench, PickMode::Distance);
        b.click({343, 343});
        b.click({2, 2});
        leave_modes(b.bench);
    }
    b.count(s);
}
BENCHMARK(BM_InteractionHitTest)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond);

// A rectangle of the centre masked (the masked atoms come back outside
// the timing).
void BM_InteractionMaskRectangle(benchmark::State& s)
{
    Bench b(static_cast<int>(s.range(0)));
    for (auto _ : s) {
        start_mode(b.bench, PickMode::MaskRectangle);
        b.drag({300, 300}, {380, 380});
        s.PauseTiming();
        for (AtomRecord& atom : b.model->generated) atom.shown = 1;
        s.ResumeTiming();
    }
    b.count(s);
}
BENCHMARK(BM_InteractionMaskRectangle)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_InteractionZoomRectangle(benchmark::State& s)
{
    Bench b(static_cast<int>(s.range(0)));
    for (auto _ : s) {
        start_mode(b.bench, PickMode::ZoomRectangle);
        b.drag({200, 200}, {480, 480});
        s.PauseTiming();
        b.drawing->screen.f = 1.0;
        b.drawing->zoom_in_force = false;
        s.ResumeTiming();
    }
    b.count(s);
}
BENCHMARK(BM_InteractionZoomRectangle)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond);

// "Delete label": the tool chosen, a click on the centre and one on empty
// space (the whole scan), the mode left.
void BM_InteractionLabelTool(benchmark::State& s)
{
    Bench b(static_cast<int>(s.range(0)));
    for (auto _ : s) {
        click_on_checklistbox(b.bench, LabelTool::DeleteLabel);
        b.click({343, 343});
        b.click({2, 2});
        leave_modes(b.bench);
    }
    b.count(s);
}
BENCHMARK(BM_InteractionLabelTool)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

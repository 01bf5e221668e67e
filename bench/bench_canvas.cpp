// The screen picture of a large structure: 2000 atoms as filled and
// outlined 51-point ellipse outlines (radius about 8 pixels) and 2500 bonds
// as 42-point bands about 30 pixels long, on the 686 x 686 image, through
// the raster canvas and, for comparison, through QPainter without
// antialiasing.
// Run: build/kestro_bench --benchmark_filter=Canvas
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include <array>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "bench_support.h"
#include "drawing/canvas.h"
#include "platform/painter_canvas.h"
#include "platform/raster_canvas.h"

namespace {

using kestro::PixelPoint;

constexpr int Side = 686;

using kestro_bench::ensure_gui_application;

struct Figure {
    std::vector<PixelPoint> points;
    kestro::Colour fill = 0;
};

std::vector<Figure> structure_figures()
{
    std::mt19937 random(20261208);
    std::uniform_real_distribution<double> position(12, Side - 12);
    std::uniform_real_distribution<double> angle(0, 2 * std::numbers::pi);
    std::uniform_real_distribution<double> unit(0, 1);
    const std::array<kestro::Colour, 4> colours = {0x0000FF, 0xFF0000, 0x808080, 0x00FF00};
    std::vector<Figure> figures;
    for (int atom = 0; atom < 2000; ++atom) {
        Figure figure{{}, colours[atom % colours.size()]};
        const double cx = position(random), cy = position(random), turn = angle(random);
        const double a = 7 + 2 * unit(random), b = 5 + 3 * unit(random);
        for (int k = 0; k <= 50; ++k) { // the 51st point closes the outline
            const double t = 2 * std::numbers::pi * (k % 50) / 50;
            const double x = a * std::cos(t), y = b * std::sin(t);
            figure.points.push_back({static_cast<int>(std::lround(cx + x * std::cos(turn) - y * std::sin(turn))),
                                     static_cast<int>(std::lround(cy + x * std::sin(turn) + y * std::cos(turn)))});
        }
        figures.push_back(std::move(figure));
    }
    for (int bond = 0; bond < 2500; ++bond) {
        Figure figure{{}, 0x00FFFF};
        const double cx = position(random), cy = position(random), turn = angle(random);
        const double dx = std::cos(turn), dy = std::sin(turn), half_width = 2 + unit(random);
        // 21 points across each end, slightly bowed as the outline of an
        // atom cuts the band, start side then end side back.
        const auto end_point = [&](double along, int k, double bow) {
            const double across = half_width * (k / 10.0 - 1);
            const double at = along + bow * (1 - (k / 10.0 - 1) * (k / 10.0 - 1));
            return PixelPoint{static_cast<int>(std::lround(cx + at * dx - across * dy)),
                              static_cast<int>(std::lround(cy + at * dy + across * dx))};
        };
        for (int k = 0; k <= 20; ++k) figure.points.push_back(end_point(-15, k, 1.5));
        for (int k = 20; k >= 0; --k) figure.points.push_back(end_point(15, k, -1.5));
        figures.push_back(std::move(figure));
    }
    return figures;
}

void draw_figures(kestro::Canvas& canvas, const std::vector<Figure>& figures)
{
    canvas.set_brush(0xFFFFFF);
    canvas.fill_rect(0, 0, Side, Side);
    canvas.set_pen({0, 1, kestro::PenStyle::Solid});
    for (const Figure& figure : figures) {
        canvas.set_brush(figure.fill);
        canvas.polygon(figure.points);
    }
}

void BM_RasterCanvasPolygons(benchmark::State& state)
{
    ensure_gui_application();
    const std::vector<Figure> figures = structure_figures();
    QImage image(Side, Side, QImage::Format_RGB32);
    kestro::RasterCanvas canvas(image);
    for (auto _ : state) {
        draw_figures(canvas, figures);
        benchmark::DoNotOptimize(image.constBits());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RasterCanvasPolygons)->Unit(benchmark::kMillisecond);

void BM_PainterCanvasPolygons(benchmark::State& state)
{
    ensure_gui_application();
    const std::vector<Figure> figures = structure_figures();
    QImage image(Side, Side, QImage::Format_RGB32);
    QPainter painter(&image);
    kestro::PainterCanvas canvas(painter, Side, Side, false);
    for (auto _ : state) {
        draw_figures(canvas, figures);
        benchmark::DoNotOptimize(image.constBits());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PainterCanvasPolygons)->Unit(benchmark::kMillisecond);

} // namespace

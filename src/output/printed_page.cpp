#include "output/printed_page.h"

#include <cmath>
#include <memory>
#include <optional>
#include <vector>

#include "crystal/oemath.h"
#include "drawing/drawing_state.h"
#include "drawing/scene.h"
#include "drawing/view.h"
#include "model/fields.h"
#include "model/numbers.h"
#include "model/text.h"
#include "output/device_view.h"

namespace kestro {

namespace {

using colour::Black;
using colour::White;

FontSpec arial(int size)
{
    FontSpec font;
    font.name = "Arial";
    font.size = size;
    return font;
}

struct Page {
    double res;
    int px(double cm) const { return page_pixels(cm, res); }
};

// "x=  0.0000 y=  1.0000 z=  0.5000": the direction of projection scaled to
// its largest component.
std::string direction_line(const StructureModel& model)
{
    const Vec3 d = direction_of_projection(model);
    return "x=" + fmt_real(d[0], 8, 4) + " y=" + fmt_real(d[1], 8, 4) + " z=" + fmt_real(d[2], 8, 4);
}

void draw_title(const StructureModel& model, const Page& page, Canvas& canvas)
{
    if (model.source_file_name.empty()) return;
    FontSpec font = arial(10);
    canvas.set_font(font);
    text_on(canvas, {page.px(21), page.px(0.5)}, base_name(model.source_file_name), White);
}

// One disc and symbol per element sort from y + step, then the direction
// of projection `gap` below the last, its components `line` below that.
void draw_legend(const StructureModel& model, const Page& page, int step, int gap, int line, Canvas& canvas)
{
    canvas.set_font(arial(10));
    const int x = page.px(22);
    int y = page.px(0.8);
    for (const ElementSort& sort : model.element_sorts) {
        y += step;
        canvas.set_pen({Black, 1, PenStyle::Solid});
        canvas.set_brush(sort.colour);
        canvas.ellipse(x - 30, y - 30, x + 30, y + 30);
        text_on(canvas, {x + 120, y - 15}, std::string(sort.symbol.view()), White);
    }
    text_on(canvas, {x, y + gap}, "Direction of projection:", White);
    text_on(canvas, {x, y + gap + line}, direction_line(model), White);
}

SceneStyle page_style(int pen)
{
    SceneStyle style;
    style.fill_background = false;
    style.outline_pen = pen;
    style.bonds_after_each_atom = true;
    style.cell_letter_size = 10;
    style.enclosure_marks = false;
    return style;
}

void single_page(StructureModel& model, const PrintSettings& settings, Canvas& canvas, Messages& messages)
{
    const Page page{settings.pixels_per_cm};
    auto device = std::make_unique<DrawingState>();
    const double radius = prepare_device_view(model, *device, messages);
    const int x0 = page.px(10.5), y0 = page.px(10);
    set_device_mapping(*device, x0, y0, 10 * page.res / radius * zoom_factor(settings.slider_position));

    canvas.set_font(label_font_spec(model.drawing));
    canvas.set_brush(model.drawing.background_colour);
    canvas.fill_rect(page.px(0.5), 1, page.px(20.5), 2 * y0);
    draw_scene(model, *device, canvas, nullptr, page_style(settings.pen_width));

    // Whatever left the frame is painted white (not the top edge).
    const int w = canvas.width(), h = canvas.height();
    canvas.set_pen({White, 1, PenStyle::Solid});
    canvas.set_brush(White);
    canvas.fill_rect(page.px(20.5) + 2, 0, w + 1, h + 1);
    canvas.fill_rect(-1, -1, page.px(0.5) - 1, h + 1);
    canvas.fill_rect(-1, page.px(20) + 1, w + 1, h + 1);
    canvas.set_pen({Black, 1, PenStyle::Solid});
    const PixelPoint frame[5] = {{page.px(0.5), 1}, {page.px(20.5), 1}, {page.px(20.5), 2 * y0},
                                 {page.px(0.5), 2 * y0}, {page.px(0.5), 1}};
    canvas.polyline(frame);

    draw_legend(model, page, page.px(0.8), 2 * page.px(0.8), page.px(0.6), canvas);
    draw_title(model, page, canvas);
}

void stereo_page(StructureModel& model, const PrintSettings& settings, Canvas& canvas, Messages& messages)
{
    const Page page{settings.pixels_per_cm};
    const CellMetric saved_metric = model.cell.metric;
    const std::vector<AtomRecord> saved_atoms(model.generated.begin(), model.generated.end());
    auto device = std::make_unique<DrawingState>();
    bool tensors = true;
    SceneStyle style = page_style(1);
    style.labels = false;
    style.cell = settings.slider_position == 0;
    style.cell_letter_size = 6;
    canvas.set_font(label_font_spec(model.drawing));

    for (int v = 1; v <= 2; ++v) {
        // Half the stereo angle one way, then the whole angle back.
        const double theta = v == 1 ? StereoAngleDegrees * 0.008726647708897185 : -StereoAngleDegrees * 0.017453316741046884;
        const Mat3 turn = {{{std::cos(theta), 0, std::sin(theta)}, {0, 1, 0}, {-std::sin(theta), 0, std::cos(theta)}}};
        if (!rotate_view(model, *device, turn, {0, 0, 0}, messages)) break;
        const double radius = prepare_device_view(model, *device, messages, tensors);
        tensors = false;
        const int x0 = page.px(v == 1 ? 5 : StereoSeparationCm + 5), y0 = page.px(10);
        set_device_mapping(*device, x0, y0,
                           StereoSeparationCm * page.res / (2 * radius) * zoom_factor(settings.slider_position));
        // Atoms whose centre leaves the view's square are not in it.
        const int h = page.px(StereoSeparationCm * 0.5);
        for (int i = 1; i <= model.generated.count(); ++i) {
            const PixelPoint p = point_pixel(*device, i);
            if (p.x < x0 - h || p.x > x0 + h || p.y < y0 - h || p.y > y0 + h) model.generated[i].shown = 0;
        }
        draw_scene(model, *device, canvas, nullptr, style);
        for (std::size_t i = 0; i < saved_atoms.size(); ++i) model.generated[static_cast<int>(i) + 1] = saved_atoms[i];
    }
    // The page states the direction of the view itself, between the two.
    model.cell.metric = saved_metric;
    draw_title(model, page, canvas);
    draw_legend(model, page, 80, 2 * page.px(0.8), 60, canvas);
}

} // namespace

std::string resolution_text(double pixels_per_cm)
{
    return fmt_int(static_cast<long long>(round_half_even(pixels_per_cm * CentimetresPerInch)), 5);
}

std::optional<double> pixels_per_cm_from_text(const std::string& text)
{
    const auto dpi = parse_real(trim(text));
    if (!dpi || !(*dpi > 0 && *dpi <= 10000)) return std::nullopt;
    return *dpi / CentimetresPerInch;
}

int page_pixels(double cm, double pixels_per_cm) { return static_cast<int>(round_half_even(cm * pixels_per_cm)); }

void draw_printed_page(StructureModel& model, const PrintSettings& settings, Canvas& canvas, Messages& messages)
{
    if (settings.stereo)
        stereo_page(model, settings, canvas, messages);
    else
        single_page(model, settings, canvas, messages);
}

} // namespace kestro

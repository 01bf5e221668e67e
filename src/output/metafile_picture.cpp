#include "output/metafile_picture.h"

#include <memory>

#include "drawing/drawing_state.h"
#include "drawing/scene.h"
#include "model/numbers.h"
#include "output/device_view.h"

namespace kestro {

int metafile_label_size(int size, int width)
{
    return static_cast<int>(round_half_even(width * size * 0.00125));
}

void draw_metafile_picture(StructureModel& model, const MetafileSettings& settings, Canvas& canvas,
                           Messages& messages)
{
    auto device = std::make_unique<DrawingState>();
    const double radius = prepare_device_view(model, *device, messages);
    const int half = settings.width / 2;
    set_device_mapping(*device, half, half, half * 0.9 / radius * zoom_factor(settings.slider_position));

    // Labels keep their proportion to the picture; the size comes back after.
    const int size = model.drawing.label_font.size;
    model.drawing.label_font.size = metafile_label_size(size, settings.width);
    canvas.set_font(label_font_spec(model.drawing));
    canvas.set_pen({colour::Black, 1, PenStyle::Solid});
    canvas.set_brush(model.drawing.background_colour);
    const PixelPoint square[4] = {{1, 1}, {2 * half - 1, 1}, {2 * half - 1, 2 * half - 1}, {1, 2 * half - 1}};
    canvas.polygon(square);

    SceneStyle style;
    style.fill_background = false;
    style.outline_pen = settings.pen_width;
    style.bonds_after_each_atom = true;
    style.white_bonds_in_black_and_white = false;
    style.centred_label_size = 8;
    style.cell_letter_size = 10;
    style.enclosure_marks = false;
    draw_scene(model, *device, canvas, nullptr, style);
    model.drawing.label_font.size = size;
}

} // namespace kestro

#pragma once
// The metafile picture: the drawing in a W x W square, centred on the
// displayed atoms with 0.9 of the half width for their radius, labels in
// proportion to W, drawn through the canvas port by the scene routines.

#include "drawing/canvas.h"
#include "model/messages.h"
#include "model/structure_model.h"

namespace kestro {

struct MetafileSettings {
    int width = 800;
    int pen_width = 1;
    int slider_position = 0; // the drawing window's "Scale" slider
};

// Widths and pen widths a picture can have.
constexpr int MinMetafileWidth = 16;
constexpr int MaxMetafileWidth = 20000;
constexpr int MaxMetafilePen = 50;

// The label font size for the time of the export: size x W / 800.
int metafile_label_size(int size, int width);

// Draws on a canvas of width x width pixels; the model's label font is as
// before when it returns.
void draw_metafile_picture(StructureModel& model, const MetafileSettings& settings, Canvas& canvas,
                           Messages& messages);

} // namespace kestro

#pragma once
// The view the printed page and the metafile picture draw: their own
// ellipse outlines of 101 points, view points from T with the cell
// corners, centred on the middle of the bounding box of the displayed
// atoms, and the radius of the displayed atoms. The screen's centre atom,
// zoom rectangle, scale and origin do not carry over.

#include "drawing/canvas.h"
#include "model/messages.h"
#include "model/structure_model.h"

namespace kestro {

struct DrawingState;

// The smallest radius a view takes, so that a single atom has a scale.
constexpr double MinimumViewRadius = 0.01;

// Fills the device's drawing state; returns the radius R (Angstrom) of
// the displayed atoms about the centre. Tensors are computed when asked
// (once per print; a turned stereo view needs only new outlines).
double prepare_device_view(const StructureModel& model, DrawingState& device, Messages& messages,
                           bool tensors = true);

// The "Scale" slider's factor, 1 + 0.2 p for positions -4 .. 10.
double zoom_factor(int slider_position);

// The device's mapping: origin and scale (stored in single precision, as
// the devices keep it).
void set_device_mapping(DrawingState& device, int x0, int y0, double scale);

// Text over a filled rectangle of its own size (a GDI text on an opaque brush).
void text_on(Canvas& canvas, PixelPoint top_left, std::string_view text, Colour background);

} // namespace kestro

#pragma once
// The printed page: one landscape page laid out in centimetres, either a
// single view in a frame with the legend of the elements, the direction of
// projection and the file name, or a stereo pair of two views turned about
// the vertical axis. Drawn through the canvas port by the scene routines.

#include <optional>
#include <string>

#include "drawing/canvas.h"
#include "model/messages.h"
#include "model/structure_model.h"

namespace kestro {

// 300 DPI at 2.55 cm per inch, the program's conversion.
constexpr double CentimetresPerInch = 2.55;
constexpr double DefaultPixelsPerCm = 117.66;
constexpr double StereoSeparationCm = 6.5;
constexpr double StereoAngleDegrees = 3.0;

struct PrintSettings {
    double pixels_per_cm = DefaultPixelsPerCm;
    int pen_width = 2; // 1 .. 5; the stereo page always draws with 1
    bool stereo = false;
    int slider_position = 0; // the drawing window's "Scale" slider
};

// The resolution field: pixels per centimetre shown as DPI, a whole number
// in 5 characters (117.66 shows as "  300").
std::string resolution_text(double pixels_per_cm);
// The field read back: DPI divided by 2.55; nothing when it is not a
// number or not a resolution a printer has (above 0, at most 10000 DPI,
// so that page positions stay within range).
std::optional<double> pixels_per_cm_from_text(const std::string& text);

// A length in centimetres on the page, in printer pixels, rounded half to even.
int page_pixels(double cm, double pixels_per_cm);

// Draws the page on a canvas of the page's size. The model's orientation
// and atoms are as before when it returns (a stereo page turns and clips
// them for its two views).
void draw_printed_page(StructureModel& model, const PrintSettings& settings, Canvas& canvas, Messages& messages);

} // namespace kestro

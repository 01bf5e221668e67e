#pragma once
// Orthographic projection of the generated atoms: view coordinates in
// Angstrom (X right, Y up, Z towards the viewer), the pixel mapping, and
// every change of the view (mouse rotation, orientation by atoms, best
// view, centre atom, scale and zoom).

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "drawing/canvas.h"
#include "model/math3.h"
#include "model/messages.h"
#include "model/numbers.h"
#include "model/structure_model.h"

namespace kestro {

struct DrawingState;

// Atoms, the 8 cell corners, the enclosure centre.
constexpr int MaxViewPoints = MaxGeneratedAtoms + 9;

struct ViewPoints {
    Slots<double, MaxViewPoints> X, Y, Z;
    int n = 0;      // atoms, then the cell corners when the cell is drawn
    int atoms = 0;  // the generated atoms, points 1 .. atoms
    bool has_centre = false; // the enclosure centre is point n + 1
};

// The side of the drawing window's picture at its default size, and of the
// pictures the command line draws unless told otherwise.
constexpr int DefaultPictureSide = 686;

struct ScreenMap {
    int x0 = DefaultPictureSide / 2, y0 = DefaultPictureSide / 2; // pixel of the view origin
    int height = DefaultPictureSide; // of the picture: the scale fills it
    double s0 = 1.0;        // base scale, pixels per Angstrom
    double f = 1.0;         // zoom factor
    double s = 1.0;         // f * s0
    Vec3 accumulated{};     // mouse rotations about view X, Y, Z, degrees
};

// Pixel of a view point: column Round(X s + x0), row y0 - Round(Y s);
// clamped far outside any picture so that the conversion stays defined.
inline PixelPoint to_pixel(const ScreenMap& screen, double x, double y)
{
    const double px = round_half_even(x * screen.s + screen.x0);
    const double py = screen.y0 - round_half_even(y * screen.s);
    const auto clamp = [](double v) { return std::isfinite(v) ? std::clamp(v, -1e8, 1e8) : -1e8; };
    return {static_cast<int>(clamp(px)), static_cast<int>(clamp(py))};
}
PixelPoint point_pixel(const DrawingState& state, int point);

// View points from the fractional coordinates through T, centred on the
// shown atoms (and the cell corners when drawn), or on the enclosure centre
// of a box or a sphere; base scale from their extent and the longest
// semi-axis. Needs the ellipsoid tensors (lambda_min).
void compute_view_points(const StructureModel& model, DrawingState& state);

// The view-frame update, after the frame, the probability, the cell or the
// shown atoms changed: the ellipsoid tensors, their outlines and the view
// points again.
void update_view(const StructureModel& model, DrawingState& state, Messages& messages);

// Incremental rotations of the mouse, in radians: a about view X and b
// about view Y (mode 1), c about view Z (mode 2).
Mat3 rotation_xy(double a, double b);
Mat3 rotation_z(double c);

// T <- rinc T with every dependent matrix, the view points rotated in place
// and the outlines recomputed. angles: a, b, c in radians for the sums. A
// singular T is refused: message, nothing changed, false.
bool rotate_view(StructureModel& model, DrawingState& state, const Mat3& rinc, const Vec3& angles,
                 Messages& messages);

// What a drag with the left button does; the numbers are those of the
// drawing window's mouse-mode buttons.
enum class MouseMode { None = 0, RotationXY = 1, RotationZ = 2, Translation = 3 };

// One step of the mouse with the left button down, from the previous
// position to the new one: rotation about X and Y, about Z, or translation
// of the view origin. Switches colour gradation off at the first rotation
// step. True when the picture must be redrawn.
bool mouse_step(StructureModel& model, DrawingState& state, MouseMode mode, PixelPoint previous, PixelPoint now,
                Messages& messages);

// View Z along a direct-lattice direction (fractional components); the
// frame is built from that axis, then tensors, outlines and view points
// follow. A zero or refused direction keeps the previous view (false).
bool orient_along_direction(StructureModel& model, DrawingState& state, const Vec3& direction,
                            Messages& messages);
enum class AxisSpace { Direct, Reciprocal };

enum class OrientationOutcome {
    NothingGiven, // every axis zero: nothing changes
    Refused,      // the frame could not be built (message shown)
    Applied,      // the drawing is in the new orientation
};

// Crystal directions for the view axes X (horizontal), Y (vertical) and Z
// (towards the viewer), each a direct-lattice direction [uvw] or the normal
// of the plane (hkl); a zero vector is an axis not given. The axes are
// written into D and O and the frame is built from them; on success the
// view frame, ellipsoids and view points follow. A refused frame keeps the
// previous view (D and O keep the axes written).
OrientationOutcome orient_by_axes(StructureModel& model, DrawingState& state, const std::array<Vec3, 3>& axes,
                                  const std::array<AxisSpace, 3>& space, Messages& messages);
// View Z along the direction from atom p1 to atom p2 (1-based generated
// atoms); tensors, outlines and view points follow. False when the frame
// cannot be built (the previous view is kept).
bool orient_by_two_atoms(StructureModel& model, DrawingState& state, int p1, int p2, Messages& messages);
// The plane of three atoms in the screen plane, view Z along
// (P2 - P1) x (P2 - P3).
bool orient_by_three_atoms(StructureModel& model, DrawingState& state, int p1, int p2, int p3,
                           Messages& messages);
// The farthest pair and the atom farthest from its midpoint define the
// screen plane; three atoms: atoms 1, 2, 3; fewer: nothing (false).
bool best_view(StructureModel& model, DrawingState& state, Messages& messages);
// The atom becomes the view origin and the centre of later rotations.
void choose_centre_atom(DrawingState& state, int atom);

// "Scale" track bar, positions -4 .. 10: f = 1 + 0.2 position.
void change_echelle(DrawingState& state, int position);
// The picture resized to side x side: the scale and the origin's offset
// from the middle follow the side, so that the structure fills the same
// share of it at the same zoom. Returns the factor the scale changed by.
double resize_picture(DrawingState& state, int side);
// The larger side of the rectangle (corners in any order) fills the picture
// height, centred on the points inside it. Returns the track bar position.
int zoom_to_rectangle(DrawingState& state, PixelPoint corner1, PixelPoint corner2);
void reset_zoom(const StructureModel& model, DrawingState& state);
// " X 1.0" after a new scale, " X 1.2" from the track bar, " X  2.35" after a
// zoom, "X 1.00" after "Zoop out".
std::string zoom_text_from_slider(double f);
std::string zoom_text_from_rectangle(double f);
inline std::string zoom_text_after_reset() { return "X 1.00"; }

// View Z in fractional components, divided by the largest magnitude.
Vec3 direction_of_projection(const StructureModel& model);
// The three boxes X, Y, Z: width 10, 5 decimals.
std::array<std::string, 3> direction_texts(const StructureModel& model);

} // namespace kestro

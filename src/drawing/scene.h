#pragma once
// The whole picture in painter's order: atoms, bonds as tapered bands under
// nearer atoms, labels, the cell, the orientation picture and the enclosure
// marks. The screen, picture files, the printed page and the tests all
// draw through this one routine.

#include <array>
#include <string>

#include "drawing/canvas.h"
#include "model/messages.h"
#include "model/structure_model.h"

namespace kestro {

struct DrawingState;
class MajorParts;

// Where a device draws the scene otherwise than the screen: the printed
// page and the metafile picture.
struct SceneStyle {
    bool fill_background = true;   // the whole canvas in the background colour first
    int outline_pen = 1;           // atom and bond outlines, pixels
    bool bonds_after_each_atom = false; // else after the farther atom only
    bool white_bonds_in_black_and_white = true;
    bool labels = true;
    int centred_label_size = 7;
    bool cell = true;
    // 0: the screen's cell (dotted grey edges, bold letters of 14 points);
    // otherwise solid black edges and letters of this size in the canvas
    // font on the background colour.
    int cell_letter_size = 0;
    bool enclosure_marks = true;
};

// paint_order[w] = the atom with the w-th largest view Z, the lowest index
// first among equal Z.
void compute_paint_order(DrawingState& state);

// How a bond's band tapers: the atom nearer to the viewer (the larger view
// Z, atom1 on a tie) and the farther one, the half width at the nearer atom
// in Angstrom (a third of the bond width for each hydrogen end) and the
// fraction of it left at the farther atom by the bond perspective.
struct BondTaper {
    int near_atom = 0;
    int far_atom = 0;
    double width = 0;
    double tan_alpha = 0; // tangent of the perspective angle
    double far_factor = 1;
};
BondTaper bond_taper(const StructureModel& model, const DrawingState& state, int bond);

// The 42 points of a bond band, start points k = 1..21 then end points
// k = 21..1; false when the bond is hidden or does not leave its atoms.
constexpr int BondBandPoints = 42;
using BondBand = std::array<PixelPoint, BondBandPoints>;
bool bond_band(const StructureModel& model, const DrawingState& state, int bond, BondBand& band);
// The same, its generators one at a time where bond_band takes two (the
// tests compare them).
bool bond_band_one_at_a_time(const StructureModel& model, const DrawingState& state, int bond, BondBand& band);
Colour bond_fill_colour(const StructureModel& model, const BondRecord& bond, const SceneStyle& style = {});

// A label the scene writes: a moved label starts at the anchor, a centred
// one is centred on it; both are centred vertically on it. The font is the
// moved labels' (label_font_spec) or that of the centred labels, black, of
// the style's size.
struct SceneLabel {
    std::string text;
    PixelPoint anchor;
    bool centred = false;
};
// Whether the scene labels the atom, and how; false for an atom the picture
// does not draw or whose label it leaves out.
bool scene_label(const StructureModel& model, const DrawingState& state, const MajorParts& majors, int atom,
                 SceneLabel& label);
// Labels at all: the options label centres or show the moved labels.
bool labels_shown(const DrawingOptions& options);

// The centred label: display form of the label and the atom number, "C1(12)".
std::string centred_label_text(const StructureModel& model, int atom);
// Style text of the label font ("Bold, Italic", ...) applied to a font; an
// unknown text keeps the previous style.
void apply_label_style(const std::string& style_text, FontSpec& font);
// The font of moved labels as the options hold it.
FontSpec label_font_spec(const DrawingOptions& options);

// The picture on the canvas; the orientation picture on its own canvas
// when one is given (the "Direction of projection" panel).
void draw_scene(const StructureModel& model, DrawingState& state, Canvas& canvas,
                Canvas* orientation_picture = nullptr, const SceneStyle& style = {});
void draw_orientation_picture(const StructureModel& model, Canvas& canvas);

// "Black and White" checked: colours saved and set to white, label font
// black. Unchecked: saved colours back (the default element colours when
// every one is white) and the tensors recomputed.
void black_and_white_on(StructureModel& model);
void black_and_white_off(StructureModel& model, DrawingState& state, Messages& messages);
// On activation a picture left in black and white comes back in colour. A
// flag read from a structure file arrives with the file's colours and
// nothing saved: unless those are already white, they are the ones kept.
void leave_black_and_white(StructureModel& model, DrawingState& state, Messages& messages);

// The colour grid of the drawing window: row 0 the background, row 1 the
// bonds, row i + 1 element sort i.
int colour_grid_rows(const StructureModel& model);
Colour grid_colour(const StructureModel& model, int row);
// A colour chosen for a row: stored as the row's colour and as the value
// black and white restores; black and white ends (every other colour comes
// back, the new one included) and the atoms take their colours again.
// False for a row the grid does not have.
bool choose_grid_colour(StructureModel& model, DrawingState& state, int row, Colour chosen, Messages& messages);

// "Reset coordinates or masked atoms": the generated atoms as generated,
// all shown, zoom factor 1, then tensors, outlines, bonds and view points.
void reset_coordinates(StructureModel& model, DrawingState& state, Messages& messages);

// What the window does on activation for a picture of width x height:
// view origin at the centre, circle table, tensors, outlines, view points.
void prepare_drawing(const StructureModel& model, DrawingState& state, int width, int height,
                     Messages& messages);

} // namespace kestro

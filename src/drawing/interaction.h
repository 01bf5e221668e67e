#pragma once
// The drawing window's mouse and tool modes as a state machine without a
// window: button down, moves and button up, the atom hit test, the picking
// modes (orientation by atoms, distance, angle, bond toggle, coordination,
// mean plane, masking, centre atom), the rectangle modes (zoom, masking,
// label area, translation of a fragment), the label tools, reset and
// return. Each call changes the model, the drawing and this state and
// returns what the window must do; the visible parts of the window (prompt
// bar, panels, check boxes, mouse-mode buttons) are read back from the
// state and the model after every call.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "drawing/canvas.h"
#include "drawing/view.h"
#include "model/messages.h"
#include "model/structure_model.h"

namespace kestro {

struct DrawingState;

// "Mouse movement (left button down)": the item number of the radio group.
// At most one mode is active at a time.
enum class PickMode {
    None,
    // Picking modes: every label is shown centred while they last.
    Direction,    // orientation by two atoms
    BasePlane,    // orientation by three atoms
    Distance,
    BondToggle,
    Angle,
    Coordination, // centre atoms handed to the coordination window
    MeanPlane,    // atoms handed to the mean-plane window
    Mask,
    Centre,       // the atom the view turns about
    // Rectangle modes: a drag with no mouse mode.
    ZoomRectangle,
    TranslationRectangle,
    MaskRectangle,
    LabelArea,
    // Label tools of the check list.
    LabelOffCentre, // click on an atom, then on the point where its label goes
    LabelInCentre,
    DeleteLabel,
};

// Items of the "Tools for labelling" check list, in its order.
enum class LabelTool {
    Font,
    WriteOffCentre,
    WriteInCentre,
    DeleteLabel,
    DeleteAll,
    DeleteCentred,
    DeleteMoved,
    DeleteArea,
    RestoreCentred,
    RestoreMoved,
    PlaceAutomatically,
};
constexpr int LabelToolCount = 11;
const char* label_tool_caption(LabelTool tool);

enum class MouseButton { None, Left, Right, Other };

constexpr int HitDistance = 10;      // pixels, in X and in Y
constexpr int DragThreshold = 2;     // more pixels than this make a drag
constexpr int PickMarkRadius = 5;
constexpr int LabelMarkRadius = 6;
constexpr Colour PickMarkColour = colour::Red;

template <int N>
struct PickList {
    int count = 0;
    std::array<int, N> atoms{};

    void clear() { count = 0; }
    void add(int atom)
    {
        if (count < N) atoms[static_cast<std::size_t>(count++)] = atom;
    }
    int operator[](int i) const { return atoms[static_cast<std::size_t>(i)]; }
};

// The generated atoms and the two label check boxes as they were when a
// picking mode started; restored when it ends.
struct LabelBackup {
    bool taken = false;
    int count = 0;
    Slots<AtomRecord, MaxGeneratedAtoms> atoms;
    int labels_centre = 0;
    int labels_off_centre = 0;
};

// What the window shows besides the picture.
struct WindowParts {
    std::string prompt;             // the yellow bar over the picture
    bool prompt_visible = false;
    bool label_instructions = false;
    bool labelling_tools = false;   // the "Tools for labelling" panel
    bool label_entry = false;       // "Type the Label :" and the label box
    bool translation_panel = false;
};

struct InteractionState {
    MouseMode mouse_mode = MouseMode::RotationXY;
    PickMode mode = PickMode::None;
    bool button_held = false;
    MouseButton held_button = MouseButton::None;
    PixelPoint press, release, previous;
    // The rubber band of a rectangle mode, from the press point to the
    // last move, while it is on screen.
    bool band_visible = false;
    PixelPoint band_corner;
    PickList<2> pick_a; // distance, bond toggle, direction
    PickList<3> pick_b; // angle, base plane
    bool label_placing_pending = false;
    int label_atom = 0;
    LabelBackup backup;
    bool translation_used = false;    // the translation mouse mode moved the view origin
    bool translation_pending = false; // the translation panel waits for its vector
    PixelPoint translation_from, translation_to;
    bool drag_drawn = false; // a fast picture is on screen since the press
    int rectangle_serial = 0; // the view points' serial when a rectangle mode started
    WindowParts parts;
};

enum class WindowAction {
    None,
    OpenCoordination,   // `atom` is the centre
    PickPlaneAtom,      // `atom` goes to the plane being built
    UnpickPlaneAtom,    // `atom` leaves it (a right click on it)
    EditLabel,          // fill the label box with `label_text` and focus it
    ShowTranslationPanel,
    OpenFontDialog,
    PlaceLabels,        // place the labels automatically on the picture
};

// How the zoom box must read after a call.
enum class ZoomDisplay { Unchanged, Slider, Rectangle };

struct PickMark {
    PixelPoint centre;
    int radius = PickMarkRadius;
};

struct Reaction {
    bool redraw = false;      // full picture
    bool drag_redraw = false; // fast picture during a drag
    bool band_changed = false; // the rubber band moved, appeared or went
    ZoomDisplay zoom = ZoomDisplay::Unchanged;
    int slider_position = 0; // of the "Scale" track bar, with a new zoom
    WindowAction action = WindowAction::None;
    int atom = 0;
    std::string label_text;
    std::optional<PickMark> mark; // painted over the picture after any redraw
};

// What every call works on.
struct Workbench {
    StructureModel& model;
    DrawingState& drawing;
    InteractionState& state;
    Messages& messages;
};

// Every mode off, no pick, no backup, every panel hidden.
void reset_interaction(InteractionState& state);

// The first atom, in index order and masked ones included, whose pixel lies
// within 10 pixels in X and in Y; 0 when none.
int hit_test(const StructureModel& model, const DrawingState& state, PixelPoint point);

// View-space geometry of picked atoms.
double view_distance(const DrawingState& state, int a, int b);
// The angle at b in degrees; NaN when a or c coincides with b.
double view_angle(const DrawingState& state, int a, int b, int c);
std::string distance_text(const StructureModel& model, const DrawingState& state, int a, int b);
std::string angle_text(const StructureModel& model, const DrawingState& state, int a, int b, int c);

// The first bond joining a and b (in either order) is deleted; without one
// a bond a-b of order 0 is added. A full bond table refuses the addition.
enum class BondToggle { Deleted, Added, Refused };
BondToggle toggle_bond(StructureModel& model, int a, int b, Messages& messages);

// A red filled disc around the picked atom's pixel.
void draw_pick_mark(Canvas& canvas, const PickMark& mark);

// Tool-bar entries of the modes.
Reaction start_mode(Workbench& bench, PickMode mode);
// "Radio group" choice of the mouse mode.
Reaction set_mode_rotation(Workbench& bench, MouseMode mode);
// The mask-rectangle and label-area modes end when the view points were
// computed again since they started (activation, masking, the cell, the
// probability, an orientation): a rectangle drawn now would not select the
// atoms the user saw. True when one ended.
bool end_outdated_rectangle_mode(Workbench& bench);
// The right button's return to idle: the label backup restored when a
// picking mode was active, picks, modes, prompt and label entry cleared,
// mouse mode "Rotation XY ".
void leave_modes(Workbench& bench);

Reaction flag_on(Workbench& bench, MouseButton button, PixelPoint point);
Reaction mouse_move(Workbench& bench, PixelPoint point);
// label_box: the text of the label box, taken by the second click of
// label placing.
Reaction mouse_up(Workbench& bench, MouseButton button, PixelPoint point, std::string_view label_box = {});

// OK of the translation panel with the texts of its three boxes.
Reaction ok_translation(Workbench& bench, const std::array<std::string, 3>& boxes);

// "Reset coordinates or masked atoms".
Reaction reset_child(Workbench& bench);
// "Return to main menu": every mode ends.
void retour(Workbench& bench);

// Labelling: the check list, its "Close", and the two label check boxes.
Reaction click_on_checklistbox(Workbench& bench, LabelTool tool);
Reaction close_labelling_tools(Workbench& bench);
Reaction label_centre(Workbench& bench, bool checked);
Reaction decale_label(Workbench& bench, bool checked);
// Every shown atom labelled at its centre ("Labels in centre" ticked).
void centre_all_labels(StructureModel& model);
// The label tool whose check-list item shows checked, if any.
std::optional<LabelTool> checked_label_tool(const InteractionState& state);

// The font chosen for moved labels: name, size, colour and the style text
// "Bold, Italic, Underline, Strikeout" with only the styles present.
void set_label_font(StructureModel& model, const FontSpec& font);
std::string label_style_text(const FontSpec& font);

} // namespace kestro

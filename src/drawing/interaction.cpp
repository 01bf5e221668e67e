// The drawing window's state machine: modes, picks, clicks and drags.

#include "drawing/interaction.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "drawing/drawing_state.h"
#include "drawing/ellipsoids.h"
#include "drawing/view.h"

namespace kestro {

namespace {

struct ModeEntry {
    PickMode mode;
    const char* prompt; // null: no prompt
    bool beep;
};

constexpr ModeEntry ModeEntries[] = {
    {PickMode::Direction,
     "The direction of the projection will be defined by 2 atoms: Click on the first atom. Right button to cancel",
     true},
    {PickMode::BasePlane,
     "The base plane will be defined by 3 atoms. Click on the first atom. Right button to cancel", true},
    {PickMode::Distance, "To dispaly a bond length: Click on two atoms. (Click on the right button to stop)", false},
    {PickMode::BondToggle, "To select a bond to Add/Delete: Click on the first atom", false},
    {PickMode::Angle, "Angle Atom1-Atom2-Atom3Click on the first atom. (Click on the right button to cancel)", false},
    {PickMode::Coordination,
     "Distances and Angles around a central atom: click on the central atom (Right button to cancel)", false},
    {PickMode::MeanPlane, nullptr, false},
    {PickMode::Mask, "Click on the atoms to be masked. (Click with the right button to stop)", false},
    {PickMode::Centre, "Click on the atom for rotating around", true},
    {PickMode::ZoomRectangle, "Zoom. Click and drag the area of interest ", false},
    {PickMode::TranslationRectangle, "Translation: Draw a rectangle around the fragment to be translated ", false},
    {PickMode::MaskRectangle, "Draw a rectangle around the atoms to be masked", false},
    {PickMode::LabelArea, "Delete labels in a selected rectangle: Click and drag the area of interest", false},
    {PickMode::LabelOffCentre, nullptr, true},
    {PickMode::LabelInCentre, "Write label in centre: Click on an atom with the left button.(right to end)", true},
    {PickMode::DeleteLabel, "Delete label: Click on an atom with the left button.(right to end)", false},
};

const char* const SecondAtom = "Click on the second atom. Right button to cancel";
const char* const ThirdAtom = "Click on the third atom. Right button to cancel";

const ModeEntry* entry_of(PickMode mode)
{
    for (const ModeEntry& e : ModeEntries)
        if (e.mode == mode) return &e;
    return nullptr;
}

bool is_picking(PickMode mode)
{
    switch (mode) {
    case PickMode::Direction:
    case PickMode::BasePlane:
    case PickMode::Distance:
    case PickMode::BondToggle:
    case PickMode::Angle:
    case PickMode::Coordination:
    case PickMode::MeanPlane:
    case PickMode::Mask:
    case PickMode::Centre: return true;
    default: return false;
    }
}

bool is_rectangle(PickMode mode)
{
    return mode == PickMode::ZoomRectangle || mode == PickMode::TranslationRectangle ||
           mode == PickMode::MaskRectangle || mode == PickMode::LabelArea;
}

bool is_label_tool_mode(PickMode mode)
{
    return mode == PickMode::LabelOffCentre || mode == PickMode::LabelInCentre || mode == PickMode::DeleteLabel ||
           mode == PickMode::LabelArea;
}

int atom_count(const StructureModel& model, const DrawingState& drawing)
{
    return std::min(model.generated.count(), drawing.view.atoms);
}

void show_prompt(InteractionState& state, std::string text)
{
    state.parts.prompt = std::move(text);
    state.parts.prompt_visible = true;
}

void hide_prompt(InteractionState& state) { state.parts.prompt_visible = false; }

void take_backup(Workbench& bench)
{
    LabelBackup& backup = bench.state.backup;
    backup.taken = true;
    backup.count = bench.model.generated.count();
    for (int i = 1; i <= backup.count; ++i) backup.atoms[i] = bench.model.generated[i];
    backup.labels_centre = bench.model.drawing.labels_centre;
    backup.labels_off_centre = bench.model.drawing.labels_off_centre;
}

// The labels as they were when the picking mode started. Only the label
// fields come back: masking keeps its `shown`, and colours or positions
// changed meanwhile are not undone.
void restore_labels(Workbench& bench)
{
    const LabelBackup& backup = bench.state.backup;
    if (!backup.taken) return;
    const int n = std::min(backup.count, bench.model.generated.count());
    for (int i = 1; i <= n; ++i) {
        AtomRecord& atom = bench.model.generated[i];
        atom.label_dx = backup.atoms[i].label_dx;
        atom.label_dy = backup.atoms[i].label_dy;
        atom.labelled = backup.atoms[i].labelled;
    }
    bench.model.drawing.labels_centre = backup.labels_centre;
    bench.model.drawing.labels_off_centre = backup.labels_off_centre;
}

// The current mode ends: labels back, picks and prompt cleared. The mouse
// mode is the caller's.
void finish_mode(Workbench& bench)
{
    InteractionState& state = bench.state;
    restore_labels(bench);
    state.backup.taken = false;
    state.mode = PickMode::None;
    state.pick_a.clear();
    state.pick_b.clear();
    state.label_placing_pending = false;
    state.translation_pending = false;
    state.band_visible = false;
    hide_prompt(state);
}

PickMark mark_at(const DrawingState& drawing, int atom, int radius = PickMarkRadius)
{
    return {point_pixel(drawing, atom), radius};
}

bool dragged(const InteractionState& state, PixelPoint point)
{
    return std::abs(point.x - state.press.x) > DragThreshold || std::abs(point.y - state.press.y) > DragThreshold;
}

void hide_masked(Workbench& bench, int atom)
{
    AtomRecord& record = bench.model.generated[atom];
    record.shown = 0;
    record.labelled = 0;
    if (bench.state.backup.taken && atom <= bench.state.backup.count) {
        bench.state.backup.atoms[atom].shown = 0;
        bench.state.backup.atoms[atom].labelled = 0;
    }
}

// Mask rectangle and label area: the rectangle from the press point to the
// last move point, borders included; drawn toward the left or the top it
// holds nothing.
Reaction confirm_rectangle(Workbench& bench, PixelPoint corner)
{
    InteractionState& state = bench.state;
    const bool mask = state.mode == PickMode::MaskRectangle;
    bench.messages.beep();
    const Answer answer = bench.messages.ask(mask ? "Do you want to delete the windows contents?"
                                                  : "Do you want to delete the labels in the windows?");
    Reaction r;
    r.band_changed = true;
    const PixelPoint from = state.press;
    leave_modes(bench);
    if (answer != Answer::Yes) return r;
    for (int i = 1; i <= atom_count(bench.model, bench.drawing); ++i) {
        const PixelPoint p = point_pixel(bench.drawing, i);
        if (p.x < from.x || p.x > corner.x || p.y < from.y || p.y > corner.y) continue;
        if (mask) hide_masked(bench, i);
        else bench.model.generated[i].labelled = 0;
    }
    if (mask) {
        // Masking moves the centre and the scale; the tensors and outlines stay.
        compute_view_points(bench.model, bench.drawing);
        bench.model.drawing.draw_planes = 0;
    }
    r.redraw = true;
    return r;
}

Reaction complete_drag(Workbench& bench, PixelPoint release)
{
    InteractionState& state = bench.state;
    Reaction r;
    switch (state.mode) {
    case PickMode::ZoomRectangle:
        r.slider_position = zoom_to_rectangle(bench.drawing, state.press, release);
        r.zoom = ZoomDisplay::Rectangle;
        state.mode = PickMode::None;
        hide_prompt(state);
        r.redraw = true;
        break;
    case PickMode::TranslationRectangle:
        if (state.translation_pending) break;
        state.translation_pending = true;
        state.translation_from = state.press;
        state.translation_to = release;
        state.parts.translation_panel = true;
        r.action = WindowAction::ShowTranslationPanel;
        break;
    case PickMode::MaskRectangle:
    case PickMode::LabelArea:
        return confirm_rectangle(bench, state.previous == state.press ? release : state.previous);
    default: break;
    }
    return r;
}

// Second click of label placing: the label is anchored at the press point.
Reaction place_label(Workbench& bench, std::string_view label_box)
{
    InteractionState& state = bench.state;
    const int a = state.label_atom;
    state.label_placing_pending = false;
    state.parts.label_entry = false;
    Reaction r;
    r.redraw = true;
    if (a < 1 || a > atom_count(bench.model, bench.drawing)) return r;
    const ScreenMap& screen = bench.drawing.screen;
    AtomRecord& atom = bench.model.generated[a];
    atom.label_dx = bench.drawing.view.X[a] - (state.press.x - screen.x0) / screen.s;
    atom.label_dy = bench.drawing.view.Y[a] - (screen.y0 - state.press.y) / screen.s;
    atom.labelled = 1;
    bench.model.display_labels[a] = label_box; // the first 8 characters
    return r;
}

Reaction click_on_atom(Workbench& bench, int atom)
{
    InteractionState& state = bench.state;
    StructureModel& model = bench.model;
    DrawingState& drawing = bench.drawing;
    Reaction r;
    switch (state.mode) {
    case PickMode::Centre:
        choose_centre_atom(drawing, atom);
        finish_mode(bench);
        r.redraw = true;
        break;
    case PickMode::Direction:
        state.pick_a.add(atom);
        if (state.pick_a.count == 1) {
            r.mark = mark_at(drawing, atom);
            show_prompt(state, "Click on the second atom. (Right button to end)");
            break;
        }
        {
            const int p1 = state.pick_a[0], p2 = state.pick_a[1];
            finish_mode(bench);
            state.parts.labelling_tools = false;
            state.parts.label_instructions = false;
            orient_by_two_atoms(model, drawing, p1, p2, bench.messages);
        }
        r.redraw = true;
        break;
    case PickMode::Distance:
    case PickMode::BondToggle:
        state.pick_a.add(atom);
        if (state.pick_a.count == 1) {
            r.mark = mark_at(drawing, atom);
            show_prompt(state, SecondAtom);
            break;
        }
        if (state.mode == PickMode::Distance) {
            r.mark = mark_at(drawing, atom);
            show_prompt(state, distance_text(model, drawing, state.pick_a[0], state.pick_a[1]));
        } else {
            toggle_bond(model, state.pick_a[0], state.pick_a[1], bench.messages);
            show_prompt(state, "To select a bond to Delete or add: Click on the first atom (click with right button to end)");
            r.redraw = true;
        }
        state.pick_a.clear();
        break;
    case PickMode::Angle:
        state.pick_b.add(atom);
        r.mark = mark_at(drawing, atom);
        if (state.pick_b.count < 3) {
            show_prompt(state, state.pick_b.count == 1 ? SecondAtom : ThirdAtom);
            break;
        }
        show_prompt(state, angle_text(model, drawing, state.pick_b[0], state.pick_b[1], state.pick_b[2]));
        bench.messages.beep();
        state.pick_b.clear();
        break;
    case PickMode::Coordination:
        restore_labels(bench);
        r.action = WindowAction::OpenCoordination;
        r.atom = atom;
        r.redraw = true;
        r.mark = mark_at(drawing, atom);
        break;
    case PickMode::BasePlane:
        state.pick_b.add(atom);
        if (state.pick_b.count < 3) {
            r.mark = mark_at(drawing, atom);
            show_prompt(state, state.pick_b.count == 1 ? SecondAtom : ThirdAtom);
            break;
        }
        {
            const int p1 = state.pick_b[0], p2 = state.pick_b[1], p3 = state.pick_b[2];
            finish_mode(bench);
            state.mouse_mode = MouseMode::None;
            orient_by_three_atoms(model, drawing, p1, p2, p3, bench.messages);
        }
        r.redraw = true;
        break;
    case PickMode::LabelOffCentre:
        state.label_placing_pending = true;
        state.label_atom = atom;
        state.parts.label_entry = true;
        bench.messages.beep();
        r.redraw = true;
        r.mark = mark_at(drawing, atom, LabelMarkRadius);
        r.action = WindowAction::EditLabel;
        r.label_text = model.display_labels[atom].str();
        break;
    case PickMode::LabelInCentre:
        model.generated[atom].label_dx = model.generated[atom].label_dy = 0;
        model.generated[atom].labelled = 1;
        for (int i = 0; i < 3; ++i) bench.messages.beep();
        r.redraw = true;
        break;
    case PickMode::Mask:
        hide_masked(bench, atom);
        if (!drawing.zoom_in_force) compute_view_points(model, drawing);
        r.redraw = true;
        break;
    case PickMode::DeleteLabel:
        model.generated[atom].labelled = 0;
        r.redraw = true;
        break;
    case PickMode::MeanPlane:
        bench.messages.beep();
        r.action = WindowAction::PickPlaneAtom;
        r.atom = atom;
        r.redraw = true;
        break;
    default: break;
    }
    return r;
}

// A right click in the mean-plane mode takes a picked atom off the plane.
Reaction unlist_mean_plane_atom(Workbench& bench, PixelPoint point)
{
    Reaction r;
    r.redraw = true;
    if (const int atom = hit_test(bench.model, bench.drawing, point)) {
        r.action = WindowAction::UnpickPlaneAtom;
        r.atom = atom;
    }
    return r;
}

} // namespace

const char* label_tool_caption(LabelTool tool)
{
    switch (tool) {
    case LabelTool::Font: return "Font";
    case LabelTool::WriteOffCentre: return "Write a label off centre";
    case LabelTool::WriteInCentre: return "Write a label in centre";
    case LabelTool::DeleteLabel: return "Delete a label";
    case LabelTool::DeleteAll: return "Delete all labels";
    case LabelTool::DeleteCentred: return "Delete all centered labels";
    case LabelTool::DeleteMoved: return "Delete all the moved labels";
    case LabelTool::DeleteArea: return "Delete a label area";
    case LabelTool::RestoreCentred: return "Restore centred labels";
    case LabelTool::RestoreMoved: return "Restore moved labels";
    case LabelTool::PlaceAutomatically: return "Place the labels automatically";
    }
    return "";
}

void reset_interaction(InteractionState& state)
{
    state.mouse_mode = MouseMode::RotationXY;
    state.mode = PickMode::None;
    state.button_held = false;
    state.held_button = MouseButton::None;
    state.band_visible = false;
    state.pick_a.clear();
    state.pick_b.clear();
    state.label_placing_pending = false;
    state.label_atom = 0;
    state.backup.taken = false;
    state.translation_used = false;
    state.translation_pending = false;
    state.drag_drawn = false;
    state.parts = WindowParts{};
}

Reaction start_mode(Workbench& bench, PickMode mode)
{
    InteractionState& state = bench.state;
    Reaction r;
    if (mode == PickMode::None) return r;
    if (mode == PickMode::ZoomRectangle && state.translation_pending) return r;
    // One mode at a time: the one in progress ends first, so that its label
    // backup comes back before a new one is taken.
    if (state.mode != PickMode::None || state.label_placing_pending || state.translation_pending) {
        leave_modes(bench);
        r.redraw = true;
    }
    state.mode = mode;
    if (is_picking(mode)) {
        take_backup(bench);
        for (AtomRecord& atom : bench.model.generated) {
            atom.label_dx = atom.label_dy = 0;
            atom.labelled = 1;
        }
        bench.model.drawing.labels_centre = 1;
        bench.model.drawing.labels_off_centre = 0;
        r.redraw = true;
    }
    if (is_rectangle(mode) || is_label_tool_mode(mode)) state.mouse_mode = MouseMode::None;
    state.rectangle_serial = bench.drawing.view_points_serial;
    const ModeEntry* entry = entry_of(mode);
    if (entry && entry->prompt) show_prompt(state, entry->prompt);
    if (entry && entry->beep) bench.messages.beep();
    return r;
}

Reaction set_mode_rotation(Workbench& bench, MouseMode mode)
{
    InteractionState& state = bench.state;
    state.mouse_mode = mode;
    Reaction r;
    // A drag with a mouse mode moves the view: a rectangle still to be drawn
    // has no use any more.
    if (mode != MouseMode::None && is_rectangle(state.mode) && !state.translation_pending) {
        state.mode = PickMode::None;
        state.band_visible = false;
        hide_prompt(state);
        r.band_changed = true;
    }
    if (mode == MouseMode::Translation) state.translation_used = true;
    return r;
}

bool end_outdated_rectangle_mode(Workbench& bench)
{
    const PickMode mode = bench.state.mode;
    if (mode != PickMode::MaskRectangle && mode != PickMode::LabelArea) return false;
    if (bench.state.rectangle_serial == bench.drawing.view_points_serial) return false;
    leave_modes(bench);
    return true;
}

void leave_modes(Workbench& bench)
{
    InteractionState& state = bench.state;
    finish_mode(bench);
    state.parts.label_instructions = false;
    state.parts.label_entry = false;
    state.parts.translation_panel = false;
    state.mouse_mode = MouseMode::RotationXY;
    bench.drawing.rotation_dragging = false;
}

Reaction flag_on(Workbench& bench, MouseButton button, PixelPoint point)
{
    InteractionState& state = bench.state;
    state.button_held = true;
    state.held_button = button;
    state.press = state.previous = point;
    state.drag_drawn = false;
    Reaction r;
    r.band_changed = state.band_visible;
    state.band_visible = false;
    return r;
}

Reaction mouse_move(Workbench& bench, PixelPoint point)
{
    InteractionState& state = bench.state;
    Reaction r;
    if (!state.button_held) return r;
    if (state.mouse_mode == MouseMode::None && is_rectangle(state.mode)) {
        if (state.held_button == MouseButton::Left && !state.translation_pending && dragged(state, point)) {
            state.band_visible = true;
            state.band_corner = point;
            r.band_changed = true;
        }
        state.previous = point;
        return r;
    }
    const bool translation = state.mouse_mode == MouseMode::Translation;
    const bool rotation = (state.mouse_mode == MouseMode::RotationXY || state.mouse_mode == MouseMode::RotationZ) &&
                          state.held_button == MouseButton::Left && !is_picking(state.mode) &&
                          !state.label_placing_pending;
    if (translation || rotation) {
        if (mouse_step(bench.model, bench.drawing, state.mouse_mode, state.previous, point,
                       bench.messages)) {
            r.drag_redraw = true;
            state.drag_drawn = true;
        }
    }
    state.previous = point;
    return r;
}

Reaction mouse_up(Workbench& bench, MouseButton button, PixelPoint point, std::string_view label_box)
{
    InteractionState& state = bench.state;
    state.release = point;
    state.button_held = false;
    state.held_button = MouseButton::None;
    bench.drawing.rotation_dragging = false;
    const bool was_drag = dragged(state, point);
    const bool band_shown = state.band_visible;
    state.band_visible = false;

    Reaction r;
    if (button == MouseButton::Right) {
        if (state.mode == PickMode::MeanPlane) return unlist_mean_plane_atom(bench, point);
        leave_modes(bench);
        r.redraw = true;
        return r;
    }
    if (button != MouseButton::Left) return r;
    if (was_drag) {
        if (state.mouse_mode == MouseMode::None && is_rectangle(state.mode)) r = complete_drag(bench, point);
        // The end of a rotation or translation: the picture at rest.
        if (state.drag_drawn) r.redraw = true;
        r.band_changed = r.band_changed || band_shown;
        state.drag_drawn = false;
        return r;
    }
    if (state.drag_drawn) r.redraw = true;
    state.drag_drawn = false;
    if (state.label_placing_pending) return place_label(bench, label_box);
    const int atom = hit_test(bench.model, bench.drawing, point);
    if (atom == 0) return r;
    Reaction click = click_on_atom(bench, atom);
    click.redraw = click.redraw || r.redraw;
    return click;
}

} // namespace kestro

// The label tools of the drawing window: the "Tools for labelling" check
// list, its panel, the two label check boxes and the font of moved labels.

#include "drawing/interaction.h"

namespace kestro {

namespace {

bool moved(const AtomRecord& atom) { return atom.label_dx != 0 || atom.label_dy != 0; }

// `labelled` for every atom whose label is moved (or centred).
void set_labelled(StructureModel& model, bool moved_labels, int labelled)
{
    for (AtomRecord& atom : model.generated)
        if (moved(atom) == moved_labels) atom.labelled = labelled;
}

void end_label_modes(InteractionState& state)
{
    switch (state.mode) {
    case PickMode::LabelOffCentre:
    case PickMode::LabelInCentre:
    case PickMode::DeleteLabel:
    case PickMode::LabelArea:
        state.mode = PickMode::None;
        state.parts.prompt_visible = false;
        state.band_visible = false;
        break;
    default: break;
    }
    state.label_placing_pending = false;
    state.parts.label_entry = false;
    state.parts.label_instructions = false;
}

} // namespace

Reaction click_on_checklistbox(Workbench& bench, LabelTool tool)
{
    InteractionState& state = bench.state;
    Reaction r;
    if (state.parts.label_instructions || state.parts.prompt_visible) {
        bench.messages.beep();
        bench.messages.beep();
        bench.messages.show("Stop first the current process (click the right button)");
        return r;
    }
    state.mouse_mode = MouseMode::None;
    // The one-shot items act on the labels and redraw.
    r.redraw = true;
    switch (tool) {
    case LabelTool::Font:
        r.redraw = false; // the window redraws once the font is chosen
        r.action = WindowAction::OpenFontDialog;
        break;
    case LabelTool::WriteOffCentre:
        r = start_mode(bench, PickMode::LabelOffCentre);
        state.parts.labelling_tools = true;
        state.parts.label_instructions = true;
        r.redraw = true;
        break;
    case LabelTool::WriteInCentre: r = start_mode(bench, PickMode::LabelInCentre); break;
    case LabelTool::DeleteLabel:
        r = start_mode(bench, PickMode::DeleteLabel);
        r.redraw = true;
        break;
    case LabelTool::DeleteArea: r = start_mode(bench, PickMode::LabelArea); break;
    case LabelTool::DeleteAll:
        for (AtomRecord& atom : bench.model.generated) atom.labelled = 0;
        break;
    case LabelTool::DeleteCentred: set_labelled(bench.model, false, 0); break;
    case LabelTool::DeleteMoved: set_labelled(bench.model, true, 0); break;
    case LabelTool::RestoreCentred: set_labelled(bench.model, false, 1); break;
    case LabelTool::RestoreMoved: set_labelled(bench.model, true, 1); break;
    case LabelTool::PlaceAutomatically:
        // The window measures the labels in its picture's fonts, places
        // them and redraws.
        r.redraw = false;
        r.action = WindowAction::PlaceLabels;
        break;
    }
    return r;
}

Reaction close_labelling_tools(Workbench& bench)
{
    InteractionState& state = bench.state;
    end_label_modes(state);
    state.parts.labelling_tools = false;
    state.mouse_mode = MouseMode::RotationXY;
    Reaction r;
    r.redraw = true;
    return r;
}

Reaction label_centre(Workbench& bench, bool checked)
{
    DrawingOptions& d = bench.model.drawing;
    d.labels_centre = checked ? 1 : 0;
    if (checked) {
        d.labels_off_centre = 0;
        bench.state.parts.label_instructions = false;
        centre_all_labels(bench.model);
    } else {
        for (AtomRecord& atom : bench.model.generated) atom.labelled = 0;
    }
    Reaction r;
    r.redraw = true;
    return r;
}

Reaction decale_label(Workbench& bench, bool checked)
{
    DrawingOptions& d = bench.model.drawing;
    d.labels_off_centre = checked ? 1 : 0;
    if (checked) {
        d.labels_centre = 0;
        bench.state.parts.labelling_tools = true;
    } else {
        end_label_modes(bench.state);
        bench.state.parts.labelling_tools = false;
    }
    Reaction r;
    r.redraw = true;
    return r;
}

void centre_all_labels(StructureModel& model)
{
    for (AtomRecord& atom : model.generated)
        if (atom.shown) {
            atom.label_dx = atom.label_dy = 0;
            atom.labelled = 1;
        }
}

std::optional<LabelTool> checked_label_tool(const InteractionState& state)
{
    switch (state.mode) {
    case PickMode::LabelOffCentre: return LabelTool::WriteOffCentre;
    case PickMode::LabelInCentre: return LabelTool::WriteInCentre;
    case PickMode::DeleteLabel: return LabelTool::DeleteLabel;
    case PickMode::LabelArea: return LabelTool::DeleteArea;
    default: return std::nullopt;
    }
}

std::string label_style_text(const FontSpec& font)
{
    std::string text;
    const auto add = [&text](bool present, const char* name) {
        if (!present) return;
        if (!text.empty()) text += ", ";
        text += name;
    };
    add(font.bold, "Bold");
    add(font.italic, "Italic");
    add(font.underline, "Underline");
    add(font.strikeout, "Strikeout");
    return text;
}

void set_label_font(StructureModel& model, const FontSpec& font)
{
    LabelFont& label = model.drawing.label_font;
    label.name = font.name;
    label.size = font.size;
    label.colour = font.colour;
    label.style = label_style_text(font);
}

} // namespace kestro

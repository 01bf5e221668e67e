// The drawing options, view and masking shared by render, print, metafile and povray.

#include "app/picture_options.h"

#include <cstdlib>
#include <optional>

#include "crystal/oemath.h"
#include "crystal/sorts.h"
#include "drawing/drawing_state.h"
#include "drawing/ellipsoids.h"
#include "drawing/interaction.h"
#include "drawing/label_placement.h"
#include "drawing/scene.h"
#include "drawing/view.h"
#include "forms/efface.h"
#include "model/labels.h"
#include "model/numbers.h"
#include "platform/image_export.h"
#include "platform/qt_messages.h"

namespace kestro::cli {

namespace {

struct Axis {
    Vec3 components;
    AxisSpace space;
};

// "[U,V,W]" a lattice direction or "(H,K,L)" a plane's normal, not all zero.
std::optional<Axis> bracketed_axis(const std::string& text)
{
    if (text.size() < 2) return std::nullopt;
    const bool direct = text.front() == '[' && text.back() == ']';
    const bool reciprocal = text.front() == '(' && text.back() == ')';
    const auto triple = parse_triple(text.substr(1, text.size() - 2));
    if (!(direct || reciprocal) || !triple || *triple == Vec3{0, 0, 0}) return std::nullopt;
    return Axis{*triple, direct ? AxisSpace::Direct : AxisSpace::Reciprocal};
}

// "X=[U,V,W]" or "Z=(H,K,L)": one axis of the orientation dialog.
bool take_orientation(const std::string& value, DrawingRequest& request)
{
    if (value.size() < 2 || value[1] != '=') return false;
    const int index = value[0] == 'X' ? 0 : value[0] == 'Y' ? 1 : value[0] == 'Z' ? 2 : -1;
    const auto axis = bracketed_axis(value.substr(2));
    if (index < 0 || !axis) return false;
    request.orient_axes[static_cast<std::size_t>(index)] = axis->components;
    request.spaces[static_cast<std::size_t>(index)] = axis->space;
    request.oriented = true;
    return true;
}

// The mask window's marks for the listed elements; false (with a message)
// for an element the structure does not have.
bool mask_listed_elements(StructureModel& model, const std::vector<std::string>& symbols, Messages& messages)
{
    std::vector<std::string> cells = element_rows(model);
    for (const std::string& symbol : symbols) {
        bool found = false;
        for (std::string& cell : cells)
            if (symbol_key(cell) == symbol_key(symbol) && !is_marked(cell)) {
                cell = toggle_mark(cell);
                found = true;
            }
        if (!found) {
            messages.show("No element " + symbol + " in the structure");
            return false;
        }
    }
    mask_element::mask_elements(model, cells);
    return true;
}

bool valid_view(const std::string& view)
{
    return view == "best" || bracketed_axis(view).has_value();
}

// "[U,V,W]" a lattice direction, "(H,K,L)" the normal of a plane (its
// direct components through G*), "best".
void apply_view(StructureModel& model, DrawingState& state, const std::string& view, Messages& messages)
{
    if (view.empty()) return;
    if (view == "best") {
        best_view(model, state, messages);
        return;
    }
    const auto given = bracketed_axis(view);
    if (!given) return;
    const Vec3 axis = given->space == AxisSpace::Reciprocal ? mat_vec(model.cell.metric.G_star, given->components)
                                                            : given->components;
    if (!orient_along_direction(model, state, axis, messages)) messages.show("The view " + view + " cannot be set");
}

void apply_drawing_options(StructureModel& model, const DrawingRequest& request)
{
    DrawingOptions& d = model.drawing;
    if (request.probability_index) d.probability_index = *request.probability_index;
    if (request.labels == "none") {
        d.labels_centre = d.labels_off_centre = 0;
    } else if (request.labels == "centre") {
        // As ticking "Labels in centre": every shown atom labelled at its centre.
        d.labels_centre = 1;
        d.labels_off_centre = 0;
        centre_all_labels(model);
    } else if (request.labels == "off") {
        d.labels_centre = 0;
        d.labels_off_centre = 1;
    }
    d.parts_shown = request.parts;
    d.part_number = request.part_number;
    d.dash_minor = request.dash_minor ? 1 : 0;
    d.hydrogen_radius = request.hydrogen_radius;
    if (request.cell) d.draw_cell = 1;
    if (request.gradation) d.colour_gradation = 1;
    if (request.planes) d.draw_planes = 1, d.draw_planes_axes = 0;
    if (request.axes) d.draw_planes_axes = 1, d.draw_planes = 0;
    assign_atom_colours(model);
    if (request.black_white) black_and_white_on(model);
}

} // namespace

int take_drawing_option(const std::vector<std::string>& args, std::size_t& i, DrawingRequest& request)
{
    const std::string& option = args[i];
    const bool takes_value = option == "--probability" || option == "--labels" || option == "--view" ||
                             option == "--mask" || option == "--orient" || option == "--zoom" || option == "--parts" ||
                             option == "--hydrogen-radius";
    const bool flag = option == "--cell" || option == "--gradation" || option == "--planes" || option == "--axes" ||
                      option == "--bw" || option == "--dash-minor";
    if (!takes_value && !flag) return -1;
    if (takes_value && i + 1 >= args.size()) return usage_error(option + " needs a value");
    const std::string value = takes_value ? args[++i] : std::string();
    if (option == "--probability") {
        const auto p = parse_integer(value);
        if (!p || *p < 10 || *p > 100 || *p % 10 != 0) return usage_error("--probability takes 10, 20, ... 100");
        request.probability_index = static_cast<int>(*p / 10);
    } else if (option == "--labels") {
        if (value != "none" && value != "centre" && value != "off" && value != "auto" && value != "auto-noh")
            return usage_error("--labels takes none, centre, off, auto or auto-noh");
        request.labels = value;
    } else if (option == "--view") {
        if (!valid_view(value)) return usage_error("--view takes best, [U,V,W] or (H,K,L), not all zero");
        request.view = value;
    } else if (option == "--mask") {
        for (std::size_t start = 0; start <= value.size();) {
            const std::size_t end = std::min(value.find(',', start), value.size());
            if (end == start) return usage_error("--mask takes element symbols: H,O");
            request.mask.push_back(value.substr(start, end - start));
            start = end + 1;
        }
    } else if (option == "--orient") {
        if (!take_orientation(value, request))
            return usage_error("--orient takes X=[U,V,W] or X=(H,K,L), not all zero, likewise Y and Z");
    } else if (option == "--zoom") {
        const auto p = parse_integer(value);
        if (!p || *p < -4 || *p > 10) return usage_error("--zoom takes a slider position from -4 to 10");
        request.zoom = static_cast<int>(*p);
    } else if (option == "--parts") {
        if (value == "all" || value == "major") {
            request.parts = value == "all" ? PartsShown::All : PartsShown::Major;
        } else {
            const auto n = parse_integer(value);
            if (!n || *n < -9999 || *n > 9999) return usage_error("--parts takes all, major or a part number");
            request.parts = PartsShown::One;
            request.part_number = static_cast<int>(*n);
        }
    } else if (option == "--hydrogen-radius") {
        const auto radius = parse_hydrogen_radius(value);
        if (!radius || *radius == 0)
            return usage_error("--hydrogen-radius takes a radius from 0.01 to 2 Angstrom");
        request.hydrogen_radius = *radius;
    } else if (option == "--dash-minor") {
        request.dash_minor = true;
    } else if (option == "--cell") {
        request.cell = true;
    } else if (option == "--gradation") {
        request.gradation = true;
    } else if (option == "--planes") {
        request.planes = true;
    } else if (option == "--axes") {
        request.axes = true;
    } else if (option == "--bw") {
        request.black_white = true;
    }
    return 0;
}

int check_drawing_request(const DrawingRequest& request)
{
    if (request.planes && request.axes) return usage_error("give --planes or --axes, not both");
    if (request.oriented && !request.view.empty()) return usage_error("give --view or --orient, not both");
    return 0;
}

int apply_drawing_request(StructureModel& model, DrawingState& state, const DrawingRequest& request, int size,
                          Messages& messages)
{
    if (!mask_listed_elements(model, request.mask, messages)) return 1;
    apply_drawing_options(model, request);
    prepare_drawing(model, state, size, size, messages);
    apply_view(model, state, request.view, messages);
    if (request.oriented &&
        orient_by_axes(model, state, request.orient_axes, request.spaces, messages) != OrientationOutcome::Applied)
        return 1;
    change_echelle(state, request.zoom);
    // Placed on the picture as it will be drawn: view, orientation and zoom done.
    if (request.labels == "auto" || request.labels == "auto-noh")
        with_picture_metrics(size, size, [&](Canvas& metrics) {
            place_labels(model, state, metrics, request.labels == "auto" ? AutoLabels::All : AutoLabels::NoHydrogen);
        });
    return 0;
}

std::unique_ptr<QGuiApplication> picture_application()
{
    if (QGuiApplication::instance()) return nullptr;
    quiet_runtime_dir_notice();
    // Fonts need a GUI application; with no display the offscreen platform draws.
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "kestro";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

} // namespace kestro::cli

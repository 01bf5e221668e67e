// "kestro render": a structure drawn into a picture file with the rules of
// the drawing window, without a window (the offscreen platform is chosen
// when there is no display).

#include <QGuiApplication>

#include <cstdlib>
#include <memory>

#include "analysis/deletion.h"
#include "analysis/orientation_dialog.h"
#include "app/cli_common.h"
#include "crystal/oemath.h"
#include "crystal/sorts.h"
#include "drawing/drawing_state.h"
#include "drawing/interaction.h"
#include "formats/kes.h"
#include "formats/structure_files.h"
#include "model/errors.h"
#include "model/file_io.h"
#include "model/labels.h"
#include "model/numbers.h"
#include "model/text.h"
#include "platform/image_export.h"

namespace kestro::cli {

namespace {

struct DrawingRequest {
    int size = 686;
    std::optional<int> probability_index;
    std::string labels;
    bool cell = false, gradation = false, planes = false, axes = false, black_white = false;
    std::string view;
    std::vector<std::string> mask;            // element symbols to hide
    std::array<Vec3, 3> orient_axes{};        // X, Y, Z of --orient; zero: not given
    std::array<AxisSpace, 3> spaces{AxisSpace::Direct, AxisSpace::Reciprocal, AxisSpace::Reciprocal};
    bool oriented = false;
};

// "X=[U,V,W]" or "Z=(H,K,L)": one axis of the orientation dialog.
bool take_orientation(const std::string& value, DrawingRequest& request)
{
    if (value.size() < 4 || value[1] != '=') return false;
    const std::string axis = value.substr(0, 1);
    const int index = axis == "X" ? 0 : axis == "Y" ? 1 : axis == "Z" ? 2 : -1;
    const std::string rest = value.substr(2);
    const bool direct = rest.front() == '[' && rest.back() == ']';
    const bool reciprocal = rest.front() == '(' && rest.back() == ')';
    const auto triple = parse_triple(rest.substr(1, rest.size() - 2));
    if (index < 0 || !(direct || reciprocal) || !triple || *triple == Vec3{0, 0, 0}) return false;
    request.orient_axes[static_cast<std::size_t>(index)] = *triple;
    request.spaces[static_cast<std::size_t>(index)] = direct ? AxisSpace::Direct : AxisSpace::Reciprocal;
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
    mask_elements(model, cells);
    return true;
}

bool valid_view(const std::string& view)
{
    if (view == "best") return true;
    if (view.size() < 2) return false;
    const bool direction = view.front() == '[' && view.back() == ']';
    const bool plane = view.front() == '(' && view.back() == ')';
    return (direction || plane) && parse_triple(view.substr(1, view.size() - 2)).has_value();
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
    const bool plane = view.front() == '(';
    const auto triple = parse_triple(view.substr(1, view.size() - 2));
    const Vec3 axis = plane ? mat_vec(model.cell.metric.G_star, *triple) : *triple;
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
    if (request.cell) d.draw_cell = 1;
    if (request.gradation) d.colour_gradation = 1;
    if (request.planes) d.draw_planes = 1, d.draw_planes_axes = 0;
    if (request.axes) d.draw_planes_axes = 1, d.draw_planes = 0;
    assign_atom_colours(model);
    if (request.black_white) black_and_white_on(model);
}

} // namespace

int render(const std::vector<std::string>& args)
{
    std::string input, output;
    bool yes = false;
    GenerationRequest generation;
    DrawingRequest drawing;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& option = args[i];
        const bool takes_value = option == "-o" || option == "--size" || option == "--probability" ||
                                 option == "--labels" || option == "--view" || option == "--mask" ||
                                 option == "--orient";
        if (const int status = take_generation_option(args, i, generation); status >= 0) {
            if (status != 0) return status;
            continue;
        }
        if (takes_value && i + 1 >= args.size()) return usage_error(option + " needs a value");
        const std::string value = takes_value ? args[++i] : std::string();
        if (option == "-o") {
            output = value;
        } else if (option == "--size") {
            const auto size = parse_integer(value);
            if (!size || *size < 16 || *size > 10000) return usage_error("--size takes a number of pixels from 16 to 10000");
            drawing.size = static_cast<int>(*size);
        } else if (option == "--probability") {
            const auto p = parse_integer(value);
            if (!p || *p < 10 || *p > 100 || *p % 10 != 0) return usage_error("--probability takes 10, 20, ... 100");
            drawing.probability_index = static_cast<int>(*p / 10);
        } else if (option == "--labels") {
            if (value != "none" && value != "centre" && value != "off")
                return usage_error("--labels takes none, centre or off");
            drawing.labels = value;
        } else if (option == "--view") {
            if (!valid_view(value)) return usage_error("--view takes best, [U,V,W] or (H,K,L)");
            drawing.view = value;
        } else if (option == "--mask") {
            for (std::size_t start = 0; start <= value.size();) {
                const std::size_t end = std::min(value.find(',', start), value.size());
                if (end == start) return usage_error("--mask takes element symbols: H,O");
                drawing.mask.push_back(value.substr(start, end - start));
                start = end + 1;
            }
        } else if (option == "--orient") {
            if (!take_orientation(value, drawing))
                return usage_error("--orient takes X=[U,V,W] or X=(H,K,L), likewise Y and Z");
        } else if (option == "--cell") {
            drawing.cell = true;
        } else if (option == "--gradation") {
            drawing.gradation = true;
        } else if (option == "--planes") {
            drawing.planes = true;
        } else if (option == "--axes") {
            drawing.axes = true;
        } else if (option == "--bw") {
            drawing.black_white = true;
        } else if (option == "--yes") {
            yes = true;
        } else if (const int status = take_input_argument(option, input); status != 0) {
            return status;
        }
    }
    if (input.empty() || output.empty()) return usage_error("render needs FILE and -o OUT");
    if (format_of(input) == StructureFormat::Unknown)
        return usage_error(std::string("render reads structure files: ") + ReadableExtensions);
    const auto format = picture_format_for(output);
    if (!format) return usage_error("render writes .png, .jpg, .bmp, .svg or .pdf pictures");
    if (drawing.planes && drawing.axes) return usage_error("give --planes or --axes, not both");
    if (drawing.oriented && !drawing.view.empty()) return usage_error("give --view or --orient, not both");

    StderrMessages messages(yes);
    auto model = std::make_unique<StructureModel>();
    if (!load_input(*model, input, messages)) return 1;
    // Generated atoms are drawn as stored; a file without them is plotted
    // as the main window plots it, from its selected positions.
    if (generation.any || model->generated.empty())
        if (const int status = generate(*model, generation, messages); status != 0) return status;
    if (model->generated.empty()) {
        messages.show("No data");
        return 1;
    }
    if (file_exists(output) && messages.ask("This file already exists. Do you want to continue?") != Answer::Yes)
        return 1;

    // Fonts need a GUI application; with no display the offscreen platform draws.
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int argc = 1;
    char name[] = "kestro";
    char* argv[] = {name, nullptr};
    std::unique_ptr<QGuiApplication> application;
    if (!QGuiApplication::instance()) application = std::make_unique<QGuiApplication>(argc, argv);

    if (!mask_listed_elements(*model, drawing.mask, messages)) return 1;
    apply_drawing_options(*model, drawing);
    auto state = std::make_unique<DrawingState>();
    prepare_drawing(*model, *state, drawing.size, drawing.size, messages);
    apply_view(*model, *state, drawing.view, messages);
    if (drawing.oriented &&
        orient_by_axes(*model, *state, drawing.orient_axes, drawing.spaces, messages) != OrientationOutcome::Applied)
        return 1;
    const auto draw = [&](Canvas& canvas) { draw_scene(*model, *state, canvas); };
    try {
        if (*format == PictureFormat::Svg || *format == PictureFormat::Pdf)
            write_vector_picture(output, *format, drawing.size, drawing.size, draw);
        else
            write_raster_picture(render_picture(drawing.size, drawing.size, draw), output, *format);
    } catch (const IoError& error) {
        messages.show(error.what());
        return 1;
    }
    return 0;
}

} // namespace kestro::cli

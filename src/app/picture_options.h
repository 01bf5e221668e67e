#pragma once
// What the picture subcommands (render, print, metafile, povray) share: the
// drawing options of the drawing window's panel, the view, masking, the
// loading and plotting of the input, and a GUI application for fonts.

#include <QGuiApplication>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/cli_common.h"
#include "drawing/view.h"
#include "model/messages.h"
#include "model/structure_model.h"

namespace kestro {
struct DrawingState;
}

namespace kestro::cli {

struct DrawingRequest {
    std::optional<int> probability_index;
    std::string labels;
    bool cell = false, gradation = false, planes = false, axes = false, black_white = false;
    std::string view;
    std::vector<std::string> mask;     // element symbols to hide
    std::array<Vec3, 3> orient_axes{}; // X, Y, Z of --orient; zero: not given
    std::array<AxisSpace, 3> spaces{AxisSpace::Direct, AxisSpace::Reciprocal, AxisSpace::Reciprocal};
    bool oriented = false;
    int zoom = 0; // the "Scale" slider position, -4 .. 10
    PartsShown parts = PartsShown::All;
    int part_number = 0;
    bool dash_minor = false;
    double hydrogen_radius = 0; // A; 0: hydrogen drawn as its ellipsoid
};

// Reads the drawing option at args[i] (and its value): -1 when args[i] is
// not one, 0 when taken, 2 after a usage error.
int take_drawing_option(const std::vector<std::string>& args, std::size_t& i, DrawingRequest& request);
// Options that cannot go together: 0, or the usage-error status.
int check_drawing_request(const DrawingRequest& request);

// Masking, the panel's options, the drawing prepared on a size x size
// picture and the view or orientation asked for; 0 or the exit status.
int apply_drawing_request(StructureModel& model, DrawingState& state, const DrawingRequest& request, int size,
                          Messages& messages);

// A GUI application for fonts and painting, offscreen when there is no
// display; none when one is already running.
std::unique_ptr<QGuiApplication> picture_application();

} // namespace kestro::cli

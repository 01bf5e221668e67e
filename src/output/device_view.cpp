#include "output/device_view.h"

#include <algorithm>
#include <cmath>

#include "crystal/disorder.h"
#include "crystal/oemath.h"
#include "drawing/drawing_state.h"

namespace kestro {

namespace {

// The unit cell's corners in the order of the cell edges.
constexpr Vec3 CellCorners[8] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0},
                                 {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};

} // namespace

double prepare_device_view(const StructureModel& model, DrawingState& device, Messages& messages, bool tensors)
{
    device.circle = make_circle_table(DeviceCirclePoints);
    if (tensors) compute_ellipsoid_tensors(model, device, messages);
    compute_outlines(model, device);

    ViewPoints& view = device.view;
    const Mat3& T = model.cell.metric.T;
    const int atoms = model.generated.count();
    view.atoms = view.n = atoms;
    view.has_centre = false;
    const auto set = [&](int i, const Vec3& p) {
        view.X[i] = p[0];
        view.Y[i] = p[1];
        view.Z[i] = p[2];
    };
    for (int i = 1; i <= atoms; ++i) set(i, mat_vec(T, model.generated[i].xyz));
    if (model.drawing.draw_cell)
        for (const Vec3& corner : CellCorners) set(++view.n, mat_vec(T, corner));

    // The middle of the bounding box of the displayed atoms.
    const MajorParts majors(model);
    Vec3 low{100000, 100000, 100000}, high{-100000, -100000, -100000};
    for (int i = 1; i <= atoms; ++i) {
        if (!atom_drawn(model, majors, i)) continue;
        const Vec3 p{view.X[i], view.Y[i], view.Z[i]};
        for (std::size_t k = 0; k < 3; ++k) {
            low[k] = std::min(low[k], p[k]);
            high[k] = std::max(high[k], p[k]);
        }
    }
    const Vec3 middle{(low[0] + high[0]) / 2, (low[1] + high[1]) / 2, (low[2] + high[2]) / 2};
    for (int i = 1; i <= view.n; ++i) {
        view.X[i] -= middle[0];
        view.Y[i] -= middle[1];
        view.Z[i] -= middle[2];
    }
    double r2 = MinimumViewRadius * MinimumViewRadius;
    for (int i = 1; i <= atoms; ++i)
        if (atom_drawn(model, majors, i))
            r2 = std::max(r2, view.X[i] * view.X[i] + view.Y[i] * view.Y[i] + view.Z[i] * view.Z[i]);
    return std::sqrt(r2);
}

double zoom_factor(int slider_position) { return 1 + 0.2 * slider_position; }

void set_device_mapping(DrawingState& device, int x0, int y0, double scale)
{
    device.screen.x0 = x0;
    device.screen.y0 = y0;
    device.screen.s = static_cast<float>(scale);
    device.screen.f = 1;
    device.screen.s0 = device.screen.s;
}

void text_on(Canvas& canvas, PixelPoint top_left, std::string_view text, Colour background)
{
    canvas.set_brush(background);
    canvas.fill_rect(top_left.x, top_left.y, top_left.x + canvas.text_width(text),
                     top_left.y + canvas.text_height(text));
    canvas.text_out(top_left, text);
}

} // namespace kestro

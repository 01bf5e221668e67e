// What picking does to the structure: the hit test, distances and angles
// between picked atoms in view space, the bond toggle, the mark of a
// picked atom, the lattice translation of a fragment, reset and return.

#include <algorithm>
#include <cmath>

#include "crystal/bonds.h"
#include "crystal/oemath.h"
#include "crystal/sorts.h"
#include "drawing/scene.h"
#include "drawing/drawing_state.h"
#include "drawing/interaction.h"
#include "drawing/view.h"
#include "model/fields.h"
#include "model/numbers.h"

namespace kestro {

int hit_test(const StructureModel& model, const DrawingState& state, PixelPoint point)
{
    for (int i = 1; i <= std::min(model.generated.count(), state.view.atoms); ++i) {
        const PixelPoint p = point_pixel(state, i);
        if (std::abs(point.x - p.x) < HitDistance && std::abs(point.y - p.y) < HitDistance) return i;
    }
    return 0;
}

double view_distance(const DrawingState& state, int a, int b)
{
    const ViewPoints& v = state.view;
    const double dx = v.X[a] - v.X[b], dy = v.Y[a] - v.Y[b], dz = v.Z[a] - v.Z[b];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

double view_angle(const DrawingState& state, int a, int b, int c)
{
    const ViewPoints& v = state.view;
    const Vec3 u = {v.X[a] - v.X[b], v.Y[a] - v.Y[b], v.Z[a] - v.Z[b]};
    const Vec3 w = {v.X[c] - v.X[b], v.Y[c] - v.Y[b], v.Z[c] - v.Z[b]};
    const double norms = std::sqrt(u[0] * u[0] + u[1] * u[1] + u[2] * u[2]) * std::sqrt(w[0] * w[0] + w[1] * w[1] + w[2] * w[2]);
    if (norms == 0) return std::nan("");
    // Rounding can carry the cosine of a straight angle just past 1.
    const double cosine = std::clamp((u[0] * w[0] + u[1] * w[1] + u[2] * w[2]) / norms, -1.0, 1.0);
    return std::acos(cosine) * RadToDeg;
}

std::string distance_text(const StructureModel& model, const DrawingState& state, int a, int b)
{
    return "Distance " + model.generated[a].label.str() + "-" + model.generated[b].label.str() + " =" +
           fmt_real(view_distance(state, a, b), 7, 3) +
           " (Click on the right button to end or click again on a first atom to continue)";
}

std::string angle_text(const StructureModel& model, const DrawingState& state, int a, int b, int c)
{
    return "Angle " + model.generated[a].label.str() + "-" + model.generated[b].label.str() + "-" +
           model.generated[c].label.str() + " =" + fmt_real(view_angle(state, a, b, c), 6, 2) +
           " (Click right to stop)";
}

BondToggle toggle_bond(StructureModel& model, int a, int b, Messages& messages)
{
    auto& bonds = model.bonds;
    for (int i = 1; i <= bonds.count(); ++i) {
        const BondRecord& bond = bonds[i];
        if (!((bond.atom1 == a && bond.atom2 == b) || (bond.atom1 == b && bond.atom2 == a))) continue;
        for (int j = i; j < bonds.count(); ++j) bonds[j] = bonds[j + 1];
        bonds.set_count(bonds.count() - 1);
        return BondToggle::Deleted;
    }
    if (bonds.full()) {
        messages.show("The bond table is full (" + std::to_string(MaxBonds) + " bonds): no bond can be added.");
        return BondToggle::Refused;
    }
    BondRecord bond;
    bond.atom1 = a;
    bond.atom2 = b;
    bond.order = 0;
    const Mat3& T = model.cell.metric.T;
    bond.length = bond_distance(mat_vec(T, model.generated[a].xyz), mat_vec(T, model.generated[b].xyz));
    bonds.push(bond);
    return BondToggle::Added;
}

void draw_pick_mark(Canvas& canvas, const PickMark& mark)
{
    canvas.set_pen({PickMarkColour, 1, PenStyle::Solid});
    canvas.set_brush(PickMarkColour);
    canvas.ellipse(mark.centre.x - mark.radius, mark.centre.y - mark.radius, mark.centre.x + mark.radius,
                   mark.centre.y + mark.radius);
}

Reaction ok_translation(Workbench& bench, const std::array<std::string, 3>& boxes)
{
    InteractionState& state = bench.state;
    Reaction r;
    if (!state.translation_pending) return r;
    std::array<int, 3> t{};
    for (std::size_t i = 0; i < 3; ++i) {
        std::string text = boxes[i];
        text.erase(0, text.find_first_not_of(' '));
        text.erase(text.find_last_not_of(' ') + 1);
        if (text.empty()) continue; // an empty box counts as 0
        const auto value = parse_integer(text);
        if (!value || *value < -1000000 || *value > 1000000) {
            bench.messages.show("'" + boxes[i] + "' is not a valid integer value");
            return r;
        }
        t[i] = static_cast<int>(*value);
    }
    const PixelPoint a = state.translation_from, b = state.translation_to;
    leave_modes(bench);
    r.redraw = true;
    if (t[0] == 0 && t[1] == 0 && t[2] == 0) return r;
    // Strictly inside the rectangle, whichever way it was drawn.
    const int left = std::min(a.x, b.x), right = std::max(a.x, b.x);
    const int top = std::min(a.y, b.y), bottom = std::max(a.y, b.y);
    for (int i = 1; i <= std::min(bench.model.generated.count(), bench.drawing.view.atoms); ++i) {
        const PixelPoint p = point_pixel(bench.drawing, i);
        if (p.x <= left || p.x >= right || p.y <= top || p.y >= bottom) continue;
        Vec3& xyz = bench.model.generated[i].xyz;
        for (std::size_t k = 0; k < 3; ++k) xyz[k] += t[k];
    }
    compute_view_points(bench.model, bench.drawing);
    return r;
}

Reaction reset_child(Workbench& bench)
{
    leave_modes(bench);
    DrawingState& drawing = bench.drawing;
    if (bench.state.translation_used) {
        drawing.screen.x0 = drawing.screen.y0 = drawing.screen.height / 2;
        bench.state.translation_used = false;
    }
    reset_coordinates(bench.model, drawing, bench.messages);
    assign_atom_colours(bench.model);
    Reaction r;
    r.redraw = true;
    r.zoom = ZoomDisplay::Slider;
    r.slider_position = 0;
    return r;
}

void retour(Workbench& bench)
{
    leave_modes(bench);
    bench.state.parts.labelling_tools = false;
}

} // namespace kestro

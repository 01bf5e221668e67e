// View coordinates, the pixel mapping and the changes of the view frame.

#include "drawing/view.h"

#include <algorithm>
#include <cmath>

#include "crystal/disorder.h"
#include "crystal/oemath.h"
#include "drawing/drawing_state.h"
#include "model/fields.h"
#include "model/numbers.h"

namespace kestro {

namespace {

// The unit cell's corners in the order of the cell edges of the scene.
constexpr Vec3 CellCorners[8] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0},
                                 {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};

bool has_enclosure_centre(const StructureModel& model)
{
    return model.generation.sphere || model.generation.box;
}

void set_point(ViewPoints& view, int i, const Vec3& p)
{
    view.X[i] = p[0];
    view.Y[i] = p[1];
    view.Z[i] = p[2];
}

Vec3 point(const ViewPoints& view, int i) { return {view.X[i], view.Y[i], view.Z[i]}; }

int last_point(const ViewPoints& view) { return view.has_centre ? view.n + 1 : view.n; }

void shift_points(ViewPoints& view, const Vec3& by)
{
    for (int i = 1; i <= last_point(view); ++i) {
        view.X[i] -= by[0];
        view.Y[i] -= by[1];
        view.Z[i] -= by[2];
    }
}

Vec3 fractional_difference(const StructureModel& model, int from, int to)
{
    const Vec3& a = model.generated[from].xyz;
    const Vec3& b = model.generated[to].xyz;
    return {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
}

bool is_zero(const Vec3& v) { return v[0] == 0 && v[1] == 0 && v[2] == 0; }

bool valid_atom(const StructureModel& model, int i) { return i >= 1 && i <= model.generated.count(); }

} // namespace

PixelPoint point_pixel(const DrawingState& state, int point)
{
    return to_pixel(state.screen, state.view.X[point], state.view.Y[point]);
}

void compute_view_points(const StructureModel& model, DrawingState& state)
{
    ViewPoints& view = state.view;
    ScreenMap& screen = state.screen;
    const Mat3& T = model.cell.metric.T;
    screen.accumulated = {0, 0, 0};
    state.rotation_dragging = false;
    ++state.view_points_serial;

    const int atoms = model.generated.count();
    view.atoms = atoms;
    view.n = atoms;
    for (int i = 1; i <= atoms; ++i) set_point(view, i, mat_vec(T, model.generated[i].xyz));
    const bool cell = model.drawing.draw_cell;
    if (cell) {
        for (const Vec3& corner : CellCorners) set_point(view, ++view.n, mat_vec(T, corner));
    }
    view.has_centre = has_enclosure_centre(model);
    if (view.has_centre) set_point(view, view.n + 1, mat_vec(T, model.generation.centre));

    const MajorParts majors(model);
    const auto counted = [&](int i) { return i > atoms || atom_drawn(model, majors, i); };
    Vec3 sum{0, 0, 0};
    int count = 0;
    for (int i = 1; i <= view.n; ++i)
        if (counted(i)) {
            sum = {sum[0] + view.X[i], sum[1] + view.Y[i], sum[2] + view.Z[i]};
            ++count;
        }
    // Nothing shown: the points stay where T puts them.
    if (count > 0) shift_points(view, {sum[0] / count, sum[1] / count, sum[2] / count});
    if (view.has_centre) shift_points(view, point(view, view.n + 1));

    double r2 = 0.0001;
    for (int i = 1; i <= view.n; ++i)
        if (counted(i)) r2 = std::max(r2, view.X[i] * view.X[i] + view.Y[i] * view.Y[i] + view.Z[i] * view.Z[i]);
    screen.s0 = double((screen.height - 10) / 2) / (std::sqrt(r2) + 1.0 / std::sqrt(state.lambda_min));
    screen.s = screen.f * screen.s0;
}

Mat3 rotation_xy(double a, double b)
{
    const double ca = std::cos(a), sa = std::sin(a), cb = std::cos(b), sb = std::sin(b);
    return {{{cb, sb * sa, sb * ca}, {0, ca, -sa}, {-sb, cb * sa, cb * ca}}};
}

Mat3 rotation_z(double c)
{
    const double cc = std::cos(c), sc = std::sin(c);
    return {{{cc, -sc, 0}, {sc, cc, 0}, {0, 0, 1}}};
}

bool rotate_view(StructureModel& model, DrawingState& state, const Mat3& rinc, const Vec3& angles,
                 Messages& messages)
{
    CellMetric& m = model.cell.metric;
    const Mat3 t = mat_product(rinc, m.T);
    Mat3 t_inv{};
    if (!mat_inverse(t, t_inv)) {
        messages.show("erreur dans dessin ligne 1427");
        return false;
    }
    m.T = t;
    m.T_inv = t_inv;
    m.R_inv = mat_product(m.BG, m.T_inv);
    m.R = mat_product(m.T, m.GBi);
    m.O = mat_product(m.B_inv, m.R_inv);
    m.D = mat_product(m.R, m.B);
    for (int i = 0; i < 3; ++i) state.screen.accumulated[i] += angles[i] * RadToDeg;

    ViewPoints& view = state.view;
    for (int i = 1; i <= last_point(view); ++i) set_point(view, i, mat_vec(rinc, point(view, i)));
    compute_outlines(model, state);
    return true;
}

bool mouse_step(StructureModel& model, DrawingState& state, MouseMode mode, PixelPoint previous, PixelPoint now,
                Messages& messages)
{
    ScreenMap& screen = state.screen;
    if (mode == MouseMode::Translation) {
        screen.x0 += now.x - previous.x;
        screen.y0 += now.y - previous.y;
        return true;
    }
    if (mode != MouseMode::RotationXY && mode != MouseMode::RotationZ) return false;
    model.drawing.colour_gradation = 0; // the slowest fill has no place in a drag
    state.rotation_dragging = true;
    if (mode == MouseMode::RotationXY) {
        const double a = (now.y - previous.y) * 0.01;
        const double b = (now.x - previous.x) * 0.01;
        return rotate_view(model, state, rotation_xy(a, b), {a, b, 0}, messages);
    }
    const double c = std::atan2(double(screen.y0 - previous.y), double(screen.x0 - previous.x)) -
                     std::atan2(double(screen.y0 - now.y), double(screen.x0 - now.x));
    return rotate_view(model, state, rotation_z(c), {0, 0, c}, messages);
}

void update_view(const StructureModel& model, DrawingState& state, Messages& messages)
{
    compute_ellipsoid_tensors(model, state, messages);
    compute_outlines(model, state);
    compute_view_points(model, state);
}

bool orient_along_direction(StructureModel& model, DrawingState& state, const Vec3& direction, Messages& messages)
{
    if (is_zero(direction)) return false;
    const CellMetric before = model.cell.metric;
    CellMetric& m = model.cell.metric;
    const Vec3 v = direct_normalise(model.cell, direction);
    m.D = zero3();
    m.O = zero3();
    m.D[2] = v;
    const Vec3 gv = mat_vec(m.G, v);
    for (int i = 0; i < 3; ++i) m.O[i][2] = gv[i];
    if (!orient_from_axes(model, messages) || !orthonormalise_view(model, messages)) {
        model.cell.metric = before;
        return false;
    }
    update_view(model, state, messages);
    return true;
}

OrientationOutcome orient_by_axes(StructureModel& model, DrawingState& state, const std::array<Vec3, 3>& axes,
                                  const std::array<AxisSpace, 3>& space, Messages& messages)
{
    std::array<double, 3> sums{};
    for (std::size_t i = 0; i < 3; ++i)
        sums[i] = std::abs(axes[i][0]) + std::abs(axes[i][1]) + std::abs(axes[i][2]);
    if (sums[0] == 0 && sums[1] == 0 && sums[2] == 0) return OrientationOutcome::NothingGiven;

    const CellMetric before = model.cell.metric;
    CellMetric& m = model.cell.metric;
    for (std::size_t i = 0; i < 3; ++i) {
        if (sums[i] == 0) {
            m.D[i] = {0, 0, 0};
            continue;
        }
        if (space[i] == AxisSpace::Direct) {
            const Vec3 u = direct_normalise(model.cell, axes[i]);
            const Vec3 gu = mat_vec(m.G, u);
            m.D[i] = u;
            for (std::size_t k = 0; k < 3; ++k) m.O[k][i] = gu[k];
        } else {
            const Vec3 h = reciprocal_normalise(model.cell, axes[i]);
            m.D[i] = mat_vec(m.G_star, h);
            for (std::size_t k = 0; k < 3; ++k) m.O[k][i] = h[k];
        }
    }
    const Mat3 written_D = m.D, written_O = m.O;
    if (!orient_from_axes(model, messages) || !orthonormalise_view(model, messages)) {
        // The axes stay written; the view keeps its frame.
        model.cell.metric = before;
        model.cell.metric.D = written_D;
        model.cell.metric.O = written_O;
        return OrientationOutcome::Refused;
    }
    update_view(model, state, messages);
    return OrientationOutcome::Applied;
}

bool orient_by_two_atoms(StructureModel& model, DrawingState& state, int p1, int p2, Messages& messages)
{
    if (!valid_atom(model, p1) || !valid_atom(model, p2)) return false;
    return orient_along_direction(model, state, fractional_difference(model, p1, p2), messages);
}

bool orient_by_three_atoms(StructureModel& model, DrawingState& state, int p1, int p2, int p3,
                           Messages& messages)
{
    if (!valid_atom(model, p1) || !valid_atom(model, p2) || !valid_atom(model, p3)) return false;
    const Vec3 u = fractional_difference(model, p1, p2);
    const Vec3 w = fractional_difference(model, p3, p2);
    // u x w holds reciprocal components of the normal; G* makes them direct.
    const Vec3 normal = mat_vec(model.cell.metric.G_star, vec_cross(u, w));
    return orient_along_direction(model, state, normal, messages);
}

bool best_view(StructureModel& model, DrawingState& state, Messages& messages)
{
    const int n = model.generated.count();
    if (n < 3) return false;
    if (n == 3) return orient_by_three_atoms(model, state, 1, 2, 3, messages);
    const ViewPoints& v = state.view;
    int best_i = 1, best_j = 2;
    double best = -1;
    for (int i = 1; i < n; ++i)
        for (int j = i + 1; j <= n; ++j) {
            const double dx = v.X[i] - v.X[j], dy = v.Y[i] - v.Y[j], dz = v.Z[i] - v.Z[j];
            const double d = dx * dx + dy * dy + dz * dz;
            if (d > best) {
                best = d;
                best_i = i;
                best_j = j;
            }
        }
    const double mx = (v.X[best_i] + v.X[best_j]) / 2, my = (v.Y[best_i] + v.Y[best_j]) / 2,
                 mz = (v.Z[best_i] + v.Z[best_j]) / 2;
    int best_k = 0;
    double far = -1;
    for (int k = 1; k <= n; ++k) {
        if (k == best_i || k == best_j) continue;
        const double dx = v.X[k] - mx, dy = v.Y[k] - my, dz = v.Z[k] - mz;
        const double d = dx * dx + dy * dy + dz * dz;
        if (d > far) {
            far = d;
            best_k = k;
        }
    }
    return orient_by_three_atoms(model, state, best_i, best_j, best_k, messages);
}

void choose_centre_atom(DrawingState& state, int atom)
{
    if (atom < 1 || atom > state.view.atoms) return;
    shift_points(state.view, point(state.view, atom));
}

void change_echelle(DrawingState& state, int position)
{
    state.screen.f = 1 + 0.2 * position;
    state.screen.s = state.screen.f * state.screen.s0;
}

double resize_picture(DrawingState& state, int side)
{
    ScreenMap& screen = state.screen;
    // The base scale fills (height - 10) / 2 pixels from the middle.
    const double ratio = double(std::max(1, (side - 10) / 2)) / double(std::max(1, (screen.height - 10) / 2));
    // A translated picture keeps its offset from the middle, scaled.
    screen.x0 = side / 2 + static_cast<int>(std::lround((screen.x0 - screen.height / 2) * ratio));
    screen.y0 = side / 2 + static_cast<int>(std::lround((screen.y0 - screen.height / 2) * ratio));
    screen.height = side;
    screen.s0 *= ratio;
    screen.s = screen.f * screen.s0;
    return ratio;
}

int zoom_to_rectangle(DrawingState& state, PixelPoint corner1, PixelPoint corner2)
{
    ScreenMap& screen = state.screen;
    const int dx = std::abs(corner2.x - corner1.x), dy = std::abs(corner2.y - corner1.y);
    if (std::max(dx, dy) == 0) return static_cast<int>(round_half_even(5 * screen.f - 5));
    state.zoom_restore = state.view;
    state.zoom_in_force = true;
    const int left = std::min(corner1.x, corner2.x), right = std::max(corner1.x, corner2.x);
    const int top = std::min(corner1.y, corner2.y), bottom = std::max(corner1.y, corner2.y);
    Vec3 sum{0, 0, 0};
    int count = 0;
    for (int i = 1; i <= state.view.n; ++i) {
        const PixelPoint p = point_pixel(state, i);
        if (p.x > left && p.x < right && p.y > top && p.y < bottom) {
            sum = {sum[0] + state.view.X[i], sum[1] + state.view.Y[i], sum[2] + state.view.Z[i]};
            ++count;
        }
    }
    if (count > 0) shift_points(state.view, {sum[0] / count, sum[1] / count, sum[2] / count});
    screen.s = screen.height / std::max(dx / screen.s, dy / screen.s);
    screen.f = screen.s / screen.s0;
    return static_cast<int>(round_half_even(5 * screen.f - 5));
}

void reset_zoom(const StructureModel& model, DrawingState& state)
{
    state.screen.f = 1.0;
    state.zoom_in_force = false;
    compute_view_points(model, state);
}

std::string zoom_text_from_slider(double f) { return " X " + fmt_real(f, 3, 1); }
std::string zoom_text_from_rectangle(double f) { return " X " + fmt_real(f, 6, 2); }

Vec3 direction_of_projection(const StructureModel& model)
{
    const Mat3& t_inv = model.cell.metric.T_inv;
    Vec3 d = {t_inv[0][2], t_inv[1][2], t_inv[2][2]};
    const double largest = std::max({std::abs(d[0]), std::abs(d[1]), std::abs(d[2])});
    if (largest > 0)
        for (double& c : d) c /= largest;
    return d;
}

std::array<std::string, 3> direction_texts(const StructureModel& model)
{
    const Vec3 d = direction_of_projection(model);
    return {fmt_real(d[0], 10, 5), fmt_real(d[1], 10, 5), fmt_real(d[2], 10, 5)};
}

} // namespace kestro

// Displacement ellipsoids: k^2 U in the crystal Cartesian frame (Busing &
// Levy 1964, the orthogonalisation of International Tables Vol. B 1.1), its
// inverse Q as a quadric, the principal axes by cyclic Jacobi, and the
// silhouette of the quadric in the view frame.

#include "drawing/ellipsoids.h"

#include <algorithm>
#include <cmath>
#include <span>
#include "crystal/oemath.h"
#include "drawing/drawing_state.h"
#include "drawing/pixel_pairs.h"
#include "model/numbers.h"
#include "model/text.h"
#include "model/thermal.h"

namespace kestro {

namespace {

// Stand-in for an atom whose tensor cannot be drawn: a sphere of U = 0.01 A^2.
constexpr double StandInU = 0.01;
constexpr double CleanBelow = 0.0001;

Mat3 transpose(const Mat3& m)
{
    Mat3 t{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) t[i][j] = m[j][i];
    return t;
}

// M = k^2 / (2 pi^2) beta for the anisotropic path, or the isotropic
// equivalent built on G* for the "Iso" mode.
Mat3 scaled_beta(const StructureModel& model, const AtomRecord& atom, double k2)
{
    if (!model.drawing.thermal_iso || atom.isotropic) {
        Mat3 m = atom.thermal.matrix();
        for (auto& row : m)
            for (double& x : row) x *= k2 / TwoPiSquaredExact;
        return m;
    }
    const CellMetric& m = model.cell.metric;
    const double ueq = equivalent_u_of_beta(model.cell, atom.thermal);
    const double factor = ueq * TwoPiSquared * k2 / TwoPiSquaredExact;
    Mat3 out{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) out[i][j] = factor * m.G_star[i][j];
    return out;
}

void make_stand_in(EllipsoidData& data, double k2)
{
    const double q = 1.0 / (k2 * StandInU);
    data.Q = {{{q, 0, 0}, {0, q, 0}, {0, 0, q}}};
    data.lambda = {q, q, q};
    data.E = identity3();
    data.stand_in = true;
}

bool positive_definite(const Vec3& lambda)
{
    for (double l : lambda)
        if (!(l > 0) || !std::isfinite(l)) return false;
    return true;
}


} // namespace

CircleTable make_circle_table(int points)
{
    CircleTable table;
    table.points = std::clamp(points, 3, MaxCirclePoints);
    // 2 pi / 50 for the screen as the program has always written it.
    const double step = table.points == CirclePoints ? 0.12566370614359174
                                                     : 6.283185307179586 / (table.points - 1);
    for (int j = 0; j < table.points; ++j) {
        const double theta = j * step;
        table.cos[static_cast<std::size_t>(j)] = std::cos(theta);
        table.sin[static_cast<std::size_t>(j)] = std::sin(theta);
    }
    return table;
}

int jacobi_eigen(Mat3 a, Vec3& lambda, Mat3& vectors)
{
    Mat3 v = identity3();
    int sweeps = 0;
    for (; sweeps < 11; ++sweeps) {
        const double s = a[0][0] * a[0][0] + a[1][1] * a[1][1] + a[2][2] * a[2][2];
        bool converged = true;
        constexpr int pairs[3][3] = {{0, 1, 2}, {0, 2, 1}, {1, 2, 0}};
        for (const auto& pair : pairs) {
            const int p = pair[0], q = pair[1], r = pair[2];
            if (!(std::abs(a[p][q] / s) > 1e-15)) continue;
            converged = false;
            double theta;
            if (std::abs(a[p][p] - a[q][q]) <= 1e-15)
                theta = a[p][q] > 0 ? 0.7853981633974483 : -0.7853981633974483;
            else
                theta = 0.5 * std::atan(2 * a[p][q] / (a[p][p] - a[q][q]));
            const double c = std::cos(theta), sn = std::sin(theta);
            const double app = a[p][p], aqq = a[q][q], apq = a[p][q];
            a[p][p] = app * c * c + 2 * apq * c * sn + aqq * sn * sn;
            a[q][q] = app * sn * sn - 2 * apq * c * sn + aqq * c * c;
            a[p][q] = a[q][p] = 0;
            const double arp = a[r][p], arq = a[r][q];
            a[r][p] = a[p][r] = c * arp + sn * arq;
            a[r][q] = a[q][r] = c * arq - sn * arp;
            for (int i = 0; i < 3; ++i) {
                const double vp = v[i][p], vq = v[i][q];
                v[i][p] = c * vp + sn * vq;
                v[i][q] = c * vq - sn * vp;
            }
        }
        if (converged) break;
    }
    lambda = {a[0][0], a[1][1], a[2][2]};
    for (int i = 0; i < 2; ++i)
        for (int j = i + 1; j < 3; ++j)
            if (lambda[i] < lambda[j]) {
                std::swap(lambda[i], lambda[j]);
                for (int row = 0; row < 3; ++row) std::swap(v[row][i], v[row][j]);
            }
    vectors = v;
    return sweeps;
}

void compute_ellipsoid_tensors(const StructureModel& model, DrawingState& state, Messages& messages)
{
    const double k = probability_scale(model.drawing.probability_index);
    const double k2 = k * k;
    const Mat3& b_inv = model.cell.metric.B_inv;
    const Mat3 b_inv_t = transpose(b_inv);
    bool singular_reported = false;
    state.lambda_min = 100000;
    for (int i = 1; i <= model.generated.count(); ++i) {
        EllipsoidData& data = state.ellipsoids[i];
        data.stand_in = false;
        if (model.drawing.hydrogen_radius > 0 && is_hydrogen(model.generated[i])) {
            // A sphere of the radius asked, whatever the probability.
            const double l = 1 / (model.drawing.hydrogen_radius * model.drawing.hydrogen_radius);
            data.Q = {{{l, 0, 0}, {0, l, 0}, {0, 0, l}}};
            data.lambda = {l, l, l};
            data.E = identity3();
            state.lambda_min = std::min(state.lambda_min, l);
            continue;
        }
        const Mat3 u_cart = mat_product(mat_product(b_inv_t, scaled_beta(model, model.generated[i], k2)), b_inv);
        Mat3 q{};
        if (!mat_inverse(u_cart, q)) {
            if (!singular_reported) messages.show("erreur dans dessin ligne 385 (matinv)");
            singular_reported = true;
            make_stand_in(data, k2);
        } else {
            // Cleaned on the magnitude: small negative terms are real.
            for (auto& row : q)
                for (double& value : row)
                    if (std::abs(value) < CleanBelow) value = 0;
            data.Q = q;
            jacobi_eigen(q, data.lambda, data.E);
            if (!positive_definite(data.lambda)) make_stand_in(data, k2);
        }
        for (double l : data.lambda) state.lambda_min = std::min(state.lambda_min, l);
    }
}

std::optional<double> parse_hydrogen_radius(std::string_view text)
{
    const std::string given = trim(text);
    if (given.empty()) return 0.0;
    const auto radius = parse_real(given);
    if (!radius || !(*radius >= 0.01 && *radius <= MaxHydrogenRadius)) return std::nullopt;
    return *radius;
}

void compute_outline(const Mat3& R, const Mat3& R_inv, EllipsoidData& data)
{
    const Mat3 qv = mat_product(mat_product(R, data.Q), R_inv);
    data.Qv = qv;
    data.A = qv[0][2] * qv[0][2] - qv[0][0] * qv[2][2];
    data.B = qv[1][2] * qv[1][2] - qv[1][1] * qv[2][2];
    data.C = 2 * (qv[0][2] * qv[1][2] - qv[0][1] * qv[2][2]);
    data.K = -qv[2][2];
}

void compute_outlines(const StructureModel& model, DrawingState& state)
{
    const CellMetric& m = model.cell.metric;
    for (int i = 1; i <= model.generated.count(); ++i) compute_outline(m.R, m.R_inv, state.ellipsoids[i]);
}

double outline_radius(const EllipsoidData& d, double cos_t, double sin_t)
{
    const double denominator = d.A * cos_t * cos_t + d.B * sin_t * sin_t + d.C * sin_t * cos_t;
    const double r2 = d.K / denominator;
    return r2 > 0 ? std::sqrt(r2) : 0.0;
}

// The two-at-a-time versions take the scalar operations in the same order,
// each correctly rounded in either form, so they give the same bits.
void outline_radii(const EllipsoidData& d, const CircleTable& circle, double* rho)
{
    const std::size_t count = static_cast<std::size_t>(circle.points);
    std::size_t j = 0;
#if defined(__SSE2__)
    const __m128d a = _mm_set1_pd(d.A), b = _mm_set1_pd(d.B), c = _mm_set1_pd(d.C), k = _mm_set1_pd(d.K);
    for (; j + 2 <= count; j += 2) {
        const __m128d cs = _mm_loadu_pd(&circle.cos[j]), sn = _mm_loadu_pd(&circle.sin[j]);
        const __m128d denominator = _mm_add_pd(_mm_add_pd(_mm_mul_pd(_mm_mul_pd(a, cs), cs), _mm_mul_pd(_mm_mul_pd(b, sn), sn)),
                                               _mm_mul_pd(_mm_mul_pd(c, sn), cs));
        const __m128d r2 = _mm_div_pd(k, denominator);
        // r2 > 0 ? sqrt(r2) : 0, NaN included.
        _mm_storeu_pd(rho + j, _mm_and_pd(_mm_cmpgt_pd(r2, _mm_setzero_pd()), _mm_sqrt_pd(r2)));
    }
#endif
    for (; j < count; ++j) rho[j] = outline_radius(d, circle.cos[j], circle.sin[j]);
}


void outline_pixels(const ScreenMap& screen, const CircleTable& circle, const double* rho, double x, double y,
                    double scale, PixelPoint* points)
{
    const std::size_t count = static_cast<std::size_t>(circle.points);
    std::size_t j = 0;
#if defined(__SSE2__)
    static_assert(sizeof(PixelPoint) == 2 * sizeof(int));
    const __m128d fraction = _mm_set1_pd(scale), vx = _mm_set1_pd(x), vy = _mm_set1_pd(y);
    for (; j + 2 <= count; j += 2) {
        const __m128d r = _mm_mul_pd(_mm_loadu_pd(rho + j), fraction);
        const __m128d px = _mm_add_pd(vx, _mm_mul_pd(r, _mm_loadu_pd(&circle.cos[j])));
        const __m128d py = _mm_add_pd(vy, _mm_mul_pd(r, _mm_loadu_pd(&circle.sin[j])));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(points + j), to_pixel_pair(screen, px, py));
    }
#endif
    for (; j < count; ++j) {
        const double r = rho[j] * scale;
        points[j] = to_pixel(screen, x + r * circle.cos[j], y + r * circle.sin[j]);
    }
}

namespace {

Colour ring_colour(Colour colour, int m, int n)
{
    const double quarter = n / 4.0;
    const double t = 1 + double(n - m) * double(n - m) / (quarter * quarter);
    const auto channel = [t](unsigned value) {
        return static_cast<Colour>(round_half_even((255.0 - value) / t + value));
    };
    return rgb(channel(red_of(colour)), channel(green_of(colour)), channel(blue_of(colour)));
}

// The three principal ellipses, front halves only (the surface normal
// faces the viewer), as runs of polyline.
void draw_sections(const DrawingState& state, const EllipsoidData& data, const Mat3& F, double x, double y,
                   Canvas& canvas)
{
    const Vec3 w = {F[2][0], F[2][1], F[2][2]}; // F^-1 (0, 0, 1), F orthonormal
    const double h = w[0] * w[0] * data.lambda[0] + w[1] * w[1] * data.lambda[1] + w[2] * w[2] * data.lambda[2];
    const Vec3 g = {2 * w[0] * data.lambda[0], 2 * w[1] * data.lambda[1], 2 * w[2] * data.lambda[2]};
    constexpr int planes[3][2] = {{0, 1}, {1, 2}, {2, 0}};
    std::array<PixelPoint, MaxCirclePoints + 1> run{};
    for (const auto& plane : planes) {
        const int i = plane[0], j = plane[1];
        std::size_t length = 0;
        for (std::size_t s = 0; s < static_cast<std::size_t>(state.circle.points); ++s) {
            const double c = state.circle.cos[s], sn = state.circle.sin[s];
            const double rho = 1.0 / std::sqrt(data.lambda[i] * c * c + data.lambda[j] * sn * sn);
            Vec3 p{0, 0, 0};
            p[i] = rho * c;
            p[j] = rho * sn;
            const Vec3 fp = mat_vec(F, p);
            const PixelPoint pixel = to_pixel(state.screen, x + fp[0], y + fp[1]);
            const double d = g[0] * p[0] + g[1] * p[1] + g[2] * p[2];
            if (std::abs(d) < 0.00001) continue;
            if (h / d > 0) {
                run[length++] = pixel;
            } else if (length > 0) {
                run[length++] = pixel;
                canvas.polyline(std::span(run.data(), length));
                length = 0;
            }
        }
        if (length > 0) canvas.polyline(std::span(run.data(), length));
    }
}

} // namespace

void draw_atom(const StructureModel& model, const DrawingState& state, int atom, Canvas& canvas, const Pen& outline)
{
    const EllipsoidData& data = state.ellipsoids[atom];
    const double x = state.view.X[atom], y = state.view.Y[atom];
    const std::size_t count = static_cast<std::size_t>(state.circle.points);
    std::array<double, MaxCirclePoints> rho;
    outline_radii(data, state.circle, rho.data());
    double rho_max = 0;
    for (std::size_t j = 0; j < count; ++j) rho_max = std::max(rho_max, rho[j]);
    std::array<PixelPoint, MaxCirclePoints> points;
    outline_pixels(state.screen, state.circle, rho.data(), x, y, 1.0, points.data());
    const std::span<const PixelPoint> figure(points.data(), count);
    const Colour colour = model.generated[atom].colour;
    canvas.set_pen(outline);
    canvas.set_brush(colour);
    canvas.polygon(figure);

    if (model.drawing.colour_gradation) {
        // One ring per pixel of the largest radius. An atom far larger than
        // the canvas (a wild displacement on the printed page) would take
        // millions of them: at most one per pixel of the canvas is drawn,
        // evenly spread, the innermost always; a picture whose atoms fit the
        // canvas is drawn ring for ring as before.
        const double radius = rho_max * state.screen.s;
        const int n = std::isfinite(radius) ? static_cast<int>(round_half_even(std::min(radius, 1e9))) : 0;
        if (n > 0) {
            const int most = std::max(1, std::max(canvas.width(), canvas.height()));
            const int stride = n > most ? (n + most - 1) / most : 1;
            std::array<PixelPoint, MaxCirclePoints> ring{};
            for (int m = 1; m <= n; m = (m < n && m + stride > n) ? n : m + stride) {
                const Colour c = ring_colour(colour, m, n);
                canvas.set_pen({c, 1, PenStyle::Solid});
                canvas.set_brush(c);
                outline_pixels(state.screen, state.circle, rho.data(), x, y, 1.0 - double(m - 1) / n, ring.data());
                canvas.polygon(std::span<const PixelPoint>(ring.data(), count));
            }
            canvas.set_pen(outline);
            canvas.set_brush(colour::White);
            canvas.polyline(figure);
        }
    }

    if (model.drawing.draw_planes || model.drawing.draw_planes_axes) {
        const Mat3 F = mat_product(model.cell.metric.R, data.E);
        draw_sections(state, data, F, x, y, canvas);
        if (model.drawing.draw_planes_axes) {
            const PixelPoint centre = to_pixel(state.screen, x, y);
            for (int i = 0; i < 3; ++i) {
                Vec3 axis{0, 0, 0};
                axis[i] = 1.0 / std::sqrt(data.lambda[i]);
                Vec3 a = mat_vec(F, axis);
                if (a[2] < 0) a = {-a[0], -a[1], -a[2]};
                canvas.line(centre, to_pixel(state.screen, x + a[0], y + a[1]));
            }
        }
    }
}


} // namespace kestro

// The band of a bond: 21 generators of a tapered cylinder from where they
// leave the nearer atom's outline to where they enter the farther atom.
// The generators are independent, so with SSE2 two are taken at a time,
// in the scalar operations and their order: every operation is correctly
// rounded in either form, so the pixels are the same.

#include <cmath>

#include "drawing/drawing_state.h"
#include "drawing/ellipsoids.h"
#include "drawing/pixel_pairs.h"
#include "drawing/scene.h"

namespace kestro {

BondTaper bond_taper(const StructureModel& model, const DrawingState& state, int bond)
{
    const BondRecord& b = model.bonds[bond];
    const int p = b.atom1, q = b.atom2;
    const bool p_near = state.view.Z[p] >= state.view.Z[q];
    BondTaper taper;
    taper.near_atom = p_near ? p : q;
    taper.far_atom = p_near ? q : p;
    taper.width = model.drawing.bond_width;
    if (is_hydrogen(model.generated[taper.near_atom])) taper.width /= 3;
    if (is_hydrogen(model.generated[taper.far_atom])) taper.width /= 3;
    taper.tan_alpha = std::tan(model.drawing.bond_perspective * 0.0174533167);
    const double dx = state.view.X[taper.far_atom] - state.view.X[taper.near_atom];
    const double dy = state.view.Y[taper.far_atom] - state.view.Y[taper.near_atom];
    taper.far_factor = 1 - taper.tan_alpha * std::sqrt(dx * dx + dy * dy);
    return taper;
}

namespace {

constexpr int BandSteps = BondBandPoints / 2;

// What every generator of one band reads.
struct BandFrame {
    const EllipsoidData* near = nullptr; // of the nearer atom, at F
    const EllipsoidData* far = nullptr;  // of the farther atom, at K
    Vec3 F{}, K{}, V{};                  // V = K - F
    double r = 0, T = 0, o_end = 1;
    double sin_phi = 0, cos_phi = 1, sin_psi = 0, cos_psi = 1;
};

// The frame of the band; false when the bond is hidden by its far atom or
// does not leave its atoms.
bool band_frame(const StructureModel& model, const DrawingState& state, int bond, BandFrame& frame)
{
    const BondTaper taper = bond_taper(model, state, bond);
    const int f = taper.near_atom, k = taper.far_atom;
    const Vec3 F = {state.view.X[f], state.view.Y[f], state.view.Z[f]};
    const Vec3 K = {state.view.X[k], state.view.Y[k], state.view.Z[k]};
    const Vec3 V = {K[0] - F[0], K[1] - F[1], K[2] - F[2]};
    const EllipsoidData& ef = state.ellipsoids[f];
    const EllipsoidData& ek = state.ellipsoids[k];

    double t1, t2;
    if (!outline_roots(ef, 0, 0, V[0], V[1], t1, t2)) return false;
    const double t_out = t2;
    if (!ellipsoid_roots(ek, {-V[0], -V[1], -V[2]}, V, t1, t2)) return false;
    if (t1 < t_out) return false; // the far atom covers the bond
    if (!outline_roots(ek, -V[0], -V[1], V[0], V[1], t1, t2)) return false;
    const double t_in = t1;
    if (!ellipsoid_roots(ef, {0, 0, 0}, V, t1, t2)) return false;
    const double e = t2;
    if (!(0 < e && e < 1 && 0 < t_in && t_in < 1 && e < t_in)) return false;

    frame.near = &ef;
    frame.far = &ek;
    frame.F = F;
    frame.K = K;
    frame.V = V;
    frame.r = taper.width;
    const double L = std::sqrt(V[0] * V[0] + V[1] * V[1] + V[2] * V[2]);
    frame.T = L * taper.tan_alpha;
    const double phi = std::atan2(V[2], V[0]);
    const double psi = std::atan2(V[1], V[0]);
    frame.o_end = taper.far_factor;
    frame.sin_phi = std::sin(phi);
    frame.cos_phi = std::cos(phi);
    frame.sin_psi = std::sin(psi);
    frame.cos_psi = std::cos(psi);
    return true;
}

// Generator `step` (1..21): its start point, band[step - 1], and its end
// point, band[42 - step]; false when it misses the near atom's outline.
bool band_step(const ScreenMap& screen, const BandFrame& g, int step, BondBand& band)
{
    const Vec3& V = g.V;
    const double r = g.r, T = g.T, o_end = g.o_end;
    const double w = r - r * (step - 1) * 0.1;
    const double d = -std::sqrt(std::abs(r * r - w * w));
    const double A = d * g.sin_phi * g.cos_psi - w * g.sin_psi;
    const double B = d * g.sin_phi * g.sin_psi + w * g.cos_psi;
    const double C = std::abs(d * g.cos_phi);

    // Start: where the generator leaves the near atom's outline.
    double t1, t2;
    const double sx = A, sy = B, sdx = V[0] - A * T, sdy = V[1] - B * T;
    if (!outline_roots(*g.near, sx, sy, sdx, sdy, t1, t2)) return false;
    band[static_cast<std::size_t>(step - 1)] = to_pixel(screen, g.F[0] + sx + t2 * sdx, g.F[1] + sy + t2 * sdy);

    // End: where it enters the far atom's ellipsoid, else its outline,
    // else the foot of the perpendicular from the far atom's centre.
    const Vec3 start = {o_end * A - V[0], o_end * B - V[1], o_end * C - V[2]}; // relative to K
    const Vec3 dir = {V[0] - o_end * A * T, V[1] - o_end * B * T, V[2] - o_end * C * T};
    double ex, ey;
    if (ellipsoid_roots(*g.far, start, dir, t1, t2)) {
        ex = start[0] + t1 * dir[0];
        ey = start[1] + t1 * dir[1];
    } else if (outline_roots(*g.far, start[0], start[1], dir[0], dir[1], t1, t2)) {
        ex = start[0] + t1 * dir[0];
        ey = start[1] + t1 * dir[1];
    } else {
        const double len2 = dir[0] * dir[0] + dir[1] * dir[1];
        const double t = len2 > 0 ? -(start[0] * dir[0] + start[1] * dir[1]) / len2 : 0;
        ex = start[0] + t * dir[0];
        ey = start[1] + t * dir[1];
    }
    band[static_cast<std::size_t>(BondBandPoints - step)] = to_pixel(screen, g.K[0] + ex, g.K[1] + ey);
    return true;
}

#if defined(__SSE2__)

__m128d add(__m128d a, __m128d b) { return _mm_add_pd(a, b); }
__m128d sub(__m128d a, __m128d b) { return _mm_sub_pd(a, b); }
__m128d mul(__m128d a, __m128d b) { return _mm_mul_pd(a, b); }
__m128d all(double v) { return _mm_set1_pd(v); }
// m ? a : b, lane by lane.
__m128d choose(__m128d m, __m128d a, __m128d b) { return _mm_or_pd(_mm_and_pd(m, a), _mm_andnot_pd(m, b)); }
__m128d sign_bit() { return _mm_set1_pd(-0.0); }

// quadratic_roots of two equations: the lanes that have roots are set in
// the mask returned.
[[gnu::always_inline]] inline __m128d quadratic_roots_pair(__m128d a, __m128d b, __m128d c, __m128d& t1, __m128d& t2)
{
    const __m128d finite = _mm_cmplt_pd(_mm_andnot_pd(sign_bit(), a), all(HUGE_VAL));
    const __m128d disc = sub(mul(b, b), mul(mul(all(4), a), c));
    const __m128d ok = _mm_and_pd(_mm_and_pd(finite, _mm_cmpneq_pd(a, _mm_setzero_pd())),
                                  _mm_cmpge_pd(disc, _mm_setzero_pd()));
    const __m128d root = _mm_sqrt_pd(disc), two_a = mul(all(2), a), minus_b = _mm_xor_pd(b, sign_bit());
    const __m128d r1 = _mm_div_pd(sub(minus_b, root), two_a), r2 = _mm_div_pd(add(minus_b, root), two_a);
    const __m128d swap = _mm_cmpgt_pd(r1, r2);
    t1 = choose(swap, r2, r1);
    t2 = choose(swap, r1, r2);
    return ok;
}

[[gnu::always_inline]] inline __m128d outline_roots_pair(const EllipsoidData& e, __m128d x0, __m128d y0, __m128d dx, __m128d dy, __m128d& t1,
                           __m128d& t2)
{
    const __m128d A = all(e.A), B = all(e.B), C = all(e.C);
    const __m128d a = add(add(mul(mul(A, dx), dx), mul(mul(B, dy), dy)), mul(mul(C, dx), dy));
    const __m128d b = add(add(mul(mul(mul(all(2), A), x0), dx), mul(mul(mul(all(2), B), y0), dy)),
                          mul(C, add(mul(x0, dy), mul(y0, dx))));
    const __m128d c = sub(add(add(mul(mul(A, x0), x0), mul(mul(B, y0), y0)), mul(mul(C, x0), y0)), all(e.K));
    return quadratic_roots_pair(a, b, c, t1, t2);
}

[[gnu::always_inline]] inline __m128d ellipsoid_roots_pair(const EllipsoidData& e, const __m128d p[3], const __m128d d[3], __m128d& t1,
                             __m128d& t2)
{
    const auto row = [&](int i, const __m128d v[3]) {
        const auto& q = e.Qv[static_cast<std::size_t>(i)];
        return add(add(mul(all(q[0]), v[0]), mul(all(q[1]), v[1])), mul(all(q[2]), v[2]));
    };
    const __m128d qd[3] = {row(0, d), row(1, d), row(2, d)};
    const __m128d qp[3] = {row(0, p), row(1, p), row(2, p)};
    const __m128d a = add(add(mul(d[0], qd[0]), mul(d[1], qd[1])), mul(d[2], qd[2]));
    const __m128d b = mul(all(2), add(add(mul(p[0], qd[0]), mul(p[1], qd[1])), mul(p[2], qd[2])));
    const __m128d c = sub(add(add(mul(p[0], qp[0]), mul(p[1], qp[1])), mul(p[2], qp[2])), all(1));
    return quadratic_roots_pair(a, b, c, t1, t2);
}

// Generators `step` and `step + 1`, as band_step.
bool band_step_pair(const ScreenMap& screen, const BandFrame& g, int step, BondBand& band)
{
    const __m128d V[3] = {all(g.V[0]), all(g.V[1]), all(g.V[2])};
    const __m128d r = all(g.r), T = all(g.T), o_end = all(g.o_end);
    const __m128d before = _mm_set_pd(step, step - 1); // step - 1 of each generator
    const __m128d w = sub(r, mul(mul(r, before), all(0.1)));
    const __m128d d = _mm_xor_pd(_mm_sqrt_pd(_mm_andnot_pd(sign_bit(), sub(mul(r, r), mul(w, w)))), sign_bit());
    const __m128d d_sin_phi = mul(d, all(g.sin_phi));
    const __m128d A = sub(mul(d_sin_phi, all(g.cos_psi)), mul(w, all(g.sin_psi)));
    const __m128d B = add(mul(d_sin_phi, all(g.sin_psi)), mul(w, all(g.cos_psi)));
    const __m128d C = _mm_andnot_pd(sign_bit(), mul(d, all(g.cos_phi)));

    __m128d t1, t2;
    const __m128d sdx = sub(V[0], mul(A, T)), sdy = sub(V[1], mul(B, T));
    if (_mm_movemask_pd(outline_roots_pair(*g.near, A, B, sdx, sdy, t1, t2)) != 3) return false;
    const __m128i starts = to_pixel_pair(screen, add(add(all(g.F[0]), A), mul(t2, sdx)),
                                         add(add(all(g.F[1]), B), mul(t2, sdy)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&band[static_cast<std::size_t>(step - 1)]), starts);

    const __m128d oA = mul(o_end, A), oB = mul(o_end, B), oC = mul(o_end, C);
    const __m128d start[3] = {sub(oA, V[0]), sub(oB, V[1]), sub(oC, V[2])};
    const __m128d dir[3] = {sub(V[0], mul(oA, T)), sub(V[1], mul(oB, T)), sub(V[2], mul(oC, T))};
    __m128d e1, e2, o1, o2;
    const __m128d on_ellipsoid = ellipsoid_roots_pair(*g.far, start, dir, e1, e2);
    const __m128d on_outline = outline_roots_pair(*g.far, start[0], start[1], dir[0], dir[1], o1, o2);
    const __m128d len2 = add(mul(dir[0], dir[0]), mul(dir[1], dir[1]));
    const __m128d foot = _mm_div_pd(_mm_xor_pd(add(mul(start[0], dir[0]), mul(start[1], dir[1])), sign_bit()), len2);
    const __m128d t = choose(on_ellipsoid, e1, choose(on_outline, o1, _mm_and_pd(_mm_cmpgt_pd(len2, _mm_setzero_pd()), foot)));
    const __m128i ends = to_pixel_pair(screen, add(all(g.K[0]), add(start[0], mul(t, dir[0]))),
                                       add(all(g.K[1]), add(start[1], mul(t, dir[1]))));
    // Generator step ends at 42 - step, the next one just before it.
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&band[static_cast<std::size_t>(BondBandPoints - step - 1)]),
                     _mm_shuffle_epi32(ends, _MM_SHUFFLE(1, 0, 3, 2)));
    return true;
}

#endif

} // namespace

bool bond_band(const StructureModel& model, const DrawingState& state, int bond, BondBand& band)
{
    BandFrame frame;
    if (!band_frame(model, state, bond, frame)) return false;
    int step = 1;
#if defined(__SSE2__)
    static_assert(sizeof(PixelPoint) == 2 * sizeof(int));
    for (; step + 1 <= BandSteps; step += 2)
        if (!band_step_pair(state.screen, frame, step, band)) return false;
#endif
    for (; step <= BandSteps; ++step)
        if (!band_step(state.screen, frame, step, band)) return false;
    return true;
}

bool bond_band_one_at_a_time(const StructureModel& model, const DrawingState& state, int bond, BondBand& band)
{
    BandFrame frame;
    if (!band_frame(model, state, bond, frame)) return false;
    for (int step = 1; step <= BandSteps; ++step)
        if (!band_step(state.screen, frame, step, band)) return false;
    return true;
}

} // namespace kestro

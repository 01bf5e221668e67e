#pragma once
// Displacement ellipsoids at a probability level: the quadric of each atom
// in the crystal Cartesian frame, its principal axes, its outline in the
// view frame, and the figure of the atom (filled outline, colour
// gradation rings, principal sections, semi-axes).

#include <array>
#include <cmath>
#include <utility>
#include <optional>
#include <string_view>

#include "drawing/canvas.h"
#include "crystal/oemath.h"
#include "model/math3.h"
#include "model/messages.h"
#include "model/structure_model.h"

namespace kestro {

struct DrawingState;

// Circle samples: `points` angles (j - 1) 2 pi / (points - 1), the last
// closing the figure: 51 on the screen, 101 on the printed page and the
// metafile.
constexpr int CirclePoints = 51;
constexpr int DeviceCirclePoints = 101;
constexpr int MaxCirclePoints = DeviceCirclePoints;
struct CircleTable {
    std::array<double, MaxCirclePoints> cos{}, sin{};
    int points = CirclePoints;
};
CircleTable make_circle_table(int points = CirclePoints);

struct EllipsoidData {
    Mat3 Q = identity3();   // p^T Q p = 1, crystal Cartesian frame, 1/A^2
    Vec3 lambda{1, 1, 1};   // eigenvalues of Q, decreasing
    Mat3 E = identity3();   // eigenvectors as columns, same order
    Mat3 Qv = identity3();  // Q in the view frame
    double A = -1, B = -1, C = 0, K = -1; // outline A x^2 + B y^2 + C x y = K
    bool stand_in = false;  // tensor singular or not positive definite: drawn as a small sphere
};

// Cyclic Jacobi for a symmetric 3x3 matrix, at most 11 sweeps; the last
// estimate is kept when it has not converged. Eigenvalues decreasing,
// eigenvectors as the columns of `vectors`. Returns the sweeps used.
int jacobi_eigen(Mat3 a, Vec3& lambda, Mat3& vectors);

// The quadric of every generated atom at the chosen probability and thermal
// mode, then lambda_min. A singular tensor shows "erreur dans dessin ligne
// 385 (matinv)" once; such atoms and those whose tensor is not positive
// definite get a small sphere so that the structure always draws.
// With a hydrogen radius set, every hydrogen atom is a sphere of it.
void compute_ellipsoid_tensors(const StructureModel& model, DrawingState& state, Messages& messages);

// The hydrogen radius the panel and the command line take, in A: empty text
// is 0 (hydrogen drawn as its ellipsoid), else a number from 0.01 to 2.
constexpr double MaxHydrogenRadius = 2.0;
std::optional<double> parse_hydrogen_radius(std::string_view text);

// Outline coefficients of one atom for the view frame R (and R^-1).
void compute_outline(const Mat3& R, const Mat3& R_inv, EllipsoidData& data);
void compute_outlines(const StructureModel& model, DrawingState& state);

// Outline radius in Angstrom in the direction (cos t, sin t).
double outline_radius(const EllipsoidData& data, double cos_t, double sin_t);
// The radii of the circle table's directions, and the pixels of the
// outline points at fraction `scale` of them around the view point (x, y):
// outline_radius and to_pixel for each point, two points at a time where
// the processor allows, with the same values.
struct ScreenMap;
void outline_radii(const EllipsoidData& data, const CircleTable& circle, double* rho);
void outline_pixels(const ScreenMap& screen, const CircleTable& circle, const double* rho, double x, double y,
                    double scale, PixelPoint* points);

// Roots t1 <= t2 of a t^2 + b t + c; false when there are none (or a is
// 0 or not finite).
inline bool quadratic_roots(double a, double b, double c, double& t1, double& t2)
{
    if (a == 0 || !std::isfinite(a)) return false;
    const double disc = b * b - 4 * a * c;
    if (!(disc >= 0)) return false;
    const double root = std::sqrt(disc);
    t1 = (-b - root) / (2 * a);
    t2 = (-b + root) / (2 * a);
    if (t1 > t2) std::swap(t1, t2);
    return true;
}

// Roots t1 <= t2 of the outline along x = x0 + t dx, y = y0 + t dy (relative
// to the atom's view point); false when the line misses the outline. Inline
// with the next one: every step of a bond band takes them.
inline bool outline_roots(const EllipsoidData& d, double x0, double y0, double dx, double dy, double& t1,
                          double& t2)
{
    const double a = d.A * dx * dx + d.B * dy * dy + d.C * dx * dy;
    const double b = 2 * d.A * x0 * dx + 2 * d.B * y0 * dy + d.C * (x0 * dy + y0 * dx);
    const double c = d.A * x0 * x0 + d.B * y0 * y0 + d.C * x0 * y0 - d.K;
    return quadratic_roots(a, b, c, t1, t2);
}
// The same for the ellipsoid in the view frame along p0 + t d.
inline bool ellipsoid_roots(const EllipsoidData& data, const Vec3& p0, const Vec3& d, double& t1, double& t2)
{
    const Vec3 qd = mat_vec(data.Qv, d);
    const Vec3 qp = mat_vec(data.Qv, p0);
    const double a = d[0] * qd[0] + d[1] * qd[1] + d[2] * qd[2];
    const double b = 2 * (p0[0] * qd[0] + p0[1] * qd[1] + p0[2] * qd[2]);
    const double c = p0[0] * qp[0] + p0[1] * qp[1] + p0[2] * qp[2] - 1;
    return quadratic_roots(a, b, c, t1, t2);
}

// The figure of one generated atom, its outline in the pen given.
void draw_atom(const StructureModel& model, const DrawingState& state, int atom, Canvas& canvas,
               const Pen& outline = Pen{});

} // namespace kestro

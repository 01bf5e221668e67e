#include "crystal/oemath.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "model/plausible.h"

namespace kestro {

namespace {

constexpr double SingularDet = 1e-15;
constexpr double PresentRow = 0.0001;   // a row of D counts when its squares sum above this
constexpr double DegenerateAxis = 0.0001;
constexpr double PerpendicularDot = 0.01;
constexpr double UnitDet = 0.001;
constexpr double SameLength = 0.001;

double dot(const Vec3& u, const Vec3& v) { return u[0] * v[0] + u[1] * v[1] + u[2] * v[2]; }

Vec3 scaled(const Vec3& v, double s) { return {v[0] * s, v[1] * s, v[2] * s}; }

Vec3 column(const Mat3& m, int j) { return {m[0][j], m[1][j], m[2][j]}; }

void set_column(Mat3& m, int j, const Vec3& v)
{
    for (int i = 0; i < 3; ++i) m[i][j] = v[i];
}

bool finite(const Mat3& m)
{
    for (const Vec3& row : m)
        for (double x : row)
            if (!std::isfinite(x)) return false;
    return true;
}

// arccos as atan2(sqrt(1 - x^2), x); 1 - x^2 is held at 0 so that a cosine
// rounded just past 1 gives 0 or 180 degrees, not NaN.
double sine_of_cosine(double x) { return std::sqrt(std::max(0.0, 1.0 - x * x)); }

// A frame is accepted when det R^-1 is 1 within 0.001. The sign counts: a
// left-handed set (det -1) would draw the mirror image of the structure.
bool unit_determinant(const Mat3& r_inv) { return std::abs(mat_det(r_inv) - 1.0) <= UnitDet; }

bool refuse(Messages& messages, const char* text)
{
    messages.show(text);
    return false;
}

// Rotation whose row i (0 = X, 1 = Y, 2 = Z) is the unit Cartesian vector u;
// the other two rows complete a right-handed orthonormal set.
Mat3 frame_from_one_axis(int i, const Vec3& u)
{
    const double u1 = u[0], u2 = u[1], u3 = u[2];
    const int next = (i + 1) % 3;
    const double s = std::sqrt(u[next] * u[next] + u[(i + 2) % 3] * u[(i + 2) % 3]);
    if (s < DegenerateAxis) {
        // The axis lies along crystal axis i itself: the identity, turned by
        // 180 degrees about the axis kept when it points the other way
        // (Y kept for X or Z, X kept for Y), so that row i is still +u.
        Mat3 r = identity3();
        if (u[i] < 0) {
            const int kept = (i == 1) ? 0 : 1;
            for (int k = 0; k < 3; ++k)
                if (k != kept) r[k][k] = -1;
        }
        return r;
    }
    switch (i) {
    case 0: return {{{u1, u2, u3}, {0, -u3 / s, u2 / s}, {s, -u1 * u2 / s, -u1 * u3 / s}}};
    case 1: return {{{-u1 * u2 / s, s, -u2 * u3 / s}, {u1, u2, u3}, {u3 / s, 0, -u1 / s}}};
    default: return {{{u2 / s, -u1 / s, 0}, {u1 * u3 / s, u2 * u3 / s, -s}, {u1, u2, u3}}};
    }
}

} // namespace

double mat_det(const Mat3& m)
{
    return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1])
         - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0])
         + m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}

bool mat_inverse(const Mat3& m, Mat3& out)
{
    Mat3 adj;
    adj[0][0] = m[1][1] * m[2][2] - m[1][2] * m[2][1];
    adj[0][1] = m[0][2] * m[2][1] - m[0][1] * m[2][2];
    adj[0][2] = m[0][1] * m[1][2] - m[0][2] * m[1][1];
    adj[1][0] = m[1][2] * m[2][0] - m[1][0] * m[2][2];
    adj[1][1] = m[0][0] * m[2][2] - m[0][2] * m[2][0];
    adj[1][2] = m[0][2] * m[1][0] - m[0][0] * m[1][2];
    adj[2][0] = m[1][0] * m[2][1] - m[1][1] * m[2][0];
    adj[2][1] = m[0][1] * m[2][0] - m[0][0] * m[2][1];
    adj[2][2] = m[0][0] * m[1][1] - m[0][1] * m[1][0];
    const double det = mat_det(m);
    if (std::abs(det) < SingularDet) {
        out = adj;
        return false;
    }
    for (Vec3& row : adj)
        for (double& x : row) x /= det;
    out = adj;
    return true;
}

Mat3 mat_product(const Mat3& a, const Mat3& b)
{
    Mat3 c = zero3();
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k) c[i][j] += a[i][k] * b[k][j];
    return c;
}

Vec3 vec_cross(const Vec3& u, const Vec3& v)
{
    return {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
}

Vec3 vec_normalise(const Vec3& v)
{
    const double length = std::sqrt(dot(v, v));
    return length > 0 ? scaled(v, 1.0 / length) : v;
}

namespace {
// v . M v: the squared length of v under a metric tensor.
double quadratic_form(const Mat3& m, const Vec3& v) { return dot(v, mat_vec(m, v)); }
} // namespace

Vec3 direct_normalise(const CrystalCell& cell, const Vec3& u)
{
    const double l2 = quadratic_form(cell.metric.G, u);
    return l2 > 0 ? scaled(u, 1.0 / std::sqrt(l2)) : u;
}

Vec3 reciprocal_normalise(const CrystalCell& cell, const Vec3& h)
{
    const double l2 = quadratic_form(cell.metric.G_star, h);
    return l2 > 0 ? scaled(h, 1.0 / std::sqrt(l2)) : h;
}

// Reciprocal cell, metric tensors and the Busing & Levy (1967) matrix B
// (International Tables Vol. B, ch. 1.1): Cartesian x along a*, z along c.
bool cell_metric(StructureModel& model, Messages& messages)
{
    CrystalCell cell = model.cell;
    const double a = cell.a, b = cell.b, c = cell.c;
    const std::string fault = cell_value_fault(cell);
    if (!fault.empty()) return refuse(messages, ("The cell parameters do not give a cell: " + fault).c_str());

    CellMetric& m = cell.metric;
    const double al = cell.alpha * DegToRad, be = cell.beta * DegToRad, ga = cell.gamma * DegToRad;
    m.cos_alpha = std::cos(al);
    m.cos_beta = std::cos(be);
    m.cos_gamma = std::cos(ga);
    m.sin_alpha = std::sin(al);
    m.sin_beta = std::sin(be);
    m.sin_gamma = std::sin(ga);
    const double ca = m.cos_alpha, cb = m.cos_beta, cg = m.cos_gamma;
    const double sa = m.sin_alpha, sb = m.sin_beta, sg = m.sin_gamma;

    const double term = 1 - ca * ca - cb * cb - cg * cg + 2 * ca * cb * cg;
    if (!(term > MinVolumeFactor))
        return refuse(messages, "The cell parameters do not give a cell: the volume is not positive");
    m.volume = a * b * c * std::sqrt(term);

    cell.a_star = b * c * sa / m.volume;
    cell.b_star = c * a * sb / m.volume;
    cell.c_star = a * b * sg / m.volume;
    m.cos_alpha_star = (cb * cg - ca) / (sb * sg);
    m.cos_beta_star = (cg * ca - cb) / (sg * sa);
    m.cos_gamma_star = (ca * cb - cg) / (sa * sb);
    const double sin_alpha_star = sine_of_cosine(m.cos_alpha_star);
    m.sin_beta_star = sine_of_cosine(m.cos_beta_star);
    m.sin_gamma_star = sine_of_cosine(m.cos_gamma_star);
    cell.alpha_star = std::atan2(sin_alpha_star, m.cos_alpha_star) * RadToDeg;
    cell.beta_star = std::atan2(m.sin_beta_star, m.cos_beta_star) * RadToDeg;
    cell.gamma_star = std::atan2(m.sin_gamma_star, m.cos_gamma_star) * RadToDeg;

    const double as = cell.a_star, bs = cell.b_star, cs = cell.c_star;
    m.G_star = {{{as * as, as * bs * m.cos_gamma_star, as * cs * m.cos_beta_star},
                 {as * bs * m.cos_gamma_star, bs * bs, bs * cs * m.cos_alpha_star},
                 {as * cs * m.cos_beta_star, bs * cs * m.cos_alpha_star, cs * cs}}};
    m.G = {{{a * a, a * b * cg, a * c * cb}, {a * b * cg, b * b, b * c * ca}, {a * c * cb, b * c * ca, c * c}}};
    m.B = {{{as, bs * m.cos_gamma_star, cs * m.cos_beta_star},
            {0, bs * m.sin_gamma_star, -cs * m.sin_beta_star * ca},
            {0, 0, 1 / c}}};
    if (!finite(m.B) || !finite(m.G_star))
        return refuse(messages, "The cell parameters do not give a cell: a derived value is not finite");
    if (!mat_inverse(m.B, m.B_inv)) return refuse(messages, "erreur dans oemath ligne 889");

    m.BG = mat_product(m.B, m.G);
    m.GBi = mat_product(m.G_star, m.B_inv);
    m.R = identity3();
    m.R_inv = identity3();
    m.T = m.BG;
    m.T_inv = m.GBi;
    if (!finite(m.B_inv) || !finite(m.BG) || !finite(m.GBi))
        return refuse(messages, "The cell parameters do not give a cell: a derived value is not finite");
    model.cell = cell;
    return true;
}

bool orient_from_axes(StructureModel& model, Messages& messages)
{
    CellMetric m = model.cell.metric;
    int rows[3] = {0, 0, 0};
    int n = 0;
    for (int i = 0; i < 3; ++i)
        if (dot(m.D[i], m.D[i]) > PresentRow) rows[n++] = i;
    if (n == 0) return true;

    if (n == 1) {
        const int i = rows[0];
        const Vec3 u = vec_normalise(mat_vec(m.BG, m.D[i]));
        const Mat3 r = frame_from_one_axis(i, u);
        Mat3 r_inv;
        if (!mat_inverse(r, r_inv)) return refuse(messages, "erreur dans oemath ligne 1066");
        m.D = mat_product(r, m.B); // rows: direct components of the view axes, since B^T B = G*
        if (!mat_inverse(m.D, m.O)) return refuse(messages, "erreur dans oemath ligne 1072");
        m.R = mat_product(m.D, m.B_inv);
        if (!mat_inverse(m.R, m.R_inv)) return refuse(messages, "erreur dans oemath ligne 1969");
        if (!unit_determinant(m.R_inv)) return refuse(messages, " Math error (determinant)");
    } else if (n == 2) {
        const char* not_perpendicular = "Error! The vectors are not perpendicular";
        const int i = rows[0], j = rows[1], k = 3 - i - j;
        const Vec3 ci = vec_normalise(mat_vec(m.BG, m.D[i]));
        const Vec3 cj = vec_normalise(mat_vec(m.BG, m.D[j]));
        if (std::abs(dot(ci, cj)) > PerpendicularDot) return refuse(messages, not_perpendicular);
        // Z = X x Y, X = Y x Z, Y = Z x X: the sign flips for the pair X, Z.
        const double s = ((i + j) % 2 == 1) ? 1.0 : -1.0;
        m.D[k] = mat_vec(m.GBi, scaled(vec_cross(ci, cj), s));
        if (!mat_inverse(m.D, m.O)) return refuse(messages, "erreur dans oemath ligne 1885");
        m.R = mat_product(m.D, m.B_inv);
        if (!mat_inverse(m.R, m.R_inv)) return refuse(messages, "erreur dans oemath ligne 2010");
        if (!unit_determinant(m.R_inv)) return refuse(messages, not_perpendicular);
    } else {
        m.R = mat_product(m.D, m.B_inv);
        if (!mat_inverse(m.R, m.R_inv)) return refuse(messages, "erreur dans oemath ligne 2032");
        if (!unit_determinant(m.R_inv)) return refuse(messages, " The matrix determinant is different from 1");
        // O follows from D here too, so that the frame depends on D alone.
        if (!mat_inverse(m.D, m.O)) return refuse(messages, "erreur dans oemath ligne 2032");
    }
    model.cell.metric = m;
    return true;
}

bool orthonormalise_view(StructureModel& model, Messages& messages)
{
    CellMetric m = model.cell.metric;
    // Gram-Schmidt on the Cartesian X and Y axes. Each axis is scaled to unit
    // length, so that T is a rotation of BG and keeps distances in Angstrom
    // even when the given axes were not quite perpendicular or not unit.
    const Vec3 x = mat_vec(m.B, column(m.O, 0));
    const Vec3 y = mat_vec(m.B, column(m.O, 1));
    const Vec3 z = vec_cross(x, y);
    const Vec3 y2 = vec_cross(z, x);
    if (dot(x, x) == 0 || dot(z, z) == 0 || !std::isfinite(dot(z, z)))
        return refuse(messages, "erreur dans oemath ligne 1936");
    set_column(m.O, 0, mat_vec(m.B_inv, vec_normalise(x)));
    set_column(m.O, 1, mat_vec(m.B_inv, vec_normalise(y2)));
    set_column(m.O, 2, mat_vec(m.B_inv, vec_normalise(z)));
    if (!mat_inverse(m.O, m.D)) return refuse(messages, "erreur dans oemath ligne 1936");
    m.R = mat_product(m.D, m.B_inv);
    if (!mat_inverse(m.R, m.R_inv)) return refuse(messages, "erreur dans oemath ligne 1942");
    m.T = mat_product(m.D, m.G);
    m.T_inv = mat_product(m.G_star, m.O);
    model.cell.metric = m;
    return true;
}

std::string crystal_system_of_cell(const CrystalCell& cell, const std::string& previous_code)
{
    const double dab = std::abs(cell.a - cell.b);
    const double dbc = std::abs(cell.b - cell.c);
    const double dca = std::abs(cell.c - cell.a);
    const bool all_equal = dab < SameLength && dbc < SameLength && dca < SameLength;
    // The angle tests compare exactly, as the values are typed or read.
    if (cell.alpha == 90 && cell.beta == 90 && cell.gamma == 90) {
        if (all_equal) return "CUBI";
        if (dab < SameLength && dbc > SameLength) return "TETR";
        if (dab > SameLength && dbc > SameLength) return "ORTH";
        return previous_code; // e.g. a != b = c: no setting of ours has it
    }
    if (cell.alpha == 90 && cell.beta == 90 && cell.gamma == 120) return "HEXA";
    if (all_equal) return "RHOM";
    if (cell.alpha == 90 && cell.beta != 90 && cell.gamma == 90) return "MONO"; // b unique only
    return "TRIC";
}

void set_crystal_system(StructureModel& model)
{
    model.system_code = crystal_system_of_cell(model.cell, model.system_code);
}

} // namespace kestro

#pragma once
// The numeric core: cell metric (direct and reciprocal metric tensors, the
// orthogonalisation matrix and its inverse), the viewing frame built from
// one, two or three axes, 3x3 routines and the crystal system of a cell.
//
// Every routine that changes the model computes on local copies and commits
// only on success: a refusal or a numeric failure is shown through the
// Messages port, false is returned and the model is exactly as before.

#include <string>

#include "model/math3.h"
#include "model/messages.h"
#include "model/structure_model.h"

namespace kestro {

// Degrees to radians as 1/57.2957 (not pi/180), and back by 57.2957: the
// program's own factors, kept so that derived values match its files.
constexpr double DegToRad = 0.0174533167410469;
constexpr double RadToDeg = 57.2957;

// Determinant by expansion along the first row.
double mat_det(const Mat3& m);
// Adjugate divided by the determinant. When |det| < 1e-15 the matrix is
// singular: false is returned and out holds the undivided adjugate.
bool mat_inverse(const Mat3& m, Mat3& out);
Mat3 mat_product(const Mat3& a, const Mat3& b); // a * b
// m * v; inline, as the drawing takes it many times per atom and bond.
inline Vec3 mat_vec(const Mat3& m, const Vec3& v)
{
    const auto row = [&v](const Vec3& r) { return r[0] * v[0] + r[1] * v[1] + r[2] * v[2]; };
    return {row(m[0]), row(m[1]), row(m[2])};
}
Vec3 vec_cross(const Vec3& u, const Vec3& v);
// v divided by its length; a zero vector is returned as it is.
Vec3 vec_normalise(const Vec3& v);
// Fractional direct vector divided by its length in Angstrom.
Vec3 direct_normalise(const CrystalCell& cell, const Vec3& u);
// Reciprocal vector (h, k, l) divided by its length in 1/Angstrom. Uses the
// reciprocal cell, so cell_metric must have run.
Vec3 reciprocal_normalise(const CrystalCell& cell, const Vec3& h);

// Fills the reciprocal cell and every matrix of cell.metric from a, b, c,
// alpha, beta, gamma. R and R^-1 become the identity, T = BG, T^-1 = GBi;
// D and O keep their values. Refuses a cell that is not a cell (lengths not
// positive, volume term not positive, any value not finite).
bool cell_metric(StructureModel& model, Messages& messages);

// Completes the view frame from the rows of metric.D that are present (one,
// two or three; a row is present when its squares sum above 0.0001). Sets
// D, O, R and R^-1; an absent set of rows changes nothing and succeeds.
bool orient_from_axes(StructureModel& model, Messages& messages);

// Makes O, D, R, R^-1, T and T^-1 one consistent orthonormal view frame from
// the first two columns of O.
bool orthonormalise_view(StructureModel& model, Messages& messages);

// "CUBI", "TETR", "ORTH", "HEXA", "RHOM", "MONO" or "TRIC" from the six cell
// values; previous_code where the rule leaves the code unchanged (an
// orthogonal cell with a != b = c).
std::string crystal_system_of_cell(const CrystalCell& cell, const std::string& previous_code);
// model.system_code from model.cell.
void set_crystal_system(StructureModel& model);

} // namespace kestro

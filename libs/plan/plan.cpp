// Least-squares mean planes (Schomaker, Waser, Marsh & Bergman, Acta Cryst.
// 12 (1959) 600): the plane through the centroid of the atoms, in Cartesian
// Angstrom coordinates, whose normal is the eigenvector of the smallest
// eigenvalue of the scatter matrix of the atoms about their centroid.

#include "plan.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Vec3 = std::array<double, 3>;
using Mat3 = std::array<Vec3, 3>;

// The degree factor of the rest of the program, so that Cartesian
// coordinates and angles agree with its distances and reports.
constexpr double DegreesPerRadian = 57.2957;
constexpr int MaxAtoms = 2000;
constexpr int MaxPlanes = 30;

struct Atom {
    std::string label;
    Vec3 xyz{};
};

struct Input {
    std::string title;
    std::array<double, 6> cell{};
    std::vector<Atom> atoms;
    std::vector<std::vector<int>> planes;
};

double dot(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
Vec3 cross(const Vec3& a, const Vec3& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
Vec3 times(const Mat3& m, const Vec3& v) { return {dot(m[0], v), dot(m[1], v), dot(m[2], v)}; }
Vec3 minus(const Vec3& a, const Vec3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
Vec3 unit(const Vec3& v)
{
    const double n = std::sqrt(dot(v, v));
    return n > 0 ? Vec3{v[0] / n, v[1] / n, v[2] / n} : v;
}

std::string fixed(double value, int width, int decimals)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%*.*f", width, decimals, value);
    std::string text = buffer;
    // No "-0.0000": a value that rounds to zero carries no sign.
    const auto minus_at = text.find('-');
    if (minus_at != std::string::npos && text.find_first_of("123456789") == std::string::npos)
        text[minus_at] = ' ';
    return text;
}

std::string integer(long value, int width)
{
    std::string text = std::to_string(value);
    return text.size() < static_cast<std::size_t>(width) ? std::string(width - text.size(), ' ') + text : text;
}

bool read_number(const std::string& field, double& value)
{
    std::istringstream in(field);
    in >> value;
    std::string rest;
    return !in.fail() && !(in >> rest) && std::isfinite(value);
}

// Fixed columns of `width` characters.
bool read_columns(const std::string& line, std::size_t first, int width, int count, double* out)
{
    for (int k = 0; k < count; ++k) {
        const std::size_t at = first + static_cast<std::size_t>(k * width);
        if (at >= line.size() || !read_number(line.substr(at, static_cast<std::size_t>(width)), out[k])) return false;
    }
    return true;
}

bool read_input(const std::filesystem::path& path, Input& input)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    if (lines.size() < 3) return false;
    input.title = lines[0];
    if (!read_columns(lines[1], 0, 10, 6, input.cell.data())) return false;
    double count = 0;
    if (!read_number(lines[2], count) || count < 0 || count > MaxAtoms || count != std::floor(count)) return false;
    const std::size_t n = static_cast<std::size_t>(count);
    if (lines.size() < 3 + n) return false;
    for (std::size_t i = 0; i < n; ++i) {
        const std::string& line = lines[3 + i];
        Atom atom;
        // The label column is 5 characters, wider for a longer label: the
        // three coordinates of 10 characters end the line.
        const std::size_t width = line.size() > 35 ? line.size() - 30 : 5;
        atom.label = line.substr(0, std::min(width, line.size()));
        while (!atom.label.empty() && atom.label.back() == ' ') atom.label.pop_back();
        if (!read_columns(line, width, 10, 3, atom.xyz.data())) return false;
        input.atoms.push_back(atom);
    }
    for (std::size_t i = 3 + n; i < lines.size() && input.planes.size() < MaxPlanes; ++i) {
        std::istringstream in(lines[i]);
        long members = 0;
        if (!(in >> members)) continue; // a blank line
        if (members < 0 || members > MaxAtoms) return false;
        std::vector<int> plane;
        for (long k = 0; k < members; ++k) {
            long atom = 0;
            if (!(in >> atom)) return false;
            plane.push_back(static_cast<int>(atom));
        }
        input.planes.push_back(plane);
    }
    return true;
}

// Fractional to Cartesian as the program orthogonalises: B G, with x along
// a* and z along c (Busing & Levy, Acta Cryst. 22 (1967) 457).
bool orthogonalisation(const std::array<double, 6>& cell, Mat3& m)
{
    const double a = cell[0], b = cell[1], c = cell[2];
    const double ca = std::cos(cell[3] / DegreesPerRadian), cb = std::cos(cell[4] / DegreesPerRadian),
                 cg = std::cos(cell[5] / DegreesPerRadian);
    const double sa = std::sin(cell[3] / DegreesPerRadian), sb = std::sin(cell[4] / DegreesPerRadian),
                 sg = std::sin(cell[5] / DegreesPerRadian);
    const double term = 1 - ca * ca - cb * cb - cg * cg + 2 * ca * cb * cg;
    if (!(a > 0 && b > 0 && c > 0 && term > 0)) return false;
    const double volume = a * b * c * std::sqrt(term);
    const double as = b * c * sa / volume, bs = c * a * sb / volume, cs = a * b * sg / volume;
    const double cbs = (cg * ca - cb) / (sg * sa), cgs = (ca * cb - cg) / (sa * sb);
    const double sbs = std::sqrt(std::max(0.0, 1 - cbs * cbs)), sgs = std::sqrt(std::max(0.0, 1 - cgs * cgs));
    const Mat3 B = {{{as, bs * cgs, cs * cbs}, {0, bs * sgs, -cs * sbs * ca}, {0, 0, 1 / c}}};
    const Mat3 G = {{{a * a, a * b * cg, a * c * cb}, {a * b * cg, b * b, b * c * ca}, {a * c * cb, b * c * ca, c * c}}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) m[i][j] = B[i][0] * G[0][j] + B[i][1] * G[1][j] + B[i][2] * G[2][j];
    return true;
}

// Eigenvalues of a symmetric 3x3 matrix, increasing, by the trigonometric
// solution of its characteristic cubic (O. K. Smith, Comm. ACM 4 (1961) 168).
Vec3 eigenvalues(const Mat3& s)
{
    const double p1 = s[0][1] * s[0][1] + s[0][2] * s[0][2] + s[1][2] * s[1][2];
    const double q = (s[0][0] + s[1][1] + s[2][2]) / 3;
    const double p2 = (s[0][0] - q) * (s[0][0] - q) + (s[1][1] - q) * (s[1][1] - q) + (s[2][2] - q) * (s[2][2] - q) +
                      2 * p1;
    if (p2 == 0) return {q, q, q};
    const double p = std::sqrt(p2 / 6);
    Mat3 b = s;
    for (int i = 0; i < 3; ++i) {
        b[i][i] -= q;
        for (double& x : b[i]) x /= p;
    }
    const double det = b[0][0] * (b[1][1] * b[2][2] - b[1][2] * b[2][1]) -
                       b[0][1] * (b[1][0] * b[2][2] - b[1][2] * b[2][0]) +
                       b[0][2] * (b[1][0] * b[2][1] - b[1][1] * b[2][0]);
    const double r = std::max(-1.0, std::min(1.0, det / 2));
    const double phi = std::acos(r) / 3;
    const double pi = 3.14159265358979323846;
    const double largest = q + 2 * p * std::cos(phi);
    const double smallest = q + 2 * p * std::cos(phi + 2 * pi / 3);
    return {smallest, 3 * q - largest - smallest, largest};
}

// The unit eigenvector of eigenvalue lambda: the longest cross product of
// two rows of S - lambda I (a rank-2 matrix when lambda is single).
bool eigenvector(const Mat3& s, double lambda, Vec3& out)
{
    Mat3 a = s;
    for (int i = 0; i < 3; ++i) a[i][i] -= lambda;
    const Vec3 candidates[3] = {cross(a[0], a[1]), cross(a[0], a[2]), cross(a[1], a[2])};
    double best = 0;
    for (const Vec3& c : candidates)
        if (dot(c, c) > best) {
            best = dot(c, c);
            out = c;
        }
    const double scale = std::max({dot(a[0], a[0]), dot(a[1], a[1]), dot(a[2], a[2]), 1e-300});
    if (best <= 1e-20 * scale * scale) return false;
    out = unit(out);
    return true;
}

struct Plane {
    Vec3 normal{};
    double d = 0;
};

struct Output {
    std::vector<std::string> lines;
    void add(std::string line) { lines.push_back(std::move(line)); }
};

// "A x + B y + C z = D" with the signs written between the terms.
std::string equation(const Vec3& k, double d, const char* const names[3])
{
    std::string text = fixed(k[0], 10, 4) + " " + names[0];
    for (int i = 1; i < 3; ++i) {
        const double c = k[static_cast<std::size_t>(i)];
        text += (c < 0 ? " - " : " + ") + fixed(std::abs(c), 8, 4) + " " + names[i];
    }
    return text + " = " + fixed(d, 8, 4);
}

// One plane: false (and the closing line written) when it cannot be fitted.
bool fit(const Input& input, const Mat3& m, std::size_t index, std::vector<Plane>& planes, Output& out)
{
    const std::vector<int>& members = input.planes[index];
    const std::string name = "plane Nb." + integer(static_cast<long>(index + 1), 2);
    out.add("Plane Nb." + integer(static_cast<long>(index + 1), 2) + ":" + integer(static_cast<long>(members.size()), 4) +
            " atoms");
    std::vector<Vec3> r;
    for (int atom : members) {
        if (atom < 1 || atom > static_cast<int>(input.atoms.size())) {
            out.add("Atom number " + std::to_string(atom) + " of " + name + " is not in the list");
            return false;
        }
        r.push_back(times(m, input.atoms[static_cast<std::size_t>(atom - 1)].xyz));
    }
    if (r.size() < 3) {
        out.add("Fewer than 3 atoms in " + name);
        return false;
    }
    Vec3 centroid{};
    for (const Vec3& p : r)
        for (int k = 0; k < 3; ++k) centroid[k] += p[k] / static_cast<double>(r.size());
    Mat3 scatter{};
    for (const Vec3& p : r) {
        const Vec3 u = minus(p, centroid);
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) scatter[i][j] += u[i] * u[j];
    }
    const Vec3 lambda = eigenvalues(scatter);
    const double negligible = 1e-6 * static_cast<double>(r.size());
    Vec3 normal{};
    if ((lambda[0] < negligible && lambda[1] < negligible) || !eigenvector(scatter, lambda[0], normal)) {
        // Two vanishing eigenvalues: the atoms lie on a line.
        if (lambda[1] < negligible) {
            out.add("Atoms of " + name + " are aligned");
            return false;
        }
        // A single smallest eigenvalue whose rows are nearly dependent: any
        // direction perpendicular to the largest axis.
        Vec3 axis{};
        if (!eigenvector(scatter, lambda[2], axis)) axis = {1, 0, 0};
        normal = unit(cross(axis, std::abs(axis[0]) < 0.9 ? Vec3{1, 0, 0} : Vec3{0, 1, 0}));
    }
    // The normal turns with the first three atoms as picked.
    if (dot(normal, cross(minus(r[1], r[0]), minus(r[2], r[0]))) < 0) normal = {-normal[0], -normal[1], -normal[2]};
    const Plane plane{normal, dot(normal, centroid)};

    static const char* const crystal[3] = {"x", "y", "z"};
    static const char* const cartesian[3] = {"X", "Y", "Z"};
    // n . (M x) = d: the crystal coefficients are M^T n.
    const Vec3 k = {m[0][0] * normal[0] + m[1][0] * normal[1] + m[2][0] * normal[2],
                    m[0][1] * normal[0] + m[1][1] * normal[1] + m[2][1] * normal[2],
                    m[0][2] * normal[0] + m[1][2] * normal[1] + m[2][2] * normal[2]};
    out.add("Crystal coordinates:  " + equation(k, plane.d, crystal));
    out.add("Cartesian coordinates:" + equation(normal, plane.d, cartesian));
    out.add("Atom          x         y         z   Dev.(A)");
    double sum = 0;
    for (std::size_t i = 0; i < r.size(); ++i) {
        const Atom& atom = input.atoms[static_cast<std::size_t>(members[i] - 1)];
        const double deviation = dot(normal, r[i]) - plane.d;
        sum += deviation * deviation;
        std::string label = atom.label;
        label.resize(std::max<std::size_t>(label.size(), 5), ' ');
        out.add(label + fixed(atom.xyz[0], 10, 4) + fixed(atom.xyz[1], 10, 4) + fixed(atom.xyz[2], 10, 4) +
                fixed(deviation, 10, 4));
    }
    out.add("Rms deviation of fitted atoms =" + fixed(std::sqrt(sum / static_cast<double>(r.size())), 8, 4));
    for (std::size_t k2 = 0; k2 < planes.size(); ++k2) {
        const double c = std::min(1.0, std::abs(dot(planes[k2].normal, normal)));
        out.add("Angle to plane Nb." + integer(static_cast<long>(k2 + 1), 2) + " =" +
                fixed(std::acos(c) * DegreesPerRadian, 7, 2));
    }
    out.add("");
    planes.push_back(plane);
    return true;
}

} // namespace

extern "C" int plan_compute(const char* directory)
{
    const std::filesystem::path folder(directory && *directory ? directory : ".");
    Input input;
    Mat3 m{};
    const bool readable = read_input(folder / "plan.dat", input) && orthogonalisation(input.cell, m);
    Output out;
    int result = 0;
    if (!readable) {
        out.add("plan.dat cannot be read: no plane computed");
        result = 2;
    } else {
        out.add("Mean planes" + (input.title.empty() ? std::string() : " of " + input.title));
        out.add("");
        std::vector<Plane> planes;
        for (std::size_t p = 0; p < input.planes.size() && result == 0; ++p)
            if (!fit(input, m, p, planes, out)) result = 1;
        if (result == 0) out.add("Normal end");
    }
    std::ofstream file(folder / "plan.sor", std::ios::binary | std::ios::trunc);
    for (const std::string& line : out.lines) file << line << "\r\n";
    file.flush();
    if (!file) return 3;
    return result;
}

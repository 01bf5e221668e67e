// Bond lengths and angles of the asymmetric unit with standard
// uncertainties: the neighbourhood of the asymmetric unit is built from the
// file's operators and lattice translations, the program's bond search runs
// on it, and each value's s.u. is propagated to first order from the s.u.
// of the coordinates and of the cell (no covariance is known).

#include "analysis/geometry.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <tuple>

#include "crystal/bonds.h"
#include "crystal/oemath.h"
#include "crystal/spatial_hash.h"
#include "model/fields.h"

namespace kestro {

namespace {

constexpr double DegreesToRadians = std::numbers::pi / 180;
constexpr double SameSite = 0.01; // Angstrom: one atom's images closer than this are one site

class QuietMessages : public Messages {
public:
    void show(const std::string& text) override { last = text; }
    Answer ask(const std::string&) override { return Answer::Yes; }
    std::string last;
};

Vec3 image_of(const SymmetryOperator& op, const Vec3& x, const std::array<int, 3>& shift)
{
    Vec3 y{};
    for (std::size_t r = 0; r < 3; ++r) {
        const auto& row = op.rows[r];
        y[r] = row[0] * x[0] + row[1] * x[1] + row[2] * x[2] + row[3] + shift[r];
    }
    return y;
}

bool is_identity(const SymmetryOperator& op) { return op.rows == SymmetryOperator::identity().rows; }

// The direct metric tensor of a, b, c, alpha, beta, gamma (degrees).
Mat3 metric_of(const std::array<double, 6>& cell)
{
    const double ca = std::cos(cell[3] * DegreesToRadians), cb = std::cos(cell[4] * DegreesToRadians),
                 cg = std::cos(cell[5] * DegreesToRadians);
    const double a = cell[0], b = cell[1], c = cell[2];
    return {{{a * a, a * b * cg, a * c * cb}, {a * b * cg, b * b, b * c * ca}, {a * c * cb, b * c * ca, c * c}}};
}

double form(const Mat3& g, const Vec3& u, const Vec3& v)
{
    const Vec3 w = mat_vec(g, v);
    return u[0] * w[0] + u[1] * w[1] + u[2] * w[2];
}

// The parameters a value depends on: the coordinates of the asymmetric-unit
// atoms it names and the six cell values, each with its s.u.
struct Parameters {
    std::vector<int> atoms;   // asymmetric-unit atoms, each once
    std::vector<Vec3> xyz;    // their coordinates
    std::array<double, 6> cell{};
};

class Propagation {
public:
    Propagation(const StructureModel& model, std::initializer_list<GeometrySite> sites) : model_(model)
    {
        const CrystalCell& c = model.cell;
        p_.cell = {c.a, c.b, c.c, c.alpha, c.beta, c.gamma};
        for (const GeometrySite& site : sites) {
            sites_.push_back(site);
            if (std::find(p_.atoms.begin(), p_.atoms.end(), site.atom) != p_.atoms.end()) continue;
            p_.atoms.push_back(site.atom);
            p_.xyz.push_back(model.asym[site.atom].xyz);
        }
    }

    // The value of f and its s.u.: sqrt of the sum of (df/dp s.u.(p))^2,
    // the derivatives by central differences.
    template <class F>
    std::pair<double, double> run(F f) const
    {
        const double value = f(positions(p_), metric_of(p_.cell));
        double variance = 0;
        const auto vary = [&](double& parameter, double su) {
            if (!(su > 0)) return;
            const double keep = parameter, h = 1e-6 * std::max(1.0, std::abs(keep));
            parameter = keep + h;
            const double up = f(positions(p_), metric_of(p_.cell));
            parameter = keep - h;
            const double down = f(positions(p_), metric_of(p_.cell));
            parameter = keep;
            const double derivative = (up - down) / (2 * h);
            variance += derivative * derivative * su * su;
        };
        for (std::size_t k = 0; k < p_.atoms.size(); ++k)
            for (std::size_t i = 0; i < 3; ++i) vary(p_.xyz[k][i], model_.asym[p_.atoms[k]].xyz_su[i]);
        for (std::size_t i = 0; i < 6; ++i) vary(p_.cell[i], model_.cell.su[i]);
        return {value, std::sqrt(variance)};
    }

private:
    std::vector<Vec3> positions(const Parameters& p) const
    {
        std::vector<Vec3> out;
        for (const GeometrySite& site : sites_) {
            const auto k = static_cast<std::size_t>(std::find(p.atoms.begin(), p.atoms.end(), site.atom) - p.atoms.begin());
            out.push_back(image_of(model_.operators[site.op], p.xyz[k], site.shift));
        }
        return out;
    }

    const StructureModel& model_;
    std::vector<GeometrySite> sites_;
    mutable Parameters p_;
};

double length(const std::vector<Vec3>& x, const Mat3& g)
{
    const Vec3 d = {x[1][0] - x[0][0], x[1][1] - x[0][1], x[1][2] - x[0][2]};
    return std::sqrt(form(g, d, d));
}

double angle_at_middle(const std::vector<Vec3>& x, const Mat3& g)
{
    const Vec3 u = {x[0][0] - x[1][0], x[0][1] - x[1][1], x[0][2] - x[1][2]};
    const Vec3 v = {x[2][0] - x[1][0], x[2][1] - x[1][1], x[2][2] - x[1][2]};
    const double cosine = form(g, u, v) / std::sqrt(form(g, u, u) * form(g, v, v));
    return std::acos(std::clamp(cosine, -1.0, 1.0)) / DegreesToRadians;
}

// The file's label where it gave one, else the display form; quoted when
// it could not stand as a bare CIF value.
std::string cif_label(const AtomRecord& atom)
{
    const std::string label = atom.file_label.empty() ? display_label_of(atom) : atom.file_label.str();
    const bool bare = !label.empty() && label.find_first_of(" \t") == std::string::npos &&
                      std::string_view("_#$'\"[];").find(label.front()) == std::string_view::npos;
    if (bare) return label;
    return label.find('\'') == std::string::npos ? "'" + label + "'" : "\"" + label + "\"";
}

} // namespace

std::string symmetry_code(const GeometrySite& site, int identity_op)
{
    if (site.op == identity_op && site.shift == std::array<int, 3>{}) return ".";
    std::string code = std::to_string(site.op) + "_";
    for (int n : site.shift) code += std::to_string(5 + n);
    return code;
}

std::string value_with_su(double value, double su, int plain_decimals)
{
    if (!(su > 0) || !std::isfinite(su)) return fmt_real(value, 0, plain_decimals);
    // The place of the s.u.'s last digit kept: its first digit, or the
    // second when the first is 1 (an s.u. rounding up to 20 there is 2).
    int place = static_cast<int>(std::floor(std::log10(su)));
    const bool two_digits = su / std::pow(10.0, place) < 2;
    if (two_digits) --place;
    long long digits = std::llround(su / std::pow(10.0, place));
    if (two_digits && digits == 20) {
        digits = 2;
        ++place;
    }
    const int decimals = std::max(0, -place);
    if (place > 0)
        for (int k = 0; k < place; ++k) digits *= 10;
    return fmt_real(value, 0, decimals) + "(" + std::to_string(digits) + ")";
}

GeometryTables geometry_tables(const StructureModel& model)
{
    GeometryTables tables;
    const int asym = model.asym.count();
    const int ops = model.operators.count();
    tables.identity_op = 0;
    for (int k = 1; k <= ops && tables.identity_op == 0; ++k)
        if (is_identity(model.operators[k])) tables.identity_op = k;
    if (asym == 0 || ops == 0 || model.cell.missing()) {
        tables.fault = "No structure: a cell, operators and atoms are needed";
        return tables;
    }
    double reach = 0;
    for (const BondSort& sort : model.bond_sorts) reach = std::max(reach, sort.max_length);
    if (!(reach > 0)) return tables;

    // The neighbourhood: the asymmetric unit itself, then every image of an
    // atom within reach of one of it, an atom's images on one site once.
    auto work = std::make_unique<StructureModel>(model);
    const Mat3& to_cart = model.cell.metric.BG;
    std::vector<GeometrySite> sites;
    SpatialHash unit(reach + 0.1, asym);
    SpatialHash placed(1.0, MaxGeneratedAtoms);
    Vec3 lo{HUGE_VAL, HUGE_VAL, HUGE_VAL}, hi{-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
    work->generated.clear();
    const auto add_site = [&](const GeometrySite& site, const Vec3& xyz) {
        AtomRecord record = model.asym[site.atom];
        record.xyz = xyz;
        record.operator_index = site.op;
        record.shown = 1;
        if (!work->generated.push(record)) return false;
        sites.push_back(site);
        placed.insert(static_cast<int>(sites.size()) - 1, mat_vec(to_cart, xyz));
        return true;
    };
    for (int j = 1; j <= asym; ++j) {
        const Vec3& x = model.asym[j].xyz;
        unit.insert(j, mat_vec(to_cart, x));
        for (std::size_t i = 0; i < 3; ++i) lo[i] = std::min(lo[i], x[i]), hi[i] = std::max(hi[i], x[i]);
        add_site({j, std::max(tables.identity_op, 1), {}}, x);
    }
    const Vec3 reciprocal = {model.cell.a_star, model.cell.b_star, model.cell.c_star};
    for (int k = 1; k <= ops; ++k)
        for (int j = 1; j <= asym; ++j) {
            const Vec3 y = image_of(model.operators[k], model.asym[j].xyz, {});
            std::array<int, 3> from{}, to{};
            for (std::size_t i = 0; i < 3; ++i) {
                const double margin = reach * reciprocal[i] + 1e-6;
                from[i] = static_cast<int>(std::ceil(lo[i] - margin - y[i]));
                to[i] = static_cast<int>(std::floor(hi[i] + margin - y[i]));
            }
            for (int n0 = from[0]; n0 <= to[0]; ++n0)
                for (int n1 = from[1]; n1 <= to[1]; ++n1)
                    for (int n2 = from[2]; n2 <= to[2]; ++n2) {
                        const GeometrySite site{j, k, {n0, n1, n2}};
                        const Vec3 xyz = image_of(model.operators[k], model.asym[j].xyz, site.shift);
                        const Vec3 cart = mat_vec(to_cart, xyz);
                        const bool near = unit.find(cart, [&](int a) {
                            return bond_distance(cart, mat_vec(to_cart, model.asym[a].xyz)) <= reach;
                        });
                        if (!near) continue;
                        const bool known = placed.find_near(cart, SameSite, [&](int s) {
                            const GeometrySite& other = sites[static_cast<std::size_t>(s)];
                            return other.atom == j &&
                                   bond_distance(cart, mat_vec(to_cart, work->generated[s + 1].xyz)) < SameSite;
                        });
                        if (known) continue;
                        if (!add_site(site, xyz)) {
                            tables.fault = "The neighbourhood of the asymmetric unit holds more than " +
                                           std::to_string(MaxGeneratedAtoms) + " atoms";
                            return tables;
                        }
                    }
        }

    // The program's own bond search over it, its disorder rule included.
    work->selected_operators.clear();
    for (const SymmetryOperator& op : model.operators) work->selected_operators.push(op);
    QuietMessages quiet;
    if (!liaisons(*work, quiet)) tables.fault = quiet.last;
    std::vector<std::vector<std::pair<int, double>>> neighbours(static_cast<std::size_t>(asym) + 1);
    for (const BondRecord& bond : work->bonds) {
        if (bond.atom1 <= asym) neighbours[static_cast<std::size_t>(bond.atom1)].push_back({bond.atom2, bond.length});
        if (bond.atom2 <= asym) neighbours[static_cast<std::size_t>(bond.atom2)].push_back({bond.atom1, bond.length});
    }
    const auto site_of = [&](int s) { return sites[static_cast<std::size_t>(s - 1)]; };
    for (int a = 1; a <= asym; ++a) {
        const auto& list = neighbours[static_cast<std::size_t>(a)];
        const GeometrySite centre = site_of(a);
        for (const auto& [s, d] : list) {
            if (s <= asym && s < a) continue; // listed from the lower atom
            GeometryBond bond{centre, site_of(s)};
            std::tie(bond.distance, bond.su) = Propagation(model, {bond.from, bond.to}).run(length);
            tables.bonds.push_back(bond);
        }
        for (std::size_t p = 0; p < list.size(); ++p)
            for (std::size_t q = p + 1; q < list.size(); ++q) {
                GeometryAngle angle{site_of(list[p].first), centre, site_of(list[q].first)};
                std::tie(angle.angle, angle.su) =
                    Propagation(model, {angle.first, angle.centre, angle.last}).run(angle_at_middle);
                tables.angles.push_back(angle);
            }
    }
    return tables;
}

std::string geometry_cif(const StructureModel& model, const GeometryTables& tables)
{
    std::string text;
    const auto line = [&text](const std::string& s) { text += s + "\n"; };
    const auto label = [&](const GeometrySite& site) { return cif_label(model.asym[site.atom]); };
    const auto code = [&](const GeometrySite& site) { return symmetry_code(site, tables.identity_op); };
    const std::string& source = model.source_file_name;
    const std::string name = source.substr(source.find_last_of('/') == std::string::npos ? 0 : source.find_last_of('/') + 1);
    line("# Bond lengths and angles of " + (name.empty() ? std::string("the structure") : name) + ", computed by KESTRO");
    line("# The standard uncertainties are propagated to first order from those of the");
    line("# coordinates and of the cell alone: the covariance of the refinement is not");
    line("# known here, so correlations between parameters are left out.");
    line("# Symmetry codes n_klm: operator n of the file's list, lattice translation");
    line("# k-5, l-5, m-5; '.' for the atom of the asymmetric unit itself.");
    if (!tables.fault.empty()) line("# " + tables.fault);
    // A loop needs a row: with none it is left out and said.
    if (tables.bonds.empty()) line("# No bonds found.");
    if (tables.angles.empty()) line("# No angles: no atom has two bonds.");
    if (!tables.bonds.empty()) {
    line("");
    line("loop_");
    line("_geom_bond_atom_site_label_1");
    line("_geom_bond_atom_site_label_2");
    line("_geom_bond_distance");
    line("_geom_bond_site_symmetry_2");
    for (const GeometryBond& b : tables.bonds)
        line(label(b.from) + " " + label(b.to) + " " + value_with_su(b.distance, b.su, 4) + " " + code(b.to));
    }
    if (tables.angles.empty()) return text;
    line("");
    line("loop_");
    line("_geom_angle_atom_site_label_1");
    line("_geom_angle_atom_site_label_2");
    line("_geom_angle_atom_site_label_3");
    line("_geom_angle");
    line("_geom_angle_site_symmetry_1");
    line("_geom_angle_site_symmetry_3");
    for (const GeometryAngle& a : tables.angles)
        line(label(a.first) + " " + label(a.centre) + " " + label(a.last) + " " + value_with_su(a.angle, a.su, 2) +
             " " + code(a.first) + " " + code(a.last));
    return text;
}

} // namespace kestro

// Atom generation: candidates per (selected operator, atom), coinciding
// positions removed as they are made, betaij carried through R beta R^T.

#include "crystal/generation.h"

#include <algorithm>
#include <cmath>

#include "crystal/bonds.h"
#include "crystal/generation_steps.h"
#include "crystal/oemath.h"
#include "model/labels.h"
#include "model/numbers.h"
#include "model/thermal.h"

namespace kestro {

namespace gen {

Vec3 reduce_into_cell(const Vec3& x)
{
    Vec3 r{};
    for (int i = 0; i < 3; ++i) {
        r[i] = x[i] - std::trunc(x[i]);
        if (r[i] < 0) r[i] += 1;
    }
    return r;
}

Vec3 apply_operator(const SymmetryOperator& op, const Vec3& x)
{
    Vec3 out{};
    for (int i = 0; i < 3; ++i) {
        const auto& row = op.rows[static_cast<std::size_t>(i)];
        out[i] = row[0] * x[0] + row[1] * x[1] + row[2] * x[2] + row[3];
    }
    return out;
}

Mat3 rotation_of(const SymmetryOperator& op)
{
    Mat3 r{};
    for (std::size_t i = 0; i < 3; ++i)
        for (std::size_t j = 0; j < 3; ++j) r[i][j] = op.rows[i][j];
    return r;
}

double cart_distance(const Mat3& m, const Vec3& a, const Vec3& b)
{
    const Vec3 d = mat_vec(m, {a[0] - b[0], a[1] - b[1], a[2] - b[2]});
    return std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
}

bool same_site(const Mat3& bg, const Vec3& a, const Vec3& b) { return cart_distance(bg, a, b) < SameSiteTolerance; }

// Cubes of 1 A, far larger than the tolerance: a position probes only the
// cubes its tolerance reaches, nearly always its own.
constexpr double SiteCube = 1.0;

SiteSet::SiteSet(const Mat3& bg, int capacity) : bg_(bg), grid_(SiteCube, capacity)
{
    sites_.reserve(static_cast<std::size_t>(capacity));
}

bool SiteSet::contains(const Vec3& x) const
{
    return grid_.find_near(mat_vec(bg_, x), SameSiteTolerance,
                           [&](int id) { return same_site(bg_, sites_[static_cast<std::size_t>(id)], x); });
}

void SiteSet::add(const Vec3& x)
{
    grid_.insert(static_cast<int>(sites_.size()), mat_vec(bg_, x));
    sites_.push_back(x);
}

namespace {

constexpr double ShiftLimit = 1 << 30; // shift ranges are clamped here so they stay integers
constexpr double HexagonalReach = 1.001;
constexpr double MaxSphereShifts = 1e6;

double clamp_shift(double v) { return std::clamp(v, -ShiftLimit, ShiftLimit); }

// Keeps the copies that are new sites; false at the first one beyond MaxKept.
struct Keeper {
    // expected: how many copies the pass is likely to keep; the stores grow
    // past it as needed, so a small structure does not pay for a full table.
    Keeper(const Mat3& bg, std::size_t expected)
        : sites(bg, static_cast<int>(std::min<std::size_t>(expected, MaxKept) + 1))
    {
        kept.reserve(std::min<std::size_t>(expected, MaxKept));
    }
    bool offer(const AtomRecord& atom)
    {
        if (sites.contains(atom.xyz)) return true;
        if (static_cast<int>(kept.size()) == MaxKept) return false;
        sites.add(atom.xyz);
        kept.push_back(atom);
        return true;
    }
    SiteSet sites;
    std::vector<AtomRecord> kept;
};

// Atom indices grouped by fragment number 1..fragments, each group in list order.
std::vector<std::vector<int>> fragment_groups(const std::vector<AtomRecord>& atoms, int fragments)
{
    std::vector<std::vector<int>> groups(static_cast<std::size_t>(std::max(fragments, 0)));
    for (std::size_t i = 0; i < atoms.size(); ++i) {
        const int n = atoms[i].operator_index;
        if (n >= 1 && n <= fragments) groups[static_cast<std::size_t>(n - 1)].push_back(static_cast<int>(i));
    }
    return groups;
}

// Every shift of [from, to] along an axis that can bring some coordinate of
// [low, high] into [min, max]; one more on each side, so that the exact
// comparison still decides.
void narrow(double& from, double& to, double low, double high, double min, double max)
{
    from = std::max(from, clamp_shift(std::floor(min - high) - 1));
    to = std::min(to, clamp_shift(std::ceil(max - low) + 1));
}

// The shifts s of [from, to] with min <= x + s <= max, which form one run:
// false when there are none. Starts from the narrowed ends, so each scan
// takes a step or two.
bool valid_span(double x, double min, double max, double& from, double& to)
{
    narrow(from, to, x, x, min, max);
    while (from <= to && !(min <= x + from && x + from <= max)) ++from;
    while (to >= from && !(min <= x + to && x + to <= max)) --to;
    return from <= to;
}

bool finite3(const Vec3& x) { return std::isfinite(x[0]) && std::isfinite(x[1]) && std::isfinite(x[2]); }

} // namespace

// Copies of whole fragments over the lattice shifts from..to (i outer):
// a fragment copy is kept when at least one of its atoms passes `keep`.
// False when the keeper is full.
template <class Keep>
bool copy_whole_fragments(const std::vector<AtomRecord>& atoms, int fragments, const Vec3& from, const Vec3& to,
                          Keeper& keeper, Keep&& keep)
{
    const auto groups = fragment_groups(atoms, fragments);
    std::vector<AtomRecord> copies;
    for (double i = from[0]; i <= to[0]; ++i)
        for (double j = from[1]; j <= to[1]; ++j)
            for (double k = from[2]; k <= to[2]; ++k)
                for (const auto& group : groups) {
                    copies.clear();
                    bool some_inside = false;
                    for (int a : group) {
                        AtomRecord copy = atoms[static_cast<std::size_t>(a)];
                        copy.xyz = {copy.xyz[0] + i, copy.xyz[1] + j, copy.xyz[2] + k};
                        some_inside = some_inside || keep(copy.xyz);
                        copies.push_back(copy);
                    }
                    if (!some_inside) continue;
                    for (const AtomRecord& copy : copies)
                        if (!keeper.offer(copy)) return false;
                }
    return true;
}

bool apply_box(const StructureModel& model, std::vector<AtomRecord>& atoms, int fragments)
{
    const GenerationOptions& o = model.generation;
    Vec3 lo{}, hi{}, from{}, to{};
    for (int c = 0; c < 3; ++c) {
        lo[c] = o.centre[c] - o.box_size[c] / 2;
        hi[c] = o.centre[c] + o.box_size[c] / 2;
        from[c] = clamp_shift(round_half_even(lo[c]) - 1);
        to[c] = clamp_shift(round_half_even(hi[c]) + 1);
    }
    Keeper keeper(model.cell.metric.BG, 2 * atoms.size());
    bool fits = true;
    if (!finite3(lo) || !finite3(hi)) { // no position is inside such a box
        atoms.clear();
        return true;
    }
    const auto inside = [&](const Vec3& x) {
        return lo[0] <= x[0] && x[0] <= hi[0] && lo[1] <= x[1] && x[1] <= hi[1] && lo[2] <= x[2] && x[2] <= hi[2];
    };
    if (o.box_reduce) {
        const bool hexagonal = o.cell_contents && model.system_code == "HEXA";
        for (AtomRecord& atom : atoms) atom.xyz = reduce_into_cell(atom.xyz);
        for (const AtomRecord& atom : atoms) {
            if (!finite3(atom.xyz)) continue;
            Vec3 f = from, t = to;
            bool some = true;
            for (int c = 0; c < 3; ++c) some = valid_span(atom.xyz[c], lo[c], hi[c], f[c], t[c]) && some;
            if (!some) continue;
            for (double i = f[0]; i <= t[0] && fits; ++i)
                for (double j = f[1]; j <= t[1] && fits; ++j)
                    for (double k = f[2]; k <= t[2] && fits; ++k) {
                        AtomRecord copy = atom;
                        copy.xyz = {atom.xyz[0] + i, atom.xyz[1] + j, atom.xyz[2] + k};
                        if (!inside(copy.xyz)) continue;
                        if (hexagonal && !(std::abs(copy.xyz[0] - copy.xyz[1]) <= HexagonalReach)) continue;
                        fits = keeper.offer(copy);
                    }
            if (!fits) break;
        }
    } else {
        // Only shifts that bring some atom inside along every axis at once
        // can keep a fragment: the union of each axis's runs over the atoms.
        Vec3 first{ShiftLimit, ShiftLimit, ShiftLimit}, last{-ShiftLimit, -ShiftLimit, -ShiftLimit};
        for (const AtomRecord& atom : atoms) {
            if (!finite3(atom.xyz)) continue;
            for (int c = 0; c < 3; ++c) {
                double f = from[c], t = to[c];
                if (!valid_span(atom.xyz[c], lo[c], hi[c], f, t)) continue;
                first[c] = std::min(first[c], f);
                last[c] = std::max(last[c], t);
            }
        }
        from = first, to = last;
        const bool none = from[0] > to[0] || from[1] > to[1] || from[2] > to[2];
        if (!none) fits = copy_whole_fragments(atoms, fragments, from, to, keeper, inside);
    }
    atoms = std::move(keeper.kept);
    return fits;
}

bool apply_sphere(const StructureModel& model, std::vector<AtomRecord>& atoms, int fragments)
{
    const GenerationOptions& o = model.generation;
    const CrystalCell& cell = model.cell;
    const double r = o.sphere_radius;
    Keeper keeper(cell.metric.BG, 2 * atoms.size());
    if (std::isnan(r)) { // no distance is within it
        atoms.clear();
        return true;
    }
    const double reach[3] = {std::clamp(round_half_even(r / cell.a) + 1, -ShiftLimit, ShiftLimit),
                             std::clamp(round_half_even(r / cell.b) + 1, -ShiftLimit, ShiftLimit),
                             std::clamp(round_half_even(r / cell.c) + 1, -ShiftLimit, ShiftLimit)};
    const auto distance = [&](const Vec3& x) { return cart_distance(cell.metric.T, x, o.centre); };
    bool fits = true;
    bool any = false;
    if (o.sphere_reduce)
        for (AtomRecord& atom : atoms) atom.xyz = reduce_into_cell(atom.xyz);
    Vec3 low{1e300, 1e300, 1e300}, high{-1e300, -1e300, -1e300};
    for (const AtomRecord& atom : atoms)
        if (finite3(atom.xyz)) {
            any = true;
            for (int c = 0; c < 3; ++c) {
                low[c] = std::min(low[c], atom.xyz[c]);
                high[c] = std::max(high[c], atom.xyz[c]);
            }
        }
    // Fractional component c of a vector of length d is at most d |row c of
    // T^-1|: shifts beyond that reach cannot bring an atom within R.
    Vec3 from{-reach[0], -reach[1], -reach[2]}, to{reach[0], reach[1], reach[2]};
    double shifts = 1;
    for (int c = 0; c < 3 && any; ++c) {
        const Vec3& row = cell.metric.T_inv[static_cast<std::size_t>(c)];
        const double w = r * std::sqrt(row[0] * row[0] + row[1] * row[1] + row[2] * row[2]);
        if (std::isfinite(w)) narrow(from[c], to[c], low[c], high[c], o.centre[c] - w, o.centre[c] + w);
        shifts *= std::max(0.0, to[c] - from[c] + 1);
    }
    // A sphere over this many cells holds far more than MaxKept atoms.
    if (shifts > MaxSphereShifts) {
        if (atoms.size() > static_cast<std::size_t>(MaxKept)) atoms.resize(MaxKept);
        return false;
    }
    if (o.sphere_reduce) {
        for (double i = from[0]; i <= to[0] && fits && any; ++i)
            for (double j = from[1]; j <= to[1] && fits; ++j)
                for (double k = from[2]; k <= to[2] && fits; ++k)
                    for (const AtomRecord& atom : atoms) {
                        AtomRecord copy = atom;
                        copy.xyz = {atom.xyz[0] + i, atom.xyz[1] + j, atom.xyz[2] + k};
                        if (!(distance(copy.xyz) <= r)) continue;
                        if (!(fits = keeper.offer(copy))) break;
                    }
    } else {
        if (any)
            fits = copy_whole_fragments(atoms, fragments, from, to, keeper,
                                        [&](const Vec3& x) { return distance(x) < r; });
    }
    atoms = std::move(keeper.kept);
    return fits;
}

} // namespace gen

namespace {

constexpr double HydrogenU = 0.01;

// Betaij of one candidate from the Uij of its atom, then turned by R.
void set_beta(AtomRecord& atom, const CrystalCell& cell, const Mat3& r)
{
    const bool hydrogen = is_hydrogen(atom);
    if (hydrogen) atom.thermal[1] = 0; // hydrogen is always drawn as a sphere
    Thermal6 beta{};
    if (atom.thermal[1] != 0) {
        beta = beta_from_u(cell, atom.thermal);
        atom.isotropic = 0;
    } else {
        beta = beta_from_isotropic_u(cell, hydrogen ? HydrogenU : atom.thermal[0]);
        atom.isotropic = 1;
    }
    atom.thermal = beta.transformed_by(r);
}

// One candidate per (selected operator, atom); a candidate standing on a site
// already taken is dropped at once, so the earlier one wins and only the
// survivors count against the store. False when it was full.
bool make_candidates(const StructureModel& model, const std::vector<AtomRecord>& atoms, std::vector<AtomRecord>& out)
{
    const std::size_t expected = std::min<std::size_t>(
        atoms.size() * static_cast<std::size_t>(model.selected_operators.count()), gen::MaxCandidates);
    gen::SiteSet sites(model.cell.metric.BG, static_cast<int>(expected));
    out.clear();
    out.reserve(expected);
    for (int k = 1; k <= model.selected_operators.count(); ++k) {
        const SymmetryOperator& op = model.selected_operators[k];
        const Mat3 r = gen::rotation_of(op);
        for (const AtomRecord& atom : atoms) {
            const Vec3 x = gen::apply_operator(op, atom.xyz);
            const Vec3 reduced = gen::reduce_into_cell(x);
            if (sites.contains(reduced)) continue;
            if (static_cast<int>(out.size()) == gen::MaxCandidates) return false;
            sites.add(reduced);
            AtomRecord candidate = atom;
            candidate.operator_index = k;
            candidate.xyz = x;
            set_beta(candidate, model.cell, r);
            out.push_back(candidate);
        }
    }
    return true;
}

} // namespace

bool generer(StructureModel& model, Messages& messages)
{
    BusyScope busy(messages);
    const int asym_count = model.asym.count();
    for (int i = 1; i <= asym_count; ++i) model.saved_asym[i] = model.asym[i];
    model.generated.clear();
    model.bonds.clear(); // bonds of the previous list would name atoms no longer there
    if (asym_count == 0) return true;
    if (model.cell.missing() || !(model.cell.a_star > 0)) {
        messages.show("No cell parameters");
        return false;
    }

    const GenerationOptions& o = model.generation;
    const bool fragment_option = o.box || o.sphere || o.fragments;
    bool fits = true;
    // The passes work on a copy: the asymmetric unit itself is never changed.
    std::vector<AtomRecord> unit(model.asym.begin(), model.asym.end());
    if (fragment_option) {
        gen::FragmentResult f = gen::asym_fragments(model, unit);
        fits = !f.overflow;
        unit = std::move(f.atoms);
    }
    std::vector<AtomRecord> atoms;
    fits = make_candidates(model, unit, atoms) && fits;
    int fragments = 0;
    for (const AtomRecord& atom : atoms) fragments = std::max(fragments, atom.operator_index);
    if (fragment_option) {
        gen::FragmentResult f = gen::generated_fragments(model, atoms);
        fits = fits && !f.overflow;
        atoms = std::move(f.atoms);
        fragments = f.fragments;
    }
    for (AtomRecord& atom : atoms) atom.shown = atom.labelled = 1;
    if (o.box) fits = gen::apply_box(model, atoms, fragments) && fits;
    if (o.sphere) fits = gen::apply_sphere(model, atoms, fragments) && fits;
    if (o.cell_contents) fits = gen::apply_box(model, atoms, fragments) && fits;

    for (int i = 1; i <= asym_count; ++i) model.asym[i] = model.saved_asym[i];
    model.asym.set_count(asym_count);
    for (const AtomRecord& atom : atoms) model.generated.push(atom);
    for (int i = 1; i <= model.generated.count(); ++i) {
        model.initial_generated[i] = model.generated[i];
        model.display_labels[i] = display_label_of(model.generated[i]);
    }
    if (!fits) messages.limit_reached("Too many generated atoms");
    const bool bonded = liaisons(model, messages);
    return fits && bonded;
}


} // namespace kestro

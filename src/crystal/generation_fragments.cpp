// The fragment passes of the generation: atoms gathered into bonded groups,
// the bond sorts giving the longest accepted distance per element pair.

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <string>

#include "crystal/generation_steps.h"
#include "crystal/oemath.h"
#include "crystal/spatial_hash.h"
#include "model/labels.h"

namespace kestro::gen {

LinkLimits::LinkLimits(const StructureModel& model, const std::vector<AtomRecord>& atoms)
{
    std::vector<std::string> symbols;
    element_.reserve(atoms.size());
    for (const AtomRecord& atom : atoms) {
        const std::string symbol = element_of(atom);
        const auto it = std::find(symbols.begin(), symbols.end(), symbol);
        element_.push_back(static_cast<int>(it - symbols.begin()));
        if (it == symbols.end()) symbols.push_back(symbol);
    }
    symbols_ = static_cast<int>(symbols.size());
    table_.assign(static_cast<std::size_t>(symbols_ * symbols_), -1.0);
    for (int i = 0; i < symbols_; ++i)
        for (int j = i; j < symbols_; ++j) {
            for (const BondSort& sort : model.bond_sorts) {
                const std::string e1 = symbol_key(sort.element1.view()), e2 = symbol_key(sort.element2.view());
                if ((e1 == symbols[i] && e2 == symbols[j]) || (e1 == symbols[j] && e2 == symbols[i])) {
                    table_[static_cast<std::size_t>(i * symbols_ + j)] = sort.max_length;
                    table_[static_cast<std::size_t>(j * symbols_ + i)] = sort.max_length;
                    if (sort.max_length >= 0) longest_ = std::max(longest_, sort.max_length);
                    break;
                }
            }
        }
}

double LinkLimits::limit(int a, int b) const
{
    return table_[static_cast<std::size_t>(element_[static_cast<std::size_t>(a)] * symbols_
                                           + element_[static_cast<std::size_t>(b)])];
}

namespace {

// Lattice shift number s (0..26) with i outer, k inner, each -1..1.
Vec3 lattice_shift(int s) { return {double(s / 9 - 1), double(s / 3 % 3 - 1), double(s % 3 - 1)}; }

struct Member {
    int atom;
    int image; // which image of the atom, -1 for the atom that opened the fragment
    Vec3 position;
};

struct Fragments {
    std::vector<Member> members; // in order of addition, fragment after fragment
    std::vector<int> number;     // fragment of each member, 1-based
    int count = 0;
    bool overflow = false;
};

// Fragments built member by member: each member takes, in atom order, every
// atom not yet placed of which some image (image k of atom a is
// images[a * per_atom + k]) moved by a lattice shift lies within the link
// limit; the first shift, then the first image, that links is the one used.
// A hash grid of the images narrows the atoms tested; the test itself is the
// exact one, so the result is that of trying every pair.
Fragments build_fragments(const Mat3& bg, const std::vector<AtomRecord>& atoms, const std::vector<Vec3>& images,
                          int per_atom, const LinkLimits& limits, int max_fragments, int max_members)
{
    const int n = static_cast<int>(atoms.size());
    Fragments out;
    const bool may_link = per_atom > 0 && limits.longest() >= 0;
    const double reach = limits.longest() * (1 + 1e-6) + 1e-9;
    SpatialHash grid(may_link ? reach : 0.0, may_link ? n * per_atom : 0);
    if (may_link)
        for (int id = 0; id < n * per_atom; ++id) grid.insert(id, mat_vec(bg, images[static_cast<std::size_t>(id)]));

    std::vector<char> placed(static_cast<std::size_t>(n), 0);
    std::vector<int> best(static_cast<std::size_t>(n), INT_MAX); // shift * per_atom + image of the first link
    std::vector<int> touched;
    for (int start = 0; start < n && !out.overflow; ++start) {
        if (placed[static_cast<std::size_t>(start)]) continue;
        if (out.count == max_fragments) {
            out.overflow = true;
            break;
        }
        ++out.count;
        std::size_t first = out.members.size();
        out.members.push_back({start, -1, atoms[static_cast<std::size_t>(start)].xyz});
        out.number.push_back(out.count);
        placed[static_cast<std::size_t>(start)] = 1;
        for (std::size_t w = first; w < out.members.size() && may_link; ++w) {
            const Vec3 p = out.members[w].position;
            const int m = out.members[w].atom;
            touched.clear();
            for (int s = 0; s < 27; ++s) {
                const Vec3 t = lattice_shift(s);
                const Vec3 probe{p[0] - t[0], p[1] - t[1], p[2] - t[2]};
                grid.find(mat_vec(bg, probe), [&](int id) {
                    const int a = id / per_atom, k = id % per_atom;
                    if (placed[static_cast<std::size_t>(a)]) return false;
                    const int combo = s * per_atom + k;
                    if (combo >= best[static_cast<std::size_t>(a)]) return false;
                    const Vec3& im = images[static_cast<std::size_t>(id)];
                    const Vec3 q{im[0] + t[0], im[1] + t[1], im[2] + t[2]};
                    if (cart_distance(bg, p, q) <= limits.limit(m, a)) {
                        if (best[static_cast<std::size_t>(a)] == INT_MAX) touched.push_back(a);
                        best[static_cast<std::size_t>(a)] = combo;
                    }
                    return false;
                });
            }
            std::sort(touched.begin(), touched.end());
            for (int a : touched) {
                const int combo = best[static_cast<std::size_t>(a)];
                best[static_cast<std::size_t>(a)] = INT_MAX;
                if (out.overflow) continue;
                if (out.members.size() - first == static_cast<std::size_t>(max_members)) {
                    out.overflow = true;
                    continue;
                }
                const int k = combo % per_atom;
                const Vec3 t = lattice_shift(combo / per_atom);
                const Vec3& im = images[static_cast<std::size_t>(a * per_atom + k)];
                out.members.push_back({a, k, {im[0] + t[0], im[1] + t[1], im[2] + t[2]}});
                out.number.push_back(out.count);
                placed[static_cast<std::size_t>(a)] = 1;
            }
            if (out.overflow) break;
        }
    }
    return out;
}

} // namespace

FragmentResult asym_fragments(const StructureModel& model, const std::vector<AtomRecord>& atoms)
{
    const Mat3& bg = model.cell.metric.BG;
    const int ops = model.operators.count();
    std::vector<Vec3> images;
    images.reserve(atoms.size() * static_cast<std::size_t>(ops));
    for (const AtomRecord& atom : atoms)
        for (const SymmetryOperator& op : model.operators) images.push_back(apply_operator(op, atom.xyz));
    const Fragments f = build_fragments(bg, atoms, images, ops, LinkLimits(model, atoms), MaxAsymFragments,
                                        MaxAsymFragmentAtoms);
    FragmentResult out;
    out.fragments = f.count;
    out.overflow = f.overflow;
    out.atoms.reserve(f.members.size());
    for (std::size_t i = 0; i < f.members.size(); ++i) {
        const Member& member = f.members[i];
        AtomRecord atom = atoms[static_cast<std::size_t>(member.atom)];
        atom.xyz = member.position;
        // Anisotropic by the record's own rule (U22 not 0): an isotropic U
        // turned by R would land in other slots and read as anisotropic.
        if (member.image >= 0 && !atom.isotropic_uij())
            atom.thermal = atom.thermal.transformed_by(rotation_of(model.operators[member.image + 1]));
        atom.operator_index = f.number[i];
        out.atoms.push_back(atom);
    }
    return out;
}

Vec3 centring_shift(const Mat3& bg, const Vec3& centroid)
{
    // Started from infinity rather than a fixed large square, so that a
    // fragment of a very large cell is still moved.
    double best = std::numeric_limits<double>::infinity();
    Vec3 shift{0, 0, 0};
    for (int p = -2; p <= 2; ++p)
        for (int q = -2; q <= 2; ++q)
            for (int r = -2; r <= 2; ++r) {
                const Vec3 moved{centroid[0] + p, centroid[1] + q, centroid[2] + r};
                const double d = cart_distance(bg, moved, {0.5, 0.5, 0.5});
                if (d * d < best) {
                    best = d * d;
                    shift = {double(p), double(q), double(r)};
                }
            }
    return shift;
}

FragmentResult generated_fragments(const StructureModel& model, const std::vector<AtomRecord>& atoms)
{
    const Mat3& bg = model.cell.metric.BG;
    std::vector<Vec3> images;
    images.reserve(atoms.size());
    for (const AtomRecord& atom : atoms) images.push_back(atom.xyz);
    const Fragments f = build_fragments(bg, atoms, images, 1, LinkLimits(model, atoms), MaxGeneratedFragments,
                                        MaxGeneratedFragmentAtoms);
    FragmentResult out;
    out.fragments = f.count;
    out.overflow = f.overflow;
    out.atoms.reserve(f.members.size());
    for (std::size_t i = 0; i < f.members.size(); ++i) {
        AtomRecord atom = atoms[static_cast<std::size_t>(f.members[i].atom)];
        atom.xyz = f.members[i].position;
        atom.operator_index = f.number[i];
        out.atoms.push_back(atom);
    }
    for (std::size_t begin = 0; begin < out.atoms.size();) {
        std::size_t end = begin;
        Vec3 sum{0, 0, 0};
        while (end < out.atoms.size() && out.atoms[end].operator_index == out.atoms[begin].operator_index) {
            for (int c = 0; c < 3; ++c) sum[c] += out.atoms[end].xyz[c];
            ++end;
        }
        const double n = static_cast<double>(end - begin);
        const Vec3 shift = centring_shift(bg, {sum[0] / n, sum[1] / n, sum[2] / n});
        for (std::size_t i = begin; i < end; ++i)
            for (int c = 0; c < 3; ++c) out.atoms[i].xyz[c] += shift[c];
        begin = end;
    }
    return out;
}

} // namespace kestro::gen

// Each stage of the generation straight from its description, comparing
// every pair: slow, plain, and the reference for the hashed version.

#include "generation_literal.h"

#include <cmath>
#include <limits>
#include <string>

#include "crystal/generation_steps.h"
#include "model/labels.h"
#include "model/thermal.h"

using namespace kestro;
using gen::apply_operator;
using gen::cart_distance;
using gen::reduce_into_cell;
using gen::same_site;

namespace {

double link_limit(const StructureModel& model, const AtomRecord& a, const AtomRecord& b)
{
    const std::string sa = element_symbol(space_label(a.label.view()));
    const std::string sb = element_symbol(space_label(b.label.view()));
    for (const BondSort& s : model.bond_sorts) {
        const std::string e1 = symbol_key(s.element1.view()), e2 = symbol_key(s.element2.view());
        if ((e1 == sa && e2 == sb) || (e1 == sb && e2 == sa)) return s.max_length;
    }
    return -1;
}

struct Member {
    int atom;
    int op; // 1-based, 0 for the opening atom
    Vec3 position;
};

// ops: the operators tried (empty list and with_operators false: shifts only).
LiteralFragments fragments_of(const StructureModel& model, const std::vector<AtomRecord>& atoms, bool with_operators,
                              int max_fragments, int max_members)
{
    const Mat3& bg = model.cell.metric.BG;
    const int n = static_cast<int>(atoms.size());
    std::vector<bool> placed(atoms.size(), false);
    std::vector<std::vector<Member>> frags;
    bool overflow = false;
    for (int start = 0; start < n && !overflow; ++start) {
        if (placed[start]) continue;
        if (static_cast<int>(frags.size()) == max_fragments) {
            overflow = true;
            break;
        }
        frags.push_back({{start, 0, atoms[start].xyz}});
        placed[start] = true;
        auto& frag = frags.back();
        for (std::size_t w = 0; w < frag.size() && !overflow; ++w) {
            const Member member = frag[w];
            for (int a = 0; a < n && !overflow; ++a) {
                if (placed[a]) continue;
                const double limit = link_limit(model, atoms[member.atom], atoms[a]);
                bool linked = false;
                for (int i = -1; i <= 1 && !linked; ++i)
                    for (int j = -1; j <= 1 && !linked; ++j)
                        for (int k = -1; k <= 1 && !linked; ++k) {
                            const int ops = with_operators ? model.operators.count() : 1;
                            for (int op = 1; op <= ops && !linked; ++op) {
                                const Vec3 im = with_operators ? apply_operator(model.operators[op], atoms[a].xyz)
                                                               : atoms[a].xyz;
                                const Vec3 pos{im[0] + i, im[1] + j, im[2] + k};
                                if (cart_distance(bg, member.position, pos) <= limit) {
                                    linked = true;
                                    if (static_cast<int>(frag.size()) == max_members) {
                                        overflow = true;
                                        break;
                                    }
                                    frag.push_back({a, with_operators ? op : 0, pos});
                                    placed[a] = true;
                                }
                            }
                        }
            }
        }
    }
    LiteralFragments out;
    out.overflow = overflow;
    out.fragments = static_cast<int>(frags.size());
    for (std::size_t f = 0; f < frags.size(); ++f) {
        Vec3 sum{0, 0, 0};
        for (const Member& m : frags[f])
            for (int c = 0; c < 3; ++c) sum[c] += m.position[c];
        Vec3 shift{0, 0, 0};
        if (!with_operators) {
            const double count = static_cast<double>(frags[f].size());
            const Vec3 centroid{sum[0] / count, sum[1] / count, sum[2] / count};
            double best = std::numeric_limits<double>::infinity();
            for (int p = -2; p <= 2; ++p)
                for (int q = -2; q <= 2; ++q)
                    for (int r = -2; r <= 2; ++r) {
                        const double d = cart_distance(bg, {centroid[0] + p, centroid[1] + q, centroid[2] + r},
                                                       {0.5, 0.5, 0.5});
                        if (d * d < best) {
                            best = d * d;
                            shift = {double(p), double(q), double(r)};
                        }
                    }
        }
        for (const Member& m : frags[f]) {
            AtomRecord atom = atoms[m.atom];
            atom.xyz = m.position;
            for (int c = 0; c < 3; ++c) atom.xyz[c] += shift[c];
            if (m.op > 0 && !atom.isotropic_uij())
                atom.thermal = atom.thermal.transformed_by(gen::rotation_of(model.operators[m.op]));
            atom.operator_index = static_cast<int>(f) + 1;
            out.atoms.push_back(atom);
        }
    }
    return out;
}

// Later records standing on the site of an earlier kept one are dropped;
// then the first `limit` are kept.
bool drop_duplicates(const Mat3& bg, std::vector<AtomRecord>& list, bool reduce, std::size_t limit)
{
    std::vector<bool> dropped(list.size(), false);
    for (std::size_t i = 0; i + 1 < list.size(); ++i) {
        if (dropped[i]) continue;
        for (std::size_t j = i + 1; j < list.size(); ++j) {
            if (dropped[j]) continue;
            const Vec3 a = reduce ? reduce_into_cell(list[i].xyz) : list[i].xyz;
            const Vec3 b = reduce ? reduce_into_cell(list[j].xyz) : list[j].xyz;
            if (same_site(bg, a, b)) dropped[j] = true;
        }
    }
    std::vector<AtomRecord> kept;
    for (std::size_t i = 0; i < list.size(); ++i)
        if (!dropped[i]) kept.push_back(list[i]);
    const bool fits = kept.size() <= limit;
    if (!fits) kept.resize(limit);
    list = kept;
    return fits;
}

double half_even(double x)
{
    if (std::abs(x - std::trunc(x)) == 0.5) return 2.0 * std::round(x / 2.0);
    return std::round(x);
}

bool box(const StructureModel& model, std::vector<AtomRecord>& atoms, int fragments)
{
    const GenerationOptions& o = model.generation;
    Vec3 lo{}, hi{};
    for (int c = 0; c < 3; ++c) {
        lo[c] = o.centre[c] - o.box_size[c] / 2;
        hi[c] = o.centre[c] + o.box_size[c] / 2;
    }
    const auto inside = [&](const Vec3& x) {
        return lo[0] <= x[0] && x[0] <= hi[0] && lo[1] <= x[1] && x[1] <= hi[1] && lo[2] <= x[2] && x[2] <= hi[2];
    };
    const int i0 = int(half_even(lo[0])) - 1, i1 = int(half_even(hi[0])) + 1;
    const int j0 = int(half_even(lo[1])) - 1, j1 = int(half_even(hi[1])) + 1;
    const int k0 = int(half_even(lo[2])) - 1, k1 = int(half_even(hi[2])) + 1;
    std::vector<AtomRecord> out;
    if (o.box_reduce) {
        for (AtomRecord& a : atoms) a.xyz = reduce_into_cell(a.xyz);
        for (const AtomRecord& a : atoms)
            for (int i = i0; i <= i1; ++i)
                for (int j = j0; j <= j1; ++j)
                    for (int k = k0; k <= k1; ++k) {
                        AtomRecord c = a;
                        c.xyz = {a.xyz[0] + i, a.xyz[1] + j, a.xyz[2] + k};
                        if (!inside(c.xyz)) continue;
                        if (o.cell_contents && model.system_code == "HEXA" && !(std::abs(c.xyz[0] - c.xyz[1]) <= 1.001))
                            continue;
                        out.push_back(c);
                    }
    } else {
        for (int i = i0; i <= i1; ++i)
            for (int j = j0; j <= j1; ++j)
                for (int k = k0; k <= k1; ++k)
                    for (int n = 1; n <= fragments; ++n) {
                        const std::size_t first = out.size();
                        bool any = false;
                        for (const AtomRecord& a : atoms) {
                            if (a.operator_index != n) continue;
                            AtomRecord c = a;
                            c.xyz = {a.xyz[0] + i, a.xyz[1] + j, a.xyz[2] + k};
                            any = any || inside(c.xyz);
                            out.push_back(c);
                        }
                        if (!any) out.resize(first);
                    }
    }
    atoms = out;
    return drop_duplicates(model.cell.metric.BG, atoms, false, gen::MaxKept);
}

bool sphere(const StructureModel& model, std::vector<AtomRecord>& atoms, int fragments)
{
    const GenerationOptions& o = model.generation;
    const double r = o.sphere_radius;
    const int na = int(half_even(r / model.cell.a)) + 1, nb = int(half_even(r / model.cell.b)) + 1,
              nc = int(half_even(r / model.cell.c)) + 1;
    const auto distance = [&](const Vec3& x) { return cart_distance(model.cell.metric.T, x, o.centre); };
    std::vector<AtomRecord> out;
    if (o.sphere_reduce) for (AtomRecord& a : atoms) a.xyz = reduce_into_cell(a.xyz);
    for (int i = -na; i <= na; ++i)
        for (int j = -nb; j <= nb; ++j)
            for (int k = -nc; k <= nc; ++k) {
                if (o.sphere_reduce) {
                    for (const AtomRecord& a : atoms) {
                        AtomRecord c = a;
                        c.xyz = {a.xyz[0] + i, a.xyz[1] + j, a.xyz[2] + k};
                        if (distance(c.xyz) <= r) out.push_back(c);
                    }
                    continue;
                }
                for (int n = 1; n <= fragments; ++n) {
                    const std::size_t first = out.size();
                    bool any = false;
                    for (const AtomRecord& a : atoms) {
                        if (a.operator_index != n) continue;
                        AtomRecord c = a;
                        c.xyz = {a.xyz[0] + i, a.xyz[1] + j, a.xyz[2] + k};
                        any = any || distance(c.xyz) < r;
                        out.push_back(c);
                    }
                    if (!any) out.resize(first);
                }
            }
    atoms = out;
    return drop_duplicates(model.cell.metric.BG, atoms, false, gen::MaxKept);
}

} // namespace

LiteralFragments literal_asym_fragments(const StructureModel& model, const std::vector<AtomRecord>& atoms)
{
    return fragments_of(model, atoms, true, gen::MaxAsymFragments, gen::MaxAsymFragmentAtoms);
}

LiteralFragments literal_generated_fragments(const StructureModel& model, const std::vector<AtomRecord>& atoms)
{
    return fragments_of(model, atoms, false, gen::MaxGeneratedFragments, gen::MaxGeneratedFragmentAtoms);
}

LiteralGeneration literal_generation(const StructureModel& model)
{
    LiteralGeneration out;
    const GenerationOptions& o = model.generation;
    const bool fragment_option = o.box || o.sphere || o.fragments;
    std::vector<AtomRecord> unit(model.asym.begin(), model.asym.end());
    if (fragment_option) {
        LiteralFragments f = literal_asym_fragments(model, unit);
        out.too_many = f.overflow;
        unit = f.atoms;
    }
    const CrystalCell& cell = model.cell;
    const double as = cell.a_star, bs = cell.b_star, cs = cell.c_star;
    const double p2 = 19.7391754562;
    const double f[6] = {p2 * as * as, p2 * bs * bs, p2 * cs * cs, p2 * as * bs * cell.metric.cos_gamma_star,
                         p2 * as * cs * cell.metric.cos_beta_star, p2 * bs * cs * cell.metric.cos_alpha_star};
    const double g[6] = {p2 * as * as, p2 * bs * bs, p2 * cs * cs, p2 * as * bs, p2 * as * cs, p2 * bs * cs};
    std::vector<AtomRecord> list;
    for (int k = 1; k <= model.selected_operators.count(); ++k)
        for (const AtomRecord& atom : unit) {
            AtomRecord c = atom;
            c.operator_index = k;
            c.xyz = apply_operator(model.selected_operators[k], atom.xyz);
            const bool h = element_symbol(c.label.view()) == "H";
            if (h) c.thermal[1] = 0;
            kestro::Thermal6 beta{};
            if (c.thermal[1] != 0) {
                for (int i = 0; i < 6; ++i) beta[i] = g[i] * c.thermal[i];
                c.isotropic = 0;
            } else {
                const double u = h ? 0.01 : c.thermal[0];
                for (int i = 0; i < 6; ++i) beta[i] = f[i] * u;
                c.isotropic = 1;
            }
            c.thermal = beta.transformed_by(gen::rotation_of(model.selected_operators[k]));
            list.push_back(c);
        }
    if (!drop_duplicates(cell.metric.BG, list, true, gen::MaxCandidates)) out.too_many = true;
    int fragments = 0;
    for (const AtomRecord& a : list) fragments = std::max(fragments, a.operator_index);
    if (fragment_option) {
        LiteralFragments fr = literal_generated_fragments(model, list);
        out.too_many = out.too_many || fr.overflow;
        list = fr.atoms;
        fragments = fr.fragments;
    }
    for (AtomRecord& a : list) a.shown = a.labelled = 1;
    if (o.box && !box(model, list, fragments)) out.too_many = true;
    if (o.sphere && !sphere(model, list, fragments)) out.too_many = true;
    if (o.cell_contents && !box(model, list, fragments)) out.too_many = true;
    out.atoms = list;
    return out;
}

#pragma once
// The bond search as the plain double loop over atoms and bond sorts, the
// reference the grid search is compared with (tests and benchmark). The
// limit accepts d <= max_length, so a NaN never bonds, and an atom whose
// position is not finite takes no part.

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "crystal/bonds.h"
#include "crystal/disorder.h"
#include "crystal/oemath.h"
#include "model/labels.h"

namespace kestro_test {

inline bool liaisons_literal(kestro::StructureModel& model, kestro::Messages& messages)
{
    using namespace kestro;
    model.bonds.clear();
    const int n = model.generated.count();
    const DisorderBonds disorder(model);
    // Sort symbols in the form atom symbols take, once.
    std::vector<std::pair<std::string, std::string>> keys;
    for (const BondSort& sort : model.bond_sorts)
        keys.emplace_back(symbol_key(sort.element1.view()), symbol_key(sort.element2.view()));
    const auto finite = [](const Vec3& v) { return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]); };
    for (int i = 1; i <= n - 1; ++i) {
        const Vec3 ri = mat_vec(model.cell.metric.T, model.generated[i].xyz);
        const std::string si = element_of(model.generated[i]);
        for (int j = i + 1; j <= n; ++j) {
            const std::string sj = element_of(model.generated[j]);
            if (!disorder.allowed(i - 1, j - 1)) continue;
            for (int k = 1; k <= model.bond_sorts.count(); ++k) {
                const auto& [e1, e2] = keys[static_cast<std::size_t>(k - 1)];
                if (!((e1 == si && e2 == sj) || (e1 == sj && e2 == si))) continue;
                const Vec3 rj = mat_vec(model.cell.metric.T, model.generated[j].xyz);
                if (!finite(ri) || !finite(rj)) continue;
                const double d = bond_distance(ri, rj);
                if (!(d <= model.bond_sorts[k].max_length)) continue;
                BondRecord bond;
                bond.atom1 = i;
                bond.atom2 = j;
                bond.length = d;
                if (si == "C" && sj == "C") bond.order = d < 1.271 ? 2 : (d > 1.271 && d < 1.439 ? 1 : 0);
                if (!model.bonds.push(bond)) {
                    messages.show("Too much bonds!");
                    return false;
                }
            }
        }
    }
    return true;
}

} // namespace kestro_test

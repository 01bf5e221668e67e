#include "crystal/bonds.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>
#include <vector>

#include "crystal/disorder.h"
#include "crystal/oemath.h"
#include "model/labels.h"

namespace kestro {

namespace {

constexpr double Infinity = std::numeric_limits<double>::infinity();

// An element symbol (at most two characters) as one integer: the length in
// the low bits, then the characters, so that "C", "C\0" and "" stay apart.
using SymbolCode = std::uint32_t;

SymbolCode symbol_code(std::string_view key)
{
    SymbolCode code = static_cast<SymbolCode>(std::min<std::size_t>(key.size(), 2));
    for (std::size_t k = 0; k < key.size() && k < 2; ++k)
        code |= static_cast<SymbolCode>(static_cast<unsigned char>(key[k])) << (2 + 8 * k);
    return code;
}

using PairKey = std::uint64_t;

PairKey pair_key(SymbolCode a, SymbolCode b)
{
    if (a > b) std::swap(a, b);
    return (static_cast<PairKey>(a) << 32) | b;
}

// The bond sorts naming one unordered element pair: a run of indices into
// the sort table, in sort order, and the longest of their limits.
struct PairSorts {
    PairKey key = 0;
    int first = 0;
    int count = 0;
    double longest = -1;
};

struct SortIndex {
    std::vector<PairSorts> pairs;  // by key
    std::vector<int> sorts;        // 1-based sort numbers, pair by pair
    std::vector<SymbolCode> named; // every symbol some sort names, sorted
    double longest = -1;           // over all sorts; a NaN limit never counts

    const PairSorts* find(PairKey key) const
    {
        const auto it = std::lower_bound(pairs.begin(), pairs.end(), key,
                                         [](const PairSorts& p, PairKey k) { return p.key < k; });
        return it != pairs.end() && it->key == key ? &*it : nullptr;
    }
    bool names(SymbolCode code) const { return std::binary_search(named.begin(), named.end(), code); }
};

SortIndex index_sorts(const Table<BondSort, MaxBondSorts>& table)
{
    struct Entry {
        PairKey key;
        int sort;
    };
    std::vector<Entry> entries;
    entries.reserve(table.count());
    SortIndex index;
    index.named.reserve(2 * table.count());
    for (int k = 1; k <= table.count(); ++k) {
        const SymbolCode a = symbol_code(symbol_key(table[k].element1.view()));
        const SymbolCode b = symbol_code(symbol_key(table[k].element2.view()));
        entries.push_back({pair_key(a, b), k});
        index.named.push_back(a);
        index.named.push_back(b);
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& x, const Entry& y) { return x.key < y.key; });
    std::sort(index.named.begin(), index.named.end());
    index.named.erase(std::unique(index.named.begin(), index.named.end()), index.named.end());

    index.sorts.reserve(entries.size());
    index.pairs.reserve(entries.size());
    for (const Entry& e : entries) {
        if (index.pairs.empty() || index.pairs.back().key != e.key)
            index.pairs.push_back({e.key, static_cast<int>(index.sorts.size()), 0, -1});
        PairSorts& pair = index.pairs.back();
        index.sorts.push_back(e.sort);
        ++pair.count;
        const double limit = table[e.sort].max_length;
        if (limit > pair.longest) pair.longest = limit; // false for NaN
        if (limit > index.longest) index.longest = limit;
    }
    return index;
}

// The atoms taking part, bucketed into cubic cells over their bounding box
// and stored cell by cell (counting sort), each cell in ascending atom order.
// Taking the atoms out in ascending order leaves in the grid exactly the
// partners j > i of the atom i just taken.
// The edge is at least the longest limit, so a bonded pair lies in the same
// or adjacent cells. It doubles while the box would need more cells than a
// few per atom (short or zero limits, atoms far apart), and is infinite
// (one cell) for an infinite limit.
class CellGrid {
public:
    CellGrid(const std::vector<Vec3>& position, const std::vector<int>& atoms, double longest)
    {
        Vec3 low{Infinity, Infinity, Infinity}, high{-Infinity, -Infinity, -Infinity};
        for (int a : atoms)
            for (int k = 0; k < 3; ++k) {
                low[k] = std::min(low[k], position[a][k]);
                high[k] = std::max(high[k], position[a][k]);
            }
        origin_ = low;
        Vec3 extent{};
        for (int k = 0; k < 3; ++k) extent[k] = atoms.empty() ? 0.0 : high[k] - low[k];

        // The margin keeps rounding in the cell arithmetic from putting a
        // pair at exactly the limit two cells apart.
        edge_ = longest * (1 + 1e-6) + 1e-9;
        if (!std::isfinite(edge_) || !std::isfinite(extent[0] + extent[1] + extent[2])) edge_ = Infinity;
        const double budget = 1024.0 + 8.0 * static_cast<double>(atoms.size());
        while ((std::floor(extent[0] / edge_) + 1) * (std::floor(extent[1] / edge_) + 1)
                   * (std::floor(extent[2] / edge_) + 1)
               > budget)
            edge_ *= 2;
        for (int k = 0; k < 3; ++k) size_[k] = static_cast<int>(std::floor(extent[k] / edge_)) + 1;

        const int cells = size_[0] * size_[1] * size_[2];
        cell_of_.assign(position.size(), 0);
        start_.assign(cells + 1, 0);
        for (int a : atoms) {
            cell_of_[a] = cell_index(cell_coords(position[a]));
            ++start_[cell_of_[a] + 1];
        }
        for (int c = 0; c < cells; ++c) start_[c + 1] += start_[c];
        members_.resize(atoms.size());
        first_.assign(start_.begin(), start_.end() - 1);
        for (int a : atoms) members_[first_[cell_of_[a]]++] = a;
        first_.assign(start_.begin(), start_.end() - 1);
        // Positions beside the members: a search reads them cell by cell
        // instead of one far load per partner.
        member_position_.resize(members_.size());
        for (std::size_t m = 0; m < members_.size(); ++m) member_position_[m] = position[members_[m]];
    }

    // Takes out the lowest atom left, which must be `atom`.
    void take(int atom) { ++first_[cell_of_[atom]]; }

    // Calls visit(j, position of j) for every atom j left in the cell of
    // position p and the cells around it.
    template <class Visit>
    void for_neighbours(const Vec3& p, Visit&& visit) const
    {
        const std::array<int, 3> c = cell_coords(p);
        for (int x = std::max(c[0] - 1, 0); x <= std::min(c[0] + 1, size_[0] - 1); ++x)
            for (int y = std::max(c[1] - 1, 0); y <= std::min(c[1] + 1, size_[1] - 1); ++y)
                for (int z = std::max(c[2] - 1, 0); z <= std::min(c[2] + 1, size_[2] - 1); ++z) {
                    const int cell = cell_index({x, y, z});
                    for (int m = first_[cell]; m < start_[cell + 1]; ++m) visit(members_[m], member_position_[m]);
                }
    }

private:
    std::array<int, 3> cell_coords(const Vec3& p) const
    {
        std::array<int, 3> c{};
        for (int k = 0; k < 3; ++k) {
            const double t = std::floor((p[k] - origin_[k]) / edge_); // 0 for an infinite edge
            c[k] = t <= 0 ? 0 : t >= size_[k] - 1 ? size_[k] - 1 : static_cast<int>(t);
        }
        return c;
    }
    int cell_index(const std::array<int, 3>& c) const { return (c[0] * size_[1] + c[1]) * size_[2] + c[2]; }

    Vec3 origin_{};
    double edge_ = Infinity;
    std::array<int, 3> size_{1, 1, 1};
    std::vector<int> start_;   // first member of each cell, then one past the last
    std::vector<int> first_;   // first member of each cell not yet taken
    std::vector<int> members_; // atom indices, cell by cell
    std::vector<Vec3> member_position_;
    std::vector<int> cell_of_;
};

bool finite(const Vec3& v) { return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]); }

} // namespace

int carbon_bond_order(double d)
{
    if (d < CarbonDoubleBelow) return 2;
    if (d > CarbonDoubleBelow && d < CarbonSingleBelow) return 1;
    return 0;
}

double bond_distance(const Vec3& a, const Vec3& b)
{
    const double dx = a[0] - b[0], dy = a[1] - b[1], dz = a[2] - b[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

bool liaisons(StructureModel& model, Messages& messages)
{
    model.bonds.clear();
    const SortIndex index = index_sorts(model.bond_sorts);
    if (!(index.longest >= 0)) return true; // no limit accepts any distance

    // Atoms numbered from 0 here, from 1 in the bond records.
    const int n = model.generated.count();
    std::vector<Vec3> position(n);
    std::vector<SymbolCode> symbol(n);
    std::vector<int> taking_part;
    taking_part.reserve(n);
    for (int a = 0; a < n; ++a) {
        const AtomRecord& atom = model.generated[a + 1];
        position[a] = mat_vec(model.cell.metric.T, atom.xyz);
        symbol[a] = symbol_code(element_of(atom));
        if (index.names(symbol[a]) && finite(position[a])) taking_part.push_back(a);
    }
    CellGrid grid(position, taking_part, index.longest);
    const SymbolCode carbon = symbol_code("C");
    const DisorderBonds disorder(model);

    // The partners j > i of one atom within the longest limit of their pair,
    // put in ascending order before the bonds are written.
    struct Candidate {
        int atom;
        double d;
        const PairSorts* pair;
    };
    std::vector<Candidate> candidates;
    candidates.reserve(64);
    for (int i : taking_part) {
        const Vec3& ri = position[i];
        candidates.clear();
        grid.take(i);
        grid.for_neighbours(ri, [&](int j, const Vec3& rj) {
            const double d = bond_distance(ri, rj);
            if (!(d <= index.longest)) return;
            const PairSorts* pair = index.find(pair_key(symbol[i], symbol[j]));
            if (pair && d <= pair->longest && disorder.allowed(i, j)) candidates.push_back({j, d, pair});
        });
        std::sort(candidates.begin(), candidates.end(),
                  [](const Candidate& x, const Candidate& y) { return x.atom < y.atom; });
        for (const Candidate& c : candidates) {
            const bool carbon_pair = symbol[i] == carbon && symbol[c.atom] == carbon;
            for (int s = c.pair->first; s < c.pair->first + c.pair->count; ++s) {
                if (!(c.d <= model.bond_sorts[index.sorts[s]].max_length)) continue;
                const BondRecord bond{i + 1, c.atom + 1, carbon_pair ? carbon_bond_order(c.d) : 0, c.d};
                if (!model.bonds.push(bond)) {
                    messages.limit_reached("Too much bonds!");
                    return false;
                }
            }
        }
    }
    return true;
}

} // namespace kestro

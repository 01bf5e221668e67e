#pragma once
// A spatial hash grid on Cartesian coordinates: cubes of one edge length,
// keyed by their integer indices in an open-addressing table sized once.
// It only narrows the search; callers make the exact test themselves, so a
// result never depends on where the cube borders fall.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "model/math3.h"

namespace kestro {

class SpatialHash {
public:
    // cell_size: the largest distance a caller will test, plus a margin;
    // capacity: the most points that will be inserted.
    SpatialHash(double cell_size, int capacity)
        : inverse_(cell_size > 0 && std::isfinite(cell_size) ? 1.0 / cell_size : 0.0)
    {
        std::size_t slot_count = 16;
        while (slot_count < 2 * static_cast<std::size_t>(capacity > 0 ? capacity : 1)) slot_count *= 2;
        keys_.assign(slot_count, EmptyKey);
        heads_.assign(slot_count, -1);
        next_.reserve(static_cast<std::size_t>(capacity));
        ids_.reserve(static_cast<std::size_t>(capacity));
    }

    // Stores id at cart. Points whose cube cannot be keyed (not finite, out
    // of range of a 64-bit index, or a cell size that is not finite) go to a
    // list every query sees.
    void insert(int id, const Vec3& cart)
    {
        const int point = static_cast<int>(ids_.size());
        ids_.push_back(id);
        next_.push_back(-1);
        std::int64_t q[3];
        if (!cube_of(cart, q)) {
            odd_.push_back(point);
            return;
        }
        link(point, pack(q[0], q[1], q[2]));
    }

    // Calls visit(id) for every stored point that may lie within one cell
    // size of cart (each point at most once); every point when cart cannot
    // be keyed. Stops early when visit returns true; returns whether it did.
    template <class Visit>
    bool find(const Vec3& cart, Visit&& visit) const
    {
        std::int64_t q[3];
        if (!cube_of(cart, q)) {
            for (int id : ids_)
                if (visit(id)) return true;
            return false;
        }
        constexpr std::int64_t low[3] = {-1, -1, -1}, high[3] = {1, 1, 1};
        return visit_cubes(q, low, high, visit);
    }

    // As find, for the points that may lie within reach of cart, where reach
    // is well under the cell size (else as find): only the neighbour cubes
    // whose faces lie within reach (plus a rounding margin) are probed, one
    // cube for most queries instead of 27.
    template <class Visit>
    bool find_near(const Vec3& cart, double reach, Visit&& visit) const
    {
        std::int64_t q[3];
        if (!cube_of(cart, q) || !(reach * inverse_ < 0.25)) return find(cart, visit);
        // Rounding of the callers' positions grows with their size.
        const double size = std::max({std::abs(cart[0]), std::abs(cart[1]), std::abs(cart[2]), 1.0});
        const double margin = (reach * (1 + 1e-6) + 1e-9 * size) * inverse_;
        std::int64_t low[3], high[3];
        for (int i = 0; i < 3; ++i) {
            const double frac = cart[i] * inverse_ - static_cast<double>(q[i]);
            low[i] = frac < margin ? -1 : 0;
            high[i] = frac > 1 - margin ? 1 : 0;
        }
        return visit_cubes(q, low, high, visit);
    }

private:
    // The unkeyed points, then those of the cubes q + (dx, dy, dz) with
    // low <= d <= high on each axis.
    template <class Visit>
    bool visit_cubes(const std::int64_t q[3], const std::int64_t low[3], const std::int64_t high[3],
                     Visit& visit) const
    {
        for (int point : odd_)
            if (visit(ids_[static_cast<std::size_t>(point)])) return true;
        for (std::int64_t dx = low[0]; dx <= high[0]; ++dx)
            for (std::int64_t dy = low[1]; dy <= high[1]; ++dy)
                for (std::int64_t dz = low[2]; dz <= high[2]; ++dz) {
                    const std::uint64_t key = pack(q[0] + dx, q[1] + dy, q[2] + dz);
                    const std::size_t slot = find_slot(key);
                    if (keys_[slot] != key) continue;
                    for (int p = heads_[slot]; p >= 0; p = next_[static_cast<std::size_t>(p)])
                        if (visit(ids_[static_cast<std::size_t>(p)])) return true;
                }
        return false;
    }

    // Cube indices are keyed modulo 2^21 per axis: cubes that far apart
    // share a key (the callers' exact test tells them apart), while the 27
    // neighbours of any cube keep distinct keys, so no point is seen twice.
    static constexpr std::uint64_t KeyMask = (std::uint64_t{1} << 21) - 1;
    static constexpr double IndexLimit = 4.0e18; // within the range of int64
    static constexpr std::uint64_t EmptyKey = ~std::uint64_t{0};

    void link(int point, std::uint64_t key)
    {
        std::size_t slot = find_slot(key);
        if (keys_[slot] == EmptyKey) {
            if (2 * (used_ + 1) > keys_.size()) { // keep the table at most half full
                grow();
                slot = find_slot(key);
            }
            keys_[slot] = key;
            ++used_;
        }
        next_[static_cast<std::size_t>(point)] = heads_[slot];
        heads_[slot] = point;
    }

    // More points than announced: twice the slots, every keyed point linked again.
    void grow()
    {
        const std::vector<std::uint64_t> old_keys = keys_;
        const std::vector<int> old_heads = heads_;
        keys_.assign(2 * old_keys.size(), EmptyKey);
        heads_.assign(2 * old_keys.size(), -1);
        for (std::size_t s = 0; s < old_keys.size(); ++s) {
            if (old_keys[s] == EmptyKey) continue;
            const std::size_t slot = find_slot(old_keys[s]);
            keys_[slot] = old_keys[s];
            heads_[slot] = old_heads[s]; // the chain of points moves as it is
        }
    }

    bool cube_of(const Vec3& cart, std::int64_t q[3]) const
    {
        if (inverse_ == 0.0) return false;
        for (int i = 0; i < 3; ++i) {
            const double f = std::floor(cart[i] * inverse_);
            if (!(std::abs(f) < IndexLimit)) return false; // NaN too
            q[i] = static_cast<std::int64_t>(f);
        }
        return true;
    }
    static std::uint64_t pack(std::int64_t x, std::int64_t y, std::int64_t z)
    {
        const auto u = [](std::int64_t v) { return static_cast<std::uint64_t>(v) & KeyMask; };
        return (u(x) << 42) | (u(y) << 21) | u(z);
    }
    std::size_t find_slot(std::uint64_t key) const
    {
        const std::size_t mask = keys_.size() - 1;
        // Every bit of the key moves the slot (the MurmurHash3 finaliser): a
        // product alone leaves the x index, in the key's top bits, out.
        std::uint64_t h = key;
        h ^= h >> 33;
        h *= 0xFF51AFD7ED558CCDull;
        h ^= h >> 33;
        h *= 0xC4CEB9FE1A85EC53ull;
        h ^= h >> 33;
        std::size_t slot = static_cast<std::size_t>(h) & mask;
        while (keys_[slot] != EmptyKey && keys_[slot] != key) slot = (slot + 1) & mask;
        return slot;
    }

    double inverse_;
    std::vector<std::uint64_t> keys_;
    std::vector<int> heads_;
    std::vector<int> next_;
    std::vector<int> ids_;
    std::vector<int> odd_;
    std::size_t used_ = 0; // slots holding a cube
};

} // namespace kestro

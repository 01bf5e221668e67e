#pragma once
// Operator lists as sets, to compare a list the program built with the
// group gemmi gives for the same setting.

#include <gemmi/symmetry.hpp>

#include <array>
#include <cmath>
#include <set>

#include "model/structure_model.h"

// Nine coefficients and three translations in 24ths, reduced into [0, 24).
using OperatorKey = std::array<int, 12>;

inline int wrap24(int t) { return ((t % 24) + 24) % 24; }

inline OperatorKey key_of(const kestro::SymmetryOperator& op)
{
    OperatorKey key{};
    for (std::size_t r = 0; r < 3; ++r) {
        for (std::size_t c = 0; c < 3; ++c) key[r * 3 + c] = static_cast<int>(std::lround(op.rows[r][c]));
        key[9 + r] = wrap24(static_cast<int>(std::lround(op.rows[r][3] * 24)));
    }
    return key;
}

inline OperatorKey key_of(const gemmi::Op& op)
{
    OperatorKey key{};
    for (std::size_t r = 0; r < 3; ++r) {
        for (std::size_t c = 0; c < 3; ++c) key[r * 3 + c] = op.rot[r][c] / gemmi::Op::DEN;
        key[9 + r] = wrap24(op.tran[r] * 24 / gemmi::Op::DEN);
    }
    return key;
}

inline std::set<OperatorKey> keys_of(const kestro::StructureModel& model)
{
    std::set<OperatorKey> keys;
    for (int i = 1; i <= model.operators.count(); ++i) keys.insert(key_of(model.operators[i]));
    return keys;
}

inline std::set<OperatorKey> keys_of(const gemmi::GroupOps& ops)
{
    std::set<OperatorKey> keys;
    for (const gemmi::Op& op : ops.all_ops_sorted()) keys.insert(key_of(op));
    return keys;
}

// The setting a standard symbol names: origin choice 2 where there are
// two; rhombohedral axes when asked for.
inline const gemmi::SpaceGroup* gemmi_setting(const std::string& symbol, bool rhombohedral_axes)
{
    if (rhombohedral_axes) {
        const gemmi::SpaceGroup* rh = gemmi::find_spacegroup_by_name(symbol + ":R");
        return rh != nullptr && rh->ext == 'R' ? rh : nullptr;
    }
    const gemmi::SpaceGroup* second = gemmi::find_spacegroup_by_name(symbol + ":2");
    if (second != nullptr && second->ext == '2') return second;
    return gemmi::find_spacegroup_by_name(symbol);
}

#pragma once
// A symmetry operator from its three rows: three coefficients and the
// translation each.

#include <array>

#include "model/structure_model.h"

namespace kestro_test {

using Row = std::array<double, 4>;

inline kestro::SymmetryOperator make_op(Row r1, Row r2, Row r3)
{
    kestro::SymmetryOperator op;
    op.rows = {r1, r2, r3};
    return op;
}

} // namespace kestro_test

#include "analysis/orientation_dialog.h"

#include <cmath>

#include "crystal/oemath.h"
#include "drawing/drawing_state.h"
#include "drawing/ellipsoids.h"
#include "drawing/view.h"
#include "model/numbers.h"

namespace kestro {

namespace {

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

} // namespace

OrientationFields default_orientation_fields()
{
    OrientationFields fields;
    for (auto& row : fields.texts) row.fill("0");
    return fields;
}

std::array<Vec3, 3> verifie(OrientationFields& fields, Messages& messages)
{
    std::array<Vec3, 3> axes{};
    for (std::size_t axis = 0; axis < 3; ++axis)
        for (std::size_t column = 0; column < 3; ++column) {
            std::string& text = fields.texts[axis][column];
            const std::string token = trimmed(text);
            if (token.empty()) continue;
            const auto value = parse_real(token);
            if (!value) {
                messages.show("Type error");
                text.clear();
                continue;
            }
            axes[axis][column] = *value;
        }
    return axes;
}

OrientationOutcome calcul_mat(StructureModel& model, DrawingState& drawing, OrientationFields& fields,
                              Messages& messages)
{
    const std::array<Vec3, 3> axes = verifie(fields, messages);
    return orient_by_axes(model, drawing, axes, fields.space, messages);
}

OrientationOutcome orient_by_axes(StructureModel& model, DrawingState& drawing, const std::array<Vec3, 3>& axes,
                                  const std::array<AxisSpace, 3>& space, Messages& messages)
{
    std::array<double, 3> sums{};
    for (std::size_t i = 0; i < 3; ++i)
        sums[i] = std::abs(axes[i][0]) + std::abs(axes[i][1]) + std::abs(axes[i][2]);
    if (sums[0] == 0 && sums[1] == 0 && sums[2] == 0) return OrientationOutcome::NothingGiven;

    const CellMetric before = model.cell.metric;
    CellMetric& m = model.cell.metric;
    for (std::size_t i = 0; i < 3; ++i) {
        if (sums[i] == 0) {
            m.D[i] = {0, 0, 0};
            continue;
        }
        if (space[i] == AxisSpace::Direct) {
            const Vec3 u = direct_normalise(model.cell, axes[i]);
            const Vec3 gu = mat_vec(m.G, u);
            m.D[i] = u;
            for (std::size_t k = 0; k < 3; ++k) m.O[k][i] = gu[k];
        } else {
            const Vec3 h = reciprocal_normalise(model.cell, axes[i]);
            m.D[i] = mat_vec(m.G_star, h);
            for (std::size_t k = 0; k < 3; ++k) m.O[k][i] = h[k];
        }
    }
    const Mat3 written_D = m.D, written_O = m.O;
    if (!orient_from_axes(model, messages) || !orthonormalise_view(model, messages)) {
        // The axes stay written; the view keeps its frame.
        model.cell.metric = before;
        model.cell.metric.D = written_D;
        model.cell.metric.O = written_O;
        return OrientationOutcome::Refused;
    }
    compute_ellipsoid_tensors(model, drawing, messages);
    compute_outlines(model, drawing);
    compute_view_points(model, drawing);
    return OrientationOutcome::Applied;
}

} // namespace kestro

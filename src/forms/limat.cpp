#include "forms/limat.h"

#include "model/numbers.h"
#include "model/text.h"

namespace kestro::limat {

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
            const std::string token = trim(text);
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

} // namespace kestro::limat

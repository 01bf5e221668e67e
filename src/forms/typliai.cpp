#include "forms/typliai.h"

#include <cstddef>
#include <optional>

#include "model/fields.h"
#include "model/labels.h"
#include "model/numbers.h"
#include "model/text.h"

namespace kestro::typliai {

void initialisation(const StructureModel& model, BondLimitGrid& grid)
{
    grid.rows.assign(static_cast<std::size_t>(model.bond_sorts.count()) + 1, {});
    grid.rows[0] = {"El. 1", "El. 2", "Limit"};
    for (int n = 1; n <= model.bond_sorts.count(); ++n) {
        const BondSort& sort = model.bond_sorts[n];
        grid.rows[static_cast<std::size_t>(n)] = {display_symbol(sort.element1.view()),
                                                  display_symbol(sort.element2.view()),
                                                  fmt_real(sort.max_length, 6, 2)};
    }
}

bool sortie(StructureModel& model, const BondLimitGrid& grid, Messages& messages)
{
    for (int n = 1; n <= model.bond_sorts.count(); ++n) {
        const std::size_t row = static_cast<std::size_t>(n);
        const std::optional<double> length =
            row < grid.rows.size() ? parse_real(trim(grid.rows[row][2])) : std::nullopt;
        if (!length) {
            messages.show("Read error at line " + std::to_string(n));
            return false;
        }
        model.bond_sorts[n].max_length = *length;
    }
    return true;
}

} // namespace kestro::typliai

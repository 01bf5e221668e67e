#include "model/plausible.h"

#include <array>
#include <cmath>
#include <cstdio>

#include "model/text.h"

namespace kestro {

namespace {

std::string shown(double value)
{
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%.10g", value);
    return text.data();
}

std::string bound(double value) { return shown(value); }

bool within(double value, double low, double high) { return std::isfinite(value) && value >= low && value <= high; }

} // namespace

ValueFault atom_value_fault(const AtomRecord& atom, DisplacementKind kind)
{
    static constexpr std::array<const char*, 9> names{"x", "y", "z", "U11", "U22", "U33", "U12", "U13", "U23"};
    const double limit = kind == DisplacementKind::U ? MaxDisplacementU : MaxDisplacementBeta;
    for (int field = 0; field < 9; ++field) {
        const bool coordinate = field < 3;
        const double value = coordinate ? atom.xyz[static_cast<std::size_t>(field)]
                                        : atom.thermal[static_cast<std::size_t>(field - 3)];
        const double high = coordinate ? MaxCoordinate : limit;
        if (within(value, -high, high)) continue;
        std::string name = names[static_cast<std::size_t>(field)];
        if (!coordinate && kind == DisplacementKind::Beta) name = "beta" + name.substr(1);
        return {field, "Atom " + trim(atom.label.str()) + ": " + name + " = " + shown(value) + " is not between " +
                           bound(-high) + " and " + bound(high)};
    }
    return {};
}

std::string cell_value_fault(const CrystalCell& cell)
{
    const std::array<std::pair<const char*, double>, 3> edges{{{"a", cell.a}, {"b", cell.b}, {"c", cell.c}}};
    for (const auto& [name, value] : edges)
        if (!within(value, MinCellEdge, MaxCellEdge))
            return std::string(name) + " = " + shown(value) + " is not between " + bound(MinCellEdge) + " and " +
                   bound(MaxCellEdge) + " Angstrom";
    const std::array<std::pair<const char*, double>, 3> angles{
        {{"alpha", cell.alpha}, {"beta", cell.beta}, {"gamma", cell.gamma}}};
    for (const auto& [name, value] : angles)
        if (!(std::isfinite(value) && value > 0.0 && value < 180.0))
            return std::string(name) + " = " + shown(value) + " is not between 0 and 180 degrees";
    return {};
}

} // namespace kestro

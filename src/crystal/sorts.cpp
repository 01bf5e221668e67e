#include "crystal/sorts.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/file_io.h"
#include "model/errors.h"
#include "model/numbers.h"
#include "model/labels.h"
#include "model/text.h"

namespace kestro {

namespace {

using colour::White;
using colour::Yellow;
constexpr double BondTolerance = 1.2; // bond limit = (r1 + r2) * 1.2

// A whole line holding one finite real number.
bool parse_radius(std::string_view text, double& value)
{
    const auto radius = parse_real(trim(text));
    if (radius) value = *radius;
    return radius.has_value();
}

// rayons.cst: an element symbol on one line, its radius in Angstrom on the
// next, to the end of the file. Each entry sets the radius of the first sort
// with that symbol; symbols without a sort are skipped.
void read_radii(const std::string& path, Table<ElementSort, MaxElementSorts>& sorts)
{
    std::vector<std::string> lines = split_lines(read_file_bytes(path));
    while (!lines.empty() && trim(lines.back()).empty()) lines.pop_back();
    for (std::size_t i = 0; i < lines.size(); i += 2) {
        if (i + 1 >= lines.size()) throw IoError("Read beyond end of file");
        double radius = 0;
        if (!parse_radius(lines[i + 1], radius))
            throw IoError("Invalid numeric input at line " + std::to_string(i + 2));
        const std::string symbol = symbol_key(lines[i]);
        if (symbol.empty()) continue;
        for (ElementSort& sort : sorts)
            if (sort.symbol == symbol) {
                sort.radius = radius;
                break;
            }
    }
}

int sort_index(const Table<ElementSort, MaxElementSorts>& sorts, std::string_view symbol)
{
    for (int i = 1; i <= sorts.count(); ++i)
        if (sorts[i].symbol == symbol) return i;
    return 0;
}

// The element sorts of the asymmetric unit, built aside from the model so
// that a refusal or a file error leaves it untouched.
struct ElementSortsBuild {
    Table<ElementSort, MaxElementSorts> sorts;
    Slots<int, MaxAsymAtoms> atom_sort;
};

// Distinct element symbols of the asymmetric unit, in order of first appearance.
std::vector<std::string> distinct_symbols(const StructureModel& model)
{
    std::vector<std::string> symbols;
    for (const AtomRecord& atom : model.asym) {
        std::string symbol = element_of(atom);
        if (std::find(symbols.begin(), symbols.end(), symbol) == symbols.end())
            symbols.push_back(std::move(symbol));
    }
    return symbols;
}

bool refuse_too_many(Messages& messages, std::size_t found, int limit, const std::string& table)
{
    messages.show("Too many elements: the asymmetric unit holds " + std::to_string(found)
                  + " different element symbols, at most " + std::to_string(limit) + " fit the "
                  + table);
    return false;
}

std::string radii_path(const StructureModel& model)
{
    return model.data_directory.empty() ? std::string("rayons.cst") : model.data_directory + "/rayons.cst";
}

void build(const StructureModel& model, const std::vector<std::string>& symbols, ElementSortsBuild& out)
{
    for (const std::string& symbol : symbols) {
        ElementSort sort;
        sort.symbol.assign(symbol);
        sort.colour = default_colour(symbol);
        out.sorts.push(sort);
    }
    read_radii(radii_path(model), out.sorts);
    for (int i = 1; i <= model.asym.count(); ++i)
        out.atom_sort[i] =
            sort_index(out.sorts, element_of(model.asym[i]));
}

void commit(StructureModel& model, const ElementSortsBuild& built)
{
    model.element_sorts = built.sorts;
    for (int i = 1; i <= built.sorts.count(); ++i) model.element_colours[i] = built.sorts[i].colour;
    for (int i = 1; i <= model.asym.count(); ++i)
        model.asym[i].element_sort = built.atom_sort[i];
    model.drawing.bond_colour = Yellow;
    model.drawing.saved_bond_colour = Yellow;
    model.drawing.background_colour = White;
    model.drawing.saved_background_colour = White;
}

} // namespace

// Default element colours; every other symbol is white.
constexpr std::pair<std::string_view, Colour> DefaultColours[] = {
    {"H", colour::Red},       {"HE", colour::Red},     {"B", colour::Silver},   {"SI", colour::Silver},
    {"CR", colour::Silver},   {"SE", colour::Silver},  {"C", colour::Grey},     {"V", colour::Grey},
    {"ZN", colour::Grey},     {"N", colour::Green},    {"CO", colour::Green},   {"O", colour::Lime},
    {"F", colour::Fuchsia},   {"BR", colour::Fuchsia}, {"NA", colour::Yellow},  {"S", colour::Yellow},
    {"P", colour::Purple},    {"MN", colour::Purple},  {"CL", colour::Teal},    {"CU", colour::Teal},
    {"CA", colour::Blue},     {"NI", colour::Blue},    {"FE", colour::Maroon},
};

Colour default_colour(std::string_view symbol)
{
    for (const auto& [name, colour] : DefaultColours)
        if (name == symbol) return colour;
    return White;
}


bool build_element_sorts(StructureModel& model, Messages& messages)
{
    const std::vector<std::string> symbols = distinct_symbols(model);
    if (symbols.size() > static_cast<std::size_t>(MaxElementSorts))
        return refuse_too_many(messages, symbols.size(), MaxElementSorts, "element table");
    ElementSortsBuild built;
    build(model, symbols, built);
    commit(model, built);
    return true;
}

bool build_bond_sorts(StructureModel& model, Messages& messages)
{
    const std::vector<std::string> symbols = distinct_symbols(model);
    if (symbols.size() > static_cast<std::size_t>(MaxSortsForBondTable))
        return refuse_too_many(messages, symbols.size(), MaxSortsForBondTable,
                               "1000 bond types (44 elements give 990 pairs)");
    ElementSortsBuild built;
    build(model, symbols, built);

    Table<BondSort, MaxBondSorts> bonds;
    const auto& sorts = built.sorts;
    for (int i = 1; i <= sorts.count(); ++i)
        for (int j = i; j <= sorts.count(); ++j) {
            BondSort bond;
            bond.element1 = sorts[i].symbol;
            bond.element2 = sorts[j].symbol;
            bond.max_length = (sorts[i].radius + sorts[j].radius) * BondTolerance;
            bonds.push(bond);
        }
    commit(model, built);
    model.bond_sorts = bonds;
    return true;
}

void assign_atom_colours(StructureModel& model)
{
    for (AtomRecord& atom : model.generated) {
        const std::string symbol = element_of(atom);
        atom.colour = White;
        for (const ElementSort& sort : model.element_sorts)
            if (symbol_key(sort.symbol.view()) == symbol) {
                if (sort.colour != 0) atom.colour = sort.colour;
                break;
            }
    }
}

} // namespace kestro

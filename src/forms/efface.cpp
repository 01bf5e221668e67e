#include "forms/efface.h"

#include <algorithm>
#include <functional>
#include <memory>

#include "crystal/sorts.h"
#include "model/errors.h"
#include "model/labels.h"
#include "model/numbers.h"
#include "model/text.h"

namespace kestro {
namespace {

// Removes the asymmetric-unit atoms (1-based) for which `gone` holds, the
// others keeping their order.
void remove_atoms(StructureModel& model, const std::function<bool(int)>& gone)
{
    int kept = 0;
    const int count = model.asym.count();
    for (int i = 1; i <= count; ++i)
        if (!gone(i)) model.asym[++kept] = model.asym[i];
    model.asym.set_count(kept);
}

// After a deletion the next plot must regenerate and rebuild the sorts.
void mark_edited(StructureModel& model)
{
    model.edit.data_changed = 1;
    model.edit.atoms_changed = 1;
}

std::string without_mark(const std::string& text)
{
    std::string out = text;
    out.erase(std::remove(out.begin(), out.end(), '*'), out.end());
    return out;
}

// Generated atoms keep their element by symbol when the sort table changes.
void repoint_generated(StructureModel& model)
{
    for (AtomRecord& atom : model.generated) {
        const std::string symbol = element_of(atom);
        atom.element_sort = 0;
        for (int s = 1; s <= model.element_sorts.count(); ++s)
            if (symbol_key(model.element_sorts[s].symbol.view()) == symbol) {
                atom.element_sort = s;
                break;
            }
    }
}

} // namespace

std::string toggle_mark(const std::string& text)
{
    std::string out = text;
    const auto at = out.find('*');
    if (at == std::string::npos)
        out += '*';
    else
        out.erase(at, 1);
    return out;
}

bool is_marked(const std::string& text) { return text.find('*') != std::string::npos; }

std::vector<std::string> element_rows(const StructureModel& model)
{
    std::vector<std::string> rows;
    for (const ElementSort& sort : model.element_sorts) rows.push_back(sort.symbol.str());
    return rows;
}

std::vector<std::array<std::string, 2>> atom_rows(const StructureModel& model)
{
    std::vector<std::array<std::string, 2>> rows;
    for (int i = 1; i <= model.asym.count(); ++i) rows.push_back({std::to_string(i), model.asym[i].label.str()});
    return rows;
}

} // namespace kestro

namespace kestro::efface {

DeletionOutcome del_elem_system(StructureModel& model, const std::vector<std::string>& element_cells,
                                Messages& messages)
{
    std::vector<std::string> chosen;
    for (const std::string& cell : element_cells)
        if (is_marked(cell)) chosen.push_back(symbol_key(without_mark(cell)));
    if (chosen.empty()) return DeletionOutcome::Nothing;

    messages.beep();
    if (messages.ask("Are you sure to want to systematicaly delete the selected types of atom?") != Answer::Yes)
        return DeletionOutcome::Declined;

    const auto before = std::make_unique<Table<AtomRecord, MaxAsymAtoms>>(model.asym);
    remove_atoms(model, [&](int i) {
        const std::string symbol = element_of(model.asym[i]);
        return std::find(chosen.begin(), chosen.end(), symbol) != chosen.end();
    });
    try {
        // More than 44 elements left cannot have bond sorts: the element
        // sorts at least follow the atoms then (the refusal has its message).
        if (!build_bond_sorts(model, messages)) build_element_sorts(model, messages);
    } catch (const IoError&) {
        model.asym = *before;
        throw;
    }
    repoint_generated(model);
    mark_edited(model);
    return DeletionOutcome::Deleted;
}

DeletionOutcome del_atom(StructureModel& model, const std::vector<std::string>& label_cells, Messages& messages)
{
    const int count = model.asym.count();
    auto marked = [&](int i) {
        return i <= static_cast<int>(label_cells.size()) && is_marked(label_cells[static_cast<std::size_t>(i - 1)]);
    };
    int chosen = 0;
    for (int i = 1; i <= count; ++i) chosen += marked(i) ? 1 : 0;
    if (chosen == 0) return DeletionOutcome::Nothing;

    messages.beep();
    if (messages.ask("Are you sure to want to delete the selected atoms ?") != Answer::Yes)
        return DeletionOutcome::Declined;
    remove_atoms(model, marked);
    mark_edited(model);
    return DeletionOutcome::Deleted;
}

DeletionOutcome efface_bloc(StructureModel& model, const std::string& from_text, const std::string& to_text,
                            Messages& messages)
{
    const std::string from_trimmed = trim(from_text);
    const std::string to_trimmed = trim(to_text);
    if (from_trimmed.empty() || to_trimmed.empty()) return DeletionOutcome::Nothing;

    const std::optional<long long> from_value = parse_integer(from_trimmed);
    const std::optional<long long> to_value = parse_integer(to_trimmed);
    if (!from_value || !to_value) {
        messages.show("'" + (from_value ? to_trimmed : from_trimmed) + "' is not a valid integer value");
        return DeletionOutcome::Refused;
    }
    long long from = *from_value;
    long long to = *to_value;
    if (to < from) std::swap(from, to);
    const std::string range = std::to_string(from) + " to " + std::to_string(to);
    if (to < 1 || from > model.asym.count()) {
        messages.show("No atom in the range " + range);
        return DeletionOutcome::Refused;
    }

    messages.beep();
    if (messages.ask("Are you sure to want to delete the atoms " + range + " ?") != Answer::Yes)
        return DeletionOutcome::Declined;
    remove_atoms(model, [&](int i) { return i >= from && i <= to; });
    mark_edited(model);
    return DeletionOutcome::Deleted;
}

} // namespace kestro::efface

namespace kestro::mask_element {

int mask_elements(StructureModel& model, const std::vector<std::string>& element_cells)
{
    // Atoms are matched by the element of their label, not by their
    // element-sort number: atoms generated from a structure file's
    // asymmetric unit without a rebuild of the sorts carry no number.
    int hidden = 0;
    const int rows = std::min(static_cast<int>(element_cells.size()), model.element_sorts.count());
    for (int row = 1; row <= rows; ++row) {
        if (!is_marked(element_cells[static_cast<std::size_t>(row - 1)])) continue;
        const std::string symbol = symbol_key(model.element_sorts[row].symbol.view());
        for (AtomRecord& atom : model.generated)
            if (element_of(atom) == symbol) {
                atom.shown = 0;
                ++hidden;
            }
    }
    return hidden;
}

} // namespace kestro::mask_element

#include "formats/reader_support.h"

#include <cctype>

#include "crystal/oemath.h"
#include "crystal/operators.h"
#include "crystal/sorts.h"
#include "model/labels.h"
#include "model/numbers.h"
#include "model/plausible.h"
#include "model/text.h"

namespace kestro {

int number_error_position(std::string_view token)
{
    if (parse_real(token)) return 0;
    // The longest prefix that reads as a number tells where reading stopped.
    for (std::size_t n = token.size(); n > 0; --n) {
        const std::string_view head = token.substr(0, n);
        if (parse_real(head)) return static_cast<int>(n) + 1;
    }
    // A sign or a point alone is a start that went wrong one place later.
    const char first = token.empty() ? '\0' : token.front();
    if ((first == '-' || first == '+' || first == '.') && token.size() > 1) return 2;
    return 1;
}

NumberList decode_number_list(std::string_view text)
{
    NumberList out;
    const std::string line = replace_all(trim(text), ",", " ");
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t start = line.find_first_not_of(" \t", at);
        if (start == std::string::npos) break;
        std::size_t end = line.find_first_of(" \t", start);
        if (end == std::string::npos) end = line.size();
        const std::string_view token = std::string_view(line).substr(start, end - start);
        const auto value = parse_real(token);
        if (out.count < NumberList::capacity) {
            out.values[static_cast<std::size_t>(out.count)] = value.value_or(0.0);
            out.bad[static_cast<std::size_t>(out.count)] = !value;
        }
        ++out.count;
        out.error_position = value ? 0 : number_error_position(token);
        if (!value && out.first_bad == 0) out.first_bad = out.count;
        at = end;
    }
    return out;
}

namespace {
std::string label_text(std::string_view text) { return space_label(to_upper(trim(printable(text)))); }
} // namespace

AtomLabel stored_label(std::string_view text) { return AtomLabel(label_text(text)); }

std::string too_many_atoms_text() { return "The number of atoms is > " + std::to_string(MaxAsymAtoms) + "!"; }

AtomLabel LabelReader::operator()(std::string_view text)
{
    const std::string whole = label_text(text);
    if (whole.size() > LabelWidth) cut_.push_back(whole);
    return AtomLabel(whole);
}

void LabelReader::report(const StructureModel& model, Messages& messages) const
{
    std::vector<std::string> shared;
    for (const std::string& whole : cut_) {
        const AtomLabel label(whole);
        int atoms = 0;
        for (const AtomRecord& atom : model.asym) atoms += atom.label == label ? 1 : 0;
        if (atoms > 1) shared.push_back(whole + " (read as " + label.str() + ")");
    }
    if (shared.empty()) return;
    std::string text = "Labels longer than 8 characters were cut, and some now name more than one atom:";
    for (const std::string& entry : shared) text += " " + entry;
    messages.show(text);
}

bool store_cell(StructureModel& model, const NumberList& values, int first, Messages& messages)
{
    CrystalCell& cell = model.cell;
    cell.a = values[first];
    cell.b = values[first + 1];
    cell.c = values[first + 2];
    cell.alpha = values[first + 3];
    cell.beta = values[first + 4];
    cell.gamma = values[first + 5];
    if (!cell_metric(model, messages)) return false;
    set_crystal_system(model);
    return true;
}

void select_first_operator_only(StructureModel& model)
{
    for (int i = 1; i <= model.operators.count(); ++i) model.selected[i] = 0;
    model.selected_operators.clear();
    if (model.operators.empty()) return;
    model.selected[1] = 1;
    model.selected_operators.push(model.operators[1]);
}

bool finish_foreign_load(StructureModel& model, std::string_view file, Messages& messages)
{
    for (const AtomRecord& atom : model.asym) {
        if (const ValueFault fault = atom_value_fault(atom, DisplacementKind::U)) {
            messages.show(fault.text + " in " + base_name(file));
            return false;
        }
    }
    select_first_operator_only(model);
    if (!build_bond_sorts(model, messages)) return false;
    model.edit.data_changed = 1;
    return true;
}

bool complete_operator_list(StructureModel& model, Messages& messages)
{
    const Table<SymmetryOperator, MaxOperators> before = model.operators;
    const int centring_before = model.centring_count;
    if ((model.centro_flag > 0 && !add_inversion(model)) || !add_centring(model)) {
        model.operators = before;
        model.centring_count = centring_before;
        messages.show("Too many symmetry operators");
        return false;
    }
    return true;
}

} // namespace kestro

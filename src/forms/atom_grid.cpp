#include "forms/atom_grid.h"

#include <cmath>

#include "model/fields.h"
#include "model/labels.h"
#include "model/numbers.h"
#include "model/plausible.h"
#include "model/text.h"

namespace kestro::mainmenu {

namespace {

void set_text(AtomCell& cell, const std::string& text)
{
    if (cell.text == text) return;
    cell.text = text;
    cell.exact.reset();
}

} // namespace

std::array<std::string, AtomColumns> atom_grid_headers(ThermalExpression shown_as)
{
    static const char* const suffixes[6] = {"11", "22", "33", "12", "13", "23"};
    const std::string prefix = shown_as == ThermalExpression::Uij   ? "u"
                               : shown_as == ThermalExpression::Bij ? "B"
                                                                    : "Beta";
    std::array<std::string, AtomColumns> headers{"No", "Atome", "X", "Y", "Z"};
    for (std::size_t k = 0; k < 6; ++k) headers[FirstThermalColumn + k] = prefix + suffixes[k];
    return headers;
}

std::vector<AtomGridRow> atom_grid_rows(const StructureModel& model, ThermalExpression shown_as)
{
    std::vector<AtomGridRow> rows;
    rows.reserve(static_cast<std::size_t>(model.asym.count()));
    for (int n = 1; n <= model.asym.count(); ++n) {
        const AtomRecord& atom = model.asym[n];
        AtomGridRow& row = rows.emplace_back();
        row[0].text = std::to_string(n);
        row[1].text = atom.label.str();
        for (std::size_t k = 0; k < 3; ++k)
            row[FirstCoordinateColumn + k] = {fmt_real(atom.xyz[k], 9, 5), atom.xyz[k]};
        const Thermal6 shown = from_uij(shown_as, atom.thermal, model.cell);
        for (std::size_t k = 0; k < 6; ++k)
            if (std::abs(atom.thermal[k]) >= 1e-6) row[FirstThermalColumn + k] = {fmt_real(shown[k], 9, 6), shown[k]};
    }
    return rows;
}

std::optional<double> read_number(const std::string& text) { return parse_real(trim(repair_number_b(trim(text)))); }

std::optional<AtomGridFault> read_atom_grid(StructureModel& model, std::vector<AtomGridRow>& rows,
                                            ThermalExpression shown_as)
{
    // What the grid does not show (type, disorder part, occupancy, the
    // file's label) stays with the atom of the same label: at the same
    // place, else the first. So does a coordinate's s.u., while the
    // coordinate is the file's.
    const std::vector<AtomRecord> before(model.asym.begin(), model.asym.end());
    const auto keep_unshown = [&](AtomRecord& atom, std::size_t place) {
        const AtomRecord* old = place < before.size() && before[place].label == atom.label ? &before[place] : nullptr;
        for (std::size_t k = 0; !old && k < before.size(); ++k)
            if (before[k].label == atom.label) old = &before[k];
        if (!old) return old;
        atom.element = old->element;
        atom.part = old->part;
        atom.assembly = old->assembly;
        atom.occupancy = old->occupancy;
        atom.file_label = old->file_label;
        return old;
    };
    model.asym.clear();
    std::vector<int> grid_rows; // of each atom read
    for (std::size_t r = 0; r < rows.size(); ++r) {
        AtomGridRow& row = rows[r];
        const std::string label = to_upper(trim(row[1].text));
        if (label.empty()) continue;
        AtomRecord atom;
        atom.label = label;
        const AtomRecord* old = keep_unshown(atom, static_cast<std::size_t>(model.asym.count()));
        for (std::size_t col = FirstCoordinateColumn; col < AtomColumns; ++col) {
            AtomCell& cell = row[col];
            if (trim(cell.text).empty()) set_text(cell, col < FirstThermalColumn ? "  0" : "0");
            const std::optional<double> value = cell.exact ? cell.exact : read_number(cell.text);
            if (!value)
                return AtomGridFault{static_cast<int>(r), static_cast<int>(col),
                                     "Erreur \xC3\xA0 la ligne " + std::to_string(r + 1) + " ,colonne " +
                                         std::to_string(col + 1)};
            if (col < FirstThermalColumn) atom.xyz[col - FirstCoordinateColumn] = *value;
            else atom.thermal[col - FirstThermalColumn] = *value;
        }
        for (std::size_t k = 0; old && k < 3; ++k)
            if (atom.xyz[k] == old->xyz[k]) atom.xyz_su[k] = old->xyz_su[k];
        if (!model.asym.push(atom)) break;
        grid_rows.push_back(static_cast<int>(r));
    }
    if (shown_as != ThermalExpression::Uij)
        for (AtomRecord& atom : model.asym) atom.thermal = to_uij(shown_as, atom.thermal, model.cell);
    for (int n = 1; n <= model.asym.count(); ++n)
        if (const ValueFault fault = atom_value_fault(model.asym[n], DisplacementKind::U)) {
            const int row = grid_rows[static_cast<std::size_t>(n - 1)];
            return AtomGridFault{row, FirstCoordinateColumn + fault.field,
                                 fault.text + " (line " + std::to_string(row + 1) + ")"};
        }
    return std::nullopt;
}

RowEdit modif_ligne(std::vector<AtomGridRow>& rows, int row, int column)
{
    const int r = row - 1;
    const int count = static_cast<int>(rows.size());
    if (r < 0 || r >= count) return RowEdit::None;
    if (column != 0 && trim(rows[static_cast<std::size_t>(r)][1].text).empty()) {
        for (int k = r; k < count - 1; ++k) {
            AtomGridRow& moved = rows[static_cast<std::size_t>(k)];
            moved = rows[static_cast<std::size_t>(k + 1)];
            if (!trim(moved[0].text).empty()) set_text(moved[0], std::to_string(k + 1));
        }
        rows.back() = AtomGridRow{};
        return RowEdit::Deleted;
    }
    AtomGridRow& edited = rows[static_cast<std::size_t>(r)];
    for (AtomCell& cell : edited) set_text(cell, to_upper(cell.text));
    if (column == 1) {
        set_text(edited[0], std::to_string(row));
        for (std::size_t c = FirstCoordinateColumn; c < AtomColumns; ++c)
            if (trim(edited[c].text).empty()) set_text(edited[c], c == FirstThermalColumn ? "0.05" : "0");
    }
    return RowEdit::Edited;
}

} // namespace kestro::mainmenu

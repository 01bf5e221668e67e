#include "model/structure_model.h"

#include <cctype>

#include "model/labels.h"
#include "model/text.h"

namespace kestro {

std::string element_of(const AtomRecord& atom)
{
    return atom.element.empty() ? element_symbol(atom.label.view()) : symbol_key(atom.element.view());
}

bool is_hydrogen(const AtomRecord& atom)
{
    // element_of(atom) == "H" without building the symbol: every redraw asks
    // it twice a bond.
    const auto upper = [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); };
    if (!atom.element.empty()) {
        const std::string_view element = trimmed(atom.element.view());
        return element.size() == 1 && upper(element[0]) == 'H';
    }
    const std::string_view label = trimmed(atom.label.view());
    if (label.empty() || upper(label[0]) != 'H') return false;
    // He, Hf, Hg, Ho, Hs: two letters that name an element.
    if (label.size() >= 2 && std::isalpha(static_cast<unsigned char>(label[1]))) {
        const char two[2] = {'H', upper(label[1])};
        if (is_element_symbol(std::string_view(two, 2))) return false;
    }
    return true;
}

std::string display_label_of(const AtomRecord& atom) { return display_label(atom.label.view(), element_of(atom)); }

void reset_model(StructureModel& model)
{
    model.space_group.clear();
    model.system_code.clear();
    model.lattice_letter.clear();
    model.source_file_name.clear();
    model.source_base_name.clear();
    model.ascii_file_name.clear();
    model.title.clear();

    model.generated.clear();
    model.centring_count = 0;
    model.selected_operators.clear();
    model.element_sorts.clear();
    model.bond_sorts.clear();
    model.bonds.clear();

    model.generation = GenerationOptions{};
    model.edit.data_changed = 0;

    DrawingOptions& d = model.drawing;
    d.spare = d.colour_gradation = d.draw_cell = d.draw_planes = 0;
    d.draw_planes_axes = d.labels_centre = d.labels_off_centre = d.black_white = 0;
    d.thermal_iso = d.double_triple = 0;
    d.parts_shown = PartsShown::All;
    d.part_number = 0;
    d.dash_minor = 0;
    d.probability_index = 5;
    d.label_font = LabelFont{};
}

} // namespace kestro

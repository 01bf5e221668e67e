#include <algorithm>
#include <array>

#include "model/file_io.h"
#include "formats/kes.h"
#include "model/fields.h"
#include "model/labels.h"
#include "model/text.h"

namespace kestro {

namespace {

class Lines {
public:
    void add(const std::string& line) { text_ += line + "\r\n"; }
    std::string take() { return std::move(text_); }

private:
    std::string text_;
};

// A number field that follows another: right-aligned in its width, but
// always with a blank before the value, so that an atom or fragment number
// wider than the field (100 000 atoms) still reads back as its own number.
std::string separated_field(long long value, int width)
{
    const std::string digits = std::to_string(value);
    return static_cast<int>(digits.size()) >= width ? " " + digits : right_align(digits, width);
}

std::string bond_field(int value) { return separated_field(value, 4); }

std::array<int, 20> option_flags(const StructureModel& model)
{
    const DrawingOptions& d = model.drawing;
    const GenerationOptions& g = model.generation;
    return {d.spare, d.colour_gradation, d.draw_cell, d.draw_planes, d.draw_planes_axes,
            d.labels_centre, d.labels_off_centre, g.fragments, g.sphere, g.box,
            g.sphere_reduce, g.box_reduce, g.cell_contents, d.black_white,
            0, 0, 0, 0, 0, 0};
}

// The label field of the atom sections: 4 characters. A longer label goes
// there cut, so that any reader of the format still loads the file; the
// whole label follows in the "#Atom sites" section.
std::string label_field(const AtomLabel& label) { return fill_to(trim(label.view()).substr(0, ShortLabelWidth), 4); }

// The atom sites section is written only when it holds something the
// other sections cannot say: a label longer than 4 characters, a type other
// than the label's element, or a disorder part. Other files stay as before.
bool needs_atom_sites(const StructureModel& model)
{
    const auto needs = [](const AtomRecord& atom) {
        return trim(atom.label.view()).size() > ShortLabelWidth ||
               (!atom.element.empty() && symbol_key(atom.element.view()) != element_symbol(atom.label.view())) ||
               atom.part != 0;
    };
    return std::any_of(model.asym.begin(), model.asym.end(), needs) ||
           std::any_of(model.generated.begin(), model.generated.end(), needs);
}

// One atom of the section: the label filled to 8, then its type ("." for
// none), part, assembly ("." for none) and occupancy.
std::string atom_site_line(const AtomRecord& atom)
{
    const auto word = [](std::string_view text) { return text.empty() ? std::string(".") : std::string(text); };
    return fill_to(trim(atom.label.view()), LabelWidth) + " " + right_align(word(atom.element.view()), 2) +
           fmt_int(atom.part, 6) + " " + right_align(word(atom.assembly.view()), 2) + fmt_real(atom.occupancy, 9, 4);
}

std::string reals(const Vec3& v, int width, int decimals)
{
    return fmt_real(v[0], width, decimals) + fmt_real(v[1], width, decimals) +
           fmt_real(v[2], width, decimals);
}

} // namespace

std::string ascii_structure_text(const StructureModel& model)
{
    Lines out;
    const CrystalCell& cell = model.cell;

    out.add("#Title");
    out.add(model.title);
    out.add("#Cell");
    out.add(fmt_real(cell.a, 8, 4) + fmt_real(cell.b, 8, 4) + fmt_real(cell.c, 8, 4) +
            fmt_real(cell.alpha, 8, 3) + fmt_real(cell.beta, 8, 3) + fmt_real(cell.gamma, 8, 3));
    out.add("#Space group");
    out.add(model.space_group);
    out.add((model.centro_flag > 0 ? "+" : "-") + model.lattice_letter);

    out.add("#General Positions");
    out.add(fmt_int(model.operators.count()));
    for (int i = 1; i <= model.operators.count(); ++i) {
        std::string line;
        for (const auto& row : model.operators[i].rows)
            line += fmt_real(row[0], 4, 0) + fmt_real(row[1], 4, 0) + fmt_real(row[2], 4, 0) +
                    fmt_real(row[3], 10, 6);
        out.add(line + "  " + fmt_int(model.selected[i], 4));
    }

    out.add("#Asymetric unit contents");
    out.add(fmt_int(model.asym.count()));
    for (const AtomRecord& atom : model.asym) {
        out.add(label_field(atom.label) + reals(atom.xyz, 10, 5));
        std::string thermal = "     ";
        for (double u : atom.thermal) thermal += fmt_real(u, 10, 6);
        out.add(thermal);
    }

    out.add("#Generated atoms");
    out.add(fmt_int(model.generated.count()));
    for (int i = 1; i <= model.generated.count(); ++i) {
        const AtomRecord& atom = model.generated[i];
        out.add(label_field(atom.label) + fill_to(model.display_labels[i].view(), 8) +
                reals(atom.xyz, 10, 5) + fmt_real(atom.label_dx, 8, 3) + fmt_real(atom.label_dy, 8, 3));
        std::string thermal = "     ";
        for (double b : atom.thermal) thermal += fmt_real(b, 12, 8);
        out.add(thermal);
        out.add(fmt_int(atom.element_sort, 5) + separated_field(atom.colour, 10) +
                separated_field(atom.operator_index, 5) + separated_field(atom.isotropic, 5) +
                separated_field(atom.shown, 5) + separated_field(atom.labelled, 5));
    }

    out.add("#Element sorts");
    out.add(fmt_int(model.element_sorts.count()));
    for (const ElementSort& sort : model.element_sorts)
        out.add(right_align(sort.symbol.view(), 2) + " " + fmt_int(sort.colour, 10) + fmt_real(sort.radius, 6, 2));

    out.add("#Bonds sorts");
    out.add(fmt_int(model.bond_sorts.count()));
    for (const BondSort& sort : model.bond_sorts)
        out.add(right_align(sort.element1.view(), 4) + right_align(sort.element2.view(), 4) +
                fmt_real(sort.max_length, 8, 2));

    out.add("#Calculated bonds");
    out.add(fmt_int(model.bonds.count()));
    for (const BondRecord& bond : model.bonds)
        out.add(bond_field(bond.atom1) + bond_field(bond.atom2) + bond_field(bond.order) +
                fmt_real(bond.length, 8, 3));

    out.add("#Orientation matrix");
    for (const Vec3& row : cell.metric.T_inv) out.add(reals(row, 12, 7));

    out.add("#Ellipsoids probability");
    out.add(fmt_int(model.drawing.probability_index));

    out.add("#Drawing options");
    std::string flags;
    for (int flag : option_flags(model)) flags += fmt_int(flag, 3);
    out.add(flags);

    out.add("#Box of enclosure");
    out.add(reals(model.generation.box_size, 8, 3));
    out.add(reals(model.generation.centre, 8, 3));
    out.add("#sphere of enclosure");
    out.add(fmt_real(model.generation.sphere_radius, 8, 3));
    out.add("#bond width and perspective");
    out.add(fmt_real(model.drawing.bond_width, 6, 3));
    out.add(fmt_real(model.drawing.bond_perspective, 8, 4));
    out.add("#background and bonds coulours");
    out.add(fmt_int(model.drawing.bond_colour, 4));
    out.add(fmt_int(model.drawing.background_colour, 4));
    out.add("#Fonts name and colour");
    out.add(model.drawing.label_font.name);
    out.add(model.drawing.label_font.style);
    out.add(fmt_int(model.drawing.label_font.size, 15) + fmt_int(model.drawing.label_font.colour, 15));

    if (needs_atom_sites(model)) {
        out.add(AtomSitesHeader);
        out.add(fmt_int(model.asym.count()) + " " + fmt_int(model.generated.count()));
        for (const AtomRecord& atom : model.asym) out.add(atom_site_line(atom));
        for (const AtomRecord& atom : model.generated) out.add(atom_site_line(atom));
    }
    return out.take();
}

void write_ascii_structure(const StructureModel& model)
{
    write_file_atomically(model.current_file, ascii_structure_text(model));
}

} // namespace kestro

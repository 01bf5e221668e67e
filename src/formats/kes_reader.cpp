#include <limits>
#include <vector>

#include "crystal/oemath.h"
#include "crystal/operators.h"
#include "model/file_io.h"
#include "formats/kes.h"
#include "formats/text_cursor.h"
#include "model/errors.h"
#include "model/labels.h"
#include "model/plausible.h"
#include "model/text.h"

namespace kestro {

namespace {

// A section count must fit its table: nothing is ever stored past it.
int read_count(TextCursor& in, const char* section, const char* records, int capacity)
{
    const long long n = in.read_int();
    in.end_line();
    if (n < 0 || n > capacity)
        throw IoError(std::string(section) + ": the file holds " + std::to_string(n) + " " + records +
                      ", at most " + std::to_string(capacity) + " can be loaded");
    return static_cast<int>(n);
}

int read_int32(TextCursor& in)
{
    const long long v = in.read_int();
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        throw IoError("Invalid numeric input at line " + std::to_string(in.line_number()));
    return static_cast<int>(v);
}

Colour read_colour(TextCursor& in)
{
    const long long v = in.read_int();
    if (v < 0 || v > 0xFFFFFFFFLL)
        throw IoError("Invalid numeric input at line " + std::to_string(in.line_number()));
    return static_cast<Colour>(v);
}

Vec3 read_vec3(TextCursor& in) { return {in.read_real(), in.read_real(), in.read_real()}; }

// The lines where record numbers stood, for the check that they name
// records the file holds.
struct RecordLines {
    std::vector<int> element_sort; // of each generated atom
    std::vector<int> bond;
    std::vector<int> bond_sort;
};

std::string on_line(int line) { return "Line " + std::to_string(line) + ": "; }

// Every record number of the file names a record the file holds: a bond
// joins two generated atoms, an atom's element sort is one of the element
// sorts (or 0, none), a bond sort joins two of the elements. The commands index the
// tables with these numbers, so a file that breaks this is refused whole.
void check_record_numbers(const StructureModel& model, const RecordLines& lines)
{
    const int atoms = model.generated.count();
    const int sorts = model.element_sorts.count();
    for (int i = 1; i <= atoms; ++i) {
        // 0 is what a plot from a loaded file leaves: no sort assigned.
        const int sort = model.generated[i].element_sort;
        if (sort < 0 || sort > sorts)
            throw IoError(on_line(lines.element_sort[static_cast<std::size_t>(i - 1)]) + "generated atom " +
                          std::to_string(i) + " has element sort " + std::to_string(sort) + ", but the file has " +
                          std::to_string(sorts) + " element sorts");
    }
    for (int k = 1; k <= model.bonds.count(); ++k)
        for (const int atom : {model.bonds[k].atom1, model.bonds[k].atom2})
            if (atom < 1 || atom > atoms)
                throw IoError(on_line(lines.bond[static_cast<std::size_t>(k - 1)]) + "bond " + std::to_string(k) +
                              " joins atom " + std::to_string(atom) + ", but the file has " + std::to_string(atoms) +
                              " generated atoms");
    const auto known = [&](const FixedText<2>& symbol) {
        for (const ElementSort& sort : model.element_sorts)
            if (symbol_key(sort.symbol.view()) == symbol_key(symbol.view())) return true;
        return false;
    };
    for (int k = 1; k <= model.bond_sorts.count(); ++k)
        for (const FixedText<2>* element : {&model.bond_sorts[k].element1, &model.bond_sorts[k].element2})
            if (!known(*element))
                throw IoError(on_line(lines.bond_sort[static_cast<std::size_t>(k - 1)]) + "bond sort " +
                              std::to_string(k) + " names element '" + std::string(element->view()) +
                              "', but the file has no element sort of it");
}

void read_operators(TextCursor& in, StructureModel& model)
{
    in.skip_line();
    const int n = read_count(in, "General Positions", "operators", MaxOperators);
    model.operators.clear();
    model.selected_operators.clear();
    for (int i = 1; i <= n; ++i) {
        SymmetryOperator op;
        for (auto& row : op.rows)
            for (double& value : row) value = in.read_real();
        model.selected[i] = read_int32(in);
        in.end_line();
        model.operators.push(op);
        model.operator_texts[i] = operator_text(model.operators[i]);
        if (model.selected[i]) model.selected_operators.push(model.operators[i]);
    }
}

void read_asymmetric_unit(TextCursor& in, StructureModel& model)
{
    in.skip_line();
    const int n = read_count(in, "Asymetric unit contents", "atoms", MaxAsymAtoms);
    model.asym.clear();
    for (int i = 1; i <= n; ++i) {
        AtomRecord atom;
        atom.label = printable(in.read_chars(ShortLabelWidth));
        atom.xyz = read_vec3(in);
        in.end_line();
        for (double& u : atom.thermal) u = in.read_real();
        in.end_line();
        model.asym.push(atom);
    }
}

void read_generated_atoms(TextCursor& in, StructureModel& model, RecordLines& lines)
{
    in.skip_line();
    const int n = read_count(in, "Generated atoms", "atoms", MaxGeneratedAtoms);
    model.generated.clear();
    for (int i = 1; i <= n; ++i) {
        AtomRecord atom;
        atom.label = printable(in.read_chars(ShortLabelWidth));
        model.display_labels[i] = trim(printable(in.read_chars(8)));
        atom.xyz = read_vec3(in);
        atom.label_dx = in.read_real();
        atom.label_dy = in.read_real();
        in.end_line();
        for (double& b : atom.thermal) b = in.read_real();
        in.end_line();
        lines.element_sort.push_back(in.line_number());
        atom.element_sort = read_int32(in);
        atom.colour = read_colour(in);
        atom.operator_index = read_int32(in);
        atom.isotropic = read_int32(in);
        atom.shown = read_int32(in);
        atom.labelled = read_int32(in);
        in.end_line();
        model.generated.push(atom);
    }
}

void read_sorts_and_bonds(TextCursor& in, StructureModel& model, RecordLines& lines)
{
    in.skip_line();
    const int elements = read_count(in, "Element sorts", "element sorts", MaxElementSorts);
    model.element_sorts.clear();
    for (int i = 1; i <= elements; ++i) {
        ElementSort sort;
        sort.symbol = trim(in.read_chars(2));
        sort.colour = read_colour(in);
        sort.radius = in.read_real();
        in.end_line();
        model.element_sorts.push(sort);
    }

    in.skip_line();
    const int pairs = read_count(in, "Bonds sorts", "bond sorts", MaxBondSorts);
    model.bond_sorts.clear();
    for (int i = 1; i <= pairs; ++i) {
        BondSort sort;
        lines.bond_sort.push_back(in.line_number());
        sort.element1 = trim(in.read_chars(4));
        sort.element2 = trim(in.read_chars(4));
        sort.max_length = in.read_real();
        in.end_line();
        model.bond_sorts.push(sort);
    }

    in.skip_line();
    const int bonds = read_count(in, "Calculated bonds", "bonds", MaxBonds);
    model.bonds.clear();
    for (int i = 1; i <= bonds; ++i) {
        BondRecord bond;
        lines.bond.push_back(in.line_number());
        bond.atom1 = read_int32(in);
        bond.atom2 = read_int32(in);
        bond.order = read_int32(in);
        bond.length = in.read_real();
        in.end_line();
        model.bonds.push(bond);
    }
}

// The file keeps T^-1 only; the rest of the view frame follows from it and
// from the cell metric.
bool read_orientation(TextCursor& in, StructureModel& model, Messages& messages)
{
    in.skip_line();
    CellMetric& m = model.cell.metric;
    Mat3 t_inv;
    for (Vec3& row : t_inv) {
        row = read_vec3(in);
        in.end_line();
    }
    Mat3 t;
    if (!mat_inverse(t_inv, t)) {
        messages.show("The orientation matrix of the file " + base_name(model.ascii_file_name) +
                      " is singular: the file cannot be loaded");
        return false;
    }
    m.T_inv = t_inv;
    m.T = t;
    m.R_inv = mat_product(m.BG, m.T_inv);
    m.R = mat_product(m.T, m.GBi);
    m.O = mat_product(m.B_inv, m.R_inv);
    m.D = mat_product(m.R, m.B);
    return true;
}

void read_options(TextCursor& in, StructureModel& model)
{
    DrawingOptions& d = model.drawing;
    GenerationOptions& g = model.generation;

    in.skip_line();
    const long long probability = in.read_int();
    in.end_line();
    if (probability < 0 || probability > 10)
        throw IoError("Ellipsoids probability: " + std::to_string(probability) +
                      " is not a probability index from 0 to 10");
    d.probability_index = static_cast<int>(probability);

    in.skip_line();
    int* const flags[14] = {&d.spare, &d.colour_gradation, &d.draw_cell, &d.draw_planes,
                            &d.draw_planes_axes, &d.labels_centre, &d.labels_off_centre,
                            &g.fragments, &g.sphere, &g.box, &g.sphere_reduce, &g.box_reduce,
                            &g.cell_contents, &d.black_white};
    for (int position = 0; position < 20; ++position) {
        const int value = read_int32(in);
        if (position < 14) *flags[position] = value;
    }
    in.end_line();

    in.skip_line();
    g.box_size = read_vec3(in);
    in.end_line();
    g.centre = read_vec3(in);
    in.end_line();
    in.skip_line();
    g.sphere_radius = in.read_real();
    in.end_line();
    in.skip_line();
    d.bond_width = in.read_real();
    in.end_line();
    d.bond_perspective = in.read_real();
    in.end_line();
    in.skip_line();
    d.bond_colour = read_colour(in);
    in.end_line();
    d.background_colour = read_colour(in);
    in.end_line();
    in.skip_line();
    d.label_font.name = in.read_line();
    d.label_font.style = in.read_line();
    d.label_font.size = read_int32(in);
    d.label_font.colour = read_colour(in);
    in.end_line();
}

// The optional section after the 17: the whole label, type, part, assembly
// and occupancy of every atom, asymmetric unit first. Files without it
// (every file before it, and those that need none) end after the fonts.
void read_atom_sites(TextCursor& in, StructureModel& model)
{
    while (!in.at_end() && trim(in.peek_line()).empty()) in.end_line();
    if (in.at_end() || trim(in.peek_line()) != AtomSitesHeader) return;
    in.skip_line();
    const int line = in.line_number();
    const long long asym = in.read_int();
    const long long generated = in.read_int();
    in.end_line();
    if (asym != model.asym.count() || generated != model.generated.count())
        throw IoError(on_line(line) + "the atom sites are given for " + std::to_string(asym) + " and " +
                      std::to_string(generated) + " atoms, but the file has " + std::to_string(model.asym.count()) +
                      " and " + std::to_string(model.generated.count()));
    const auto word = [](const std::string& text) { return text == "." ? std::string() : to_upper(text); };
    const auto read_site = [&](AtomRecord& atom) {
        const std::string label = trim(printable(in.read_chars(LabelWidth)));
        if (trim(label.substr(0, ShortLabelWidth)) != trim(atom.label.view()))
            throw IoError(on_line(in.line_number()) + "the atom site " + label + " is not the atom " +
                          trim(atom.label.str()) + " of the sections before");
        if (label.size() > ShortLabelWidth) atom.label = label;
        atom.element = word(in.read_word());
        atom.part = read_int32(in);
        atom.assembly = word(in.read_word());
        atom.occupancy = in.read_real();
        in.end_line();
    };
    for (AtomRecord& atom : model.asym) read_site(atom);
    for (AtomRecord& atom : model.generated) read_site(atom);
}

// Coordinates and displacements no crystal has; the message names the atom
// and the field.
bool plausible_atoms(const StructureModel& model, Messages& messages)
{
    const auto plausible = [&](const auto& atoms, DisplacementKind kind) {
        for (const AtomRecord& atom : atoms)
            if (const ValueFault fault = atom_value_fault(atom, kind)) {
                messages.show(fault.text);
                return false;
            }
        return true;
    };
    return plausible(model.asym, DisplacementKind::U) && plausible(model.generated, DisplacementKind::Beta);
}

} // namespace

bool read_ascii_structure(std::string_view text, StructureModel& model, Messages& messages)
{
    TextCursor in(text);

    in.skip_line();
    model.title = in.read_line();

    in.skip_line();
    CrystalCell& cell = model.cell;
    cell.a = in.read_real();
    cell.b = in.read_real();
    cell.c = in.read_real();
    cell.alpha = in.read_real();
    cell.beta = in.read_real();
    cell.gamma = in.read_real();
    in.end_line();
    if (!cell_metric(model, messages)) return false;

    in.skip_line();
    model.space_group = in.read_line();
    set_crystal_system(model);
    const std::string centring = in.read_line();
    model.centro_flag = contains(centring, "+") ? 1 : 0;
    const std::string letter = centring.empty() ? std::string() : trim(centring.substr(1));
    model.lattice_letter = letter.substr(0, 1);

    read_operators(in, model);
    read_asymmetric_unit(in, model);
    RecordLines lines;
    read_generated_atoms(in, model, lines);
    if (!plausible_atoms(model, messages)) return false;
    read_sorts_and_bonds(in, model, lines);
    check_record_numbers(model, lines);
    if (!read_orientation(in, model, messages)) return false;
    read_options(in, model);
    read_atom_sites(in, model);
    return true;
}

} // namespace kestro

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "crystal/operators.h"
#include "formats/shelx.h"
#include "model/errors.h"
#include "model/fields.h"
#include "model/file_io.h"
#include "model/labels.h"
#include "model/text.h"
#include "model/thermal.h"

namespace kestro {

namespace {

constexpr double DefaultWavelength = 0.7106; // Mo K-alpha

class Lines {
public:
    void add(const std::string& line) { text_ += line + "\n"; }
    std::string take() { return std::move(text_); }

private:
    std::string text_;
};

int lattice_number(const StructureModel& model)
{
    const std::string letter = to_upper(trim(model.lattice_letter));
    int n = 1;
    if (letter == "I") n = 2;
    else if (letter == "R") n = to_upper(trim(model.system_code)) == "HEXA" ? 3 : 1;
    else if (letter == "F") n = 4;
    else if (letter == "A") n = 5;
    else if (letter == "B") n = 6;
    else if (letter == "C") n = 7;
    return model.centro_flag > 0 ? n : -n;
}

// The lattice translations of the model's letter, the zero vector first:
// those add_centring applies, read back from the identity it shifts.
std::vector<std::array<double, 3>> centring_vectors(const StructureModel& model)
{
    auto probe = std::make_unique<StructureModel>();
    probe->lattice_letter = model.lattice_letter;
    probe->system_code = model.system_code;
    probe->operators.push(SymmetryOperator::identity());
    std::vector<std::array<double, 3>> vectors;
    if (!add_centring(*probe)) return {{0, 0, 0}};
    for (const SymmetryOperator& op : probe->operators) vectors.push_back({op.rows[0][3], op.rows[1][3], op.rows[2][3]});
    return vectors;
}

SymmetryOperator combined(const SymmetryOperator& op, double sign, const std::array<double, 3>& shift)
{
    SymmetryOperator out = op;
    for (std::size_t r = 0; r < 3; ++r) {
        for (double& value : out.rows[r]) value = 0.0 + sign * value;
        out.rows[r][3] += shift[r];
    }
    return out;
}

// The operators the SYMM lines must give, by index in the full list. As
// listed when the list says how many were listed; otherwise every operator
// that the identity, the lattice centring and (LATT > 0) the inversion do
// not already imply from one written before it.
std::vector<int> symm_line_operators(const StructureModel& model)
{
    std::vector<int> chosen;
    const int count = model.operators.count();
    if (model.listed_operator_count > 0) {
        for (int k = 2; k <= std::min(model.listed_operator_count, count); ++k) chosen.push_back(k);
        return chosen;
    }
    const std::vector<std::array<double, 3>> shifts = centring_vectors(model);
    std::vector<SymmetryOperator> written{SymmetryOperator::identity()};
    for (int k = 2; k <= count; ++k) {
        const SymmetryOperator& op = model.operators[k];
        bool implied = false;
        for (const SymmetryOperator& w : written) {
            for (const auto& shift : shifts) {
                implied = implied || same_operator(op, combined(w, 1, shift)) ||
                          (model.centro_flag > 0 && same_operator(op, combined(w, -1, shift)));
            }
        }
        if (implied) continue;
        written.push_back(op);
        chosen.push_back(k);
    }
    return chosen;
}

// SHELX reads translations as decimal numbers.
std::string decimal_fractions(std::string text)
{
    static constexpr std::array<std::array<const char*, 2>, 7> fractions{{
        {"1/2", "0.5"},  {"1/3", "0.3333333"}, {"2/3", "0.6666667"}, {"1/4", "0.25"},
        {"3/4", "0.75"}, {"1/6", "0.166667"},  {"5/6", "0.83333"},
    }};
    for (const auto& [from, to] : fractions) text = replace_all(std::move(text), from, to);
    return text;
}

// SHELX takes a blank as the end of the label: 'C 1' is written 'C1' (the
// readers put the blank back).
std::string shelx_label(std::string_view label)
{
    std::string text = trim(label);
    text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
    return fill_to(text, 4);
}

} // namespace

std::string shelx_instructions_text(const StructureModel& model)
{
    Lines out;
    const CrystalCell& cell = model.cell;
    const double wavelength = model.wavelength == 0 ? DefaultWavelength : model.wavelength;

    out.add("TITL " + model.source_base_name);
    out.add("CELL " + fmt_real(wavelength, 8, 5) + fmt_real(cell.a, 10, 4) + fmt_real(cell.b, 10, 4) +
            fmt_real(cell.c, 10, 4) + fmt_real(cell.alpha, 10, 4) + fmt_real(cell.beta, 10, 4) +
            fmt_real(cell.gamma, 10, 4));
    out.add("ERR " + fmt_int(model.asym.count(), 5) + " 0 0 0 0 0");
    out.add("LATT " + fmt_int(lattice_number(model)));
    for (const int k : symm_line_operators(model)) {
        std::string text = model.operator_texts[k].str();
        if (trim(text).empty()) {
            SymmetryOperator op = model.operators[k];
            text = operator_text(op);
        }
        out.add("SYMM " + decimal_fractions(text));
    }

    std::string sfac = "SFAC ";
    std::string unit = "UNIT ";
    for (const ElementSort& sort : model.element_sorts) {
        sfac += sort.symbol.str() + " ";
        int n = 0;
        for (const AtomRecord& atom : model.asym)
            if (element_of(atom) == symbol_key(sort.symbol.view())) ++n;
        unit += fmt_int(n, 3);
    }
    out.add(sfac);
    out.add(unit);
    out.add("FVAR     1");

    // The disorder parts as PART instructions, each atom of a part with its
    // occupancy fixed (10 + occupancy); ordered atoms as before.
    int part = 0;
    for (const AtomRecord& atom : model.asym) {
        if (atom.part != part) {
            part = atom.part;
            out.add("PART " + std::to_string(part));
        }
        const Thermal6 u = swap_shelx_order(atom.thermal);
        const std::string sof = part == 0 ? std::string("   11.0000") : fmt_real(10 + atom.occupancy, 10, 4);
        std::string line = shelx_label(atom.label.view()) + fmt_int(atom.element_sort, 4) +
                           fmt_real(atom.xyz[0], 10, 5) + fmt_real(atom.xyz[1], 10, 5) +
                           fmt_real(atom.xyz[2], 10, 5) + sof;
        if (atom.isotropic_uij()) {
            out.add(line + fmt_real(u[0], 10, 5));
            continue;
        }
        out.add(line + fmt_real(u[0], 10, 5) + fmt_real(u[1], 10, 5) + "   =");
        out.add(fmt_real(u[2], 10, 5) + fmt_real(u[3], 10, 5) + fmt_real(u[4], 10, 5) + fmt_real(u[5], 10, 5));
    }
    if (part != 0) out.add("PART 0");
    out.add("END");
    return out.take();
}

void write_shelx_instructions(StructureModel& model)
{
    if (model.wavelength == 0) model.wavelength = DefaultWavelength;
    write_file_atomically(model.current_file, shelx_instructions_text(model));
}

bool save_shelx_instructions(StructureModel& model, const std::string& name, Messages& messages)
{
    if (model.asym.empty() || trim(name).empty()) return false;
    const std::string file = with_default_extension(name, ".shx");
    if (!write_after_confirmation(file, messages, [&] {
            model.current_file = file;
            write_shelx_instructions(model);
        }))
        return false;
    model.edit.data_changed = 1;
    return true;
}

} // namespace kestro

#include "crystal/hall_symbols.h"

#include <gemmi/symmetry.hpp>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <exception>
#include <string>

#include "crystal/operators.h"
#include "model/text.h"

namespace kestro {

namespace {

// What gemmi's parser is given: a Hall symbol of the forms the tables use,
// a lattice letter, rotation symbols and at most an origin shift in the
// short form "(0 0 1)". Kept from it: a numeric subscript on a rotation
// whose axis is neither written nor implied (gemmi 0.5.7 then writes
// outside its translation: "P 21'", "P 3 21") or not below the order of
// its rotation ("P 11"), and a change of basis in the long form, whose new
// lattice points it counts by the cube of a determinant.
bool could_be_hall(std::string_view text)
{
    if (text.empty() || text.size() > 64) return false;
    const std::size_t open = text.find('(');
    const std::string_view head = text.substr(0, open);
    if (open != std::string_view::npos) {
        const std::size_t close = text.find(')', open);
        if (close == std::string_view::npos || !trim(text.substr(close + 1)).empty()) return false;
        const std::string_view shift = text.substr(open + 1, close - open - 1);
        if (shift.find_first_not_of("0123456789- ") != std::string_view::npos) return false;
        for (std::size_t at = 0; (at = shift.find_first_of("0123456789", at)) != std::string_view::npos;) {
            const std::size_t end = std::min(shift.find_first_not_of("0123456789", at), shift.size());
            if (end - at > 2) return false;
            at = end;
        }
    }
    if (head.find_first_not_of("ABCFHIPRSTabcdnuvwxyz0123456789 _-'\"*") != std::string_view::npos) return false;
    const std::size_t lattice = head.find_first_not_of("- ");
    if (lattice == std::string_view::npos) return false;
    std::size_t at = lattice + 1;
    for (int position = 1;; ++position) {
        at = head.find_first_not_of(" _", at);
        if (at == std::string_view::npos) break;
        const std::size_t end = std::min(head.find_first_of(" _", at), head.size());
        const std::string_view symbol = head.substr(at, end - at);
        const std::size_t order = symbol.find_first_of("123456");
        const std::size_t subscript =
            order == std::string_view::npos ? order : symbol.find_first_of("12345", order + 1);
        if (subscript != std::string_view::npos) {
            const bool axis = symbol.find_first_of("xyz") != std::string_view::npos;
            const bool diagonal = symbol.find_first_of("'\"*") != std::string_view::npos;
            if (symbol[subscript] >= symbol[order] || (!axis && (position > 1 || diagonal))) return false;
        }
        at = end;
    }
    return true;
}

double wrapped(double t) { return t - std::floor(t); }

SymmetryOperator model_operator(const gemmi::Op& op)
{
    SymmetryOperator out;
    for (std::size_t r = 0; r < 3; ++r) {
        for (std::size_t c = 0; c < 3; ++c) out.rows[r][c] = static_cast<double>(op.rot[r][c]) / gemmi::Op::DEN;
        out.rows[r][3] = wrapped(static_cast<double>(op.tran[r]) / gemmi::Op::DEN);
    }
    return out;
}

// (-I, 0) in the group, up to a centring vector.
bool has_inversion_at_origin(const gemmi::GroupOps& ops)
{
    const gemmi::Op::Rot minus_identity = gemmi::Op::identity().negated_rot();
    for (const gemmi::Op& op : ops.sym_ops) {
        if (op.rot != minus_identity) continue;
        const gemmi::Op reduced = gemmi::Op(op).wrap();
        for (const gemmi::Op::Tran& centring : ops.cen_ops) {
            const gemmi::Op::Tran t{centring[0] % gemmi::Op::DEN, centring[1] % gemmi::Op::DEN,
                                    centring[2] % gemmi::Op::DEN};
            if (t == reduced.tran) return true;
        }
    }
    return false;
}

std::string compact(std::string text)
{
    text.erase(std::remove_if(text.begin(), text.end(), [](char c) { return c == ' '; }), text.end());
    return text;
}

} // namespace

bool positions_of_hall(StructureModel& model, std::string_view hall)
{
    const std::string text = trim(hall);
    const std::size_t letter = text.find_first_not_of("- ");
    if (!could_be_hall(text) || letter == std::string::npos) return false;
    gemmi::GroupOps ops;
    const gemmi::SpaceGroup* setting = nullptr;
    try {
        ops = gemmi::symops_from_hall(text.c_str());
        if (ops.order() > MaxOperators) return false;
        setting = gemmi::find_spacegroup_by_ops(ops);
    } catch (const std::exception&) {
        return false; // gemmi's parser refuses the text
    }

    Table<SymmetryOperator, MaxOperators> listed;
    const bool centric = has_inversion_at_origin(ops);
    for (const gemmi::Op& op : ops.sym_ops)
        if (!centric || op.det_rot() > 0) listed.push(model_operator(op));
    const int proper = listed.count();
    if (centric) {
        for (int i = 1; i <= proper; ++i) {
            SymmetryOperator inverted = listed[i];
            for (auto& row : inverted.rows) {
                for (std::size_t c = 0; c < 3; ++c) row[c] = 0.0 - row[c];
                row[3] = wrapped(-row[3]);
            }
            listed.push(inverted);
        }
    }
    const int primitive = listed.count();
    for (std::size_t v = 1; v < ops.cen_ops.size(); ++v) {
        for (int i = 1; i <= primitive; ++i) {
            SymmetryOperator shifted = listed[i];
            for (std::size_t r = 0; r < 3; ++r) {
                const double shift = static_cast<double>(ops.cen_ops[v][r]) / gemmi::Op::DEN;
                shifted.rows[r][3] = wrapped(shifted.rows[r][3] + shift);
            }
            listed.push(shifted);
        }
    }

    model.operators = listed;
    model.centro_flag = centric ? 1 : 0;
    model.listed_operator_count = centric ? proper : primitive;
    model.centring_count = static_cast<int>(ops.cen_ops.size()) - 1;
    model.lattice_letter = to_upper(text.substr(letter, 1));
    model.space_group = setting != nullptr ? compact(setting->xhm()) : text;
    rebuild_operator_texts(model);
    return true;
}

} // namespace kestro

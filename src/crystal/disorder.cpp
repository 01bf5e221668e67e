#include "crystal/disorder.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "model/labels.h"

namespace kestro {

namespace {

// The operation of the selected list, with its lattice translation, that
// carries an atom of the asymmetric unit with the same label and part onto
// the generated atom: the first that does, as a number per distinct
// operation. -1 when none does (a moved or edited atom): its own copy.
int symmetry_copy(const StructureModel& model, const AtomRecord& atom, std::vector<std::array<int, 4>>& copies)
{
    for (int k = 1; k <= model.selected_operators.count(); ++k) {
        const SymmetryOperator& op = model.selected_operators[k];
        for (const AtomRecord& source : model.asym) {
            if (!(source.label == atom.label) || source.part != atom.part) continue;
            std::array<int, 4> key{k, 0, 0, 0};
            bool integral = true;
            for (std::size_t r = 0; r < 3 && integral; ++r) {
                const auto& row = op.rows[r];
                const double image = row[0] * source.xyz[0] + row[1] * source.xyz[1] + row[2] * source.xyz[2] + row[3];
                const double shift = atom.xyz[r] - image;
                integral = std::abs(shift - std::round(shift)) < 1e-4;
                key[r + 1] = static_cast<int>(std::round(shift));
            }
            if (!integral) continue;
            const auto known = std::find(copies.begin(), copies.end(), key);
            if (known != copies.end()) return static_cast<int>(known - copies.begin());
            copies.push_back(key);
            return static_cast<int>(copies.size()) - 1;
        }
    }
    return -1;
}

} // namespace

DisorderBonds::DisorderBonds(const StructureModel& model)
{
    const int n = model.generated.count();
    for (const AtomRecord& atom : model.generated) active_ = active_ || atom.part != 0;
    if (!active_) return;
    part_.resize(static_cast<std::size_t>(n));
    assembly_.resize(static_cast<std::size_t>(n));
    copy_.assign(static_cast<std::size_t>(n), -1);
    std::vector<std::string> assemblies;
    std::vector<std::array<int, 4>> copies;
    for (int a = 0; a < n; ++a) {
        const AtomRecord& atom = model.generated[a + 1];
        const auto i = static_cast<std::size_t>(a);
        part_[i] = atom.part;
        const std::string text = symbol_key(atom.assembly.view());
        const auto known = std::find(assemblies.begin(), assemblies.end(), text);
        assembly_[i] = static_cast<int>(known - assemblies.begin());
        if (known == assemblies.end()) assemblies.push_back(text);
        if (atom.part < 0) copy_[i] = symmetry_copy(model, atom, copies);
    }
}

bool DisorderBonds::allowed(int a, int b) const
{
    if (!active_) return true;
    const auto i = static_cast<std::size_t>(a), j = static_cast<std::size_t>(b);
    if (part_[i] == 0 || part_[j] == 0 || assembly_[i] != assembly_[j]) return true;
    if (part_[i] != part_[j]) return false;
    // A negative part: only within one symmetry copy.
    return part_[i] > 0 || (copy_[i] >= 0 && copy_[i] == copy_[j]);
}

MajorParts::MajorParts(const StructureModel& model)
{
    for (const AtomRecord& atom : model.generated) {
        if (atom.part == 0) continue;
        int t = 0;
        while (t < count_ && !(tallies_[static_cast<std::size_t>(t)].part == atom.part &&
                               tallies_[static_cast<std::size_t>(t)].assembly == atom.assembly))
            ++t;
        if (t == count_) {
            if (count_ == Capacity) continue;
            tallies_[static_cast<std::size_t>(count_++)] = {atom.assembly, atom.part, 0, 0};
        }
        Tally& tally = tallies_[static_cast<std::size_t>(t)];
        tally.occupancy += atom.occupancy;
        ++tally.atoms;
    }
    const auto mean = [](const Tally& t) { return t.occupancy / t.atoms; };
    for (int t = 0; t < count_; ++t) {
        const Tally& mine = tallies_[static_cast<std::size_t>(t)];
        bool best = true;
        for (int u = 0; u < count_ && best; ++u) {
            const Tally& other = tallies_[static_cast<std::size_t>(u)];
            if (u == t || !(other.assembly == mine.assembly)) continue;
            best = mean(other) < mean(mine) || (mean(other) == mean(mine) && other.part > mine.part);
        }
        majors_[static_cast<std::size_t>(t)] = best;
    }
}

bool MajorParts::major(const AtomRecord& atom) const
{
    if (atom.part == 0) return true;
    for (int t = 0; t < count_; ++t) {
        const Tally& tally = tallies_[static_cast<std::size_t>(t)];
        if (tally.part == atom.part && tally.assembly == atom.assembly) return majors_[static_cast<std::size_t>(t)];
    }
    return true;
}

std::vector<int> disorder_parts(const StructureModel& model)
{
    std::vector<int> parts;
    for (const AtomRecord& atom : model.generated)
        if (atom.part != 0 && std::find(parts.begin(), parts.end(), atom.part) == parts.end()) parts.push_back(atom.part);
    std::sort(parts.begin(), parts.end());
    return parts;
}

bool part_drawn(const DrawingOptions& options, const MajorParts& majors, const AtomRecord& atom)
{
    if (atom.part == 0) return true;
    switch (options.parts_shown) {
    case PartsShown::All: return true;
    case PartsShown::Major: return majors.major(atom);
    case PartsShown::One: return atom.part == options.part_number;
    }
    return true;
}

bool atom_drawn(const StructureModel& model, const MajorParts& majors, int atom)
{
    const AtomRecord& record = model.generated[atom];
    return record.shown && part_drawn(model.drawing, majors, record);
}

bool bond_dashed(const StructureModel& model, const MajorParts& majors, const BondRecord& bond)
{
    return model.drawing.dash_minor && (!majors.major(model.generated[bond.atom1]) ||
                                        !majors.major(model.generated[bond.atom2]));
}

} // namespace kestro

#pragma once
// Disorder: alternative positions of a group of atoms, refined as parts
// (SHELX PART n, CIF disorder groups) of a disorder assembly. The bond rule
// of the refinement programs, and the major part of each assembly for the
// pictures that show only it.

#include <array>
#include <vector>

#include "model/structure_model.h"

namespace kestro {

// Whether two generated atoms may bond, as SHELXL and the CIF disorder
// groups have it: an atom of part 0 bonds to every part; two atoms of
// different non-zero parts of one assembly never bond (a SHELX file is one
// assembly); an atom of a negative part does not bond to the symmetry
// equivalents of its own part. Structures without parts bond as before.
class DisorderBonds {
public:
    explicit DisorderBonds(const StructureModel& model);
    bool active() const { return active_; }
    // Atoms numbered from 0.
    bool allowed(int a, int b) const;

private:
    bool active_ = false;
    std::vector<int> part_;
    std::vector<int> assembly_; // a number per assembly text
    std::vector<int> copy_;     // the symmetry copy of a negative-part atom
};

// Per assembly, the part of highest mean occupancy over its generated
// atoms, the lower part number on a tie. Part 0 is never minor.
class MajorParts {
public:
    explicit MajorParts(const StructureModel& model);
    bool major(const AtomRecord& atom) const;

private:
    static constexpr int Capacity = 64; // assemblies with their parts; more are all major
    struct Tally {
        FixedText<2> assembly;
        int part = 0;
        double occupancy = 0;
        int atoms = 0;
    };
    std::array<Tally, Capacity> tallies_{};
    int count_ = 0;
    std::array<bool, Capacity> majors_{};
};

// The non-zero parts of the generated atoms, in increasing order.
std::vector<int> disorder_parts(const StructureModel& model);

// An atom the picture draws: shown, and of a part the options show (every
// part, the major ones, or part N; part 0 always).
bool part_drawn(const DrawingOptions& options, const MajorParts& majors, const AtomRecord& atom);
bool atom_drawn(const StructureModel& model, const MajorParts& majors, int atom);
// A bond drawn dashed: "dash the minor parts" on, and an atom of it minor.
bool bond_dashed(const StructureModel& model, const MajorParts& majors, const BondRecord& bond);

} // namespace kestro

#pragma once
// The stages of the atom generation, exposed so that the tests can hold
// each one against a plain quadratic version.

#include <array>
#include <vector>

#include "crystal/spatial_hash.h"
#include "model/math3.h"
#include "model/structure_model.h"
#include "model/thermal.h"

namespace kestro::gen {

constexpr double SameSiteTolerance = 0.01; // Angstrom: closer positions are one site
constexpr int MaxKept = MaxGeneratedAtoms - 1;  // atoms an enclosure option may keep
constexpr int MaxCandidates = MaxGeneratedAtoms; // surviving (operator, atom) candidates
// Fragments and their atoms: a tenth of the asymmetric unit's capacity, a
// quarter of the generated atoms'.
constexpr int MaxAsymFragments = MaxAsymAtoms / 10, MaxAsymFragmentAtoms = MaxAsymAtoms / 10;
constexpr int MaxGeneratedFragments = MaxGeneratedAtoms / 4, MaxGeneratedFragmentAtoms = MaxGeneratedAtoms / 4;

// Each coordinate minus its integer part towards zero, plus 1 when negative:
// 0.99999 and 0.00001 stay apart, as the comparisons that use it require.
Vec3 reduce_into_cell(const Vec3& x);
// x' = R x + t.
Vec3 apply_operator(const SymmetryOperator& op, const Vec3& x);
Mat3 rotation_of(const SymmetryOperator& op);
// |m (a - b)|: the length in Angstrom of a fractional difference.
double cart_distance(const Mat3& m, const Vec3& a, const Vec3& b);
// The 0.01 Angstrom coincidence rule.
bool same_site(const Mat3& bg, const Vec3& a, const Vec3& b);

// The sites kept so far, for the coincidence test of each new position.
class SiteSet {
public:
    SiteSet(const Mat3& bg, int capacity);
    bool contains(const Vec3& x) const;
    void add(const Vec3& x);
    int count() const { return static_cast<int>(sites_.size()); }

private:
    Mat3 bg_;
    std::vector<Vec3> sites_;
    SpatialHash grid_;
};

// Bond limit for two atoms from the element pair: the first bond sort that
// names both symbols (labels spaced 'C1' -> 'C 1', first two characters,
// trimmed); negative when none does.
class LinkLimits {
public:
    LinkLimits(const StructureModel& model, const std::vector<AtomRecord>& atoms);
    double limit(int a, int b) const; // 0-based atom indices
    double longest() const { return longest_; } // of the limits that may link; negative when none

private:
    std::vector<int> element_; // per atom, index into the symbols seen
    int symbols_ = 0;
    std::vector<double> table_; // symbols_ x symbols_
    double longest_ = -1;
};

struct FragmentResult {
    std::vector<AtomRecord> atoms; // members of fragment 1, then 2, ...; operator_index = fragment number
    int fragments = 0;
    bool overflow = false; // a store was full: the atoms not placed are left out
};

// The asymmetric unit grouped into fragments through the full operator list
// and lattice shifts -1..1; anisotropic atoms moved by an operator carry R U R^T.
FragmentResult asym_fragments(const StructureModel& model, const std::vector<AtomRecord>& atoms);
// The generated atoms grouped through lattice shifts alone, each fragment then
// moved by the lattice shift (-2..2) that brings its centroid nearest the cell centre.
FragmentResult generated_fragments(const StructureModel& model, const std::vector<AtomRecord>& atoms);
// The lattice shift (p, q, r), each -2..2, bringing centroid nearest (0.5, 0.5, 0.5).
Vec3 centring_shift(const Mat3& bg, const Vec3& centroid);

// The enclosure stages on the generated list; false when more than MaxKept
// atoms would be kept (the first MaxKept are). fragments: the number of
// fragments the list is grouped in (operator_index), for the modes that
// move whole fragments.
bool apply_box(const StructureModel& model, std::vector<AtomRecord>& atoms, int fragments);
bool apply_sphere(const StructureModel& model, std::vector<AtomRecord>& atoms, int fragments);

} // namespace kestro::gen

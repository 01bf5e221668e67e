#pragma once
// What the box and sphere dialogs show and store: the atom list from which
// a centre is taken, the texts of their fields, and the reading of those
// texts back into the generation options of the model.

#include <array>
#include <string>
#include <vector>

#include "model/messages.h"
#include "model/structure_model.h"

namespace kestro {

// "Cut the fragments?": Yes (atom by atom), No (whole fragments) or, when
// the user somehow selected neither, None (the flag is left as it was).
enum class CutChoice { Yes, No, None };

// One line per atom of the asymmetric unit: label and a blank cut to 5
// characters, then x, y, z with width 8 and 4 decimals.
std::vector<std::string> enclosure_atom_lines(const StructureModel& model);

// The centre texts taken from asymmetric-unit atom `atom` (1-based): each
// coordinate as in its list line, trimmed, with one blank in front. Taken
// from the record rather than cut out of the line, so that a wide number
// cannot run into its neighbour. An atom number out of range gives false.
bool centre_from_atom(const StructureModel& model, int atom, std::array<std::string, 3>& centre);

} // namespace kestro

// Tfboite, "Definition of the box".
namespace kestro::boite {

struct BoxFields {
    std::array<std::string, 3> edges;  // "Edge // x", "Edge // y", "Edge // z"
    std::array<std::string, 3> centre; // "x/a", "y/b", "z/c"
    CutChoice cut = CutChoice::Yes;
};

// The fields as the dialog shows them on opening: edges width 7 / 3
// decimals, centre width 7 / 4 decimals; the cut choice preselected on "Yes".
BoxFields box_fields(const StructureModel& model);

// OK: the fields "Edge // x", "Edge // y", "Edge // z", "x/a", "y/b",
// "z/c" read in that order. Each field is read in turn: an empty one
// becomes "0" (in the fields too), its value is stored at once. A field
// that is not a number, or a negative edge, beeps and stops the reading:
// the result is its index in that order, the fields before it keep their
// new values. With every field valid the reduction flag is set from the
// cut choice and the result is -1.
int Lecture_limites(StructureModel& model, BoxFields& fields, Messages& messages);

// Cancel: the box option switched off.
void annule_box(StructureModel& model);

} // namespace kestro::boite

// Tfsphere, "Definition of the sphere of enclosure".
namespace kestro::sphere {

struct SphereFields {
    std::string radius;                // "Radius:"
    std::array<std::string, 3> centre; // "x/a", "y/b", "z/c"
    CutChoice cut = CutChoice::Yes;
};

// On opening: radius width 6 / 3 decimals, centre as in the box dialog.
SphereFields sphere_fields(const StructureModel& model);

// OK: "Radius:", "x/a", "y/b", "z/c" read as the box dialog reads its
// fields (a negative radius stops the reading too).
int read_sphere_fields(StructureModel& model, SphereFields& fields, Messages& messages);

// Cancel: the sphere option switched off.
void annule_sphere(StructureModel& model);

} // namespace kestro::sphere

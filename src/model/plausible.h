#pragma once
// Values no crystal has, refused by every reader and by the main window:
// a picture of a cell edge of 1e308 Angstrom or an atom at x = 1e20 is
// blank, and such numbers would be written back into the files.
//
// The bounds are far outside anything measured: cell edges run from about
// 2.3 Angstrom (beryllium) to about 1000 Angstrom (virus crystals);
// fractional coordinates stay within a few cells of the origin; |Uij| of a
// refined atom stays below 1 Angstrom^2 (B below 80).

#include <string>

#include "model/structure_model.h"

namespace kestro {

inline constexpr double MinCellEdge = 0.5;     // Angstrom
inline constexpr double MaxCellEdge = 10000.0; // Angstrom
// Angles strictly between 0 and 180 degrees, and a positive-definite metric
// (1 - cos^2 alpha - cos^2 beta - cos^2 gamma + 2 cos alpha cos beta cos gamma
// above MinVolumeFactor, i.e. a volume above 1e-3 a b c).
inline constexpr double MinVolumeFactor = 1e-6;
inline constexpr double MaxCoordinate = 1000.0;       // |x|, |y|, |z|, fractional
inline constexpr double MaxDisplacementU = 10.0;      // |Uij|, Angstrom^2 (asymmetric unit)
inline constexpr double MaxDisplacementBeta = 1.0e4;  // |betaij| of generated atoms

// What is wrong with one value of an atom: field 0 to 2 for x, y, z, 3 to 8
// for the six displacement values; text names the atom and the field.
struct ValueFault {
    int field = -1;
    std::string text;
    explicit operator bool() const { return field >= 0; }
};

enum class DisplacementKind { U, Beta };

// The first coordinate or displacement value of the atom that is not a
// finite number within the bounds; no fault (field -1) when all are.
ValueFault atom_value_fault(const AtomRecord& atom, DisplacementKind kind);

// The first cell edge or angle outside the bounds, as "a = 1e+308 is not
// between 0.5 and 10000 Angstrom"; empty when none is.
std::string cell_value_fault(const CrystalCell& cell);

} // namespace kestro

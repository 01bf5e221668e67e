#pragma once
// Geometry for a paper: the bonds of the asymmetric unit to its neighbours
// and the angles between two bonds of one atom, with standard uncertainties
// propagated from the coordinates' and the cell's, and the symmetry codes
// of refinement programs; written as the CIF loops _geom_bond and
// _geom_angle.

#include <array>
#include <string>
#include <vector>

#include "model/messages.h"
#include "model/structure_model.h"

namespace kestro {

// One atom of the neighbourhood: asymmetric-unit atom `atom` (1-based)
// moved by operator `op` (1-based, the file's list) and the lattice
// translation `shift`.
struct GeometrySite {
    int atom = 0;
    int op = 1;
    std::array<int, 3> shift{};
};

// "." for the atom itself, else "n_klm": the operator's number and 5 plus
// each translation ("2_655"; beyond 0..9 the digits run together).
std::string symmetry_code(const GeometrySite& site, int identity_op);

struct GeometryBond {
    GeometrySite from, to; // from is an atom of the asymmetric unit
    double distance = 0, su = 0;
};

struct GeometryAngle {
    GeometrySite first, centre, last; // centre is an atom of the asymmetric unit
    double angle = 0, su = 0;          // degrees
};

struct GeometryTables {
    int identity_op = 1; // the operator x, y, z of the file's list
    std::vector<GeometryBond> bonds;
    std::vector<GeometryAngle> angles;
    std::string fault; // why there are none, when there could be none
};

// Every bond the program's bond search (its bond sorts and disorder rule)
// finds between an atom of the asymmetric unit and any atom of the crystal,
// in the order of the asymmetric unit; a bond between two atoms of the
// asymmetric unit once, from the lower. The angles at each atom of the
// asymmetric unit between each pair of its bonds, in bond order.
GeometryTables geometry_tables(const StructureModel& model);

// A value with its s.u. by the IUCr rule: the s.u. to one digit, or two
// when they are 10 to 19, the value to the same place ("1.542(3)",
// "1.5420(12)"). Without an s.u. the value to `plain_decimals`.
std::string value_with_su(double value, double su, int plain_decimals);

// The CIF text of the two loops with a header saying how they were made.
std::string geometry_cif(const StructureModel& model, const GeometryTables& tables);

} // namespace kestro

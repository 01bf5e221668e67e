#pragma once
// The orientation dialog's logic: nine numbers naming crystal directions
// for the view axes X (horizontal), Y (vertical) and Z (towards the
// viewer), each row read as a direct-lattice direction [uvw] or as the
// normal of the plane (hkl), turned into the view frame.

#include <array>
#include <string>

#include "model/math3.h"
#include "model/messages.h"
#include "model/structure_model.h"

namespace kestro {

struct DrawingState;

enum class AxisSpace { Direct, Reciprocal };

struct OrientationFields {
    // texts[axis][column]: axis 0 X, 1 Y, 2 Z; columns "a or a*", "b or b*", "c or c*".
    std::array<std::array<std::string, 3>, 3> texts;
    std::array<AxisSpace, 3> space{AxisSpace::Direct, AxisSpace::Reciprocal, AxisSpace::Reciprocal};
};

// What every opening shows: "0" in the nine fields, X "Direct", Y and Z "Recipr.".
OrientationFields default_orientation_fields();

// The nine components, X a first. An empty field gives 0; a field that is
// not a number shows "Type error", is emptied and gives 0.
std::array<Vec3, 3> verifie(OrientationFields& fields, Messages& messages);

enum class OrientationOutcome {
    NothingGiven, // every axis zero: the dialog closes, nothing changes
    Refused,      // the frame could not be built (message shown): the dialog stays open
    Applied,      // the drawing is in the new orientation: the dialog closes
};

// The axes (a zero vector: not given) are written into D and O and the
// frame is built from them; on success the view frame, ellipsoids and view
// points follow. A refused frame keeps the previous view (D and O keep the
// axes written).
OrientationOutcome orient_by_axes(StructureModel& model, DrawingState& drawing, const std::array<Vec3, 3>& axes,
                                  const std::array<AxisSpace, 3>& space, Messages& messages);
// OK: the fields read, then orient_by_axes.
OrientationOutcome calcul_mat(StructureModel& model, DrawingState& drawing, OrientationFields& fields,
                              Messages& messages);

} // namespace kestro

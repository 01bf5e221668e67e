#pragma once
// The orientation dialog's fields: nine numbers naming crystal directions
// for the view axes X (horizontal), Y (vertical) and Z (towards the
// viewer), each row read as a direct-lattice direction [uvw] or as the
// normal of the plane (hkl), and handed to orient_by_axes.

#include <array>
#include <string>

#include "drawing/view.h"
#include "model/math3.h"
#include "model/messages.h"
#include "model/structure_model.h"

namespace kestro::limat {

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

// OK: the fields read, then orient_by_axes. NothingGiven and Applied close
// the dialog; Refused keeps it open.
OrientationOutcome calcul_mat(StructureModel& model, DrawingState& drawing, OrientationFields& fields,
                              Messages& messages);

} // namespace kestro::limat

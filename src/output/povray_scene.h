#pragma once
// The picture as a POV-Ray 3.7 scene: an orthographic camera on the view
// frame whose image of size x size pixels is the picture's pixel area, each
// drawn atom as its displacement ellipsoid, the drawn bonds as cylinders or
// cones tapered as the picture's bands, and the labels as flat text in front
// of the atoms, in the picture's colours.
//
// POV-Ray's frame is left-handed: a view point (X, Y, Z), Z towards the
// viewer, is written (X, Y, -Z), and the camera looks along +z.

#include <string>

#include "model/structure_model.h"

namespace kestro {

struct DrawingState;

// Sides of the picture a scene is written for, pixels.
constexpr int MinPovraySize = 16;
constexpr int MaxPovraySize = 8000;

// The scene of the size x size picture draw_scene draws from the same model
// and state; the same input gives the same bytes.
std::string povray_scene(const StructureModel& model, const DrawingState& state, int size);

} // namespace kestro

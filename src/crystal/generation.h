#pragma once
// Atom generation: the asymmetric unit through the selected operators, the
// coinciding positions removed, displacement parameters carried as betaij,
// then the enclosure option chosen in the "Generation options" list.

#include <array>

#include "crystal/operators.h"
#include "model/messages.h"
#include "model/structure_model.h"

namespace kestro {

// Replaces the generated atoms, initial_generated, the display labels and the
// bonds. The asymmetric unit is left as it was. False when something was
// refused or cut short (the message has been shown): a missing cell, more
// atoms than a store holds ("Too many generated atoms", what fitted is kept),
// or a failed bond search. An empty asymmetric unit gives an empty list.
bool generer(StructureModel& model, Messages& messages);

// Items of the "Generation options" list.
enum class GenerationItem { NoOption = 0, Box = 1, Sphere = 2, Fragments = 3, CellContents = 4 };
enum class GenerationDialog { None, Box, Sphere };


} // namespace kestro

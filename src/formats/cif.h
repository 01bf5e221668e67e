#pragma once
// The Crystallographic Information File (CIF) reader: the cell, the
// symmetry, the atom sites and their displacement parameters of the first
// data block that holds atom sites.

#include <string>
#include <string_view>

#include "model/messages.h"
#include "model/structure_model.h"

namespace kestro {

// Reads the text of a CIF (any line ends; `file` names it in the messages)
// into the model. On success the model is ready to be plotted: cell metric
// and crystal system, the operator list as the file gives it (taken as
// complete), only the first operator selected, the bond sorts built and
// data_changed set. False, with the reason shown through messages, when the
// text cannot be used. `summary` receives the text of "Cifout.txt" (CR LF
// lines), as far as the file was read, which the load command writes.
bool read_cif(std::string_view text, std::string_view file, StructureModel& model, Messages& messages,
              std::string& summary);

} // namespace kestro

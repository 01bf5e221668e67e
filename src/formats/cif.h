#pragma once
// The Crystallographic Information File (CIF) reader: the cell, the
// symmetry, the atom sites and their displacement parameters of the first
// data block that holds atom sites.

#include "model/messages.h"
#include "model/structure_model.h"

namespace kestro {

// Reads model.source_file_name (a CIF) into the model and writes the summary
// "Cifout.txt" into model.program_directory (when that is empty: the current
// directory). On success the model is ready to be plotted: cell metric and
// crystal system, the operator list as the file gives it (taken as
// complete), only the first operator selected, the bond sorts built and
// data_changed set. False, with the reason shown through messages, when the
// file cannot be used. IoError when the file cannot be opened or read.
bool read_cif(StructureModel& model, Messages& messages);

} // namespace kestro

#pragma once
// The input files of two powder-diffraction programs: Lazy Pulverix (.lzy,
// keyword lines TITLE, CELL, SPCGRP, ATOM) and PowderCell (.cel, CELL, atom
// lines, RGNR with the space-group number). Both give the cell, the space
// group and atoms with an isotropic B; the equivalent positions come from
// the space-group catalogues.

#include <string_view>

#include "model/messages.h"
#include "model/structure_model.h"

namespace kestro {

// Reads the text of a file (any line ends; `file` names it in the
// messages) into the reset model: cell and its metric,
// crystal system, title, symbol, full operator list with inversion and
// centring (only the identity selected), the asymmetric unit with
// U = B / (8 pi^2) as isotropic U11, and the bond sorts; data_changed is
// set. A symbol the catalogues do not know leaves the identity alone, with
// a message, and the load goes on. False, after its message: no cell line
// or one that cannot be read, an ATOM line that cannot be read ("Read
// error"), more than 1000 atoms.
bool read_lazy_pulverix(std::string_view text, std::string_view file, StructureModel& model, Messages& messages);

// As read_lazy_pulverix for a PowderCell file: the atom names give labels
// of their element part alone ('Si1' gives 'SI'), B = 0 counts as 1.0, and
// the symbol is that of the RGNR number in spa.grp (model.data_directory).
// False, after its message: no cell, more than 1000 atoms, no RGNR line or
// a number spa.grp does not hold (model.space_group then stays empty).
bool read_powdercell(std::string_view text, std::string_view file, StructureModel& model, Messages& messages);

} // namespace kestro

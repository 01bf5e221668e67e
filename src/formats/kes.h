#pragma once
// The program's own structure file (.kes): the whole plotted structure,
// from which a load restores the drawing without generating again.

#include <string>
#include <string_view>

#include "model/messages.h"
#include "model/structure_model.h"

namespace kestro {

// The header of the section after the 17 that files carry when an atom has
// a label longer than 4 characters, a type other than its label's element
// or a disorder part: whole labels, types, parts, assemblies, occupancies.
inline constexpr const char* AtomSitesHeader = "#Atom sites";

// The file text of the model: 17 sections (18 with the atom sites), CR LF
// line ends.
std::string ascii_structure_text(const StructureModel& model);
// Writes the model to model.current_file (temporary file, then rename).
// IoError on failure.
void write_ascii_structure(const StructureModel& model);
// Reads the text of a .kes file into the model. IoError for a truncated,
// non-numeric or oversized text; false (message shown) when the cell or the
// orientation matrix cannot be used.
bool read_ascii_structure(std::string_view text, StructureModel& model, Messages& messages);

// The load command: reads `name` (".kes" appended when it has no dot) into a
// reset copy of the model and replaces the model only when the whole file
// was read, so a bad file leaves the current structure as it was. Errors are
// shown through messages; false when nothing was loaded.
bool load_ascii_structure(StructureModel& model, const std::string& name, Messages& messages);

// The save command: nothing without generated atoms; ".kes" appended to a
// name without a dot; an existing file is replaced only after Yes to the
// overwrite question. Errors are shown through messages; true when written.
bool save_ascii_structure(StructureModel& model, const std::string& name, Messages& messages);

} // namespace kestro

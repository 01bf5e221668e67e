#pragma once
// SHELX instruction files (.ins .res .inp .shx) and listings (.lst .out):
// the two readers, the operator text of a SYMM line, and the instruction
// file writer with its save command.

#include <optional>
#include <string>
#include <string_view>

#include "model/messages.h"
#include "model/structure_model.h"

namespace kestro {

// One SYMM operator '-X,0.5+Y,0.5-Z' (translations also as fractions,
// '1/2+X', '-x+1/4'); nullopt when the text is not three components each
// holding one coordinate form and a readable translation.
std::optional<SymmetryOperator> parse_symm_operator(std::string_view text);

// Instruction files (.ins .res .inp .shx): the text of the file, with any
// line ends, and its name for the messages. False, with a message shown,
// when the text gives no structure.
bool read_shelx_instructions(std::string_view text, std::string_view file, StructureModel& model,
                             Messages& messages);

// Listings (.lst .out), as read_shelx_instructions.
bool read_shelx_listing(std::string_view text, std::string_view file, StructureModel& model, Messages& messages);

// The instruction-file text of the model ("\n" line ends). A wavelength of 0
// is written as 0.7106.
std::string shelx_instructions_text(const StructureModel& model);

// Writes the text to model.current_file atomically, after setting a zero
// wavelength to 0.7106. IoError on failure.
void write_shelx_instructions(StructureModel& model);

// The save command once the window has read its grids: nothing (false, no
// message) when the asymmetric unit is empty; ".shx" appended to a name
// without "."; an existing file is replaced only when the user answers Yes.
// Sets model.current_file; true when the file was written.
bool save_shelx_instructions(StructureModel& model, const std::string& name, Messages& messages);

} // namespace kestro

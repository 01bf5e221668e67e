#pragma once
// One entry for every structure file KESTRO reads: the format follows the
// extension, the model is reset as at every load, and the reader of the
// format fills it.

#include <string>
#include <string_view>

#include "model/messages.h"
#include "model/structure_model.h"

namespace kestro {

enum class StructureFormat {
    Unknown,
    Kestro,            // .kes .kst
    ShelxInstructions, // .ins .res .inp .shx
    ShelxListing,      // .lst .out
    Cif,               // .cif
    LazyPulverix,      // .lzy
    PowderCell,        // .cel
};

// The format of a file name, from its extension in any case.
StructureFormat format_of(std::string_view name);

// The extensions read, for messages and usage texts.
inline constexpr const char* ReadableExtensions = ".kes .ins .res .shx .inp .lst .out .cif .cel .lzy";
// The message for a file whose extension no reader takes.
std::string unreadable_file_message(const std::string& name);

// The bytes of a structure file with every line end (CR LF, CR) made "\n".
// IoError when it cannot be read.
std::string structure_file_text(const std::string& path);

// The reader of `format` on the text of a file (`file` names it in the
// messages), into a model reset for the load. `summary` receives what the
// reader reports beside the structure (a CIF's "Cifout.txt"), for the
// command that loads to write.
bool read_structure_text(StructureFormat format, std::string_view text, std::string_view file,
                         StructureModel& model, Messages& messages, std::string& summary);

// Reads `name` into the model with the reader of its format. A .kes file is
// read into a copy and replaces the model only when whole; the foreign
// formats reset the model first, so a file that cannot be read leaves it
// reset, with source_file_name emptied. Every failure is shown through
// messages; true when a structure was loaded.
bool load_structure_file(StructureModel& model, const std::string& name, Messages& messages);

// The reset that comes before a foreign file is read: no structure, no
// operators, no cell; the directories, the drawing colours and the pending
// start-up name stay.
void reset_for_load(StructureModel& model);

} // namespace kestro

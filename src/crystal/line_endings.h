#pragma once
// Input files written on another system (lines ending in LF or CR alone) are
// copied once to a CR LF file before a reader parses them.

#include <string>

namespace kestro {

// The name unchanged when a CR LF pair occurs within the first 300 bytes;
// otherwise the name of a repaired copy beside it (x.ins gives x.U.ins),
// whose lines end with CR LF and keep at most 250 characters each.
// IoError "File not found: NAME" when the file cannot be opened, and an
// IoError when the copy cannot be written.
std::string repair_line_endings(const std::string& path);

// Name of the repaired copy: ".U" inserted before the extension of the file
// name ("x.ins" gives "x.U.ins", "data" gives "data.U").
std::string repaired_name(const std::string& path);

} // namespace kestro

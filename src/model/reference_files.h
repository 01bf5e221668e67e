#pragma once
// Where the reference files (radii, space-group catalogues, help) are found,
// and the start-up check that they are there.

#include <optional>
#include <string>

namespace kestro {

// $KESTRO_DATA when set (env_value non-null and non-empty); else the current
// directory when it holds rayons.cst; else share/kestro beside the program's
// bin folder, then the configured install folder, when they hold it; else the
// data folder of the source tree.
std::string find_data_directory(const char* env_value, const std::string& current_directory);

// The message for the first missing file among Kestro.hlp, Kestro.cnt and
// rayons.cst in that order, or nothing when all three are there.
std::optional<std::string> missing_reference_file(const std::string& data_directory);

} // namespace kestro

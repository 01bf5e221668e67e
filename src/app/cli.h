#pragma once
// The command line: the same operations as the windows, without a window.

#include <optional>
#include <string>
#include <vector>

namespace kestro {

// Runs a subcommand (convert, --version, --help) and gives its exit status:
// 0 success, 1 the operation reported a failure, 2 a usage error. Nothing
// when the arguments ask for the program's windows.
std::optional<int> run_command_line(const std::vector<std::string>& arguments);

} // namespace kestro

#include "model/reference_files.h"

#include <array>
#include <filesystem>
#include <utility>

namespace kestro {

namespace {
bool holds(const std::string& directory, const char* file)
{
    std::error_code error;
    return std::filesystem::is_regular_file(std::filesystem::path(directory) / file, error);
}

// share/kestro beside the folder of the running program: an installed tree
// finds its data wherever it was installed or unpacked.
std::string installed_beside_program()
{
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return {};
    return (program.parent_path().parent_path() / "share" / "kestro").string();
}
} // namespace

std::string find_data_directory(const char* env_value, const std::string& current_directory)
{
    if (env_value && *env_value) return env_value;
    if (holds(current_directory, "rayons.cst")) return current_directory;
    if (const std::string beside = installed_beside_program(); !beside.empty() && holds(beside, "rayons.cst"))
        return beside;
    if (holds(KESTRO_INSTALL_DATA_DIR, "rayons.cst")) return KESTRO_INSTALL_DATA_DIR;
    return KESTRO_SOURCE_DATA_DIR;
}

std::optional<std::string> missing_reference_file(const std::string& data_directory)
{
    // The texts name the help files as users of earlier versions know them.
    static const std::array<std::pair<const char*, const char*>, 3> checks{{
        {"Kestro.hlp", "The file Kestr.hlp was not found!"},
        {"Kestro.cnt", "The file Kestr.cnt was not found!"},
        {"rayons.cst", "The file rayons.cst was not found!"},
    }};
    for (const auto& [file, message] : checks)
        if (!holds(data_directory, file)) return std::string(message);
    return std::nullopt;
}

} // namespace kestro

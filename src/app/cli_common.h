#pragma once
// What the subcommands of the command line share: messages on stderr, the
// usage text, the generation options and the generation itself.

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "model/math3.h"
#include "model/messages.h"
#include "model/structure_model.h"

namespace kestro::cli {

extern const char* const Usage;
// The usage lines and options of one command, for "kestro COMMAND --help".
std::string command_help(const std::string& command);

// Messages as lines on stderr; questions answered No unless --yes was given.
class StderrMessages : public Messages {
public:
    explicit StderrMessages(bool yes) : yes_(yes) {}
    void show(const std::string& text) override
    {
        std::cerr << text << '\n';
        ++shown;
    }
    Answer ask(const std::string& text) override
    {
        std::cerr << text << (yes_ ? " Yes\n" : " No (give --yes to answer Yes)\n");
        return yes_ ? Answer::Yes : Answer::No;
    }
    // A batch cannot tell a structure cut at a table's limit from a whole
    // one: the command fails instead of writing it.
    void limit_reached(const std::string& text) override
    {
        show(text);
        cut_at_limit = true;
    }
    int shown = 0;
    bool cut_at_limit = false;

private:
    bool yes_;
};

// A temporary folder of this process, removed with it: for the plane
// library's files, and for the reader summaries of a thumbnail.
class ScratchDirectory {
public:
    explicit ScratchDirectory(const char* pattern)
    {
        std::string path = (std::filesystem::temp_directory_path() / pattern).string();
        if (mkdtemp(path.data())) path_ = path;
    }
    ~ScratchDirectory()
    {
        std::error_code error;
        if (!path_.empty()) std::filesystem::remove_all(path_, error);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// Prints the text and the usage; gives the usage-error status 2.
int usage_error(const std::string& text);
// Where the reference files are read: $KESTRO_DATA, the current directory or the install.
std::string data_directory();
bool has_extension(const std::string& name, const char* extension);
// Reads the input file of a subcommand with the reader of its extension;
// false when it could not, or when the reader cut it at a table's limit.
// A reader's summary goes to reports_directory (empty: the current one).
bool load_input(StructureModel& model, const std::string& input, StderrMessages& messages,
                const std::string& reports_directory = {});

// What the command line asks of the generation; empty fields keep the file's.
struct GenerationRequest {
    bool any = false;
    std::string positions;
    std::string enclosure;
    std::optional<Vec3> box;
    std::optional<Vec3> centre;
    std::optional<double> radius;
    std::optional<bool> cut;
};

std::optional<Vec3> parse_triple(const std::string& text);
// Reads the generation option at args[i] (and its value): -1 when args[i]
// is not one, 0 when taken, 2 after a usage error.
int take_generation_option(const std::vector<std::string>& args, std::size_t& i, GenerationRequest& request);
// Generation and bond search as the request asks; 0, or the exit status
// (1 also when a table's limit cut the generation or the bonds short).
int generate(StructureModel& model, const GenerationRequest& request, StderrMessages& messages);
// Reads the input and plots it as the main window does (generated atoms as
// stored, else generated); 0 or the exit status. "No data" without atoms.
int load_and_plot(StructureModel& model, const std::string& input, const GenerationRequest& generation,
                  StderrMessages& messages, const std::string& reports_directory = {});

// An argument that is no option of the subcommand: the one input file. 0,
// or the usage-error status for an unknown option or a second file.
int take_input_argument(const std::string& argument, std::string& input);

int render(const std::vector<std::string>& args);
int report(const std::vector<std::string>& args);
int print(const std::vector<std::string>& args);
int metafile(const std::vector<std::string>& args);
int povray(const std::vector<std::string>& args);
int thumbnail(const std::vector<std::string>& args);

} // namespace kestro::cli

#include "app/cli.h"

#include <cstdio>
#include <iostream>
#include <memory>

#include "model/file_io.h"
#include "formats/kes.h"
#include "model/errors.h"
#include "model/messages.h"
#include "model/structure_model.h"
#include "model/text.h"

namespace kestro {

namespace {

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
    int shown = 0;

private:
    bool yes_;
};

const char* const Usage =
    "usage: kestro [FILE]                        the program; FILE is opened at start\n"
    "       kestro convert FILE.kes -o OUT.kes   read a structure file and write it again\n"
    "       kestro --version | --help\n"
    "options: --yes   answer Yes to questions (overwrite an existing file)\n";

int usage_error(const std::string& text)
{
    std::cerr << "kestro: " << text << "\n" << Usage;
    return 2;
}

bool has_extension(const std::string& name, const char* extension)
{
    const std::string lower = to_lower(name);
    const std::string ext = extension;
    return lower.size() >= ext.size() && lower.compare(lower.size() - ext.size(), ext.size(), ext) == 0;
}

int convert(const std::vector<std::string>& args)
{
    std::string input, output;
    bool yes = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "-o") {
            if (++i >= args.size()) return usage_error("-o needs a file name");
            output = args[i];
        } else if (args[i] == "--yes") {
            yes = true;
        } else if (!args[i].empty() && args[i][0] == '-') {
            return usage_error("unknown option " + args[i]);
        } else if (input.empty()) {
            input = args[i];
        } else {
            return usage_error("more than one input file");
        }
    }
    if (input.empty() || output.empty()) return usage_error("convert needs FILE and -o OUT");
    if (!has_extension(input, ".kes")) return usage_error("convert reads .kes structure files");
    if (!has_extension(output, ".kes")) return usage_error("convert writes .kes structure files");

    StderrMessages messages(yes);
    auto model = std::make_unique<StructureModel>();
    if (!load_ascii_structure(*model, input, messages)) return 1;
    if (file_exists(output) &&
        messages.ask("This file already exists. Do you want to continue?") != Answer::Yes)
        return 1;
    model->current_file = output;
    try {
        write_ascii_structure(*model);
    } catch (const IoError& error) {
        messages.show(error.what());
        return 1;
    }
    return 0;
}

} // namespace

std::optional<int> run_command_line(const std::vector<std::string>& arguments)
{
    if (arguments.size() < 2) return std::nullopt;
    const std::string& first = arguments[1];
    if (first == "--version") {
        std::cout << "kestro " << KESTRO_VERSION << '\n';
        return 0;
    }
    if (first == "--help" || first == "-h") {
        std::cout << Usage;
        return 0;
    }
    if (first == "convert")
        return convert(std::vector<std::string>(arguments.begin() + 1, arguments.end()));
    if (!first.empty() && first[0] == '-') return usage_error("unknown option " + first);
    if (arguments.size() > 2) return usage_error("give at most one structure file");
    return std::nullopt;
}

} // namespace kestro

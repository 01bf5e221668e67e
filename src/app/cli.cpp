#include "app/cli.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>

#include "crystal/generation.h"
#include "crystal/operators.h"
#include "crystal/sorts.h"
#include "model/file_io.h"
#include "model/numbers.h"
#include "formats/kes.h"
#include "model/errors.h"
#include "model/messages.h"
#include "model/reference_files.h"
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
    "options of convert:\n"
    "  --yes                  answer Yes to questions (overwrite an existing file)\n"
    "  with any of the following, atoms are generated and bonds searched again:\n"
    "  --positions all|first|LIST   equivalent positions to apply (LIST: 1,3,5; default: as stored)\n"
    "  --enclosure none|box|sphere|fragments|cell\n"
    "  --box SX,SY,SZ         box size in fractions of a, b, c\n"
    "  --centre X,Y,Z         centre of the box or sphere, fractional\n"
    "  --radius R             sphere radius in Angstrom\n"
    "  --cut yes|no           bring coordinates into the cell first (atoms cut out one by one)\n";

int usage_error(const std::string& text)
{
    std::cerr << "kestro: " << text << "\n" << Usage;
    return 2;
}

std::string data_directory()
{
    return find_data_directory(std::getenv("KESTRO_DATA"), std::filesystem::current_path().string());
}

bool has_extension(const std::string& name, const char* extension)
{
    const std::string lower = to_lower(name);
    const std::string ext = extension;
    return lower.size() >= ext.size() && lower.compare(lower.size() - ext.size(), ext.size(), ext) == 0;
}

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

std::optional<Vec3> parse_triple(const std::string& text)
{
    Vec3 v{};
    std::size_t start = 0;
    for (int k = 0; k < 3; ++k) {
        const std::size_t comma = text.find(',', start);
        if ((k < 2) != (comma != std::string::npos)) return std::nullopt;
        const auto value = parse_real(trim(text.substr(start, comma == std::string::npos ? comma : comma - start)));
        if (!value) return std::nullopt;
        v[static_cast<std::size_t>(k)] = *value;
        start = comma + 1;
    }
    return v;
}

// Marks the operators to apply: all, the first, or a comma-separated list of
// row numbers. False for a list naming rows the structure does not have.
bool select_positions(StructureModel& model, const std::string& which)
{
    const int n = model.operators.count();
    std::vector<int> rows;
    if (which == "all") {
        for (int i = 1; i <= n; ++i) rows.push_back(i);
    } else if (which == "first") {
        rows.push_back(1);
    } else {
        std::size_t start = 0;
        while (start <= which.size()) {
            const std::size_t comma = which.find(',', start);
            const auto row = parse_integer(trim(which.substr(start, comma == std::string::npos ? comma : comma - start)));
            if (!row || *row < 1 || *row > n) return false;
            rows.push_back(static_cast<int>(*row));
            if (comma == std::string::npos) break;
            start = comma + 1;
        }
    }
    if (n == 0) return false;
    for (int i = 1; i <= n; ++i) model.selected[i] = 0;
    for (int row : rows) model.selected[row] = 1;
    model.selected_operators.clear();
    for (int i = 1; i <= n; ++i)
        if (model.selected[i]) model.selected_operators.push(model.operators[i]);
    return true;
}

// Generation and bond search from the stored asymmetric unit and operators,
// with the option choice of the main window's list. Exit status as main.
int generate(StructureModel& model, const GenerationRequest& request, Messages& messages)
{
    if (!request.positions.empty() && !select_positions(model, request.positions))
        return usage_error("--positions names no equivalent position of the structure");
    if (!request.enclosure.empty()) {
        static const char* const items[] = {"none", "box", "sphere", "fragments", "cell"};
        int item = -1;
        for (int k = 0; k < 5; ++k)
            if (request.enclosure == items[k]) item = k;
        if (item < 0) return usage_error("--enclosure takes none, box, sphere, fragments or cell");
        OperatorGrid grid;
        fill_operator_grid(model, grid);
        on_click_checklistbox(model, grid, messages, item, true);
    }
    GenerationOptions& g = model.generation;
    if (request.box) g.box_size = *request.box;
    if (request.centre) g.centre = *request.centre;
    if (request.radius) g.sphere_radius = *request.radius;
    if (request.cut) {
        if (g.box || g.cell_contents) g.box_reduce = *request.cut ? 1 : 0;
        if (g.sphere) g.sphere_reduce = *request.cut ? 1 : 0;
    }
    if (model.asym.empty()) {
        messages.show("No coordinates!");
        return 1;
    }
    try {
        // A file with its own bond limits keeps them; otherwise the defaults.
        if (model.bond_sorts.empty() && !build_bond_sorts(model, messages)) return 1;
    } catch (const IoError& error) {
        messages.show(error.what());
        return 1;
    }
    generer(model, messages);
    if (model.generated.empty()) {
        messages.beep();
        messages.show("No data");
        return 1;
    }
    return 0;
}

int convert(const std::vector<std::string>& args)
{
    std::string input, output;
    bool yes = false;
    GenerationRequest request;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& option = args[i];
        const bool takes_value = option == "-o" || option == "--positions" || option == "--enclosure" ||
                                 option == "--box" || option == "--centre" || option == "--radius" ||
                                 option == "--cut";
        if (takes_value && i + 1 >= args.size()) return usage_error(option + " needs a value");
        const std::string value = takes_value ? args[++i] : std::string();
        if (option == "-o") {
            output = value;
        } else if (option == "--yes") {
            yes = true;
        } else if (option == "--positions") {
            request.positions = value;
        } else if (option == "--enclosure") {
            request.enclosure = value;
        } else if (option == "--box" || option == "--centre") {
            const auto triple = parse_triple(value);
            if (!triple) return usage_error(option + " takes three numbers: X,Y,Z");
            (option == "--box" ? request.box : request.centre) = triple;
        } else if (option == "--radius") {
            request.radius = parse_real(value);
            if (!request.radius || *request.radius <= 0) return usage_error("--radius takes a positive number");
        } else if (option == "--cut") {
            if (value != "yes" && value != "no") return usage_error("--cut takes yes or no");
            request.cut = value == "yes";
        } else if (!option.empty() && option[0] == '-') {
            return usage_error("unknown option " + option);
        } else if (input.empty()) {
            input = option;
        } else {
            return usage_error("more than one input file");
        }
        if (takes_value && option != "-o") request.any = true;
    }
    if (input.empty() || output.empty()) return usage_error("convert needs FILE and -o OUT");
    if (!has_extension(input, ".kes")) return usage_error("convert reads .kes structure files");
    if (!has_extension(output, ".kes")) return usage_error("convert writes .kes structure files");

    StderrMessages messages(yes);
    auto model = std::make_unique<StructureModel>();
    model->data_directory = data_directory();
    if (!load_ascii_structure(*model, input, messages)) return 1;
    if (request.any)
        if (const int status = generate(*model, request, messages); status != 0) return status;
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

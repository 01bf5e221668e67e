#include "app/cli.h"
#include "app/cli_common.h"
#include "app/picture_options.h"
#include "drawing/drawing_state.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>

#include "crystal/operators.h"
#include "formats/kes.h"
#include "formats/shelx.h"
#include "formats/structure_files.h"
#include "forms/mainmenu.h"
#include "model/errors.h"
#include "model/file_io.h"
#include "model/messages.h"
#include "model/numbers.h"
#include "model/reference_files.h"
#include "model/structure_model.h"
#include "model/text.h"

namespace kestro {

namespace cli {

const char* const Usage =
    "usage: kestro [FILE]                        the program; FILE is opened at start\n"
    "       kestro convert FILE -o OUT.kes|.shx  read a structure file and write it as KESTRO or SHELX file;\n"
    "                                            drawing options (no --zoom) are saved in a .kes, with the\n"
    "                                            labels of --labels auto placed on the picture of its view\n"
    "       kestro render FILE -o OUT.png|.jpg|.bmp|.svg|.pdf   draw the structure into a picture\n"
    "       kestro render FILE... -o DIR/ [--format png|jpg|bmp|svg|pdf] [--report OUT.jsonl] [--jobs N]\n"
    "                                            every FILE into DIR/<name>.<format> (default png),\n"
    "                                            a JSON line per FILE; exit 1 when any failed; N files\n"
    "                                            at a time (default: one per processor)\n"
    "       kestro print FILE -o PAGE.pdf [--stereo] [--dpi N] [--pen 1..5] [--page a4|letter]\n"
    "                                            the printed page\n"
    "       kestro metafile FILE -o OUT.emf|.svg|.pdf [--width W] [--pen N]   the metafile picture\n"
    "       kestro povray FILE -o OUT.pov [--size N]   the picture as a POV-Ray scene\n"
    "       kestro thumbnail FILE OUT.png [SIZE]   a SIZE x SIZE picture (default 256) in the best view,\n"
    "                                            for file managers\n"
    "       kestro report distances|coordinates FILE [-o OUT|-]        the report of a window\n"
    "       kestro report environment FILE --atom N --radius R [-o OUT|-]\n"
    "       kestro report plane FILE --plane N,N,N[,...] [--plane ...] [-o OUT|-]\n"
    "       kestro report geometry FILE [-o OUT|-]   bonds and angles with s.u. as CIF loops\n"
    "       kestro --version | --help\n"
    "FILE is a KESTRO (.kes), SHELX (.ins .res .shx .inp .lst .out), CIF (.cif),\n"
    "PowderCell (.cel) or Lazy Pulverix (.lzy) file, told apart by its extension.\n"
    "Reports go to distances.txt, coordonnees.txt, envir.txt, geometry.cif or plan.sor (with\n"
    "plan.dat) in the current directory unless -o names a file (- for standard output); atom\n"
    "numbers are those of the coordinates list. For report environment, --radius is the\n"
    "radius around the atom (a sphere keeps the radius of the file).\n"
    "options of convert, render and report:\n"
    "  --yes                  answer Yes to questions (overwrite an existing file)\n"
    "  with any of the following, atoms are generated and bonds searched again:\n"
    "  --positions all|first|LIST   equivalent positions to apply (LIST: 1,3,5; default: as stored)\n"
    "  --enclosure none|box|sphere|fragments|cell\n"
    "  --box SX,SY,SZ         box size in fractions of a, b, c\n"
    "  --centre X,Y,Z         centre of the box or sphere, fractional\n"
    "  --radius R             sphere radius in Angstrom\n"
    "  --cut yes|no           bring coordinates into the cell first (atoms cut out one by one)\n"
    "options of render, print, metafile and povray (a .kes file is drawn as stored unless atoms\n"
    "are generated):\n"
    "  --size PIXELS          side of the square picture of render (16 .. 10000) and povray\n"
    "                         (16 .. 8000), default 686\n"
    "  --zoom P               the drawing window's Scale slider, -4 .. 10 (default 0)\n"
    "  --probability P        ellipsoid probability in percent: 10, 20, ... 100 (default 50)\n"
    "  --labels none|centre|off|auto|auto-noh   no labels, every atom labelled at its centre, the stored\n"
    "                         moved labels, or labels placed beside every atom (auto-noh: but hydrogen)\n"
    "  --cell                 draw the cell edges\n"
    "  --gradation            shade the atoms from their colour to white\n"
    "  --planes | --axes      principal sections, or sections and semi-axes\n"
    "  --bw                   black and white\n"
    "  --view best|[U,V,W]|(H,K,L)   best view, view along a lattice direction or a plane normal\n"
    "  --orient X=[U,V,W]|X=(H,K,L)  an axis of the picture (X right, Y up, Z to the viewer) along a\n"
    "                                lattice direction or a plane normal; repeat for a second axis\n"
    "  --mask EL[,EL...]             hide the atoms of these elements\n"
    "  --parts all|major|N           the disorder parts drawn besides part 0: every one (default), the\n"
    "                                major part of each assembly, or part N\n"
    "  --dash-minor                  bonds of the parts other than the major ones drawn hollow and dashed\n"
    "  --hydrogen-radius R           hydrogen atoms drawn as spheres of R Angstrom (0.01 .. 2)\n";

std::string command_help(const std::string& command)
{
    // Cut from the one usage text: the command's own lines (with the lines
    // that continue them), the lines on files and reports, and each block
    // of options whose heading names the command.
    std::vector<std::string> lines;
    for (std::string_view rest = Usage; !rest.empty();) {
        const std::size_t end = rest.find('\n');
        lines.emplace_back(rest.substr(0, end));
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    }
    const std::string own = "kestro " + command + " ";
    std::string text;
    std::size_t i = 0;
    bool taking = false;
    for (; i < lines.size() && (i == 0 || lines[i].starts_with("   ")); ++i) {
        const bool continuation = lines[i].starts_with(std::string(44, ' '));
        if (!continuation) taking = contains(lines[i], own);
        if (taking) text += (text.empty() ? "usage: " + trim(lines[i]) : lines[i]) + "\n";
    }
    // The lines on files for every command; from "Reports go to" on, for report.
    for (bool reports = false; i < lines.size() && !lines[i].starts_with("options of"); ++i) {
        reports = reports || lines[i].starts_with("Reports go to");
        if (!reports || command == "report") text += lines[i] + "\n";
    }
    for (; i < lines.size(); ++i) {
        if (lines[i].starts_with("options of")) {
            const std::string heading = lines[i].substr(0, lines[i].find(':'));
            taking = contains(heading, " " + command + ",") || contains(heading, " " + command + " ") ||
                     heading.ends_with(" " + command);
        }
        if (taking) text += lines[i] + "\n";
    }
    return text;
}

int usage_error(const std::string& text)
{
    std::cerr << "kestro: " << text << "\n" << Usage;
    return 2;
}

std::string data_directory()
{
    return find_data_directory(std::getenv("KESTRO_DATA"), std::filesystem::current_path().string());
}

bool load_input(StructureModel& model, const std::string& input, StderrMessages& messages,
                const std::string& reports_directory)
{
    model.data_directory = data_directory();
    // Reports of the readers (Cifout.txt) go where the windows put them.
    model.program_directory = reports_directory.empty() ? std::filesystem::current_path().string() : reports_directory;
    return load_structure_file(model, input, messages) && !messages.cut_at_limit;
}

int load_and_plot(StructureModel& model, const std::string& input, const GenerationRequest& generation,
                  StderrMessages& messages, const std::string& reports_directory)
{
    if (!load_input(model, input, messages, reports_directory)) return 1;
    // Generated atoms are drawn as stored; a file without them is plotted
    // as the main window plots it, from its selected positions.
    if (generation.any || model.generated.empty())
        if (const int status = generate(model, generation, messages); status != 0) return status;
    if (model.generated.empty()) {
        messages.show("No data");
        return 1;
    }
    return 0;
}

bool has_extension(const std::string& name, const char* extension)
{
    const std::string lower = to_lower(name);
    const std::string ext = extension;
    return lower.size() >= ext.size() && lower.compare(lower.size() - ext.size(), ext.size(), ext) == 0;
}

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

namespace {

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

} // namespace

// Generation and bond search from the stored asymmetric unit and operators,
// with the option choice of the main window's list. Exit status as main.
int generate(StructureModel& model, const GenerationRequest& request, StderrMessages& messages)
{
    if (!request.positions.empty() && !select_positions(model, request.positions))
        return usage_error("--positions names no equivalent position of the structure");
    if (!request.enclosure.empty()) {
        static const char* const items[] = {"none", "box", "sphere", "fragments", "cell"};
        int item = -1;
        for (int k = 0; k < 5; ++k)
            if (request.enclosure == items[k]) item = k;
        if (item < 0) return usage_error("--enclosure takes none, box, sphere, fragments or cell");
        mainmenu::OperatorGrid grid;
        mainmenu::fill_operator_grid(model, grid);
        mainmenu::on_click_checklistbox(model, grid, messages, item, true);
    }
    GenerationOptions& g = model.generation;
    if (request.box) g.box_size = *request.box;
    if (request.centre) g.centre = *request.centre;
    if (request.radius) g.sphere_radius = *request.radius;
    if (request.cut) {
        if (g.box || g.cell_contents) g.box_reduce = *request.cut ? 1 : 0;
        if (g.sphere) g.sphere_reduce = *request.cut ? 1 : 0;
    }
    // A file with its own bond limits keeps them; otherwise the defaults.
    return mainmenu::plot_generation(model, false, messages) && !messages.cut_at_limit ? 0 : 1;
}

int take_generation_option(const std::vector<std::string>& args, std::size_t& i, GenerationRequest& request)
{
    const std::string& option = args[i];
    const bool known = option == "--positions" || option == "--enclosure" || option == "--box" ||
                       option == "--centre" || option == "--radius" || option == "--cut";
    if (!known) return -1;
    if (i + 1 >= args.size()) return usage_error(option + " needs a value");
    const std::string& value = args[++i];
    request.any = true;
    if (option == "--positions") {
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
    } else {
        if (value != "yes" && value != "no") return usage_error("--cut takes yes or no");
        request.cut = value == "yes";
    }
    return 0;
}

int take_input_argument(const std::string& argument, std::string& input)
{
    if (!argument.empty() && argument[0] == '-') return usage_error("unknown option " + argument);
    if (!input.empty()) return usage_error("more than one input file");
    input = argument;
    return 0;
}

namespace {

int convert(const std::vector<std::string>& args)
{
    std::string input, output;
    bool yes = false;
    GenerationRequest request;
    DrawingRequest drawing;
    bool drawing_given = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (const int status = take_generation_option(args, i, request); status >= 0) {
            if (status != 0) return status;
        } else if (const int taken = take_drawing_option(args, i, drawing); taken >= 0) {
            if (taken != 0) return taken;
            drawing_given = true;
        } else if (option == "-o") {
            if (i + 1 >= args.size()) return usage_error("-o needs a value");
            output = args[++i];
        } else if (option == "--yes") {
            yes = true;
        } else if (const int status = take_input_argument(option, input); status != 0) {
            return status;
        }
    }
    if (input.empty() || output.empty()) return usage_error("convert needs FILE and -o OUT");
    if (format_of(input) == StructureFormat::Unknown)
        return usage_error(std::string("convert reads structure files: ") + ReadableExtensions);
    const bool shelx = has_extension(output, ".shx");
    if (!shelx && !has_extension(output, ".kes")) return usage_error("convert writes .kes or .shx structure files");
    if (drawing_given && shelx) return usage_error("drawing options are saved in .kes files only");
    // The window opens a .kes at the scale that fits the picture.
    if (drawing.zoom != 0) return usage_error("convert saves the view as the drawing window opens it: no --zoom");
    if (drawing.hydrogen_radius != 0) return usage_error("a .kes file does not keep --hydrogen-radius");
    if (const int status = check_drawing_request(drawing); status != 0) return status;

    StderrMessages messages(yes);
    auto model = std::make_unique<StructureModel>();
    if (drawing_given) {
        // Drawn as the drawing window opens it: plotted, at its view and size.
        if (const int status = load_and_plot(*model, input, request, messages); status != 0) return status;
        const auto application = picture_application();
        auto state = std::make_unique<DrawingState>();
        if (const int status = apply_drawing_request(*model, *state, drawing, DefaultPictureSide, messages); status != 0)
            return status;
    } else {
        if (!load_input(*model, input, messages)) return 1;
        if (request.any)
            if (const int status = generate(*model, request, messages); status != 0) return status;
    }
    if (!confirm_overwrite(output, messages)) return 1;
    model->current_file = output;
    try {
        if (shelx) write_shelx_instructions(*model);
        else write_ascii_structure(*model);
    } catch (const IoError& error) {
        messages.show(error.what());
        return 1;
    }
    return 0;
}

} // namespace

} // namespace cli

std::optional<int> run_command_line(const std::vector<std::string>& arguments)
{
    if (arguments.size() < 2) return std::nullopt;
    const std::string& first = arguments[1];
    if (first == "--version") {
        std::cout << "kestro " << KESTRO_VERSION << '\n';
        return 0;
    }
    if (first == "--help" || first == "-h") {
        std::cout << cli::Usage;
        return 0;
    }
    using Subcommand = int (*)(const std::vector<std::string>&);
    static const std::pair<const char*, Subcommand> subcommands[] = {
        {"convert", cli::convert}, {"render", cli::render},     {"print", cli::print},
        {"metafile", cli::metafile}, {"povray", cli::povray}, {"report", cli::report},
        {"thumbnail", cli::thumbnail}};
    for (const auto& [name, run] : subcommands) {
        if (first != name) continue;
        for (std::size_t i = 2; i < arguments.size(); ++i)
            if (arguments[i] == "--help" || arguments[i] == "-h") {
                std::cout << cli::command_help(name);
                return 0;
            }
        // A fault of the program stops the command with its text; the
        // saves write through temporary files, so no output is left half made.
        try {
            return run(std::vector<std::string>(arguments.begin() + 1, arguments.end()));
        } catch (const std::exception& error) {
            std::cerr << "kestro " << name << ": " << error.what() << '\n';
            return 1;
        }
    }
    if (!first.empty() && first[0] == '-') return cli::usage_error("unknown option " + first);
    if (arguments.size() > 2) return cli::usage_error("give at most one structure file");
    return std::nullopt;
}

} // namespace kestro

// "kestro print", "kestro metafile" and "kestro povray": the printed page as
// a PDF file, the metafile picture and the POV-Ray scene of the picture,
// from the same core code as the printing and metafile windows and the
// drawing window's export.

#include <functional>
#include <memory>

#include "app/picture_options.h"
#include "drawing/drawing_state.h"
#include "formats/structure_files.h"
#include "model/errors.h"
#include "model/file_io.h"
#include "model/numbers.h"
#include "model/text.h"
#include "output/metafile_picture.h"
#include "output/povray_scene.h"
#include "output/printed_page.h"
#include "platform/image_export.h"
#include "platform/page_printer.h"

namespace kestro::cli {

namespace {

struct OutputArguments {
    std::string input, output;
    bool yes = false;
    GenerationRequest generation;
    DrawingRequest drawing;
    int size = DefaultPictureSide; // side of the picture the drawing is prepared on
};

// The arguments common to both: -1 when args[i] is none of them, 0 when
// taken, else the usage-error status.
int take_common(const std::vector<std::string>& args, std::size_t& i, OutputArguments& out)
{
    if (const int status = take_generation_option(args, i, out.generation); status >= 0) return status;
    if (const int status = take_drawing_option(args, i, out.drawing); status >= 0) return status;
    const std::string& option = args[i];
    if (option == "-o") {
        if (i + 1 >= args.size()) return usage_error("-o needs a value");
        out.output = args[++i];
        return 0;
    }
    if (option == "--yes") {
        out.yes = true;
        return 0;
    }
    return -1;
}

// Every argument of a command: the common ones, the command's own through
// `own` (-1 when args[i] is none of them, 0 when taken, else the usage-error
// status) and the input file. 0 or the usage-error status.
int read_arguments(const std::vector<std::string>& args, OutputArguments& out,
                   const std::function<int(std::size_t& i)>& own)
{
    for (std::size_t i = 1; i < args.size(); ++i) {
        int status = take_common(args, i, out);
        if (status < 0) status = own(i);
        if (status < 0) status = take_input_argument(args[i], out.input);
        if (status != 0) return status;
    }
    return 0;
}

std::optional<int> whole_number(const std::vector<std::string>& args, std::size_t& i, long long low, long long high)
{
    if (i + 1 >= args.size()) return std::nullopt;
    const auto value = parse_integer(args[++i]);
    if (!value || *value < low || *value > high) return std::nullopt;
    return static_cast<int>(*value);
}

// Loads, plots and orients the structure as the drawing window shows it.
int prepare(StructureModel& model, DrawingState& state, const OutputArguments& arguments, StderrMessages& messages)
{
    if (const int status = load_and_plot(model, arguments.input, arguments.generation, messages); status != 0)
        return status;
    if (!confirm_overwrite(arguments.output, messages)) return 1;
    return apply_drawing_request(model, state, arguments.drawing, arguments.size, messages);
}

// A usage error unless the input is a structure file.
int check_input(const OutputArguments& arguments, const std::string& command, const char* output_name)
{
    if (arguments.input.empty() || arguments.output.empty())
        return usage_error(command + " needs FILE and -o " + output_name);
    if (format_of(arguments.input) == StructureFormat::Unknown)
        return usage_error(command + " reads structure files: " + ReadableExtensions);
    return 0;
}

// Checks the drawing options, prepares the structure and writes the
// output; a write that fails gives its message and status 1.
int prepare_and_write(const OutputArguments& arguments,
                      const std::function<void(StructureModel&, const DrawingState&, Messages&)>& write)
{
    if (const int status = check_drawing_request(arguments.drawing); status != 0) return status;
    StderrMessages messages(arguments.yes);
    const auto application = picture_application();
    auto model = std::make_unique<StructureModel>();
    auto state = std::make_unique<DrawingState>();
    if (const int status = prepare(*model, *state, arguments, messages); status != 0) return status;
    try {
        write(*model, *state, messages);
    } catch (const IoError& error) {
        messages.show(error.what());
        return 1;
    }
    return 0;
}

} // namespace

int print(const std::vector<std::string>& args)
{
    OutputArguments arguments;
    PrintSettings settings;
    PaperSize paper = PaperSize::A4;
    const int read = read_arguments(args, arguments, [&](std::size_t& i) {
        const std::string& option = args[i];
        if (option == "--stereo") {
            settings.stereo = true;
        } else if (option == "--dpi") {
            const auto dpi = whole_number(args, i, 10, 10000);
            if (!dpi) return usage_error("--dpi takes a resolution from 10 to 10000 dots per inch");
            settings.pixels_per_cm = *dpi / CentimetresPerInch;
        } else if (option == "--pen") {
            const auto pen = whole_number(args, i, 1, 5);
            if (!pen) return usage_error("--pen takes a width from 1 to 5");
            settings.pen_width = *pen;
        } else if (option == "--page") {
            if (i + 1 >= args.size() || (args[i + 1] != "a4" && args[i + 1] != "letter"))
                return usage_error("--page takes a4 or letter");
            paper = args[++i] == "a4" ? PaperSize::A4 : PaperSize::Letter;
        } else {
            return -1;
        }
        return 0;
    });
    if (read != 0) return read;
    if (const int status = check_input(arguments, "print", "PAGE.pdf"); status != 0) return status;
    if (!has_extension(arguments.output, ".pdf")) return usage_error("print writes the page as a .pdf file");
    settings.slider_position = arguments.drawing.zoom;
    return prepare_and_write(arguments, [&](StructureModel& model, const DrawingState&, Messages& messages) {
        print_page_to_pdf(arguments.output, paper, settings.pixels_per_cm * CentimetresPerInch,
                          [&](Canvas& canvas) { draw_printed_page(model, settings, canvas, messages); });
    });
}

int metafile(const std::vector<std::string>& args)
{
    OutputArguments arguments;
    MetafileSettings settings;
    const int read = read_arguments(args, arguments, [&](std::size_t& i) {
        const std::string& option = args[i];
        if (option == "--width") {
            const auto width = whole_number(args, i, MinMetafileWidth, MaxMetafileWidth);
            if (!width)
                return usage_error("--width takes " + std::to_string(MinMetafileWidth) + " to " +
                                   std::to_string(MaxMetafileWidth) + " pixels");
            settings.width = *width;
        } else if (option == "--pen") {
            const auto pen = whole_number(args, i, 1, MaxMetafilePen);
            if (!pen) return usage_error("--pen takes a width from 1 to " + std::to_string(MaxMetafilePen));
            settings.pen_width = *pen;
        } else {
            return -1;
        }
        return 0;
    });
    if (read != 0) return read;
    if (const int status = check_input(arguments, "metafile", "OUT"); status != 0) return status;
    MetafileFormat format = MetafileFormat::Emf;
    if (has_extension(arguments.output, ".svg")) format = MetafileFormat::Svg;
    else if (has_extension(arguments.output, ".pdf")) format = MetafileFormat::Pdf;
    else if (!has_extension(arguments.output, ".emf")) return usage_error("metafile writes .emf, .svg or .pdf files");
    settings.slider_position = arguments.drawing.zoom;
    return prepare_and_write(arguments, [&](StructureModel& model, const DrawingState&, Messages& messages) {
        write_metafile(arguments.output, format, settings.width,
                       [&](Canvas& canvas) { draw_metafile_picture(model, settings, canvas, messages); });
    });
}

int povray(const std::vector<std::string>& args)
{
    OutputArguments arguments;
    const int read = read_arguments(args, arguments, [&](std::size_t& i) {
        if (args[i] != "--size") return -1;
        const auto size = whole_number(args, i, MinPovraySize, MaxPovraySize);
        if (!size)
            return usage_error("--size takes a number of pixels from " + std::to_string(MinPovraySize) + " to " +
                               std::to_string(MaxPovraySize));
        arguments.size = *size;
        return 0;
    });
    if (read != 0) return read;
    if (const int status = check_input(arguments, "povray", "OUT.pov"); status != 0) return status;
    if (!has_extension(arguments.output, ".pov")) return usage_error("povray writes .pov scene files");
    return prepare_and_write(arguments, [&](StructureModel& model, const DrawingState& state, Messages&) {
        write_file_atomically(arguments.output, povray_scene(model, state, arguments.size));
    });
}

} // namespace kestro::cli

// "kestro render": a structure drawn into a picture file with the rules of
// the drawing window, without a window (the offscreen platform is chosen
// when there is no display).

#include <memory>

#include "app/picture_options.h"
#include "drawing/drawing_state.h"
#include "drawing/scene.h"
#include "formats/structure_files.h"
#include "model/errors.h"
#include "model/file_io.h"
#include "model/numbers.h"
#include "platform/image_export.h"

namespace kestro::cli {

int render(const std::vector<std::string>& args)
{
    std::string input, output;
    bool yes = false;
    int size = DefaultPictureSide;
    GenerationRequest generation;
    DrawingRequest drawing;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (const int status = take_generation_option(args, i, generation); status >= 0) {
            if (status != 0) return status;
            continue;
        }
        if (const int status = take_drawing_option(args, i, drawing); status >= 0) {
            if (status != 0) return status;
            continue;
        }
        const bool takes_value = option == "-o" || option == "--size";
        if (takes_value && i + 1 >= args.size()) return usage_error(option + " needs a value");
        const std::string value = takes_value ? args[++i] : std::string();
        if (option == "-o") {
            output = value;
        } else if (option == "--size") {
            const auto pixels = parse_integer(value);
            if (!pixels || *pixels < 16 || *pixels > 10000) return usage_error("--size takes a number of pixels from 16 to 10000");
            size = static_cast<int>(*pixels);
        } else if (option == "--yes") {
            yes = true;
        } else if (const int status = take_input_argument(option, input); status != 0) {
            return status;
        }
    }
    if (input.empty() || output.empty()) return usage_error("render needs FILE and -o OUT");
    if (format_of(input) == StructureFormat::Unknown)
        return usage_error(std::string("render reads structure files: ") + ReadableExtensions);
    const auto format = picture_format_for(output);
    if (!format) return usage_error("render writes .png, .jpg, .bmp, .svg or .pdf pictures");
    if (const int status = check_drawing_request(drawing); status != 0) return status;

    StderrMessages messages(yes);
    auto model = std::make_unique<StructureModel>();
    if (const int status = load_and_plot(*model, input, generation, messages); status != 0) return status;
    if (!confirm_overwrite(output, messages)) return 1;

    const auto application = picture_application();
    auto state = std::make_unique<DrawingState>();
    if (const int status = apply_drawing_request(*model, *state, drawing, size, messages); status != 0) return status;
    const auto draw = [&](Canvas& canvas) { draw_scene(*model, *state, canvas); };
    try {
        if (*format == PictureFormat::Svg || *format == PictureFormat::Pdf)
            write_vector_picture(output, *format, size, size, draw);
        else
            write_raster_picture(render_picture(size, size, draw), output, *format);
    } catch (const IoError& error) {
        messages.show(error.what());
        return 1;
    }
    return 0;
}

} // namespace kestro::cli

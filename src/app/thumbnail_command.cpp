// "kestro thumbnail": the picture a file manager shows for a structure file,
// run by the freedesktop thumbnailer entry as "kestro thumbnail %i %o %s".
// Best view, no labels, white background; nothing is asked, nothing is
// written but the picture (a reader's summary goes to a scratch folder),
// and a file that cannot be read gives exit status 1 and no picture.

#include <memory>

#include "app/picture_options.h"
#include "drawing/drawing_state.h"
#include "drawing/scene.h"
#include "formats/structure_files.h"
#include "model/errors.h"
#include "model/numbers.h"
#include "platform/image_export.h"

namespace kestro::cli {

int thumbnail(const std::vector<std::string>& args)
{
    std::vector<std::string> given;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i].size() > 1 && args[i][0] == '-') return usage_error("thumbnail takes no option " + args[i]);
        given.push_back(args[i]);
    }
    if (given.size() < 2 || given.size() > 3) return usage_error("thumbnail needs FILE OUT.png [SIZE]");
    const std::string& input = given[0];
    const std::string& output = given[1];
    int size = 256;
    if (given.size() == 3) {
        const auto pixels = parse_integer(given[2]);
        if (!pixels || *pixels < 16 || *pixels > 2048) return usage_error("the thumbnail SIZE is 16 to 2048 pixels");
        size = static_cast<int>(*pixels);
    }
    if (format_of(input) == StructureFormat::Unknown)
        return usage_error(std::string("thumbnail reads structure files: ") + ReadableExtensions);

    StderrMessages messages(true);
    const ScratchDirectory scratch("kestro-thumbnail-XXXXXX");
    auto model = std::make_unique<StructureModel>();
    if (const int status = load_and_plot(*model, input, {}, messages, scratch.path()); status != 0) return status;

    const auto application = picture_application();
    auto state = std::make_unique<DrawingState>();
    DrawingRequest drawing;
    drawing.view = "best";
    drawing.labels = "none";
    model->drawing.background_colour = colour::White;
    if (const int status = apply_drawing_request(*model, *state, drawing, size, messages); status != 0) return status;
    try {
        write_raster_picture(render_picture(size, size, [&](Canvas& canvas) { draw_scene(*model, *state, canvas); }),
                             output, PictureFormat::Png);
    } catch (const IoError& error) {
        messages.show(error.what());
        return 1;
    }
    return 0;
}

} // namespace kestro::cli

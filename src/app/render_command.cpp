// "kestro render": a structure drawn into a picture file with the rules of
// the drawing window, without a window (the offscreen platform is chosen
// when there is no display); with several inputs or a folder as output,
// every input into the folder in one process.

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

#include "app/picture_options.h"
#include "drawing/drawing_state.h"
#include "drawing/scene.h"
#include "formats/structure_files.h"
#include "model/errors.h"
#include "model/file_io.h"
#include "model/numbers.h"
#include "model/text.h"
#include "platform/image_export.h"

namespace kestro::cli {

namespace {

struct RenderRequest {
    std::vector<std::string> inputs;
    std::string output, format = "png", report;
    bool yes = false;
    int size = DefaultPictureSide;
    GenerationRequest generation;
    DrawingRequest drawing;
};

// Messages of one file of a batch, kept for its report line.
class BatchMessages : public StderrMessages {
public:
    explicit BatchMessages(bool yes) : StderrMessages(yes), yes_(yes) {}
    void show(const std::string& text) override
    {
        if (!said.empty()) said += "; ";
        said += text;
        ++shown;
    }
    Answer ask(const std::string& text) override
    {
        if (!yes_) show(text + " No (give --yes to answer Yes)");
        return yes_ ? Answer::Yes : Answer::No;
    }
    std::string said;

private:
    bool yes_;
};

// One structure into one picture: 0, or the exit status with the reason
// said through the messages.
int render_one(const RenderRequest& request, const std::string& input, const std::string& output,
               PictureFormat format, StderrMessages& messages, int& atoms, int& bonds)
{
    auto model = std::make_unique<StructureModel>();
    if (const int status = load_and_plot(*model, input, request.generation, messages); status != 0) return status;
    atoms = model->generated.count();
    bonds = model->bonds.count();
    if (!confirm_overwrite(output, messages)) return 1;
    auto state = std::make_unique<DrawingState>();
    if (const int status = apply_drawing_request(*model, *state, request.drawing, request.size, messages); status != 0)
        return status;
    const int size = request.size;
    const auto draw = [&](Canvas& canvas) { draw_scene(*model, *state, canvas); };
    try {
        if (format == PictureFormat::Svg || format == PictureFormat::Pdf)
            write_vector_picture(output, format, size, size, draw);
        else
            write_raster_picture(render_picture(size, size, draw), output, format);
    } catch (const IoError& error) {
        messages.show(error.what());
        return 1;
    }
    return 0;
}

std::string json_text(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                out += escaped;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

// Files done, failed and the time left, on one terminal line.
void show_progress(std::size_t done, std::size_t total, int failed, double elapsed)
{
    constexpr int Width = 30;
    const int filled = total ? static_cast<int>(Width * done / total) : Width;
    const double left = done ? elapsed / done * (total - done) : 0;
    std::fprintf(stderr, "\r[%s%s] %zu/%zu done, %d failed, %d:%02d left ", std::string(filled, '#').c_str(),
                 std::string(Width - filled, ' ').c_str(), done, total, failed, static_cast<int>(left) / 60,
                 static_cast<int>(left) % 60);
    if (done == total) std::fputc('\n', stderr);
    std::fflush(stderr);
}

// Every input into DIR/<base name>.<format>; never stops at a failure.
int render_batch(const RenderRequest& request)
{
    const auto format = picture_format_for("x." + request.format);
    if (!format) return usage_error("--format takes png, jpg, bmp, svg or pdf");
    std::error_code error;
    std::filesystem::create_directories(request.output, error);
    if (!std::filesystem::is_directory(request.output)) {
        std::fprintf(stderr, "kestro render: cannot make the folder %s\n", request.output.c_str());
        return 1;
    }
    std::ofstream report;
    if (!request.report.empty()) {
        report.open(request.report, std::ios::binary | std::ios::trunc);
        if (!report) {
            std::fprintf(stderr, "kestro render: cannot write %s\n", request.report.c_str());
            return 1;
        }
    }
    const bool terminal = isatty(STDERR_FILENO) == 1;
    const auto start = std::chrono::steady_clock::now();
    int failed = 0;
    std::map<std::string, std::string> made; // picture -> its input, of this batch
    for (std::size_t k = 0; k < request.inputs.size(); ++k) {
        const std::string& input = request.inputs[k];
        const std::string base = std::filesystem::path(input).stem().string();
        const std::string output = (std::filesystem::path(request.output) / (base + "." + request.format)).string();
        BatchMessages messages(request.yes);
        int atoms = 0, bonds = 0;
        const auto begun = std::chrono::steady_clock::now();
        int status = 1;
        const auto earlier = made.find(output);
        if (earlier != made.end())
            messages.show(output + " is the picture of " + earlier->second + " of this batch already: not replaced");
        else if (format_of(input) == StructureFormat::Unknown)
            messages.show(unreadable_file_message(input));
        else
            try {
                status = render_one(request, input, output, *format, messages, atoms, bonds);
            } catch (const std::exception& fault) {
                messages.show(fault.what());
            }
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begun).count();
        if (status == 0) made.emplace(output, input);
        if (status != 0) {
            ++failed;
            // On a terminal the line goes above the progress bar.
            std::fprintf(stderr, "%s%s: %s\n", terminal ? "\r\033[K" : "", input.c_str(), messages.said.c_str());
        }
        if (report) {
            char time[32];
            std::snprintf(time, sizeof time, "%.3f", seconds);
            report << "{\"file\": " << json_text(input) << ", \"status\": " << (status == 0 ? "\"ok\"" : "\"failed\"")
                   << ", \"message\": " << json_text(messages.said) << ", \"atoms\": " << atoms
                   << ", \"bonds\": " << bonds << ", \"seconds\": " << time << "}\n";
            report.flush();
        }
        if (terminal)
            show_progress(k + 1, request.inputs.size(), failed,
                          std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return failed == 0 ? 0 : 1;
}

} // namespace

int render(const std::vector<std::string>& args)
{
    RenderRequest request;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (const int status = take_generation_option(args, i, request.generation); status >= 0) {
            if (status != 0) return status;
            continue;
        }
        if (const int status = take_drawing_option(args, i, request.drawing); status >= 0) {
            if (status != 0) return status;
            continue;
        }
        const bool takes_value = option == "-o" || option == "--size" || option == "--format" || option == "--report";
        if (takes_value && i + 1 >= args.size()) return usage_error(option + " needs a value");
        const std::string value = takes_value ? args[++i] : std::string();
        if (option == "-o") {
            request.output = value;
        } else if (option == "--size") {
            const auto pixels = parse_integer(value);
            if (!pixels || *pixels < 16 || *pixels > 10000) return usage_error("--size takes a number of pixels from 16 to 10000");
            request.size = static_cast<int>(*pixels);
        } else if (option == "--format") {
            request.format = to_lower(value);
        } else if (option == "--report") {
            request.report = value;
        } else if (option == "--yes") {
            request.yes = true;
        } else if (!option.empty() && option[0] == '-') {
            return usage_error("unknown option " + option);
        } else {
            request.inputs.push_back(option);
        }
    }
    if (request.inputs.empty() || request.output.empty()) return usage_error("render needs FILE and -o OUT");
    if (const int status = check_drawing_request(request.drawing); status != 0) return status;
    // Several inputs, or a folder as output: the batch.
    const bool folder = request.output.ends_with('/') || std::filesystem::is_directory(request.output);
    if (request.inputs.size() > 1 && !folder) return usage_error("render of several files needs -o DIR/");
    if (folder) {
        const auto application = picture_application();
        return render_batch(request);
    }
    if (!request.report.empty()) return usage_error("--report goes with -o DIR/");
    const std::string& input = request.inputs.front();
    if (format_of(input) == StructureFormat::Unknown)
        return usage_error(std::string("render reads structure files: ") + ReadableExtensions);
    const auto format = picture_format_for(request.output);
    if (!format) return usage_error("render writes .png, .jpg, .bmp, .svg or .pdf pictures");

    StderrMessages messages(request.yes);
    const auto application = picture_application();
    int atoms = 0, bonds = 0;
    return render_one(request, input, request.output, *format, messages, atoms, bonds);
}

} // namespace kestro::cli

// "kestro render": a structure drawn into a picture file with the rules of
// the drawing window, without a window (the offscreen platform is chosen
// when there is no display); with several inputs or a folder as output,
// every input into the folder in one process.

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <algorithm>
#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

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
    int jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
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
               PictureFormat format, StderrMessages& messages, int& atoms, int& bonds,
               const std::string& reports_directory = {})
{
    auto model = std::make_unique<StructureModel>();
    if (const int status = load_and_plot(*model, input, request.generation, messages, reports_directory); status != 0)
        return status;
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

// What became of one input of a batch.
struct BatchResult {
    std::string output;
    int status = 1;
    std::string said;
    int atoms = 0, bonds = 0;
    double seconds = 0;
    bool done = false;
    bool deferred = false; // its picture's name was taken by an earlier input
};

// Every input into DIR/<base name>.<format>, on request.jobs threads;
// never stops at a failure. Reports and failure lines come in the order of
// the inputs. An input whose picture name an earlier one has is drawn
// after the rest, when it is known whether the earlier one made its
// picture (then it is not replaced).
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
    const std::size_t total = request.inputs.size();
    std::vector<BatchResult> results(total);
    std::map<std::string, std::string> made; // picture -> its input, of this batch
    {
        std::map<std::string, std::size_t> first;
        for (std::size_t k = 0; k < total; ++k) {
            const std::string base = std::filesystem::path(request.inputs[k]).stem().string();
            results[k].output = (std::filesystem::path(request.output) / (base + "." + request.format)).string();
            results[k].deferred = !first.emplace(results[k].output, k).second;
        }
    }
    const bool terminal = isatty(STDERR_FILENO) == 1;
    const auto start = std::chrono::steady_clock::now();
    std::mutex lock;
    std::size_t written = 0, done = 0;
    int failed = 0;

    // Under the lock: the result of input k is in; write what is complete.
    const auto finish = [&](std::size_t k) {
        BatchResult& result = results[k];
        result.done = true;
        ++done;
        if (result.status == 0) made.emplace(result.output, request.inputs[k]);
        else ++failed;
        for (; written < total && results[written].done; ++written) {
            const BatchResult& r = results[written];
            const std::string& input = request.inputs[written];
            // On a terminal the line goes above the progress bar.
            if (r.status != 0)
                std::fprintf(stderr, "%s%s: %s\n", terminal ? "\r\033[K" : "", input.c_str(), r.said.c_str());
            if (report) {
                char time[32];
                std::snprintf(time, sizeof time, "%.3f", r.seconds);
                report << "{\"file\": " << json_text(input) << ", \"status\": " << (r.status == 0 ? "\"ok\"" : "\"failed\"")
                       << ", \"message\": " << json_text(r.said) << ", \"atoms\": " << r.atoms
                       << ", \"bonds\": " << r.bonds << ", \"seconds\": " << time << "}\n";
                report.flush();
            }
        }
        if (terminal)
            show_progress(done, total, failed,
                          std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    };
    // Outside the lock: draws input k, its reader's summary into `scratch`.
    const auto run = [&](std::size_t k, const std::string& scratch, bool taken) {
        const std::string& input = request.inputs[k];
        BatchResult& result = results[k];
        BatchMessages messages(request.yes);
        const auto begun = std::chrono::steady_clock::now();
        if (taken)
            messages.show(result.output + " is the picture of " + made.at(result.output) + " of this batch already: not replaced");
        else if (format_of(input) == StructureFormat::Unknown)
            messages.show(unreadable_file_message(input));
        else
            try {
                result.status = render_one(request, input, result.output, *format, messages, result.atoms,
                                           result.bonds, scratch);
            } catch (const std::exception& fault) {
                messages.show(fault.what());
            }
        result.said = std::move(messages.said);
        result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begun).count();
    };

    std::atomic<std::size_t> next = 0;
    const auto worker = [&] {
        const ScratchDirectory scratch("kestro-render-XXXXXX");
        for (std::size_t k; (k = next++) < total;) {
            if (results[k].deferred) continue;
            run(k, scratch.path(), false);
            const std::lock_guard<std::mutex> hold(lock);
            finish(k);
        }
    };
    const std::size_t jobs = std::min<std::size_t>(static_cast<std::size_t>(request.jobs), total);
    {
        std::vector<std::jthread> threads;
        for (std::size_t j = 1; j < jobs; ++j) threads.emplace_back(worker);
        worker();
    }
    const ScratchDirectory scratch("kestro-render-XXXXXX");
    for (std::size_t k = 0; k < total; ++k) {
        if (!results[k].deferred) continue;
        run(k, scratch.path(), made.contains(results[k].output));
        finish(k);
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
        const bool takes_value = option == "-o" || option == "--size" || option == "--format" || option == "--report" ||
                                 option == "--jobs";
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
        } else if (option == "--jobs") {
            const auto jobs = parse_integer(value);
            if (!jobs || *jobs < 1 || *jobs > 64) return usage_error("--jobs takes a number of threads from 1 to 64");
            request.jobs = static_cast<int>(*jobs);
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
    if (std::find(args.begin(), args.end(), "--jobs") != args.end()) return usage_error("--jobs goes with -o DIR/");
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

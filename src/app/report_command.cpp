// "kestro report": the texts of the report windows without a window, from
// the same core routines, byte for byte.

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>

#include "analysis/geometry.h"
#include "analysis/mean_plane.h"
#include "analysis/reports.h"
#include "app/cli_common.h"
#include "drawing/drawing_state.h"
#include "formats/structure_files.h"
#include "model/errors.h"
#include "model/file_io.h"
#include "model/numbers.h"
#include "model/text.h"

namespace kestro::cli {

namespace {

enum class ReportKind { Distances, Coordinates, Environment, Plane, Geometry };

struct ReportRequest {
    ReportKind kind = ReportKind::Distances;
    std::string input, output;
    bool yes = false;
    std::optional<long long> atom;
    std::optional<double> radius;
    std::vector<std::vector<int>> planes;
};

// "N,N,N,...": whole numbers.
std::optional<std::vector<int>> parse_atom_list(const std::string& text)
{
    std::vector<int> atoms;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find(',', start), text.size());
        const auto n = parse_integer(text.substr(start, end - start));
        if (!n || *n < -1000000 || *n > 1000000) return std::nullopt;
        atoms.push_back(static_cast<int>(*n));
        start = end + 1;
    }
    return atoms;
}

int check_atom(long long atom, int count, const char* what)
{
    if (atom >= 1 && atom <= count) return 0;
    return usage_error(std::string(what) + " " + std::to_string(atom) + " is not an atom: the structure has " +
                       std::to_string(count) + " generated atoms");
}

int write_output(const ReportRequest& request, const std::string& default_name, const std::string& text,
                 Messages& messages)
{
    if (request.output == "-") {
        std::cout << text << std::flush;
        return 0;
    }
    if (request.output.empty()) {
        // Where the window writes it, replaced as the window replaces it.
        try {
            write_report("", default_name, text);
        } catch (const IoError& error) {
            messages.show(error.what());
            return 1;
        }
        return 0;
    }
    return write_after_confirmation(request.output, messages,
                                    [&] { write_file_atomically(request.output, text); })
               ? 0
               : 1;
}

} // namespace

int report(const std::vector<std::string>& args)
{
    if (args.size() < 2) return usage_error("report needs distances, coordinates, environment, plane or geometry");
    ReportRequest request;
    const std::string& kind = args[1];
    if (kind == "distances") request.kind = ReportKind::Distances;
    else if (kind == "coordinates") request.kind = ReportKind::Coordinates;
    else if (kind == "environment") request.kind = ReportKind::Environment;
    else if (kind == "plane") request.kind = ReportKind::Plane;
    else if (kind == "geometry") request.kind = ReportKind::Geometry;
    else return usage_error("report takes distances, coordinates, environment, plane or geometry, not " + kind);

    GenerationRequest generation;
    for (std::size_t i = 2; i < args.size(); ++i) {
        const std::string& option = args[i];
        // Around an atom, --radius is the environment's, not the sphere's.
        const bool environment_radius = request.kind == ReportKind::Environment && option == "--radius";
        if (const int status = environment_radius ? -1 : take_generation_option(args, i, generation); status >= 0) {
            if (status != 0) return status;
            continue;
        }
        const bool takes_value = option == "-o" || option == "--atom" || option == "--radius" || option == "--plane";
        if (takes_value && i + 1 >= args.size()) return usage_error(option + " needs a value");
        const std::string value = takes_value ? args[++i] : std::string();
        if (option == "-o") {
            request.output = value;
        } else if (option == "--atom") {
            request.atom = parse_integer(value);
            if (!request.atom) return usage_error("--atom takes an atom number of the coordinates list");
        } else if (option == "--radius") {
            request.radius = parse_real(value);
            if (!request.radius || *request.radius <= 0) return usage_error("--radius takes a distance in Angstrom");
        } else if (option == "--plane") {
            const auto atoms = parse_atom_list(value);
            if (!atoms) return usage_error("--plane takes atom numbers: N,N,N[,...]");
            if (atoms->size() < 3) return usage_error("a plane needs at least 3 atoms: --plane " + value);
            if (atoms->size() > static_cast<std::size_t>(MaxPlaneAtoms))
                return usage_error("a plane takes at most " + std::to_string(MaxPlaneAtoms) + " atoms");
            request.planes.push_back(*atoms);
        } else if (option == "--yes") {
            request.yes = true;
        } else if (const int status = take_input_argument(option, request.input); status != 0) {
            return status;
        }
    }
    if (request.input.empty()) return usage_error("report needs a structure FILE");
    if (format_of(request.input) == StructureFormat::Unknown)
        return usage_error(std::string("report reads structure files: ") + ReadableExtensions);
    if (request.kind == ReportKind::Environment && (!request.atom || !request.radius))
        return usage_error("report environment needs --atom N and --radius R");
    if (request.kind == ReportKind::Plane && request.planes.empty())
        return usage_error("report plane needs --plane N,N,N[,...]");
    if (request.kind == ReportKind::Plane && request.planes.size() > static_cast<std::size_t>(PlaneRows))
        return usage_error("report plane takes at most " + std::to_string(PlaneRows) + " planes");

    StderrMessages messages(request.yes);
    auto model = std::make_unique<StructureModel>();
    if (const int status = load_and_plot(*model, request.input, generation, messages); status != 0) return status;
    const int count = model->generated.count();

    switch (request.kind) {
    case ReportKind::Distances:
        return write_output(request, DistancesReportName, distances_report(*model), messages);
    case ReportKind::Coordinates:
        return write_output(request, CoordinatesReportName, coordinates_report(*model), messages);
    case ReportKind::Geometry: {
        const GeometryTables tables = geometry_tables(*model);
        if (!tables.fault.empty()) messages.show(tables.fault);
        return write_output(request, GeometryReportName, geometry_cif(*model, tables), messages);
    }
    case ReportKind::Environment: {
        if (const int status = check_atom(*request.atom, count, "--atom"); status != 0) return status;
        // View points as the drawing window computes them on activation.
        auto drawing = std::make_unique<DrawingState>();
        prepare_drawing(*model, *drawing, DefaultPictureSide, DefaultPictureSide, messages);
        const Environment env =
            environment_report(*model, drawing->view, static_cast<int>(*request.atom), *request.radius);
        if (env.truncated)
            messages.show("More than " + std::to_string(MaxNeighbours) + " atoms lie within the radius: the first " +
                          std::to_string(MaxNeighbours) + " are listed");
        return write_output(request, EnvironmentReportName, env.report, messages);
    }
    case ReportKind::Plane: {
        for (const std::vector<int>& plane : request.planes)
            for (int atom : plane)
                if (const int status = check_atom(atom, count, "--plane atom"); status != 0) return status;
        // Without -o the files lie where the window leaves them; with -o
        // the exchange happens in a folder of this process alone.
        ScratchDirectory scratch("kestro-plan-XXXXXX");
        const std::string directory = request.output.empty() ? std::string(".") : scratch.path();
        if (directory.empty()) {
            messages.show("No temporary folder for the plane library");
            return 1;
        }
        std::string plan_sor;
        try {
            plan_sor = run_plane_library(*model, request.planes, directory);
        } catch (const IoError& error) {
            messages.show(error.what());
            return 1;
        }
        const std::vector<std::string> lines = split_lines(plan_sor);
        const bool normal = !lines.empty() && contains(lines.back(), "Normal end");
        if (!request.output.empty())
            if (const int status = write_output(request, PlaneOutputName, plan_sor, messages); status != 0)
                return status;
        if (!normal) {
            messages.show(lines.empty() ? std::string("The plane library wrote nothing") : trim(lines.back()));
            return 1;
        }
        return 0;
    }
    }
    return 0;
}

} // namespace kestro::cli

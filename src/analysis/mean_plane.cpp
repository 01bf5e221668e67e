#include "analysis/mean_plane.h"

#include "analysis/reports.h"
#include "model/errors.h"
#include "model/fields.h"
#include "model/file_io.h"
#include "model/text.h"
#include "plan.h"

namespace kestro {

std::string plan_dat_text(const StructureModel& model, const std::vector<std::vector<int>>& planes)
{
    std::vector<std::string> lines;
    lines.push_back(model.source_file_name.empty() ? std::string() : base_name(model.source_file_name));
    const CrystalCell& c = model.cell;
    lines.push_back(fmt_real(c.a, 10, 3) + fmt_real(c.b, 10, 3) + fmt_real(c.c, 10, 3) + fmt_real(c.alpha, 10, 3) +
                    fmt_real(c.beta, 10, 3) + fmt_real(c.gamma, 10, 3));
    lines.push_back(fmt_int(model.generated.count(), 4));
    for (const AtomRecord& atom : model.generated)
        lines.push_back(fill_to(atom.label.view(), 5) + fmt_real(atom.xyz[0], 10, 4) + fmt_real(atom.xyz[1], 10, 4) +
                        fmt_real(atom.xyz[2], 10, 4));
    for (const std::vector<int>& plane : planes) {
        std::string line = fmt_int(static_cast<long long>(plane.size()), 5);
        for (int atom : plane) line += fmt_int(atom, 5);
        lines.push_back(line);
    }
    return crlf_text(lines);
}

std::string run_plane_library(const StructureModel& model, const std::vector<std::vector<int>>& planes,
                              const std::string& directory)
{
    write_report(directory, PlaneInputName, plan_dat_text(model, planes));
    const std::string output = report_path(directory, PlaneOutputName);
    if (plan_compute(directory.c_str()) == 3) throw IoError("Cannot write " + output);
    return read_file_bytes(output);
}

std::vector<std::string> plane_results(const std::string& plan_sor, int plane)
{
    const std::string heading = "Plane Nb." + fmt_int(plane, 2) + ":";
    std::vector<std::string> results;
    bool found = false;
    for (const std::string& line : split_lines(plan_sor)) {
        found = found || contains(line, heading);
        if (found) results.push_back(line);
    }
    return results;
}

} // namespace kestro

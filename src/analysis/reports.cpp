#include "analysis/reports.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "crystal/oemath.h"
#include "drawing/view.h"
#include "model/errors.h"
#include "model/fields.h"
#include "model/file_io.h"
#include "model/labels.h"
#include "model/text.h"

namespace kestro {

namespace {

// The label column of a report: 4 characters, or as wide as the longest
// label of the structure, so that longer labels stay whole and aligned.
template <class LabelOf>
std::size_t label_width(const StructureModel& model, LabelOf label_of)
{
    std::size_t width = ShortLabelWidth;
    for (int i = 1; i <= model.generated.count(); ++i) width = std::max(width, label_of(i).size());
    return width;
}

std::size_t report_label_width(const StructureModel& model)
{
    return label_width(model, [&](int i) { return report_label(model.generated[i]); });
}

std::string xyz(const Vec3& v, int width, int decimals)
{
    return fmt_real(v[0], width, decimals) + fmt_real(v[1], width, decimals) + fmt_real(v[2], width, decimals);
}

// The first line of a report: the foreign file last read, without its directory.
void add_source_line(const StructureModel& model, std::vector<std::string>& lines)
{
    if (!model.source_file_name.empty()) lines.push_back(base_name(model.source_file_name));
}

Vec3 view_point(const ViewPoints& view, int i) { return {view.X[i], view.Y[i], view.Z[i]}; }

double distance(const Vec3& a, const Vec3& b)
{
    const double dx = a[0] - b[0], dy = a[1] - b[1], dz = a[2] - b[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

} // namespace

std::string crlf_text(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

std::string report_path(const std::string& directory, const std::string& name)
{
    return (std::filesystem::path(directory.empty() ? std::string(".") : directory) / name).string();
}

void write_report(const std::string& directory, const std::string& name, const std::string& text)
{
    write_file_atomically(report_path(directory, name), text);
}

bool delete_report(const std::string& directory, const std::string& name)
{
    std::error_code error;
    std::filesystem::remove(report_path(directory, name), error);
    return !error;
}

std::string report_label(const AtomRecord& atom) { return display_label_of(atom); }

std::array<std::string, 9> distances_row(const StructureModel& model, int row)
{
    if (row == 0) return {"Atom", "X", "Y", "Z", "Atom", "X", "Y", "Z", "Distance"};
    if (row < 0 || row > model.bonds.count()) return {};
    const BondRecord& bond = model.bonds[row];
    const int atoms = model.generated.count();
    if (bond.atom1 < 1 || bond.atom1 > atoms || bond.atom2 < 1 || bond.atom2 > atoms) return {};
    const AtomRecord& a = model.generated[bond.atom1];
    const AtomRecord& b = model.generated[bond.atom2];
    return {report_label(a), fmt_real(a.xyz[0], 7, 4), fmt_real(a.xyz[1], 7, 4), fmt_real(a.xyz[2], 7, 4),
            report_label(b), fmt_real(b.xyz[0], 7, 4), fmt_real(b.xyz[1], 7, 4), fmt_real(b.xyz[2], 7, 4),
            fmt_real(bond.length, 7, 3)};
}

std::vector<std::array<std::string, 9>> distances_grid(const StructureModel& model)
{
    std::vector<std::array<std::string, 9>> rows;
    rows.reserve(static_cast<std::size_t>(model.bonds.count()) + 1);
    for (int r = 0; r <= model.bonds.count(); ++r) rows.push_back(distances_row(model, r));
    return rows;
}

std::string distances_report(const StructureModel& model)
{
    std::vector<std::string> lines;
    add_source_line(model, lines);
    const std::size_t w = report_label_width(model);
    const std::string pad(w - ShortLabelWidth, ' ');
    lines.push_back(pad + "  A1  " + pad + "  A2     dist.     x1       y1       z1       x2       y2       z2");
    for (const BondRecord& bond : model.bonds) {
        const AtomRecord& a = model.generated[bond.atom1];
        const AtomRecord& b = model.generated[bond.atom2];
        lines.push_back(right_align(report_label(a), w) + " -" + right_align(report_label(b), w) +
                        fmt_real(bond.length, 9, 3) + " " + xyz(a.xyz, 9, 4) + xyz(b.xyz, 9, 4));
    }
    return crlf_text(lines);
}

std::size_t coordinates_label_width(const StructureModel& model)
{
    return label_width(model, [&](int i) { return model.display_labels[i].str(); });
}

std::string coordinates_line(const StructureModel& model, int line, std::size_t label_width)
{
    if (line == 0) return "Coordinates";
    return fmt_int(line, 3) + " " + fill_to(model.display_labels[line].str(), label_width) + " " +
           xyz(model.generated[line].xyz, 8, 4);
}

std::vector<std::string> coordinates_lines(const StructureModel& model)
{
    const std::size_t w = coordinates_label_width(model);
    std::vector<std::string> lines;
    for (int i = 0; i <= model.generated.count(); ++i) lines.push_back(coordinates_line(model, i, w));
    return lines;
}

std::string coordinates_report(const StructureModel& model)
{
    std::vector<std::string> lines;
    add_source_line(model, lines);
    const std::size_t w = label_width(model, [&](int i) { return model.generated[i].label.str(); });
    for (const AtomRecord& atom : model.generated)
        lines.push_back(right_align(atom.label.view(), w) + " " + xyz(atom.xyz, 10, 5));
    return crlf_text(lines);
}

std::string environment_caption(const StructureModel& model, const ViewPoints& view, int centre)
{
    return "Distances and angles around the atom " + report_label(model.generated[centre]) + " (" +
           xyz(view_point(view, centre), 8, 4) + ")";
}

Environment environment_report(const StructureModel& model, const ViewPoints& view, int centre, double radius)
{
    Environment env;
    std::vector<std::string> file;
    file.push_back(model.source_file_name.empty() ? std::string() : base_name(model.source_file_name));
    const AtomRecord& c = model.generated[centre];
    const std::size_t w = report_label_width(model);
    const std::string centre_text =
        right_align(c.label.view(), label_width(model, [&](int i) { return model.generated[i].label.str(); })) +
        xyz(c.xyz, 10, 5);
    file.push_back("Linked atoms with " + centre_text);
    env.window_lines.push_back("                Linked atoms");

    const Vec3 origin = view_point(view, centre);
    std::array<int, MaxNeighbours> found{};
    const int n = std::min(model.generated.count(), view.atoms);
    for (int i = 1; i <= n; ++i) {
        const double d = distance(origin, view_point(view, i));
        // The centre and any atom on the same spot are left out.
        if (!(d > 0.0001 && d <= radius)) continue;
        if (env.neighbours == MaxNeighbours) {
            env.truncated = true;
            break;
        }
        found[static_cast<std::size_t>(env.neighbours++)] = i;
        const AtomRecord& a = model.generated[i];
        const std::string line = "(" + fmt_int(env.neighbours, 3) + ")" + fill_to(report_label(a), w) +
                                 xyz(a.xyz, 8, 4) + " d=" + fmt_real(d, 6, 3);
        env.window_lines.push_back(line);
        file.push_back(line);
    }
    if (env.truncated)
        env.window_lines.push_back("(only the first " + std::to_string(MaxNeighbours) +
                                   " atoms within the radius are listed)");
    env.window_lines.push_back("            Angles");
    file.push_back("Angles around " + centre_text);

    const std::string centre_label = report_label(c);
    for (int j = 1; j < env.neighbours; ++j)
        for (int m = j + 1; m <= env.neighbours; ++m) {
            const Vec3 pj = view_point(view, found[static_cast<std::size_t>(j - 1)]);
            const Vec3 pm = view_point(view, found[static_cast<std::size_t>(m - 1)]);
            const double dj = distance(origin, pj), dm = distance(origin, pm);
            // The second atom must lie 0.001 A away, not only 0.0001.
            if (!(dj > 0.0001 && dj <= radius && dm > 0.001 && dm <= radius)) continue;
            const Vec3 u = {origin[0] - pj[0], origin[1] - pj[1], origin[2] - pj[2]};
            const Vec3 v = {origin[0] - pm[0], origin[1] - pm[1], origin[2] - pm[2]};
            double cosine = (u[0] * v[0] + u[1] * v[1] + u[2] * v[2]) / (dm * dj);
            if (std::abs(cosine) > 1) cosine /= std::abs(cosine);
            const AtomRecord& aj = model.generated[found[static_cast<std::size_t>(j - 1)]];
            const AtomRecord& am = model.generated[found[static_cast<std::size_t>(m - 1)]];
            const std::string line = fill_to(report_label(aj), w) + "(" + fmt_int(j, 3) + ")-" + centre_label +
                                     "-" + fill_to(report_label(am), w) + "(" + fmt_int(m, 3) + ") a=" +
                                     fmt_real(std::acos(cosine) * RadToDeg, 7, 2);
            env.window_lines.push_back(line);
            file.push_back(line);
        }
    env.report = crlf_text(file);
    return env;
}

} // namespace kestro

#pragma once
// The text reports of the analysis windows, built from the model: the
// bond list ("distances.txt"), the generated coordinates ("coordonnees.txt")
// and the environment of a central atom ("envir.txt"), with the lines their
// windows show. Report files have CR LF line ends and go to the directory
// the program started in.

#include <array>
#include <string>
#include <vector>

#include "model/structure_model.h"

namespace kestro {

struct ViewPoints;

constexpr const char* DistancesReportName = "distances.txt";
constexpr const char* CoordinatesReportName = "coordonnees.txt";
constexpr const char* GeometryReportName = "geometry.cif";
constexpr const char* EnvironmentReportName = "envir.txt";

// Lines joined with CR LF, the last one terminated too.
std::string crlf_text(const std::vector<std::string>& lines);
// The report's path in the directory (the current one when empty).
std::string report_path(const std::string& directory, const std::string& name);
// Writes the report (replacing an older one); IoError when it cannot.
void write_report(const std::string& directory, const std::string& name, const std::string& text);
// Removes the report when it exists; false when it could not be removed.
bool delete_report(const std::string& directory, const std::string& name);

// The label as the reports show it: blanks removed, second letter lower case.
std::string report_label(const AtomRecord& atom);

// Bond list: the grid of the window (a header row, then one row per bond:
// label, x, y, z of both atoms with width 7 and 4 decimals, the length
// with width 7 and 3) and the report.
// One row of it: 0 the heading, r the r-th bond; empty past the bonds or
// for a bond that names no generated atom.
std::array<std::string, 9> distances_row(const StructureModel& model, int row);
std::vector<std::array<std::string, 9>> distances_grid(const StructureModel& model);
std::string distances_report(const StructureModel& model);

// Generated coordinates: the window's lines (number, display label, x, y,
// z) and the report (stored label, x, y, z).
std::vector<std::string> coordinates_lines(const StructureModel& model);
// One line of them: 0 the heading, then atom `line`, its label filled to
// `label_width` (coordinates_label_width, found once for all the lines).
std::size_t coordinates_label_width(const StructureModel& model);
std::string coordinates_line(const StructureModel& model, int line, std::size_t label_width);
std::string coordinates_report(const StructureModel& model);

// Neighbours kept at most; the rest are left out and the window says so.
constexpr int MaxNeighbours = 100;

struct Environment {
    std::vector<std::string> window_lines;
    std::string report; // the text of "envir.txt"
    int neighbours = 0;
    bool truncated = false; // more than MaxNeighbours atoms lay within the radius
};

// The window's caption for a centre atom: its label and view coordinates.
std::string environment_caption(const StructureModel& model, const ViewPoints& view, int centre);
// Every atom within `radius` of the centre (1-based generated atom), by
// view-space distance, and every angle neighbour-centre-neighbour.
Environment environment_report(const StructureModel& model, const ViewPoints& view, int centre, double radius);

} // namespace kestro

#pragma once
// Mean planes through the plane library: the exchange file "plan.dat"
// (cell, generated atoms, the atoms of each plane), the library run, and
// its answer "plan.sor".

#include <string>
#include <vector>

#include "model/structure_model.h"

namespace kestro {

constexpr int PlaneRows = 7;      // planes computed at once
constexpr int MaxPlaneAtoms = 30; // atoms of one plane
constexpr const char* PlaneInputName = "plan.dat";
constexpr const char* PlaneOutputName = "plan.sor";

// "plan.dat": source file name, cell, the generated atoms, the planes.
std::string plan_dat_text(const StructureModel& model, const std::vector<std::vector<int>>& planes);
// Writes "plan.dat" in the directory, runs the plane library there and
// returns the text of "plan.sor". IoError when a file cannot be written
// or read.
std::string run_plane_library(const StructureModel& model, const std::vector<std::vector<int>>& planes,
                              const std::string& directory);
// The lines of "plan.sor" from the heading of plane `plane` to the end.
std::vector<std::string> plane_results(const std::string& plan_sor, int plane);

} // namespace kestro

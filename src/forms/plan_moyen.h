#pragma once
// Tfplan_moyen, the mean-plane window: the plane grid (one row per plane,
// "Nb.P" then "Label(n)" cells), the plane being built from atoms picked in
// the drawing, and the marks of those atoms on the picture.
//
// The plane being built is always row `plane_count` of the grid and
// `picked` holds exactly its atoms; the rows above it are the planes
// already computed.

#include <array>
#include <string>
#include <vector>

#include "analysis/mean_plane.h"
#include "drawing/canvas.h"
#include "model/messages.h"
#include "model/structure_model.h"

namespace kestro {
struct DrawingState;
}

namespace kestro::plan_moyen {

constexpr int PlaneColumns = MaxPlaneAtoms + 1;

using PlaneGrid = std::array<std::array<std::string, PlaneColumns>, PlaneRows>;

struct MeanPlaneSession {
    PlaneGrid grid;
    int plane_count = 0;                  // planes above the one being built
    Table<int, MaxPlaneAtoms> picked;     // atoms of the plane being built
    std::vector<std::vector<int>> planes; // read from the grid
    std::vector<std::string> results;     // the result list
    bool active = false;
};

// "Cl1(12)": the label in display form and the atom number.
std::string plane_atom_text(const StructureModel& model, int atom);

// The window opened: grid, results and picks emptied, the mode on.
void start_mean_plane(MeanPlaneSession& session);
// "End. Return to the plot": everything emptied, the mode off.
void end_mean_plane(MeanPlaneSession& session);
// A click on an atom: appended to the plane being built. Refused with a
// message past 30 atoms or when the grid holds its 7 planes.
bool pick_plane_atom(MeanPlaneSession& session, const StructureModel& model, int atom, Messages& messages);
// A right click on a picked atom takes it off the plane being built.
bool unpick_plane_atom(MeanPlaneSession& session, const StructureModel& model, int atom);

// The planes of the grid, row by row until an empty first cell; each cell
// read as the number between "(" and ")".
void read_plane_grid(MeanPlaneSession& session);

enum class PlaneOutcome {
    Nothing,        // no plane in the grid
    TooFewAtoms,    // "Selected atoms number < 3!"
    Computed,       // results shown; the next picks start a new plane
    AlignedKept,    // aligned atoms, Yes: more atoms go to the same plane
    AlignedDropped, // aligned atoms, No or Cancel: the plane is gone
    Failed,         // neither "Normal end" nor "aligned": only a beep
};

// "Compute the mean plane equation of the selected planes", with the files
// in `directory`.
PlaneOutcome calcul(MeanPlaneSession& session, const StructureModel& model, const std::string& directory,
                    Messages& messages);

// A cell of the grid selected: column 0 deletes that plane; an atom cell of
// the plane being built removes that atom. True when the grid changed.
bool onselectcell(MeanPlaneSession& session, const StructureModel& model, int column, int row);

// The picked atoms' texts, 8 points on white, centred on each atom.
void draw_plane_marks(const StructureModel& model, const DrawingState& drawing, const MeanPlaneSession& session,
                      Canvas& canvas);

} // namespace kestro::plan_moyen

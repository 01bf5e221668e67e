#include "forms/plan_moyen.h"

#include <algorithm>

#include "analysis/reports.h"
#include "drawing/drawing_state.h"
#include "drawing/view.h"
#include "model/fields.h"
#include "model/labels.h"
#include "model/numbers.h"
#include "model/text.h"

namespace kestro::plan_moyen {
namespace {

using colour::White;

std::string plane_heading(int plane) { return "Nb." + std::to_string(plane); }

// Row `row` from the picked atoms: "Nb.P" and one cell per atom; an empty
// row when no atom is picked.
void write_building_row(MeanPlaneSession& session, const StructureModel& model)
{
    const int row = session.plane_count;
    if (row >= PlaneRows) return;
    auto& cells = session.grid[static_cast<std::size_t>(row)];
    for (std::string& cell : cells) cell.clear();
    if (session.picked.empty()) return;
    cells[0] = plane_heading(row + 1);
    for (int k = 1; k <= session.picked.count(); ++k)
        cells[static_cast<std::size_t>(k)] = plane_atom_text(model, session.picked[k]);
}

void renumber(MeanPlaneSession& session)
{
    for (int row = 0; row < PlaneRows; ++row) {
        std::string& head = session.grid[static_cast<std::size_t>(row)][0];
        if (head.empty()) break;
        head = plane_heading(row + 1);
    }
}

} // namespace

std::string plane_atom_text(const StructureModel& model, int atom)
{
    return report_label(model.generated[atom]) + "(" + std::to_string(atom) + ")";
}

void start_mean_plane(MeanPlaneSession& session)
{
    end_mean_plane(session);
    session.active = true;
}

void end_mean_plane(MeanPlaneSession& session)
{
    for (auto& row : session.grid)
        for (std::string& cell : row) cell.clear();
    session.plane_count = 0;
    session.picked.clear();
    session.planes.clear();
    session.results.clear();
    session.active = false;
}

bool pick_plane_atom(MeanPlaneSession& session, const StructureModel& model, int atom, Messages& messages)
{
    if (session.picked.full()) {
        messages.show("Nb of atoms exceeding 30!");
        return false;
    }
    if (session.plane_count >= PlaneRows) {
        messages.show("The grid holds " + std::to_string(PlaneRows) +
                      " planes: delete one (click its number) to define another");
        return false;
    }
    session.picked.push(atom);
    write_building_row(session, model);
    return true;
}

bool unpick_plane_atom(MeanPlaneSession& session, const StructureModel& model, int atom)
{
    auto& picked = session.picked;
    for (int i = 1; i <= picked.count(); ++i) {
        if (picked[i] != atom) continue;
        for (int j = i; j < picked.count(); ++j) picked[j] = picked[j + 1];
        picked.set_count(picked.count() - 1);
        write_building_row(session, model);
        return true;
    }
    return false;
}

void read_plane_grid(MeanPlaneSession& session)
{
    session.planes.clear();
    for (const auto& row : session.grid) {
        if (row[0].empty()) break;
        std::vector<int> atoms;
        for (int c = 1; c < PlaneColumns; ++c) {
            const std::string& cell = row[static_cast<std::size_t>(c)];
            if (cell.empty()) break;
            const auto open = cell.find('('), close = cell.find(')', open == std::string::npos ? 0 : open);
            if (open == std::string::npos || close == std::string::npos) continue;
            if (const auto n = parse_integer(cell.substr(open + 1, close - open - 1))) atoms.push_back(static_cast<int>(*n));
        }
        session.planes.push_back(atoms);
    }
}

PlaneOutcome calcul(MeanPlaneSession& session, const StructureModel& model, const std::string& directory,
                    Messages& messages)
{
    read_plane_grid(session);
    const int planes = static_cast<int>(session.planes.size());
    if (planes == 0) return PlaneOutcome::Nothing;
    for (const std::vector<int>& plane : session.planes)
        if (plane.size() < 3) {
            messages.beep();
            messages.show("Selected atoms number < 3!");
            return PlaneOutcome::TooFewAtoms;
        }
    std::string plan_sor;
    {
        BusyScope busy(messages);
        plan_sor = run_plane_library(model, session.planes, directory);
    }
    const std::vector<std::string> lines = split_lines(plan_sor);
    const std::string last = lines.empty() ? std::string() : lines.back();
    messages.beep();
    if (contains(last, "Normal end")) {
        session.results = plane_results(plan_sor, planes);
        session.picked.clear();
        session.plane_count = planes;
        return PlaneOutcome::Computed;
    }
    if (!contains(last, "aligned")) return PlaneOutcome::Failed;
    if (messages.ask(trim(last) + ". Do you want to continue?") == Answer::Yes) return PlaneOutcome::AlignedKept;
    session.picked.clear();
    write_building_row(session, model);
    return PlaneOutcome::AlignedDropped;
}

bool onselectcell(MeanPlaneSession& session, const StructureModel& model, int column, int row)
{
    if (row < 0 || row >= PlaneRows || column < 0 || column >= PlaneColumns) return false;
    auto& grid = session.grid;
    if (grid[static_cast<std::size_t>(row)][0].empty()) return false;
    if (column == 0) {
        // The plane goes; the rows below move up, the one being built too.
        for (int r = row; r + 1 < PlaneRows; ++r) grid[static_cast<std::size_t>(r)] = grid[static_cast<std::size_t>(r + 1)];
        for (std::string& cell : grid[PlaneRows - 1]) cell.clear();
        if (row < session.plane_count)
            --session.plane_count;
        else
            session.picked.clear();
        renumber(session);
        read_plane_grid(session);
        return true;
    }
    // Only the plane being built loses atoms, and only cells that hold one.
    if (row != session.plane_count || column > session.picked.count()) return false;
    auto& picked = session.picked;
    for (int j = column; j < picked.count(); ++j) picked[j] = picked[j + 1];
    picked.set_count(picked.count() - 1);
    write_building_row(session, model);
    return true;
}

void draw_plane_marks(const StructureModel& model, const DrawingState& drawing, const MeanPlaneSession& session,
                      Canvas& canvas)
{
    if (session.picked.empty()) return;
    const FontSpec previous = canvas.font();
    FontSpec font;
    font.size = 8;
    canvas.set_font(font);
    canvas.set_brush(White);
    for (int atom : session.picked) {
        if (atom < 1 || atom > drawing.view.atoms) continue;
        const std::string text = plane_atom_text(model, atom);
        const int w = canvas.text_width(text), h = canvas.text_height(text);
        const PixelPoint p = point_pixel(drawing, atom);
        const PixelPoint top_left{p.x - w / 2, p.y - h / 2};
        canvas.fill_rect(top_left.x, top_left.y, top_left.x + w, top_left.y + h);
        canvas.text_out(top_left, text);
    }
    canvas.set_font(previous);
}

} // namespace kestro::plan_moyen

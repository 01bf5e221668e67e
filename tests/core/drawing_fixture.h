#pragma once
// Small structures for the drawing tests, generated and bonded by the
// program's own routines: a cubic cell of 10 A with the identity operator,
// atoms given by label, fractional position and Uiso (or six Uij).

#include <memory>
#include <string>
#include <vector>

#include "crystal/bonds.h"
#include "crystal/generation.h"
#include "crystal/oemath.h"
#include "crystal/sorts.h"
#include "drawing/drawing_state.h"
#include "model/structure_model.h"
#include "recording_messages.h"

struct FixtureAtom {
    std::string label;
    kestro::Vec3 xyz;
    kestro::Thermal6 u; // Uiso in the first slot and 0 in the second for an isotropic atom
};

inline std::unique_ptr<kestro::StructureModel> drawing_model(const std::vector<FixtureAtom>& atoms, double a = 10,
                                                             double b = 10, double c = 10, double beta = 90)
{
    using namespace kestro;
    auto model = std::make_unique<StructureModel>();
    StructureModel& m = *model;
    RecordingMessages messages;
    m.data_directory = KESTRO_SOURCE_DATA_DIR;
    m.cell.a = a;
    m.cell.b = b;
    m.cell.c = c;
    m.cell.alpha = 90;
    m.cell.beta = beta;
    m.cell.gamma = 90;
    cell_metric(m, messages);
    for (const FixtureAtom& f : atoms) {
        AtomRecord atom;
        atom.label = f.label;
        atom.xyz = f.xyz;
        atom.thermal = f.u;
        m.asym.push(atom);
    }
    m.operators.push(SymmetryOperator::identity());
    m.selected_operators.push(SymmetryOperator::identity());
    m.selected[1] = 1;
    build_bond_sorts(m, messages);
    generer(m, messages);
    liaisons(m, messages);
    return model;
}

inline kestro::Thermal6 uiso(double u) { return {u, 0, 0, 0, 0, 0}; }

// The drawing as the window prepares it on a picture of the given size.
inline std::unique_ptr<kestro::DrawingState> prepared(const kestro::StructureModel& model, int size = 686)
{
    auto state = std::make_unique<kestro::DrawingState>();
    RecordingMessages messages;
    kestro::prepare_drawing(model, *state, size, size, messages);
    return state;
}

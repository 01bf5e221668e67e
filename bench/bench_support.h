#pragma once
// What the benchmarks share: the test structure of a plot and, for the
// ones that draw text, a GUI application (offscreen without a display).

#include <QGuiApplication>

#include <memory>
#include <random>
#include <string>

#include "crystal/generation.h"
#include "crystal/oemath.h"
#include "crystal/operators.h"
#include "forms/mainmenu.h"
#include "crystal/sorts.h"
#include "generation_groups.h"
#include "model/structure_model.h"
#include "recording_messages.h"

namespace kestro_bench {

// 16 positions of Cmcm; the asymmetric unit in general positions away from
// the cell faces, so the cell holds exactly 16 copies of each atom. About
// 18 Angstrom^3 per atom, with C, N, O and H as in an organic crystal.
inline std::unique_ptr<kestro::StructureModel> centred_organic(int generated_target)
{
    using namespace kestro;
    auto model = std::make_unique<StructureModel>();
    StructureModel& m = *model;
    m.data_directory = KESTRO_SOURCE_DATA_DIR;
    const GroupSpec* cmcm = nullptr;
    for (const GroupSpec& group : test_groups())
        if (std::string(group.name) == "Cmcm") cmcm = &group;
    for (const SymmetryOperator& op : close_group(*cmcm)) m.operators.push(op);
    const int asym = generated_target / m.operators.count();
    const double volume = 18.0 * asym * m.operators.count();
    const double a = std::cbrt(volume / (1.2 * 1.4));
    m.cell.a = a, m.cell.b = 1.2 * a, m.cell.c = 1.4 * a;
    m.cell.alpha = m.cell.beta = m.cell.gamma = 90;
    RecordingMessages messages;
    cell_metric(m, messages);

    std::mt19937 rng(20261208);
    std::uniform_real_distribution<double> inside(0.02, 0.98);
    const char* const elements[] = {"C ", "C ", "C ", "N ", "O ", "H ", "H "};
    for (int i = 1; i <= asym; ++i) {
        AtomRecord atom;
        atom.label = std::string(elements[i % 7]) + std::to_string(i % 100);
        atom.xyz = {inside(rng), inside(rng), inside(rng)};
        atom.thermal = {0.02, 0.025, 0.03, 0.001, -0.002, 0.003};
        m.asym.push(atom);
    }
    build_bond_sorts(m, messages);
    mainmenu::OperatorGrid grid;
    mainmenu::fill_operator_grid(m, grid);
    mainmenu::on_click_checklistbox(m, grid, messages, 4, true); // "Cell contents"
    return model;
}

// Fonts and text need a GUI application.
inline void ensure_gui_application()
{
    if (QGuiApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "kestro_bench";
    static char* argv[] = {name, nullptr};
    static QGuiApplication application(argc, argv);
}

} // namespace kestro_bench

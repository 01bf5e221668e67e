#pragma once
// A small structure built by hand, written to tests/data/golden.kes and
// checked there field by field.

#include <memory>

#include "crystal/oemath.h"
#include "model/structure_model.h"
#include "recording_messages.h"

inline kestro::SymmetryOperator make_operator(std::array<std::array<double, 4>, 3> rows)
{
    kestro::SymmetryOperator op;
    op.rows = rows;
    return op;
}

inline std::unique_ptr<kestro::StructureModel> golden_model()
{
    using namespace kestro;
    auto model = std::make_unique<StructureModel>();
    StructureModel& m = *model;
    m.title = "Golden test, P21/c";
    m.cell.a = 10.5;
    m.cell.b = 7.25;
    m.cell.c = 12.125;
    m.cell.alpha = 90;
    m.cell.beta = 105.5;
    m.cell.gamma = 90;
    RecordingMessages messages;
    cell_metric(m, messages);
    m.space_group = "P21/c";
    m.centro_flag = 1;
    m.lattice_letter = "P";

    m.operators.push(SymmetryOperator::identity());
    m.operators.push(make_operator({{{-1, 0, 0, 0}, {0, 1, 0, 0.5}, {0, 0, -1, 0.5}}}));
    m.operators.push(make_operator({{{-1, 0, 0, 0}, {0, -1, 0, 0}, {0, 0, -1, 0}}}));
    m.operators.push(make_operator({{{1, 0, 0, 0}, {0, -1, 0, 0.5}, {0, 0, 1, 0.5}}}));
    m.selected[1] = 1;
    m.selected[2] = 1;

    AtomRecord c1;
    c1.label = "C 1";
    c1.xyz = {0.12345, -0.5, 0.99999};
    c1.thermal = {0.021, 0.0185, 0.0301, -0.0012, 0.004, 0.0};
    m.asym.push(c1);
    AtomRecord cl;
    cl.label = "CL12";
    cl.xyz = {0.25, 0.75, 0.125};
    cl.thermal = {0.045, 0.05, 0.04, 0.001, -0.002, 0.003};
    m.asym.push(cl);
    AtomRecord o;
    o.label = "O 2";
    o.xyz = {1.0, 0.0, 0.5};
    o.thermal = {0.025, 0, 0, 0, 0, 0};
    m.asym.push(o);

    AtomRecord g1 = c1;
    g1.thermal = {0.00451234, 0.00789012, 0.00401234, -0.00012345, 0.00123456, 0};
    g1.element_sort = 1;
    g1.colour = 0x808080;
    g1.operator_index = 1;
    g1.shown = 1;
    g1.labelled = 1;
    m.generated.push(g1);
    m.display_labels[1] = "C1";
    AtomRecord g2 = cl;
    g2.xyz = {-0.25, 1.25, 0.375};
    g2.label_dx = 0.5;
    g2.label_dy = -1.25;
    g2.thermal = {0.009, 0.01, 0.007, 0.0001, -0.0002, 0.0003};
    g2.element_sort = 2;
    g2.colour = 0x808000;
    g2.operator_index = 2;
    g2.isotropic = 1;
    g2.shown = 0;
    m.generated.push(g2);
    m.display_labels[2] = "Cl12";

    m.element_sorts.push({0x808080, 0.76, "C"});
    m.element_sorts.push({0x808000, 1.02, "CL"});
    m.element_sorts.push({0x00FF00, 0.66, "O"});
    m.bond_sorts.push({"C", "C", 1.824});
    m.bond_sorts.push({"C", "CL", 2.136});
    m.bond_sorts.push({"CL", "O", 2.016});
    m.bonds.push({1, 2, 0, 1.7654});
    m.bonds.push({1, 2, 2, 1.25}); // a pair listed twice gives two bonds

    m.drawing.probability_index = 5;
    m.drawing.colour_gradation = 1;
    m.drawing.labels_off_centre = 1;
    m.drawing.black_white = 1;
    m.generation.box = 1;
    m.generation.box_reduce = 1;
    m.generation.box_size = {2.01, 2.01, 1.01};
    m.generation.centre = {0, 0, 0.5};
    m.generation.sphere_radius = 7.5;
    m.drawing.bond_width = 0.06;
    m.drawing.bond_perspective = 6.0;
    m.drawing.bond_colour = 0x00FFFF;
    m.drawing.background_colour = 0xFFFFFF;
    return model;
}

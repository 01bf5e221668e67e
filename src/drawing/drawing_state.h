#pragma once
// What the drawing keeps between redraws for one picture: view points, the
// pixel mapping, the ellipsoid of every atom and the painter's order. The
// drawing window owns one; the command line and the tests make their own.

#include <utility>
#include <vector>

#include "drawing/ellipsoids.h"
#include "drawing/scene.h"
#include "drawing/view.h"

namespace kestro {

struct DrawingState {
    ViewPoints view;
    ViewPoints zoom_restore; // the points before the last zoom rectangle
    ScreenMap screen;
    CircleTable circle = make_circle_table();
    Slots<EllipsoidData, MaxGeneratedAtoms> ellipsoids;
    double lambda_min = 100000;
    Slots<int, MaxGeneratedAtoms> paint_order;
    // Bonds of each atom in bond-table order, rebuilt at each redraw:
    // bond_list[bond_start[a] .. bond_start[a + 1] - 1].
    std::vector<int> bond_start;
    std::vector<int> bond_list;
    std::vector<int> bond_fill;  // work space of the bond lists
    std::vector<std::pair<double, int>> order_work; // work space of the painter's order: depth, atom
    std::vector<char> drawn_work; // which atoms a redraw draws
    FontSpec label_font; // the moved labels' font with its last valid style
    bool zoom_in_force = false;
    bool rotation_dragging = false;
    int view_points_serial = 0; // counts the computations of the view points
};

} // namespace kestro

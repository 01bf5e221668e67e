#pragma once
// The lists of the deletion and masking dialogs: grids with one heading
// row whose cells are marked by a click (a "*" appended to the text),
// marked cells painted pink, every text centred. The heading row is shown
// as the grid's header, fixed when the rows scroll.

#include <QString>
#include <string>

#include "model/structure_model.h"

class QTableWidget;
class QWidget;

namespace kestro {

QTableWidget* make_marking_grid(int columns, QWidget* parent);
// Rows: the heading, one per entry and one spare; the grid grows with them
// up to a height beyond which it scrolls.
void size_marking_grid(QTableWidget* grid, int entries);
void set_marking_cell(QTableWidget* grid, int row, int column, const QString& text);
std::string marking_cell_text(const QTableWidget* grid, int row, int column);
void toggle_marking_cell(QTableWidget* grid, int row, int column);
// One row per element sort, its symbol as stored, under the heading.
void fill_element_grid(QTableWidget* grid, const StructureModel& model, const QString& heading);

} // namespace kestro

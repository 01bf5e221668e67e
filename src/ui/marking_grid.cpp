#include "ui/marking_grid.h"

#include <QHeaderView>
#include <QTableWidget>
#include <algorithm>

#include "forms/efface.h"
#include "platform/qt_messages.h"
#include "platform/qt_text.h"

namespace kestro {

namespace {

constexpr Colour MarkedColour = rgb(0xFF, 0xCB, 0xEE); // pink behind a marked cell
constexpr int RowHeight = 21;
constexpr int MaxGridHeight = 425;

} // namespace

QTableWidget* make_marking_grid(int columns, QWidget* parent)
{
    auto* grid = new QTableWidget(parent);
    grid->setColumnCount(columns);
    // Row 0 holds the headings; the header shows them again and stays in
    // place when the rows scroll, while row 0 itself is hidden.
    grid->horizontalHeader()->setSectionsClickable(false);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(RowHeight);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::NoSelection);
    for (int c = 0; c < columns; ++c) grid->setColumnWidth(c, 64);
    grid->setFixedWidth(columns * 64 + 2 * grid->frameWidth() + 20);
    return grid;
}

void size_marking_grid(QTableWidget* grid, int entries)
{
    grid->clearContents();
    grid->setRowCount(entries + 2);
    grid->setRowHidden(0, true);
    grid->setFixedHeight(std::min(MaxGridHeight, (entries + 2) * RowHeight + 2 * grid->frameWidth()));
}

void set_marking_cell(QTableWidget* grid, int row, int column, const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled);
    item->setTextAlignment(Qt::AlignCenter);
    if (text.contains(QLatin1Char('*'))) {
        item->setBackground(to_qcolor(MarkedColour));
        item->setForeground(Qt::black);
    }
    if (row == 0) grid->setHorizontalHeaderItem(column, item->clone());
    grid->setItem(row, column, item);
}

std::string marking_cell_text(const QTableWidget* grid, int row, int column)
{
    const QTableWidgetItem* item = grid->item(row, column);
    return item ? ss(item->text()) : std::string();
}

void toggle_marking_cell(QTableWidget* grid, int row, int column)
{
    set_marking_cell(grid, row, column, qs(toggle_mark(marking_cell_text(grid, row, column))));
}

void fill_element_grid(QTableWidget* grid, const StructureModel& model, const QString& heading)
{
    const auto rows = element_rows(model);
    size_marking_grid(grid, static_cast<int>(rows.size()));
    set_marking_cell(grid, 0, 0, heading);
    for (std::size_t i = 0; i < rows.size(); ++i) set_marking_cell(grid, static_cast<int>(i) + 1, 0, qs(rows[i]));
}

} // namespace kestro

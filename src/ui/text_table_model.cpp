#include "ui/text_table_model.h"

#include <algorithm>

#include "platform/qt_text.h"

namespace kestro {

void TextTableModel::set_rows(int rows, std::function<TextRow(int)> row)
{
    beginResetModel();
    rows_ = row ? std::max(rows, 0) : 0;
    row_ = std::move(row);
    endResetModel();
}

int TextTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows_;
}

int TextTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 9; }

QVariant TextTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rows_ || index.column() >= 9) return {};
    if (role == Qt::DisplayRole) return qs(row_(index.row())[static_cast<std::size_t>(index.column())]);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(index.row() == 0 ? Qt::Alignment(Qt::AlignCenter) : (Qt::AlignRight | Qt::AlignVCenter));
    return {};
}

QVariant TextTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || rows_ == 0 || section < 0 || section >= 9) return {};
    if (role == Qt::DisplayRole) return qs(row_(0)[static_cast<std::size_t>(section)]);
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    return {};
}

void TextLinesModel::set_lines(int lines, std::function<std::string(int)> line)
{
    beginResetModel();
    lines_ = line ? std::max(lines, 0) : 0;
    line_ = std::move(line);
    endResetModel();
}

int TextLinesModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : lines_; }

QVariant TextLinesModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= lines_ || role != Qt::DisplayRole) return {};
    return qs(line_(index.row()));
}

} // namespace kestro

#pragma once
// A read-only table of texts for the report windows with many rows: the
// view asks for the rows it shows and only those are made, so 200 000
// rows cost nothing until they scroll into view. Row 0 is the heading.

#include <QAbstractTableModel>

#include <array>
#include <functional>
#include <string>

namespace kestro {

using TextRow = std::array<std::string, 9>;

class TextTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TextTableModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    // rows rows (the heading included), each made by row(r) when shown:
    // right-aligned below a centred heading.
    void set_rows(int rows, std::function<TextRow(int)> row);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    int rows_ = 0;
    std::function<TextRow(int)> row_;
};

// A read-only list of lines made as they are shown, for the lists of many
// lines (the generated coordinates).
class TextLinesModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit TextLinesModel(QObject* parent = nullptr) : QAbstractListModel(parent) {}
    void set_lines(int lines, std::function<std::string(int)> line);
    std::string line(int index) const { return index >= 0 && index < lines_ ? line_(index) : std::string(); }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    int lines_ = 0;
    std::function<std::string(int)> line_;
};

} // namespace kestro

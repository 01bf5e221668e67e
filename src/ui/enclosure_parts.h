#pragma once
// The parts the box and sphere dialogs share: the atom list whose rows give
// a centre, the three centre boxes, "Cut the fragments?", and OK / Cancel.

#include <QString>
#include <array>

class QGridLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QWidget;

namespace kestro {

struct CentrePanel {
    QListWidget* atoms = nullptr;
    std::array<QLineEdit*, 3> centre{};
    QRadioButton* yes = nullptr;
    QRadioButton* no = nullptr;
    QGridLayout* fields = nullptr; // centre boxes in rows 0-2; the caller adds its own rows
};

// The atom list (fixed-pitch) and the "x/a", "y/b", "z/c" boxes.
CentrePanel make_centre_panel(QWidget* parent);
// The "Cut the fragments?" group at `row` of the fields, the rows below left to stretch.
void add_cut_group(CentrePanel& panel, QWidget* parent, int row);
// OK and Cancel, right-aligned, neither taking Return.
QHBoxLayout* ok_cancel_row(QWidget* parent, QPushButton*& ok, QPushButton*& cancel);
QLabel* red_heading(const QString& text, QWidget* parent);

} // namespace kestro

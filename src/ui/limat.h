#pragma once
// Tflimat "Kestro: Definition of the oientation  of the structure": crystal
// directions for the drawing's axes Z (projection), X (horizontal) and Y
// (vertical), each row three numbers read as a direct-lattice direction or
// as a reciprocal-lattice vector. OK orients the drawing (signal
// orientation_changed) and closes; a refused set of axes keeps the dialog
// open; Cancel changes nothing. Every opening shows the defaults again.

#include <QDialog>
#include <array>
#include <functional>
#include <memory>

#include "forms/limat.h"
#include "model/messages.h"
#include "model/structure_model.h"

class QButtonGroup;
class QLineEdit;
class QPushButton;
class QShowEvent;

namespace kestro {

struct DrawingState;

class Tflimat : public QDialog {
    Q_OBJECT
public:
    Tflimat(StructureModel& model, DrawingState& drawing, Messages* messages = nullptr, QWidget* parent = nullptr);
    ~Tflimat() override;

    // Defaults in the fields, focus in the first field of the X row.
    void init_first();
    // Reads the nine fields; a field that is not a number is emptied.
    void verifie();
    void calcul_mat();
    void cancel();
    void Aide_matrice();

    // field(axis, column): axis 0 X, 1 Y, 2 Z.
    QLineEdit* field(int axis, int column) const;
    // Chooses "Direct" or "Recipr." for an axis.
    void set_space(int axis, AxisSpace space);
    QPushButton* ok_button() const { return ok_; }

    std::function<void(int)> open_help;

signals:
    void orientation_changed();

protected:
    void showEvent(QShowEvent* event) override;

private:
    limat::OrientationFields read_fields() const;
    void write_fields(const limat::OrientationFields& fields);

    StructureModel& model_;
    DrawingState& drawing_;
    std::unique_ptr<Messages> own_messages_;
    Messages* messages_;
    std::array<std::array<QLineEdit*, 3>, 3> fields_{};
    std::array<QButtonGroup*, 3> spaces_{};
    QPushButton* ok_ = nullptr;
    bool verifying_ = false;
};

} // namespace kestro

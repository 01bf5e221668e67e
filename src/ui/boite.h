#pragma once
// The box dialog "Definition of the box": the atoms of the asymmetric unit
// (a click takes an atom's coordinates as the centre), the centre "x/a",
// "y/b", "z/c", "Cut the fragments?", the edges "Edge // x", "Edge // y",
// "Edge // z", and OK / Cancel. It only stores values in the model's
// generation options.
//
// Public API:
//   Tfboite(model, messages, parent)  messages null: message boxes.
//   initialise()       fills the list and the fields from the model (also on
//                      every show, so cancelled edits are not kept).
//   clic_listbox(row)  copies the atom's coordinates (row 0 = atom 1) into
//                      the centre fields.
//   Lecture_limites()  OK: reads and stores the fields in order; a bad field
//                      beeps, takes the focus and keeps the dialog open; all
//                      valid: reduction flag stored, Accepted.
//   annule()           Cancel: box option flag set to 0, Rejected (the main
//                      window then unticks its option).
//   signal model_changed()  emitted whenever a field was stored.

#include <array>
#include <memory>

#include "ui/model_dialog.h"
#include "model/messages.h"
#include "model/structure_model.h"

class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace kestro {

class Tfboite : public ModelDialog {
    Q_OBJECT
public:
    explicit Tfboite(StructureModel& model, Messages* messages = nullptr, QWidget* parent = nullptr);
    ~Tfboite() override;

    void initialise();
    void clic_listbox(int row);
    void Lecture_limites();
    void annule();

    QListWidget* atom_list() const { return atoms_; }
    QLineEdit* edge_field(int axis) const { return edges_.at(static_cast<std::size_t>(axis)); }
    QLineEdit* centre_field(int axis) const { return centre_.at(static_cast<std::size_t>(axis)); }
    QRadioButton* cut_yes() const { return yes_; }
    QRadioButton* cut_no() const { return no_; }
    QPushButton* ok_button() const { return ok_; }
    QPushButton* cancel_button() const { return cancel_; }

    // Escape and the close box act as Cancel, so that a rejected dialog
    // always leaves its option switched off.
    void reject() override;

protected:
    void refill() override;

private:
    QListWidget* atoms_ = nullptr;
    std::array<QLineEdit*, 3> centre_{};
    std::array<QLineEdit*, 3> edges_{};
    QRadioButton* yes_ = nullptr;
    QRadioButton* no_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

} // namespace kestro

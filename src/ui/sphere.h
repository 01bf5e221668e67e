#pragma once
// The sphere dialog "Definition of the sphere of enclosure": the atoms of
// the asymmetric unit (a click takes an atom's coordinates as the centre),
// the centre "x/a", "y/b", "z/c", "Radius:", "Cut the fragments?", and
// OK / Cancel. It only stores values in the model's generation options.
//
// Public API:
//   Tfsphere(model, messages, parent)  messages null: message boxes.
//   initialise()        fills the list and the fields from the model (also
//                       on every show).
//   clic_listbox1(row)  copies the atom's coordinates (row 0 = atom 1) into
//                       the centre fields.
//   Button1Click()      OK: reads "Radius:", "x/a", "y/b", "z/c" in order; a
//                       bad field beeps, takes the focus and keeps the dialog
//                       open; all valid: reduction flag stored, Accepted.
//   annule()            Cancel: sphere option flag set to 0, Rejected.
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

class Tfsphere : public ModelDialog {
    Q_OBJECT
public:
    explicit Tfsphere(StructureModel& model, Messages* messages = nullptr, QWidget* parent = nullptr);
    ~Tfsphere() override;

    void initialise();
    void clic_listbox1(int row);
    void Button1Click();
    void annule();

    QListWidget* atom_list() const { return atoms_; }
    QLineEdit* radius_field() const { return radius_; }
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
    QLineEdit* radius_ = nullptr;
    std::array<QLineEdit*, 3> centre_{};
    QRadioButton* yes_ = nullptr;
    QRadioButton* no_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

} // namespace kestro

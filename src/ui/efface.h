#pragma once
// The three deletion dialogs of the asymmetric unit, each staying on top:
//   TfeffaceE "Delete Elements of the asymetric unit": every atom of the
//             marked elements, then the element and bond sorts rebuilt;
//   TfeffaceA "Delete atoms of the asymetric unit": the marked atoms;
//   TfeffaceB "Delete a bloc of atoms of the asymetric unit": the atoms
//             numbered "From Nb" to "To Nb".
// A click on a row of a list toggles its "*" mark.
//
// Public API (all three): constructor (model, messages, parent), messages
// null giving message boxes; initialise() refills the list (also on every
// show); grid() the list; signal model_changed() after atoms were deleted
// (the main window refreshes its atom grid on it).
//   TfeffaceE::onclic(row), TfeffaceA::onclic(row, column): toggle a mark
//   (row 1 = first element / atom; TfeffaceA marks column 1 only).
//   TfeffaceE::del_elem_system(), TfeffaceA::del_atom(), TfeffaceB::efface_bloc():
//   OK. Nothing marked / a field empty: closes (Rejected). Question answered
//   No or Cancel: stays open. Deleted: emits model_changed(), Accepted.

#include <memory>

#include "ui/model_dialog.h"
#include "model/messages.h"
#include "model/structure_model.h"

class QLineEdit;
class QPushButton;
class QTableWidget;

namespace kestro {

class TfeffaceE : public ModelDialog {
    Q_OBJECT
public:
    explicit TfeffaceE(StructureModel& model, Messages* messages = nullptr, QWidget* parent = nullptr);
    ~TfeffaceE() override;

    void initialise();
    void onclic(int row);
    void del_elem_system();

    QTableWidget* grid() const { return grid_; }
    QPushButton* ok_button() const { return ok_; }

protected:
    void refill() override;

private:
    QTableWidget* grid_ = nullptr;
    QPushButton* ok_ = nullptr;
};

class TfeffaceA : public ModelDialog {
    Q_OBJECT
public:
    explicit TfeffaceA(StructureModel& model, Messages* messages = nullptr, QWidget* parent = nullptr);
    ~TfeffaceA() override;

    void initialise();
    void onclic(int row, int column);
    void del_atom();

    QTableWidget* grid() const { return grid_; }
    QPushButton* ok_button() const { return ok_; }

protected:
    void refill() override;

private:
    QTableWidget* grid_ = nullptr;
    QPushButton* ok_ = nullptr;
};

class TfeffaceB : public ModelDialog {
    Q_OBJECT
public:
    explicit TfeffaceB(StructureModel& model, Messages* messages = nullptr, QWidget* parent = nullptr);
    ~TfeffaceB() override;

    void initialise();
    void efface_bloc();

    QTableWidget* grid() const { return grid_; }
    QLineEdit* from_field() const { return from_; }
    QLineEdit* to_field() const { return to_; }
    QPushButton* ok_button() const { return ok_; }

protected:
    void refill() override;

private:
    QTableWidget* grid_ = nullptr;
    QLineEdit* from_ = nullptr;
    QLineEdit* to_ = nullptr;
    QPushButton* ok_ = nullptr;
};

} // namespace kestro

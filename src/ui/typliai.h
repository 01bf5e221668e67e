#pragma once
// The bond-length dialog "Modif the bond lengths": one grid row per bond
// sort (first element, second element, maximum length) under a fixed
// heading row, and an OK button.
//
// Public API:
//   Tftypliai(model, messages, parent)  messages null: message boxes.
//   initialisation()  fills the grid from the bond sorts (also on every show).
//   sortie()          OK: stores the lengths; closes (Accepted) when every row
//                     reads, else shows "Read error at line " n and stays open.
//   grid()            the grid, for the main window's tests and this one's.
//   signal model_changed()  emitted after sortie() stored lengths.

#include <memory>

#include "ui/model_dialog.h"
#include "model/messages.h"
#include "model/structure_model.h"

class QPushButton;
class QTableWidget;

namespace kestro {

class Tftypliai : public ModelDialog {
    Q_OBJECT
public:
    explicit Tftypliai(StructureModel& model, Messages* messages = nullptr, QWidget* parent = nullptr);
    ~Tftypliai() override;

    void initialisation();
    void sortie();

    QTableWidget* grid() const { return grid_; }
    QPushButton* ok_button() const { return ok_; }

protected:
    void refill() override;

private:
    QTableWidget* grid_ = nullptr;
    QPushButton* ok_ = nullptr;
};

} // namespace kestro

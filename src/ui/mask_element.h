#pragma once
// Tfmask_element "Mask elements": the element list of the structure; the
// marked elements' generated atoms are hidden from the drawing on OK.
// Stays on top; every opening refills the list, so marks do not survive.

#include "ui/model_dialog.h"

class QPushButton;
class QTableWidget;

namespace kestro {

class Tfmask_element : public ModelDialog {
    Q_OBJECT
public:
    explicit Tfmask_element(StructureModel& model, Messages* messages = nullptr, QWidget* parent = nullptr);
    ~Tfmask_element() override;

    void initialise();
    // A click on row `row` (1 = the first element) toggles its mark.
    void on_click(int row);
    // OK: hides the atoms of the marked elements (model_changed) and closes.
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

#pragma once
// Tfdistances "Display distances": every bond with the coordinates of its
// two atoms and its length; "Edit/Print the list" writes "distances.txt"
// and opens it in the editor; Close deletes the file.

#include "ui/report_window.h"

class QTableView;

namespace kestro {

class TextTableModel;

class Tfdistances : public ReportWindow {
    Q_OBJECT
public:
    explicit Tfdistances(StructureModel& model, Messages* messages = nullptr, QWidget* parent = nullptr);
    ~Tfdistances() override;

    void affiche();
    void BitBtn2Click();
    void sortie();

    // Row 0 is the header.
    QTableView* grid() const { return grid_; }

protected:
    void refill() override { affiche(); }
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    QTableView* grid_ = nullptr;
    TextTableModel* rows_ = nullptr;
};

} // namespace kestro

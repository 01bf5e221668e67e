#pragma once
// Tfplan_moyen "Mean plane determination": the planes picked in the
// drawing (one grid row each, at most 7), the computation through the
// plane library, its results for the plane just defined, and the deletion
// of a plane or a picked atom by selecting its cell.

#include <functional>

#include "forms/plan_moyen.h"
#include "ui/report_window.h"

class QListWidget;
class QPushButton;
class QTableWidget;

namespace kestro {

class Tfplan_moyen : public ReportWindow {
    Q_OBJECT
public:
    explicit Tfplan_moyen(StructureModel& model, Messages* messages = nullptr, QWidget* parent = nullptr);
    ~Tfplan_moyen() override;

    // The drawing window's button: emptied, shown, the mode on.
    void start();
    // Clicks in the drawing.
    bool atom_picked(int atom);
    void atom_unpicked(int atom);

    void calcul();
    void edit_print();
    void onselectcell(int row, int column);
    void sortie();
    void aide();

    const plan_moyen::MeanPlaneSession& session() const { return session_; }
    QTableWidget* grid() const { return grid_; }
    QListWidget* results() const { return results_; }
    QPushButton* button(const QString& hint) const;

    std::function<void(int)> open_help;

signals:
    // The drawing must show the marks again.
    void marks_changed();
    void show_coordinates();
    // "End. Return to the plot".
    void ended();

protected:
    void reject() override;

private:
    void refresh();

    plan_moyen::MeanPlaneSession session_;
    QTableWidget* grid_ = nullptr;
    QListWidget* results_ = nullptr;
};

} // namespace kestro

#pragma once
// Tfgeometry "Geometry (CIF)": the bond lengths and angles of the
// asymmetric unit with their standard uncertainties and symmetry codes, as
// the CIF loops _geom_bond and _geom_angle. Opening it writes
// "geometry.cif" beside the other reports and opens it in the editor;
// "Edit/Print" does it again; Close deletes the file.

#include "ui/report_window.h"

class QPlainTextEdit;

namespace kestro {

class Tfgeometry : public ReportWindow {
    Q_OBJECT
public:
    explicit Tfgeometry(StructureModel& model, Messages* messages = nullptr, QWidget* parent = nullptr);
    ~Tfgeometry() override;

    // The loops computed again from the model and shown.
    void initialise();
    void edit_geometry();
    void sortie();

    QPlainTextEdit* text_area() const { return text_; }

protected:
    void refill() override { initialise(); }
    void reject() override;

private:
    QPlainTextEdit* text_ = nullptr;
    std::string cif_;
};

} // namespace kestro

#pragma once
// Tfdisp_coordinance "Distances & Angles around the atom": every generated
// atom within a radius of a centre atom picked in the drawing, with its
// distance, then every angle neighbour-centre-neighbour; written to
// "envir.txt". "Return" (or leaving it for another window of the program)
// hides it and deletes the file.

#include "ui/report_window.h"

class QLineEdit;
class QPlainTextEdit;

namespace kestro {

struct ViewPoints;

class Tfdisp_coordinance : public ReportWindow {
    Q_OBJECT
public:
    Tfdisp_coordinance(StructureModel& model, const ViewPoints& view, Messages* messages = nullptr,
                       QWidget* parent = nullptr);
    ~Tfdisp_coordinance() override;

    // The centre chosen in the drawing; then the window is shown.
    void set_centre(int atom);
    void initialise();
    void calcule();
    void edit_liste();
    void copy_clipboard();
    void sortie();

    QLineEdit* radius_field() const { return radius_; }
    QPlainTextEdit* text_area() const { return text_; }
    int centre() const { return centre_; }

signals:
    // "Return": the drawing window leaves its coordination mode.
    void returned();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    const ViewPoints& view_;
    int centre_ = 0;
    bool computing_ = false;
    QLineEdit* radius_ = nullptr;
    QPlainTextEdit* text_ = nullptr;
};

} // namespace kestro

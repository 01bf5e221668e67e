#pragma once
// Tfimprime "Printing...": the drawing on one landscape page of a printer
// (or a PDF file through the print dialog), single with its frame and
// legend or as a stereo pair; the resolution, the pen width, the label
// font. The drawing window keeps its view: its next activation after this
// window is not a reset.

#include <QDialog>
#include <functional>
#include <memory>

#include "model/messages.h"
#include "model/structure_model.h"
#include "output/printed_page.h"

class QButtonGroup;
class QLabel;
class QLineEdit;
class QListWidget;
class QPrinter;

namespace kestro {

class Tfdessin;

class Tfimprime : public QDialog {
    Q_OBJECT
public:
    Tfimprime(StructureModel& model, Tfdessin& drawing, Messages* messages = nullptr, QWidget* parent = nullptr);
    ~Tfimprime() override;

    void init_crea();
    void init_active();
    void clickstereo();
    void set_font();
    void go_impression();
    void cancel();

    QLineEdit* resolution_field() const { return resolution_; }
    QListWidget* pen_list() const { return pens_; }
    QButtonGroup* stereo_choice() const { return stereo_; }
    double pixels_per_cm() const { return pixels_per_cm_; }

    // The print dialog: true with the printer set up to print on. A
    // QPrintDialog by default; tests give a PDF printer.
    std::function<bool(QPrinter& printer)> choose_printer;
    std::function<bool(FontSpec& font)> choose_font;

protected:
    void showEvent(QShowEvent* event) override;

private:
    StructureModel& model_;
    Tfdessin& drawing_;
    std::unique_ptr<Messages> own_messages_;
    Messages* messages_;
    double pixels_per_cm_ = DefaultPixelsPerCm; // kept for the whole run
    QButtonGroup* stereo_ = nullptr;
    QLineEdit* resolution_ = nullptr;
    QListWidget* pens_ = nullptr;
    QLabel* patience_ = nullptr;
};

} // namespace kestro

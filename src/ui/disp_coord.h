#pragma once
// Tfdisp_coord "List of the generated coordinates": number, label and
// fractional coordinates of every generated atom; "Copy" puts the selected
// lines on the clipboard (the list makes only the lines it shows); "Edit/Print the list" writes "coordonnees.txt"
// and opens it; Close deletes the file. Stays on top, centred.

#include "ui/report_window.h"

class QListView;

namespace kestro {

class TextLinesModel;

class Tfdisp_coord : public ReportWindow {
    Q_OBJECT
public:
    explicit Tfdisp_coord(StructureModel& model, Messages* messages = nullptr, QWidget* parent = nullptr);
    ~Tfdisp_coord() override;

    void initialise();
    void copy_clipboard();
    void BitBtn2Click();
    void sortie();

    QListView* list() const { return list_; }

protected:
    void refill() override { initialise(); }
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    QListView* list_ = nullptr;
    TextLinesModel* lines_ = nullptr;
};

} // namespace kestro

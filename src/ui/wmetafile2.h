#pragma once
// Tfwmetafile2 "Metafile create": the drawing as a square vector picture
// of "Width (Nb of pixels)" with the outlines in "Penwidth": an enhanced
// metafile (.emf) for office programs, SVG or PDF, chosen in the file
// dialog.

#include <QDialog>
#include <functional>
#include <memory>

#include "model/messages.h"
#include "model/structure_model.h"

class QLineEdit;

namespace kestro {

class Tfdessin;

class Tfwmetafile2 : public QDialog {
    Q_OBJECT
public:
    Tfwmetafile2(StructureModel& model, Tfdessin& drawing, Messages* messages = nullptr, QWidget* parent = nullptr);
    ~Tfwmetafile2() override;

    void go_metafile();
    void canel();

    QLineEdit* width_field() const { return width_; }
    QLineEdit* pen_field() const { return pen_; }

    // The file dialog: the name chosen (empty when cancelled) and the
    // filter it was chosen with.
    std::function<QString(const QString& filters, QString& selected)> choose_file;

private:
    StructureModel& model_;
    Tfdessin& drawing_;
    std::unique_ptr<Messages> own_messages_;
    Messages* messages_;
    QLineEdit* width_ = nullptr;
    QLineEdit* pen_ = nullptr;
};

} // namespace kestro

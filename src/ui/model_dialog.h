#pragma once
// What the dialogs of the main window share: the model they edit, the
// Messages port (message boxes unless a test gives its own), the signal
// after a change, and a refill from the model each time they are opened.

#include <QDialog>
#include <memory>

#include "model/messages.h"
#include "model/structure_model.h"

class QShowEvent;

namespace kestro {

class ModelDialog : public QDialog {
    Q_OBJECT
public:
    ModelDialog(StructureModel& model, Messages* messages, QWidget* parent);
    ~ModelDialog() override;

signals:
    void model_changed();

protected:
    // Fills the controls from the model; not when a window is only restored.
    virtual void refill() = 0;
    void showEvent(QShowEvent* event) override;

    StructureModel& model_;
    Messages* messages_;

private:
    std::unique_ptr<Messages> own_messages_;
};

} // namespace kestro

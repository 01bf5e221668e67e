#include "ui/model_dialog.h"

#include <QShowEvent>

#include "platform/qt_messages.h"

namespace kestro {

ModelDialog::ModelDialog(StructureModel& model, Messages* messages, QWidget* parent)
    : QDialog(parent), model_(model), messages_(messages)
{
    if (!messages_) {
        own_messages_ = std::make_unique<QtMessages>(this);
        messages_ = own_messages_.get();
    }
}

ModelDialog::~ModelDialog() = default;

void ModelDialog::showEvent(QShowEvent* event)
{
    // Spontaneous shows (a window restored) keep what is being typed.
    if (!event->spontaneous()) refill();
    QDialog::showEvent(event);
}

} // namespace kestro

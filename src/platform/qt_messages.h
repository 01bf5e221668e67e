#pragma once
// Message boxes, the beep and the wait cursor for the windows.

#include <QColor>
#include <QPointer>
#include <QWidget>

#include "model/messages.h"
#include "model/structure_model.h"

namespace kestro {

class QtMessages : public Messages {
public:
    explicit QtMessages(QWidget* parent = nullptr) : parent_(parent) {}
    void show(const std::string& text) override;
    Answer ask(const std::string& text) override;
    void beep() override;
    void busy(bool on) override;

private:
    QPointer<QWidget> parent_;
};

// 0x00BBGGRR as the model keeps it, to and from Qt's colour.
QColor to_qcolor(Colour colour);
Colour from_qcolor(const QColor& colour);

// Drops Qt's notice that XDG_RUNTIME_DIR is unset (usual under su, ssh or in a
// container): the program keeps no runtime files, so it says nothing to a user.
// Every other Qt message goes on as before.
void quiet_runtime_dir_notice();

} // namespace kestro

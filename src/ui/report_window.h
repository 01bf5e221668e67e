#pragma once
// What the report windows share: the model and message port, the report
// file they write in the directory the program started in and delete when
// they close, and the editor that opens it, whose failure to start is
// shown in the window's status line.

#include <QDialog>
#include <functional>
#include <memory>
#include <string>

#include "model/messages.h"
#include "model/structure_model.h"

class QEvent;
class QFont;
class QLabel;

namespace kestro {

// "Courier New" 8, the font of the report lists and the mean-plane results
// (Liberation Mono, metric-compatible, where it is missing).
QFont report_font();

class ReportWindow : public QDialog {
    Q_OBJECT
public:
    ReportWindow(StructureModel& model, Messages* messages, const char* report_name, QWidget* parent);
    ~ReportWindow() override;

    // The report's full path.
    QString report_file() const;
    QString status_text() const;
    // Starts the editor on a file; false with the reason. The user's
    // editor by default; tests replace it.
    std::function<bool(const QString& path, QString& error)> open_editor;

protected:
    // The list filled again from the model: on every activation of the
    // window and by the window's own button, so that it never shows an old
    // list (bonds toggled, atoms masked since).
    virtual void refill() {}
    bool event(QEvent* event) override;
    // Writes the report; false (the error shown) when it cannot be written.
    bool write_report_file(const std::string& text);
    // The report in the editor; a failure to start is said in the status line.
    void edit_report();
    void delete_report_file();
    QLabel* status_line() const { return status_; }

    StructureModel& model_;
    Messages* messages_;

private:
    std::unique_ptr<Messages> own_messages_;
    std::string report_name_;
    QLabel* status_ = nullptr;
};

} // namespace kestro

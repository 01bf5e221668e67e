#include "ui/report_window.h"

#include <QEvent>
#include <QFont>
#include <QLabel>

#include "analysis/reports.h"
#include "model/errors.h"
#include "platform/canvas_fonts.h"
#include "platform/editor.h"
#include "platform/qt_messages.h"
#include "platform/qt_text.h"

namespace kestro {

ReportWindow::ReportWindow(StructureModel& model, Messages* messages, const char* report_name, QWidget* parent)
    : QDialog(parent), model_(model), messages_(messages), report_name_(report_name)
{
    if (!messages_) {
        own_messages_ = std::make_unique<QtMessages>(this);
        messages_ = own_messages_.get();
    }
    open_editor = [](const QString& path, QString& error) { return open_in_editor(path, error); };
    status_ = new QLabel(this);
    status_->setWordWrap(true);
    status_->hide();
}

ReportWindow::~ReportWindow() = default;

QFont report_font()
{
    FontSpec courier;
    courier.name = "Courier New";
    courier.size = 8;
    QFont font = to_qfont(courier);
    font.setPointSize(8);
    return font;
}

bool ReportWindow::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate) refill();
    return QDialog::event(event);
}

QString ReportWindow::report_file() const { return qs(report_path(model_.program_directory, report_name_)); }

QString ReportWindow::status_text() const { return status_->isHidden() ? QString() : status_->text(); }

bool ReportWindow::write_report_file(const std::string& text)
{
    try {
        write_report(model_.program_directory, report_name_, text);
    } catch (const IoError& error) {
        messages_->show(error.what());
        return false;
    }
    return true;
}

void ReportWindow::edit_report()
{
    QString error;
    if (open_editor && open_editor(report_file(), error)) {
        status_->hide();
        return;
    }
    status_->setText(error);
    status_->show();
}

void ReportWindow::delete_report_file() { delete_report(model_.program_directory, report_name_); }

} // namespace kestro

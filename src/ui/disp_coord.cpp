#include "ui/disp_coord.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>

#include "analysis/reports.h"
#include "platform/qt_text.h"

namespace kestro {

Tfdisp_coord::Tfdisp_coord(StructureModel& model, Messages* messages, QWidget* parent)
    : ReportWindow(model, messages, CoordinatesReportName, parent)
{
    setWindowTitle(QStringLiteral("List of the generated coordinates"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    text_ = new QPlainTextEdit(this);
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setFont(report_font());
    auto* copy = new QPushButton(QStringLiteral("Copy"), this);
    copy->setToolTip(QStringLiteral("Copy the selected lines to the clipboard"));
    auto* edit = new QPushButton(QStringLiteral("Edit/Print the list"), this);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    for (QPushButton* b : {copy, edit, close}) b->setAutoDefault(false);
    connect(copy, &QPushButton::clicked, this, &Tfdisp_coord::copy_clipboard);
    connect(edit, &QPushButton::clicked, this, &Tfdisp_coord::BitBtn2Click);
    connect(close, &QPushButton::clicked, this, &Tfdisp_coord::sortie);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {copy, edit, close}) buttons->addWidget(b);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(text_);
    layout->addWidget(status_line());
    resize(420, 500);
}

Tfdisp_coord::~Tfdisp_coord() = default;

void Tfdisp_coord::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) {
        initialise();
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
    }
    ReportWindow::showEvent(event);
}

void Tfdisp_coord::reject() { sortie(); }

void Tfdisp_coord::initialise()
{
    QStringList lines;
    for (const std::string& line : coordinates_lines(model_)) lines << qs(line);
    text_->setPlainText(lines.join(QLatin1Char('\n')));
}

void Tfdisp_coord::copy_clipboard()
{
    // Nothing selected, nothing copied.
    if (text_->textCursor().hasSelection()) text_->copy();
}

void Tfdisp_coord::BitBtn2Click()
{
    if (write_report_file(coordinates_report(model_))) edit_report();
}

void Tfdisp_coord::sortie()
{
    delete_report_file();
    hide();
}

} // namespace kestro

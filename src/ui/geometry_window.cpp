#include "ui/geometry_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "analysis/geometry.h"
#include "analysis/reports.h"
#include "platform/qt_text.h"

namespace kestro {

Tfgeometry::Tfgeometry(StructureModel& model, Messages* messages, QWidget* parent)
    : ReportWindow(model, messages, GeometryReportName, parent)
{
    setWindowTitle(QStringLiteral("Geometry (CIF)"));
    text_ = new QPlainTextEdit(this);
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setFont(report_font());
    auto* edit = new QPushButton(QStringLiteral("Edit/Print"), this);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    for (QPushButton* b : {edit, close}) b->setAutoDefault(false);
    connect(edit, &QPushButton::clicked, this, &Tfgeometry::edit_geometry);
    connect(close, &QPushButton::clicked, this, &Tfgeometry::sortie);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(edit);
    buttons->addWidget(close);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(text_);
    layout->addWidget(status_line());
    resize(560, 520);
}

Tfgeometry::~Tfgeometry() = default;

void Tfgeometry::initialise()
{
    BusyScope busy(*messages_);
    const GeometryTables tables = geometry_tables(model_);
    cif_ = geometry_cif(model_, tables);
    text_->setPlainText(qs(cif_));
    if (!tables.fault.empty()) messages_->show(tables.fault);
}

void Tfgeometry::edit_geometry()
{
    if (write_report_file(cif_)) edit_report();
}

void Tfgeometry::sortie()
{
    delete_report_file();
    hide();
}

void Tfgeometry::reject() { sortie(); }

} // namespace kestro

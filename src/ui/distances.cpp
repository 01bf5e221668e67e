#include "ui/distances.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTableView>
#include <QVBoxLayout>

#include "analysis/reports.h"
#include "platform/qt_text.h"
#include "ui/text_table_model.h"

namespace kestro {

Tfdistances::Tfdistances(StructureModel& model, Messages* messages, QWidget* parent)
    : ReportWindow(model, messages, DistancesReportName, parent)
{
    setWindowTitle(QStringLiteral("Display distances"));
    rows_ = new TextTableModel(this);
    grid_ = new QTableView(this);
    grid_->setModel(rows_);
    // Rows of one height, so the view never measures 200 000 of them.
    grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid_->horizontalHeader()->setSectionsClickable(false);
    grid_->verticalHeader()->hide();
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->verticalHeader()->setDefaultSectionSize(20);
    for (int c = 0; c < 9; ++c) grid_->setColumnWidth(c, 64);
    auto* edit = new QPushButton(QStringLiteral("Edit/Print the list"), this);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    for (QPushButton* b : {edit, close}) b->setAutoDefault(false);
    connect(edit, &QPushButton::clicked, this, &Tfdistances::BitBtn2Click);
    connect(close, &QPushButton::clicked, this, &Tfdistances::sortie);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(edit);
    buttons->addWidget(close);
    buttons->addStretch(1);
    grid_->setFont(report_font());
    grid_->horizontalHeader()->setFont(report_font());
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(grid_);
    layout->addWidget(status_line());
    resize(9 * 64 + 40, 500);
}

Tfdistances::~Tfdistances() = default;

void Tfdistances::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) affiche();
    ReportWindow::showEvent(event);
}

void Tfdistances::reject() { sortie(); }

void Tfdistances::affiche()
{
    // Every bond has its row; the view asks for the rows it shows. The
    // heading row is also the grid's header, which stays in place when the
    // rows scroll.
    rows_->set_rows(model_.bonds.count() + 1, [this](int row) { return distances_row(model_, row); });
    grid_->setRowHidden(0, true);
}

void Tfdistances::BitBtn2Click()
{
    if (write_report_file(distances_report(model_))) edit_report();
}

void Tfdistances::sortie()
{
    delete_report_file();
    hide();
}

} // namespace kestro

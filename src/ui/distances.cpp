#include "ui/distances.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTableWidget>
#include <QVBoxLayout>

#include "analysis/reports.h"
#include "platform/qt_text.h"

namespace kestro {

Tfdistances::Tfdistances(StructureModel& model, Messages* messages, QWidget* parent)
    : ReportWindow(model, messages, DistancesReportName, parent)
{
    setWindowTitle(QStringLiteral("Display distances"));
    grid_ = new QTableWidget(this);
    grid_->setColumnCount(9);
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
    // Every bond has its row: the grid holds as many rows as the list. The
    // heading row is also the grid's header, which stays in place when the
    // rows scroll.
    const auto rows = distances_grid(model_);
    grid_->clearContents();
    grid_->setRowCount(static_cast<int>(rows.size()));
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < 9; ++c) {
            auto* item = new QTableWidgetItem(qs(rows[r][c]));
            item->setTextAlignment(r == 0 ? Qt::AlignCenter : (Qt::AlignRight | Qt::AlignVCenter));
            if (r == 0) grid_->setHorizontalHeaderItem(static_cast<int>(c), item->clone());
            grid_->setItem(static_cast<int>(r), static_cast<int>(c), item);
        }
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

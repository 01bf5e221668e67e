#include "ui/plan_moyen.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include "analysis/reports.h"
#include "model/errors.h"
#include "model/file_io.h"
#include "platform/qt_text.h"

namespace kestro {

Tfplan_moyen::Tfplan_moyen(StructureModel& model, Messages* messages, QWidget* parent)
    : ReportWindow(model, messages, PlaneOutputName, parent)
{
    setWindowTitle(QStringLiteral("Mean plane determination"));

    auto* buttons = new QHBoxLayout;
    const auto add_button = [&](const QString& caption, const QString& hint, void (Tfplan_moyen::*handler)()) {
        auto* b = new QPushButton(caption, this);
        b->setToolTip(hint);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, handler);
        buttons->addWidget(b);
    };
    add_button(QStringLiteral("?"), QStringLiteral("Help"), &Tfplan_moyen::aide);
    add_button(QStringLiteral("XYZ"), QStringLiteral("Display the list of the generated coordinates"),
               &Tfplan_moyen::show_coordinates);
    add_button(QStringLiteral("Compute"), QStringLiteral("Compute the mean plane equation of the selected planes"),
               &Tfplan_moyen::calcul);
    add_button(QStringLiteral("Edit"), QStringLiteral("Edit (Print) the results"), &Tfplan_moyen::edit_print);
    add_button(QStringLiteral("End"), QStringLiteral("End. Return to the plot"), &Tfplan_moyen::sortie);
    buttons->addStretch(1);

    grid_ = new QTableWidget(PlaneRows, plan_moyen::PlaneColumns, this);
    grid_->horizontalHeader()->hide();
    grid_->verticalHeader()->hide();
    grid_->horizontalHeader()->setDefaultSectionSize(35);
    grid_->verticalHeader()->setDefaultSectionSize(20);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    QFont times(QStringLiteral("Times New Roman"));
    times.setPointSize(8);
    grid_->setFont(times);
    // "C12(136)" in a 35-pixel cell: no elision, no padding.
    grid_->setTextElideMode(Qt::ElideNone);
    grid_->setWordWrap(false);
    grid_->setStyleSheet(QStringLiteral("QTableWidget::item { padding: 0px; }"));
    grid_->setFixedHeight(PlaneRows * 20 + 2 * grid_->frameWidth() + grid_->horizontalScrollBar()->sizeHint().height());
    connect(grid_, &QTableWidget::cellClicked, this, &Tfplan_moyen::onselectcell);

    results_ = new QListWidget(this);
    results_->setFont(report_font());

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(new QLabel(QStringLiteral("Selected planes"), this), 0, Qt::AlignHCenter);
    layout->addWidget(grid_);
    layout->addWidget(new QLabel(QStringLiteral("Results"), this), 0, Qt::AlignHCenter);
    layout->addWidget(results_, 1);
    layout->addWidget(status_line());
    resize(480, 570);
}

Tfplan_moyen::~Tfplan_moyen() = default;

QPushButton* Tfplan_moyen::button(const QString& hint) const
{
    for (QPushButton* b : findChildren<QPushButton*>())
        if (b->toolTip() == hint) return b;
    return nullptr;
}

void Tfplan_moyen::refresh()
{
    for (int r = 0; r < PlaneRows; ++r)
        for (int c = 0; c < plan_moyen::PlaneColumns; ++c) {
            const QString text = qs(session_.grid[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]);
            QTableWidgetItem* item = grid_->item(r, c);
            if (!item) {
                item = new QTableWidgetItem;
                item->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
                grid_->setItem(r, c, item);
            }
            item->setText(text);
        }
    results_->clear();
    for (const std::string& line : session_.results) results_->addItem(qs(line));
    if (results_->count() > 0) results_->setCurrentRow(results_->count() - 1);
}

void Tfplan_moyen::start()
{
    plan_moyen::start_mean_plane(session_);
    refresh();
    show();
    raise();
}

bool Tfplan_moyen::atom_picked(int atom)
{
    if (!session_.active) return false;
    const bool taken = plan_moyen::pick_plane_atom(session_, model_, atom, *messages_);
    refresh();
    return taken;
}

void Tfplan_moyen::atom_unpicked(int atom)
{
    if (plan_moyen::unpick_plane_atom(session_, model_, atom)) refresh();
}

void Tfplan_moyen::calcul()
{
    plan_moyen::PlaneOutcome outcome = plan_moyen::PlaneOutcome::Nothing;
    try {
        outcome = plan_moyen::calcul(session_, model_, model_.program_directory, *messages_);
    } catch (const IoError& error) {
        messages_->show(error.what());
        return;
    }
    refresh();
    if (outcome == plan_moyen::PlaneOutcome::Computed || outcome == plan_moyen::PlaneOutcome::AlignedDropped) emit marks_changed();
}

void Tfplan_moyen::edit_print()
{
    if (file_exists(ss(report_file()))) edit_report();
}

void Tfplan_moyen::onselectcell(int row, int column)
{
    if (plan_moyen::onselectcell(session_, model_, column, row)) {
        refresh();
        emit marks_changed();
    }
}

void Tfplan_moyen::sortie()
{
    plan_moyen::end_mean_plane(session_);
    refresh();
    hide();
    emit ended();
}

void Tfplan_moyen::reject() { sortie(); }

void Tfplan_moyen::aide()
{
    if (open_help) open_help(11);
}

} // namespace kestro

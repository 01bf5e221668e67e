#include "ui/efface.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "forms/efface.h"
#include "model/errors.h"
#include "platform/qt_messages.h"
#include "platform/qt_text.h"
#include "ui/marking_grid.h"

namespace kestro {

namespace {

QPushButton* ok_button_for(QDialog* dialog)
{
    auto* ok = new QPushButton(QStringLiteral("OK"), dialog);
    ok->setAutoDefault(false);
    return ok;
}

// After OK: with nothing chosen the dialog closes; after a deletion it
// refills its list, tells the main window and closes; otherwise it stays.
template <class Dialog>
void finish_deletion(Dialog& dialog, efface::DeletionOutcome outcome)
{
    if (outcome == efface::DeletionOutcome::Nothing) dialog.reject();
    if (outcome != efface::DeletionOutcome::Deleted) return;
    dialog.initialise();
    emit dialog.model_changed();
    dialog.accept();
}

void fill_atom_grid(QTableWidget* grid, const StructureModel& model)
{
    const auto rows = atom_rows(model);
    size_marking_grid(grid, static_cast<int>(rows.size()));
    set_marking_cell(grid, 0, 0, QStringLiteral("Nb"));
    set_marking_cell(grid, 0, 1, QStringLiteral("Atom"));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        set_marking_cell(grid, static_cast<int>(i) + 1, 0, qs(rows[i][0]));
        set_marking_cell(grid, static_cast<int>(i) + 1, 1, qs(rows[i][1]));
    }
}

} // namespace

// ---- elements ---------------------------------------------------------------

TfeffaceE::TfeffaceE(StructureModel& model, Messages* messages, QWidget* parent)
    : ModelDialog(model, messages, parent)
{
    setWindowTitle(QStringLiteral("Delete Elements of the asymetric unit"));
    setWindowFlag(Qt::WindowStaysOnTopHint);

    grid_ = make_marking_grid(1, this);
    connect(grid_, &QTableWidget::cellClicked, this, [this](int row, int) { onclic(row); });
    ok_ = ok_button_for(this);
    connect(ok_, &QPushButton::clicked, this, &TfeffaceE::del_elem_system);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Click on the element"), this));
    layout->addWidget(new QLabel(QStringLiteral("to select or unselect"), this));
    layout->addWidget(grid_, 0, Qt::AlignHCenter);
    layout->addWidget(ok_);
}

TfeffaceE::~TfeffaceE() = default;

void TfeffaceE::refill() { initialise(); }

void TfeffaceE::initialise()
{
    fill_element_grid(grid_, model_, QStringLiteral("Nb"));
}

void TfeffaceE::onclic(int row)
{
    // Only rows that hold an element take a mark.
    if (row < 1 || row > model_.element_sorts.count()) return;
    toggle_marking_cell(grid_, row, 0);
}

void TfeffaceE::del_elem_system()
{
    std::vector<std::string> cells;
    for (int row = 1; row <= model_.element_sorts.count(); ++row) cells.push_back(marking_cell_text(grid_, row, 0));
    efface::DeletionOutcome outcome = efface::DeletionOutcome::Refused;
    try {
        outcome = efface::del_elem_system(model_, cells, *messages_);
    } catch (const IoError& error) {
        messages_->show(error.what());
        return;
    }
    finish_deletion(*this, outcome);
}

// ---- atoms ------------------------------------------------------------------

TfeffaceA::TfeffaceA(StructureModel& model, Messages* messages, QWidget* parent)
    : ModelDialog(model, messages, parent)
{
    setWindowTitle(QStringLiteral("Delete atoms of the asymetric unit"));
    setWindowFlag(Qt::WindowStaysOnTopHint);

    grid_ = make_marking_grid(2, this);
    connect(grid_, &QTableWidget::cellClicked, this, &TfeffaceA::onclic);
    ok_ = ok_button_for(this);
    connect(ok_, &QPushButton::clicked, this, &TfeffaceA::del_atom);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral(" Select  or unselect"), this));
    layout->addWidget(new QLabel(QStringLiteral("the atoms to delete"), this));
    layout->addWidget(new QLabel(QStringLiteral("     by clicking"), this));
    layout->addWidget(grid_, 0, Qt::AlignHCenter);
    layout->addWidget(ok_);
}

TfeffaceA::~TfeffaceA() = default;

void TfeffaceA::refill() { initialise(); }

void TfeffaceA::initialise() { fill_atom_grid(grid_, model_); }

void TfeffaceA::onclic(int row, int column)
{
    // The "Atom" column of a row that holds an atom.
    if (column != 1 || row < 1 || row > model_.asym.count()) return;
    toggle_marking_cell(grid_, row, 1);
}

void TfeffaceA::del_atom()
{
    std::vector<std::string> cells;
    for (int row = 1; row <= model_.asym.count(); ++row) cells.push_back(marking_cell_text(grid_, row, 1));
    finish_deletion(*this, efface::del_atom(model_, cells, *messages_));
}

// ---- block ------------------------------------------------------------------

TfeffaceB::TfeffaceB(StructureModel& model, Messages* messages, QWidget* parent)
    : ModelDialog(model, messages, parent)
{
    setWindowTitle(QStringLiteral("Delete a bloc of atoms of the asymetric unit"));
    setWindowFlag(Qt::WindowStaysOnTopHint);

    grid_ = make_marking_grid(2, this);
    from_ = new QLineEdit(this);
    to_ = new QLineEdit(this);
    ok_ = ok_button_for(this);
    connect(ok_, &QPushButton::clicked, this, &TfeffaceB::efface_bloc);

    auto* fields = new QHBoxLayout;
    fields->addWidget(new QLabel(QStringLiteral("From Nb"), this));
    fields->addWidget(from_);
    fields->addWidget(new QLabel(QStringLiteral("To Nb"), this));
    fields->addWidget(to_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid_, 0, Qt::AlignHCenter);
    layout->addLayout(fields);
    layout->addWidget(ok_);
}

TfeffaceB::~TfeffaceB() = default;

void TfeffaceB::refill() { initialise(); }

void TfeffaceB::initialise() { fill_atom_grid(grid_, model_); }

void TfeffaceB::efface_bloc()
{
    const efface::DeletionOutcome outcome =
        efface::efface_bloc(model_, ss(from_->text()), ss(to_->text()), *messages_);
    if (outcome == efface::DeletionOutcome::Deleted) {
        from_->clear();
        to_->clear();
    }
    finish_deletion(*this, outcome);
}

} // namespace kestro

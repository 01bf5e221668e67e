#include "ui/typliai.h"

#include <QHeaderView>
#include <algorithm>
#include <QPushButton>
#include <QShowEvent>
#include <QTableWidget>
#include <QVBoxLayout>

#include "forms/typliai.h"
#include "platform/qt_messages.h"
#include "platform/qt_text.h"

namespace kestro {

namespace {

// A cell the user cannot edit: the heading row and the element columns.
QTableWidgetItem* fixed_item(const std::string& text)
{
    auto* item = new QTableWidgetItem(qs(text));
    item->setFlags(Qt::ItemIsEnabled);
    return item;
}

} // namespace

Tftypliai::Tftypliai(StructureModel& model, Messages* messages, QWidget* parent)
    : ModelDialog(model, messages, parent)
{
    setWindowTitle(QStringLiteral("Modif the bond lengths"));

    grid_ = new QTableWidget(this);
    grid_->setColumnCount(3);
    grid_->horizontalHeader()->hide();
    grid_->verticalHeader()->hide();
    for (int c = 0; c < 3; ++c) grid_->setColumnWidth(c, 40);
    grid_->horizontalHeader()->setStretchLastSection(true);
    grid_->setMinimumWidth(180);
    grid_->setMinimumHeight(300);

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setAutoDefault(false); // Return ends a cell edit, not the dialog
    connect(ok_, &QPushButton::clicked, this, &Tftypliai::sortie);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid_);
    layout->addWidget(ok_);
}

Tftypliai::~Tftypliai() = default;

void Tftypliai::refill() { initialisation(); }

void Tftypliai::initialisation()
{
    typliai::BondLimitGrid rows;
    typliai::initialisation(model_, rows);
    grid_->clearContents();
    // One row per bond sort below the heading: the model holds up to 1000.
    grid_->setRowCount(std::max<int>(2, static_cast<int>(rows.rows.size())));
    for (std::size_t r = 0; r < rows.rows.size(); ++r) {
        const int row = static_cast<int>(r);
        const auto& cells = rows.rows[r];
        grid_->setItem(row, 0, fixed_item(cells[0]));
        grid_->setItem(row, 1, fixed_item(cells[1]));
        grid_->setItem(row, 2, r == 0 ? fixed_item(cells[2]) : new QTableWidgetItem(qs(cells[2])));
    }
}

void Tftypliai::sortie()
{
    typliai::BondLimitGrid rows;
    rows.rows.resize(static_cast<std::size_t>(grid_->rowCount()));
    for (int r = 0; r < grid_->rowCount(); ++r)
        for (int c = 0; c < 3; ++c)
            if (const QTableWidgetItem* item = grid_->item(r, c))
                rows.rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] = ss(item->text());
    const bool stored = typliai::sortie(model_, rows, *messages_);
    emit model_changed();
    if (stored) accept();
}

} // namespace kestro

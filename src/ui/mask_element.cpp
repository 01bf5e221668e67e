#include "ui/mask_element.h"

#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "forms/efface.h"
#include "ui/marking_grid.h"

namespace kestro {

Tfmask_element::Tfmask_element(StructureModel& model, Messages* messages, QWidget* parent)
    : ModelDialog(model, messages, parent)
{
    setWindowTitle(QStringLiteral("Mask elements"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    grid_ = make_marking_grid(1, this);
    connect(grid_, &QTableWidget::cellClicked, this, [this](int row, int) { on_click(row); });
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setAutoDefault(false);
    connect(ok_, &QPushButton::clicked, this, &Tfmask_element::sortie);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Click on the elements to be masked"), this));
    layout->addWidget(grid_, 0, Qt::AlignHCenter);
    layout->addWidget(ok_);
}

Tfmask_element::~Tfmask_element() = default;

void Tfmask_element::refill() { initialise(); }

void Tfmask_element::initialise() { fill_element_grid(grid_, model_, QString()); }

void Tfmask_element::on_click(int row)
{
    if (row < 1 || row > model_.element_sorts.count()) return;
    toggle_marking_cell(grid_, row, 0);
}

void Tfmask_element::sortie()
{
    std::vector<std::string> cells;
    for (int row = 1; row <= model_.element_sorts.count(); ++row) cells.push_back(marking_cell_text(grid_, row, 0));
    if (mask_element::mask_elements(model_, cells) > 0) emit model_changed();
    accept();
}

} // namespace kestro

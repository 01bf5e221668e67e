#include "ui/sphere.h"

#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QRadioButton>
#include <QVBoxLayout>

#include "forms/enclosure.h"
#include "platform/qt_messages.h"
#include "platform/qt_text.h"
#include "ui/enclosure_parts.h"

namespace kestro {

Tfsphere::Tfsphere(StructureModel& model, Messages* messages, QWidget* parent)
    : ModelDialog(model, messages, parent)
{
    setWindowTitle(QStringLiteral("Definition of the sphere of enclosure"));

    // The heading is shared with the box dialog, box in its wording included.
    QLabel* heading =
        red_heading(QStringLiteral("Centre: Clic on an atom or enter the coordinates of the centre of the box"), this);

    CentrePanel panel = make_centre_panel(this);
    atoms_ = panel.atoms;
    centre_ = panel.centre;
    QGridLayout* fields = panel.fields;
    connect(atoms_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { clic_listbox1(atoms_->row(item)); });
    radius_ = new QLineEdit(this);
    fields->addWidget(new QLabel(QStringLiteral("Radius:"), this), 3, 0);
    fields->addWidget(radius_, 3, 1);
    add_cut_group(panel, this, 4);
    yes_ = panel.yes;
    no_ = panel.no;

    auto* middle = new QHBoxLayout;
    middle->addWidget(atoms_, 1);
    middle->addLayout(fields);

    QHBoxLayout* buttons = ok_cancel_row(this, ok_, cancel_);
    connect(ok_, &QPushButton::clicked, this, &Tfsphere::Button1Click);
    connect(cancel_, &QPushButton::clicked, this, &Tfsphere::annule);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addLayout(middle);
    layout->addLayout(buttons);
}

Tfsphere::~Tfsphere() = default;

void Tfsphere::refill() { initialise(); }

void Tfsphere::initialise()
{
    atoms_->clear();
    const sphere::SphereFields fields = sphere::sphere_fields(model_);
    radius_->setText(qs(fields.radius));
    for (std::size_t i = 0; i < 3; ++i) centre_[i]->setText(qs(fields.centre[i]));
    yes_->setChecked(true);
    for (const std::string& line : enclosure_atom_lines(model_)) atoms_->addItem(qs(line));
}

void Tfsphere::clic_listbox1(int row)
{
    std::array<std::string, 3> centre;
    if (!centre_from_atom(model_, row + 1, centre)) return;
    for (std::size_t i = 0; i < 3; ++i) centre_[i]->setText(qs(centre[i]));
}

void Tfsphere::Button1Click()
{
    sphere::SphereFields fields;
    fields.radius = ss(radius_->text());
    for (std::size_t i = 0; i < 3; ++i) fields.centre[i] = ss(centre_[i]->text());
    fields.cut = yes_->isChecked() ? CutChoice::Yes : no_->isChecked() ? CutChoice::No : CutChoice::None;
    const int failed = sphere::read_sphere_fields(model_, fields, *messages_);
    // Fields read before a failure show the "0" an empty one became.
    const int read = failed < 0 ? 4 : failed;
    if (read > 0) radius_->setText(qs(fields.radius));
    for (int i = 1; i < read; ++i)
        centre_[static_cast<std::size_t>(i - 1)]->setText(qs(fields.centre[static_cast<std::size_t>(i - 1)]));
    if (read > 0) emit model_changed();
    if (failed >= 0) {
        QLineEdit* field = failed == 0 ? radius_ : centre_[static_cast<std::size_t>(failed - 1)];
        field->setFocus();
        field->selectAll();
        return;
    }
    accept();
}

void Tfsphere::annule()
{
    sphere::annule_sphere(model_);
    emit model_changed();
    QDialog::reject();
}

void Tfsphere::reject() { annule(); }

} // namespace kestro

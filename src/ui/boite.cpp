#include "ui/boite.h"

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
#include <QScreen>
#include <QVBoxLayout>

#include "forms/enclosure.h"
#include "platform/qt_messages.h"
#include "platform/qt_text.h"
#include "ui/enclosure_parts.h"

namespace kestro {

Tfboite::Tfboite(StructureModel& model, Messages* messages, QWidget* parent)
    : ModelDialog(model, messages, parent)
{
    setWindowTitle(QStringLiteral("Definition of the box"));

    CentrePanel panel = make_centre_panel(this);
    add_cut_group(panel, this, 3);
    atoms_ = panel.atoms;
    centre_ = panel.centre;
    yes_ = panel.yes;
    no_ = panel.no;
    QGridLayout* centre_box = panel.fields;
    connect(atoms_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { clic_listbox(atoms_->row(item)); });

    auto* top = new QHBoxLayout;
    top->addWidget(atoms_, 1);
    top->addLayout(centre_box);

    auto* edge_box = new QHBoxLayout;
    const std::array<QString, 3> edge_names{QStringLiteral("Edge // x"), QStringLiteral("Edge // y"),
                                            QStringLiteral("Edge // z")};
    for (int i = 0; i < 3; ++i) {
        edges_[static_cast<std::size_t>(i)] = new QLineEdit(this);
        edge_box->addWidget(new QLabel(edge_names[static_cast<std::size_t>(i)], this));
        edge_box->addWidget(edges_[static_cast<std::size_t>(i)]);
    }

    QHBoxLayout* buttons = ok_cancel_row(this, ok_, cancel_);
    connect(ok_, &QPushButton::clicked, this, &Tfboite::Lecture_limites);
    connect(cancel_, &QPushButton::clicked, this, &Tfboite::annule);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(red_heading(
        QStringLiteral("Centre: Clic on an atom or enter the coordinates of the centre of the box"), this));
    layout->addLayout(top);
    layout->addWidget(red_heading(QStringLiteral("Dimensions of the box around the centre"), this));
    layout->addLayout(edge_box);
    layout->addLayout(buttons);
}

Tfboite::~Tfboite() = default;

void Tfboite::refill()
{
    initialise();
    if (const QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
}

void Tfboite::initialise()
{
    atoms_->clear();
    const boite::BoxFields fields = boite::box_fields(model_);
    for (std::size_t i = 0; i < 3; ++i) {
        edges_[i]->setText(qs(fields.edges[i]));
        centre_[i]->setText(qs(fields.centre[i]));
    }
    yes_->setChecked(true);
    for (const std::string& line : enclosure_atom_lines(model_)) atoms_->addItem(qs(line));
}

void Tfboite::clic_listbox(int row)
{
    std::array<std::string, 3> centre;
    if (!centre_from_atom(model_, row + 1, centre)) return;
    for (std::size_t i = 0; i < 3; ++i) centre_[i]->setText(qs(centre[i]));
}

void Tfboite::Lecture_limites()
{
    boite::BoxFields fields;
    for (std::size_t i = 0; i < 3; ++i) {
        fields.edges[i] = ss(edges_[i]->text());
        fields.centre[i] = ss(centre_[i]->text());
    }
    fields.cut = yes_->isChecked() ? CutChoice::Yes : no_->isChecked() ? CutChoice::No : CutChoice::None;
    const int failed = boite::Lecture_limites(model_, fields, *messages_);
    // Fields read before a failure show the "0" an empty one became.
    const int read = failed < 0 ? 6 : failed;
    for (int i = 0; i < read; ++i) {
        QLineEdit* field = i < 3 ? edges_[static_cast<std::size_t>(i)] : centre_[static_cast<std::size_t>(i - 3)];
        const std::string& text = i < 3 ? fields.edges[static_cast<std::size_t>(i)]
                                        : fields.centre[static_cast<std::size_t>(i - 3)];
        field->setText(qs(text));
    }
    if (read > 0) emit model_changed();
    if (failed >= 0) {
        QLineEdit* field =
            failed < 3 ? edges_[static_cast<std::size_t>(failed)] : centre_[static_cast<std::size_t>(failed - 3)];
        field->setFocus();
        field->selectAll();
        return;
    }
    accept();
}

void Tfboite::annule()
{
    boite::annule_box(model_);
    emit model_changed();
    QDialog::reject();
}

void Tfboite::reject() { annule(); }

} // namespace kestro

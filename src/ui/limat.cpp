#include "ui/limat.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "platform/qt_messages.h"
#include "platform/qt_text.h"

namespace kestro {

Tflimat::Tflimat(StructureModel& model, DrawingState& drawing, Messages* messages, QWidget* parent)
    : QDialog(parent), model_(model), drawing_(drawing)
{
    if (!messages) {
        own_messages_ = std::make_unique<QtMessages>(this);
        messages = own_messages_.get();
    }
    messages_ = messages;
    setWindowTitle(QStringLiteral("Kestro: Definition of the oientation  of the structure"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Define the direction of 1,2 or 3 axis in the direct or reciprocal space"), this));
    auto* grid = new QGridLayout;
    const char* const headings[3] = {"a or a*", "b or b*", "c or c*"};
    for (int c = 0; c < 3; ++c) grid->addWidget(new QLabel(QString::fromLatin1(headings[c]), this), 0, c + 1, Qt::AlignCenter);
    grid->addWidget(new QLabel(QStringLiteral("Space"), this), 0, 4, Qt::AlignCenter);
    // Rows from the top: Z, X, Y.
    struct Row {
        int axis;
        const char* caption;
    };
    constexpr Row rows[3] = {{2, "Direction of the projection (Z) :"},
                             {0, "Horizontal direction ((X) :"},
                             {1, "Vertical direction (Y) :"}};
    for (int r = 0; r < 3; ++r) {
        const int axis = rows[r].axis;
        grid->addWidget(new QLabel(QString::fromLatin1(rows[r].caption), this), r + 1, 0);
        for (int c = 0; c < 3; ++c) {
            auto* box = new QLineEdit(this);
            box->setFixedWidth(60);
            connect(box, &QLineEdit::editingFinished, this, &Tflimat::verifie);
            fields_[static_cast<std::size_t>(axis)][static_cast<std::size_t>(c)] = box;
            grid->addWidget(box, r + 1, c + 1);
        }
        auto* space = new QWidget(this);
        auto* choices = new QHBoxLayout(space);
        choices->setContentsMargins(0, 0, 0, 0);
        auto* group = new QButtonGroup(space);
        auto* direct = new QRadioButton(QStringLiteral("Direct"), space);
        auto* reciprocal = new QRadioButton(QStringLiteral("Recipr."), space);
        group->addButton(direct, 0);
        group->addButton(reciprocal, 1);
        choices->addWidget(direct);
        choices->addWidget(reciprocal);
        spaces_[static_cast<std::size_t>(axis)] = group;
        grid->addWidget(space, r + 1, 4);
    }
    layout->addLayout(grid);

    auto* buttons = new QHBoxLayout;
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    auto* cancel_button = new QPushButton(QStringLiteral("Cancel"), this);
    auto* help = new QPushButton(QStringLiteral("Help"), this);
    for (QPushButton* b : {ok_, cancel_button, help}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    connect(ok_, &QPushButton::clicked, this, &Tflimat::calcul_mat);
    connect(cancel_button, &QPushButton::clicked, this, &Tflimat::cancel);
    connect(help, &QPushButton::clicked, this, &Tflimat::Aide_matrice);
    layout->addLayout(buttons);
}

Tflimat::~Tflimat() = default;

void Tflimat::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) init_first();
    QDialog::showEvent(event);
}

QLineEdit* Tflimat::field(int axis, int column) const
{
    return fields_.at(static_cast<std::size_t>(axis)).at(static_cast<std::size_t>(column));
}

void Tflimat::set_space(int axis, AxisSpace space)
{
    spaces_.at(static_cast<std::size_t>(axis))->button(space == AxisSpace::Direct ? 0 : 1)->setChecked(true);
}

limat::OrientationFields Tflimat::read_fields() const
{
    limat::OrientationFields fields;
    for (std::size_t axis = 0; axis < 3; ++axis) {
        for (std::size_t c = 0; c < 3; ++c) fields.texts[axis][c] = ss(fields_[axis][c]->text());
        fields.space[axis] = spaces_[axis]->checkedId() == 0 ? AxisSpace::Direct : AxisSpace::Reciprocal;
    }
    return fields;
}

void Tflimat::write_fields(const limat::OrientationFields& fields)
{
    for (std::size_t axis = 0; axis < 3; ++axis) {
        for (std::size_t c = 0; c < 3; ++c) fields_[axis][c]->setText(qs(fields.texts[axis][c]));
        set_space(static_cast<int>(axis), fields.space[axis]);
    }
}

void Tflimat::init_first()
{
    write_fields(limat::default_orientation_fields());
    move(10, 40);
    field(0, 0)->setFocus();
}

void Tflimat::verifie()
{
    // A message box takes the focus, and a field that loses it reports again.
    if (verifying_) return;
    verifying_ = true;
    limat::OrientationFields fields = read_fields();
    limat::verifie(fields, *messages_);
    write_fields(fields);
    verifying_ = false;
}

void Tflimat::calcul_mat()
{
    verifying_ = true;
    limat::OrientationFields fields = read_fields();
    OrientationOutcome outcome;
    {
        BusyScope busy(*messages_);
        outcome = limat::calcul_mat(model_, drawing_, fields, *messages_);
    }
    write_fields(fields);
    verifying_ = false;
    if (outcome == OrientationOutcome::Refused) return;
    hide();
    if (outcome == OrientationOutcome::Applied) emit orientation_changed();
}

void Tflimat::cancel() { hide(); }

void Tflimat::Aide_matrice()
{
    if (open_help) open_help(5);
}

} // namespace kestro

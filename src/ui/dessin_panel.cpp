// The drawing window's right-hand panel: probability, thermal mode, shading,
// sections, black and white, bonds, cell and labels, the colour grid, the
// direction of projection and the scale.

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QColorDialog>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "crystal/disorder.h"
#include "crystal/sorts.h"
#include "drawing/drawing_state.h"
#include "model/fields.h"
#include "model/labels.h"
#include "model/numbers.h"
#include "platform/qt_messages.h"
#include "platform/qt_text.h"
#include "ui/dessin.h"

namespace kestro {

namespace {

QWidget* titled_frame(const QString& title, QWidget* parent, QBoxLayout*& inner, bool horizontal = false)
{
    auto* box = new QWidget(parent);
    auto* outer = new QVBoxLayout(box);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    auto* caption = new QLabel(title, box);
    caption->setWordWrap(true);
    outer->addWidget(caption);
    auto* frame = new QFrame(box);
    frame->setFrameShape(QFrame::StyledPanel);
    inner = horizontal ? static_cast<QBoxLayout*>(new QHBoxLayout(frame))
                       : static_cast<QBoxLayout*>(new QVBoxLayout(frame));
    inner->setContentsMargins(3, 1, 3, 1);
    inner->setSpacing(0);
    outer->addWidget(frame);
    return box;
}

// A group of radio buttons with the given ids; the first one checked.
QWidget* radio_group(const QString& title, const QStringList& items, int first_id, QButtonGroup*& group,
                     QWidget* parent, bool horizontal)
{
    QBoxLayout* layout = nullptr;
    QWidget* box = titled_frame(title, parent, layout, horizontal);
    group = new QButtonGroup(box);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items.at(i), box);
        group->addButton(button, first_id + i);
        layout->addWidget(button);
    }
    group->button(first_id)->setChecked(true);
    return box;
}

QLineEdit* read_only_box(QWidget* parent, int width)
{
    auto* box = new QLineEdit(parent);
    box->setReadOnly(true);
    box->setFixedWidth(width);
    return box;
}

} // namespace

QWidget* Tfdessin::build_panel()
{
    auto* panel = new QWidget(this);
    // A smaller font keeps both columns beside the picture on a 1024-pixel screen.
    QFont font = panel->font();
    font.setPointSizeF(std::min(font.pointSizeF(), 8.0));
    panel->setFont(font);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);

    // First column: the figure of the atoms and bonds.
    auto* left = new QVBoxLayout;
    left->setSpacing(1);
    left->addWidget(new QLabel(QStringLiteral("Probability (%)"), panel));
    probability_ = new QListWidget(panel);
    for (int p = 10; p <= 100; p += 10) probability_->addItem(QString::number(p));
    probability_->setFixedSize(60, 84);
    left->addWidget(probability_);
    left->addWidget(radio_group(QStringLiteral("Thermal parameters"), {QStringLiteral("Aniso"), QStringLiteral("Iso")},
                                0, thermal_, panel, true));
    gradation_ = new QCheckBox(QStringLiteral("Color gradation"), panel);
    planes_ = new QCheckBox(QStringLiteral("Draw the planes"), panel);
    planes_axes_ = new QCheckBox(QStringLiteral("Draw planes and axes"), panel);
    black_white_ = new QCheckBox(QStringLiteral("Black and White"), panel);
    for (QCheckBox* box : {gradation_, planes_, planes_axes_, black_white_}) left->addWidget(box);

    const auto slider_row = [&](int low, int high, int start, QSlider*& slider, QLineEdit*& box, const QString& caption) {
        slider = new QSlider(Qt::Horizontal, panel);
        slider->setRange(low, high);
        slider->setValue(start);
        slider->setPageStep(1);
        box = read_only_box(panel, 40);
        auto* row = new QHBoxLayout;
        row->addWidget(slider);
        row->addWidget(box);
        left->addLayout(row);
        left->addWidget(new QLabel(caption, panel));
    };
    slider_row(1, 10, 3, bond_width_slider_, bond_width_box_, QStringLiteral("Bond width"));
    slider_row(0, 10, 6, perspective_slider_, perspective_box_, QStringLiteral("Bond perspective"));
    left->addWidget(radio_group(QStringLiteral("Draw Double/triple bond"), {QStringLiteral("No"), QStringLiteral("Yes")},
                                0, double_triple_, panel, true));
    cell_ = new QCheckBox(QStringLiteral("Draw the cell"), panel);
    labels_centre_ = new QCheckBox(QStringLiteral("Labels in centre"), panel);
    labels_off_centre_ = new QCheckBox(QStringLiteral("Labels off centre"), panel);
    for (QCheckBox* box : {cell_, labels_centre_, labels_off_centre_}) left->addWidget(box);
    left->addStretch(1);
    grid->addLayout(left, 0, 0, Qt::AlignTop);

    // Second column: colours, direction of projection, scale, mouse.
    auto* right = new QVBoxLayout;
    right->setSpacing(2);
    colour_grid_ = new QTableWidget(0, 2, panel);
    colour_grid_->horizontalHeader()->hide();
    colour_grid_->verticalHeader()->hide();
    const int name_width = std::max(50, colour_grid_->fontMetrics().horizontalAdvance(QStringLiteral("BackGrd")) + 8);
    colour_grid_->setColumnWidth(0, name_width);
    colour_grid_->setColumnWidth(1, 20);
    colour_grid_->verticalHeader()->setDefaultSectionSize(20);
    colour_grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    colour_grid_->setSelectionMode(QAbstractItemView::NoSelection);
    colour_grid_->setFocusPolicy(Qt::NoFocus);
    colour_grid_->setFixedWidth(name_width + 20 + 2 * colour_grid_->frameWidth() + 16);
    right->addWidget(colour_grid_);
    right->addWidget(build_direction_panel());

    QBoxLayout* scale_layout = nullptr;
    QWidget* scale = titled_frame(QStringLiteral("Scale"), panel, scale_layout, true);
    scale_slider_ = new QSlider(Qt::Horizontal, scale);
    scale_slider_->setRange(-4, 10);
    scale_slider_->setValue(0);
    scale_slider_->setPageStep(1);
    zoom_box_ = read_only_box(scale, 50);
    zoom_box_->setText(qs(zoom_text_from_slider(1.0)));
    scale_layout->addWidget(scale_slider_);
    scale_layout->addWidget(zoom_box_);
    right->addWidget(scale);

    right->addWidget(radio_group(QStringLiteral("Mouse movement (left button down)"),
                                 {QStringLiteral("Rotation XY "), QStringLiteral("Rotation Z"),
                                  QStringLiteral("Translation")},
                                 1, mouse_modes_, panel, false));
    QBoxLayout* disorder_layout = nullptr;
    disorder_frame_ = titled_frame(QStringLiteral("Disorder"), panel, disorder_layout, false);
    parts_ = new QComboBox(disorder_frame_);
    parts_->setToolTip(QStringLiteral("The disorder parts drawn besides the ordered atoms"));
    parts_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    parts_->setMinimumContentsLength(8);
    dash_minor_ = new QCheckBox(QStringLiteral("Dash minor parts"), disorder_frame_);
    dash_minor_->setToolTip(QStringLiteral("Bonds of the parts other than the major ones hollow and dashed"));
    disorder_layout->addWidget(parts_);
    disorder_layout->addWidget(dash_minor_);
    right->addWidget(disorder_frame_);
    QBoxLayout* hydrogen_layout = nullptr;
    QWidget* hydrogen = titled_frame(QStringLiteral("Hydrogen spheres"), panel, hydrogen_layout, true);
    hydrogen_layout->addWidget(new QLabel(QStringLiteral("Radius (A)"), hydrogen));
    hydrogen_radius_ = new QLineEdit(hydrogen);
    hydrogen_radius_->setFixedWidth(50);
    hydrogen_radius_->setToolTip(
        QStringLiteral("Every hydrogen atom drawn as a sphere of this radius; empty: as its ellipsoid"));
    hydrogen_layout->addWidget(hydrogen_radius_);
    right->addWidget(hydrogen);
    right->addStretch(1);
    grid->addLayout(right, 0, 1, Qt::AlignTop);

    connect(probability_, &QListWidget::currentRowChanged, this, [this] {
        if (!filling_controls_) change_probabilite();
    });
    connect(thermal_, &QButtonGroup::idClicked, this, [this] { RadioGroup2Click(); });
    connect(gradation_, &QCheckBox::clicked, this, &Tfdessin::degarde_option);
    connect(planes_, &QCheckBox::clicked, this, &Tfdessin::CheckBox1Click);
    connect(planes_axes_, &QCheckBox::clicked, this, &Tfdessin::clickonplanesaxes);
    connect(black_white_, &QCheckBox::clicked, this, &Tfdessin::redessine);
    connect(bond_width_slider_, &QSlider::valueChanged, this, [this](int position) {
        if (!filling_controls_) change_width_bond(position);
    });
    connect(perspective_slider_, &QSlider::valueChanged, this, [this](int position) {
        if (!filling_controls_) chane_angle_perspective(position);
    });
    connect(bond_width_box_, &QLineEdit::editingFinished, this, &Tfdessin::change_bond_width);
    connect(double_triple_, &QButtonGroup::idClicked, this, [this] { RadioGroup3Click(); });
    connect(cell_, &QCheckBox::clicked, this, &Tfdessin::draw_cell);
    connect(labels_centre_, &QCheckBox::clicked, this, &Tfdessin::label_centre);
    connect(labels_off_centre_, &QCheckBox::clicked, this, &Tfdessin::decale_label);
    connect(colour_grid_, &QTableWidget::cellClicked, this, [this](int row, int) { selection_couleur(row); });
    connect(scale_slider_, &QSlider::valueChanged, this, [this](int position) {
        if (!filling_controls_) change_echelle(position);
    });
    connect(mouse_modes_, &QButtonGroup::idClicked, this, &Tfdessin::set_mode_rotation);
    connect(parts_, qOverload<int>(&QComboBox::activated), this, &Tfdessin::choose_parts);
    connect(dash_minor_, &QCheckBox::clicked, this, &Tfdessin::dash_minor_parts);
    connect(hydrogen_radius_, &QLineEdit::editingFinished, this, &Tfdessin::change_hydrogen_radius);
    return panel;
}

QWidget* Tfdessin::build_direction_panel()
{
    QBoxLayout* layout = nullptr;
    QWidget* box = titled_frame(QStringLiteral("Direction of projection"), this, layout);
    const char* const names[3] = {"X", "Y", "Z"};
    for (int i = 0; i < 3; ++i) {
        auto* row = new QHBoxLayout;
        row->addWidget(new QLabel(QString::fromLatin1(names[i]), box));
        direction_[static_cast<std::size_t>(i)] = read_only_box(box, 80);
        row->addWidget(direction_[static_cast<std::size_t>(i)]);
        row->addStretch(1);
        layout->addLayout(row);
    }
    orientation_view_ = new QLabel(box);
    orientation_view_->setFixedSize(orientation_side_, orientation_side_);
    layout->addWidget(orientation_view_);
    return box;
}


void Tfdessin::fill_option_controls()
{
    filling_controls_ = true;
    const DrawingOptions& d = model_.drawing;
    const QSignalBlocker blockers[] = {QSignalBlocker(probability_), QSignalBlocker(bond_width_slider_),
                                       QSignalBlocker(perspective_slider_), QSignalBlocker(scale_slider_)};
    if (d.probability_index >= 1 && d.probability_index <= 10)
        probability_->setCurrentRow(d.probability_index - 1);
    else
        probability_->setCurrentRow(-1);
    bond_width_box_->setText(qs(fmt_real(d.bond_width, 6, 2)));
    perspective_box_->setText(qs(fmt_real(d.bond_perspective, 6, 2)));
    bond_width_slider_->setValue(static_cast<int>(std::lround(d.bond_width / 0.01)));
    perspective_slider_->setValue(static_cast<int>(std::lround(d.bond_perspective / 2)));
    thermal_->button(d.thermal_iso ? 1 : 0)->setChecked(true);
    double_triple_->button(d.double_triple ? 1 : 0)->setChecked(true);
    gradation_->setChecked(d.colour_gradation != 0);
    planes_->setChecked(d.draw_planes != 0);
    planes_axes_->setChecked(d.draw_planes_axes != 0);
    black_white_->setChecked(d.black_white != 0);
    cell_->setChecked(d.draw_cell != 0);
    labels_centre_->setChecked(d.labels_centre != 0);
    labels_off_centre_->setChecked(d.labels_off_centre != 0);
    {
        // "All parts", "Major part", then each part the structure has.
        const QSignalBlocker parts_blocker(parts_);
        parts_->clear();
        parts_->addItem(QStringLiteral("All parts"));
        parts_->addItem(QStringLiteral("Major part"));
        int current = d.parts_shown == PartsShown::Major ? 1 : 0;
        for (const int part : disorder_parts(model_)) {
            if (d.parts_shown == PartsShown::One && part == d.part_number) current = parts_->count();
            parts_->addItem(QStringLiteral("Part %1").arg(part), part);
        }
        parts_->setCurrentIndex(current);
        dash_minor_->setChecked(d.dash_minor != 0);
        disorder_frame_->setEnabled(parts_->count() > 2);
    }
    scale_slider_->setValue(static_cast<int>(std::lround(5 * state_->screen.f - 5)));
    hydrogen_radius_->setText(d.hydrogen_radius > 0 ? qs(fmt_real(d.hydrogen_radius, 0, 2)) : QString());
    filling_controls_ = false;
}

// ---- colour grid --------------------------------------------------------------

void Tfdessin::rebuild_colour_grid()
{
    const int rows = colour_grid_rows(model_);
    colour_grid_->setRowCount(rows);
    const auto name_cell = [&](int row, const QString& text) {
        auto* item = new QTableWidgetItem(text);
        item->setTextAlignment(Qt::AlignCenter);
        colour_grid_->setItem(row, 0, item);
        colour_grid_->setItem(row, 1, new QTableWidgetItem);
    };
    name_cell(0, QStringLiteral("BackGrd"));
    name_cell(1, QStringLiteral("Bonds"));
    for (int i = 1; i <= model_.element_sorts.count(); ++i)
        name_cell(i + 1, qs(display_symbol(model_.element_sorts[i].symbol.view())));
    // Taller grids scroll: the panel must fit the window.
    colour_grid_->setFixedHeight(std::min(rows, 7) * 20 + 2 * colour_grid_->frameWidth());
    peint_stringgrid1();
}

void Tfdessin::peint_stringgrid1()
{
    for (int row = 0; row < colour_grid_->rowCount(); ++row) {
        QTableWidgetItem* name = colour_grid_->item(row, 0);
        QTableWidgetItem* colour = colour_grid_->item(row, 1);
        if (!name || !colour) continue;
        name->setBackground(to_qcolor(colour::Silver));
        name->setForeground(Qt::black);
        colour->setBackground(to_qcolor(grid_colour(model_, row)));
    }
}

void Tfdessin::selection_couleur(int row)
{
    if (row < 0 || row >= colour_grid_rows(model_)) return;
    const Colour current = grid_colour(model_, row);
    Colour chosen = current;
    const bool ok = choose_colour ? choose_colour(current, chosen) : [&] {
        const QColor picked = QColorDialog::getColor(to_qcolor(current), this);
        if (!picked.isValid()) return false;
        chosen = from_qcolor(picked);
        return true;
    }();
    if (!ok) return;
    {
        const QSignalBlocker blocker(black_white_);
        black_white_->setChecked(false);
    }
    choose_grid_colour(model_, *state_, row, chosen, *messages_);
    peint_stringgrid1();
    draw();
}

// ---- options ----------------------------------------------------------------

void Tfdessin::redessine()
{
    if (!isVisible()) return;
    DrawingOptions& d = model_.drawing;
    const int mode = mouse_modes_->checkedId();
    interaction_->mouse_mode = static_cast<MouseMode>(mode < 0 ? 0 : mode);
    d.draw_cell = cell_->isChecked();
    d.labels_centre = labels_centre_->isChecked();
    d.labels_off_centre = labels_off_centre_->isChecked();
    d.colour_gradation = gradation_->isChecked();
    d.draw_planes = planes_->isChecked();
    d.draw_planes_axes = planes_axes_->isChecked();

    const auto width = parse_real(ss(bond_width_box_->text().trimmed()));
    if (!width) {
        messages_->show("Read error!");
        bond_width_box_->setFocus();
        return;
    }
    const auto perspective = parse_real(ss(perspective_box_->text().trimmed()));
    if (!perspective) {
        messages_->show("Read Error!");
        perspective_box_->setFocus();
        return;
    }
    d.bond_width = *width;
    d.bond_perspective = *perspective;
    d.probability_index = probability_->currentRow() + 1;

    BusyScope busy(*messages_);
    const bool black_white = black_white_->isChecked();
    if (black_white && !d.black_white) {
        black_and_white_on(model_);
        d.black_white = 1;
        peint_stringgrid1();
    } else if (!black_white && d.black_white) {
        black_and_white_off(model_, *state_, *messages_);
        d.black_white = 0;
        peint_stringgrid1();
    }
    bool new_points = false;
    if (d.draw_cell != drawn_cell_) {
        compute_view_points(model_, *state_);
        new_points = true;
    }
    assign_atom_colours(model_);
    if (d.probability_index != drawn_probability_) {
        update_view(model_, *state_, *messages_);
        new_points = true;
    }
    drawn_cell_ = d.draw_cell;
    drawn_probability_ = d.probability_index;
    // New view points keep the zoom factor: the box shows the factor in force.
    if (new_points) zoom_box_->setText(qs(zoom_text_from_slider(state_->screen.f)));
    draw();
}

void Tfdessin::change_width_bond(int position)
{
    model_.drawing.bond_width = position * 0.01;
    bond_width_box_->setText(qs(fmt_real(model_.drawing.bond_width, 5, 2)));
    redessine();
}

void Tfdessin::chane_angle_perspective(int position)
{
    model_.drawing.bond_perspective = position * 2.0;
    perspective_box_->setText(qs(fmt_real(model_.drawing.bond_perspective, 5, 2)));
    redessine();
}

void Tfdessin::change_probabilite() { redessine(); }
void Tfdessin::change_bond_width() { redessine(); }
void Tfdessin::draw_cell() { redessine(); }
void Tfdessin::degarde_option() { redessine(); }

void Tfdessin::CheckBox1Click()
{
    if (planes_->isChecked()) {
        const QSignalBlocker blocker(planes_axes_);
        planes_axes_->setChecked(false);
    }
    redessine();
}

void Tfdessin::clickonplanesaxes()
{
    if (planes_axes_->isChecked()) {
        const QSignalBlocker blocker(planes_);
        planes_->setChecked(false);
    }
    redessine();
}

void Tfdessin::RadioGroup2Click()
{
    model_.drawing.thermal_iso = thermal_->checkedId() == 1 ? 1 : 0;
    BusyScope busy(*messages_);
    compute_ellipsoid_tensors(model_, *state_, *messages_);
    compute_outlines(model_, *state_);
    draw();
}

void Tfdessin::choose_parts(int item)
{
    DrawingOptions& d = model_.drawing;
    d.parts_shown = item == 0 ? PartsShown::All : item == 1 ? PartsShown::Major : PartsShown::One;
    d.part_number = item >= 2 ? parts_->itemData(item).toInt() : 0;
    // The atoms drawn decide the centre and the scale.
    BusyScope busy(*messages_);
    update_view(model_, *state_, *messages_);
    draw();
}

void Tfdessin::change_hydrogen_radius()
{
    const auto radius = parse_hydrogen_radius(ss(hydrogen_radius_->text()));
    if (!radius) {
        messages_->show("The hydrogen radius is a number from 0.01 to 2 Angstrom, or empty");
        hydrogen_radius_->setFocus();
        return;
    }
    if (*radius == model_.drawing.hydrogen_radius) return;
    model_.drawing.hydrogen_radius = *radius;
    // The spheres change the smallest axis, hence the scale.
    BusyScope busy(*messages_);
    update_view(model_, *state_, *messages_);
    draw();
}

void Tfdessin::dash_minor_parts()
{
    model_.drawing.dash_minor = dash_minor_->isChecked() ? 1 : 0;
    draw();
}

void Tfdessin::RadioGroup3Click()
{
    model_.drawing.double_triple = double_triple_->checkedId() == 1 ? 1 : 0;
    draw();
}

void Tfdessin::label_centre()
{
    Workbench b = bench();
    kestro::label_centre(b, labels_centre_->isChecked());
    sync_controls();
    redessine();
}

void Tfdessin::decale_label()
{
    Workbench b = bench();
    kestro::decale_label(b, labels_off_centre_->isChecked());
    sync_controls();
    redessine();
}

} // namespace kestro

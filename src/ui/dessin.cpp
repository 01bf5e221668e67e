#include "ui/dessin.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QColorDialog>
#include <QFileDialog>
#include <QGridLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "crystal/bonds.h"
#include "crystal/sorts.h"
#include "drawing/drawing_state.h"
#include "formats/kes.h"
#include "model/errors.h"
#include "model/fields.h"
#include "model/file_io.h"
#include "model/labels.h"
#include "model/numbers.h"
#include "platform/help_viewer.h"
#include "platform/image_export.h"
#include "platform/painter_canvas.h"
#include "platform/qt_messages.h"
#include "platform/raster_canvas.h"

namespace kestro {

namespace {

const char* const PictureFilters =
    "Bitmap format  (*.bmp);;JPEG format (*.jpg);;SVG picture (*.svg);;PNG format (*.png)";
const char* const BitmapFilter = "Bitmap format  (*.bmp)";
const char* const JpegFilter = "JPEG format (*.jpg)";
const char* const SvgFilter = "SVG picture (*.svg)";
const char* const PngFilter = "PNG format (*.png)";
const char* const OverwriteQuestion = "This file already exists. Do you want to continue?";

QString qs(const std::string& text) { return QString::fromStdString(text); }

// A titled frame whose title wraps, so that long titles do not widen the
// narrow panel columns.
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

// The picture: the last image drawn, the rubber band of a zoom drag and
// the prompt bar across its top. Mouse events go to the window's handlers.
class PictureView : public QWidget {
public:
    explicit PictureView(Tfdessin& owner) : QWidget(&owner), owner_(owner)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        prompt = new QLabel(this);
        prompt->setAutoFillBackground(true);
        QPalette palette = prompt->palette();
        palette.setColor(QPalette::Window, QColor(255, 255, 0));
        palette.setColor(QPalette::WindowText, Qt::black);
        prompt->setPalette(palette);
        QFont font(QStringLiteral("Times New Roman"));
        font.setPixelSize(16);
        prompt->setFont(font);
        prompt->hide();
    }

    void set_side(int side)
    {
        setFixedSize(side, side);
        prompt->setGeometry(0, 0, side, 22);
    }

    QLabel* prompt = nullptr;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        if (owner_.image_.isNull())
            painter.fillRect(rect(), Qt::white);
        else
            painter.drawImage(QPoint(0, 0), owner_.image_);
        if (owner_.rubber_band_) {
            QPen pen(QColor(0x80, 0x80, 0x80));
            pen.setStyle(Qt::DashLine);
            painter.setPen(pen);
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(owner_.rubber_);
        }
    }
    void mousePressEvent(QMouseEvent* event) override { owner_.flag_on(event->button(), event->position().toPoint()); }
    void mouseMoveEvent(QMouseEvent* event) override { owner_.mouse_move(event->position().toPoint()); }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        owner_.mouse_up(event->button(), event->position().toPoint());
    }

private:
    Tfdessin& owner_;
};

Tfdessin::Tfdessin(StructureModel& model, Messages* messages, QWidget* parent)
    : QMainWindow(parent), model_(model), state_(std::make_unique<DrawingState>())
{
    if (!messages) {
        own_messages_ = std::make_unique<QtMessages>(this);
        messages = own_messages_.get();
    }
    messages_ = messages;
    copy_to_clipboard = [](const QImage& image) {
        if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setImage(image);
    };
    build_window();
    initialise_creation();
}

Tfdessin::~Tfdessin() = default;

void Tfdessin::build_window()
{
    // A screen narrower than 1024 pixels gets the compact window of an
    // 800-pixel screen.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const bool compact = screen && screen->geometry().width() < 1024;
    side_ = compact ? 510 : 686;
    orientation_side_ = compact ? 100 : 166;
    state_->screen.height = side_;
    state_->screen.x0 = state_->screen.y0 = side_ / 2;

    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(4);
    picture_ = new PictureView(*this);
    picture_->setParent(central);
    picture_->set_side(side_);
    prompt_ = picture_->prompt;
    layout->addWidget(picture_, 0, Qt::AlignTop);
    layout->addWidget(build_panel(), 0, Qt::AlignTop);
    setCentralWidget(central);
    build_tool_bar();
    if (compact) resize(798, 570);
}

void Tfdessin::initialise_creation()
{
    // The drawing options live in the model (a loaded file sets them); the
    // window starts with every mode off and no zoom.
    state_->screen.f = 1.0;
    state_->zoom_in_force = false;
    mouse_mode_ = 1;
    zoom_mode_ = false;
    translation_used_ = false;
    button_held_ = false;
    rubber_band_ = false;
    drawn_cell_ = model_.drawing.draw_cell;
    drawn_probability_ = model_.drawing.probability_index;
}

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

void Tfdessin::build_tool_bar()
{
    QToolBar* bar = addToolBar(QStringLiteral("Tools"));
    bar->setMovable(false);
    const auto button = [&](const QString& caption, const QString& hint, auto handler) {
        QAction* action = bar->addAction(caption);
        action->setToolTip(hint);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    button(QStringLiteral("I"), QStringLiteral("Export image to a file"), &Tfdessin::enregistrer);
    button(QStringLiteral("D"), QStringLiteral("Save Data (.kes)"), &Tfdessin::ASCIIfilekes1Click);
    bar->addSeparator();
    button(QStringLiteral("B.View"), QStringLiteral("Best view"), &Tfdessin::best_view);
    button(QStringLiteral("Z+"), QStringLiteral("Zoop in"), &Tfdessin::set_zoom);
    button(QStringLiteral("Z-"), QStringLiteral("Zoop out"), &Tfdessin::reset_zoom);
    button(QStringLiteral("R"), QStringLiteral("Reset coordinates or masked atoms"), &Tfdessin::reset_child);
    bar->addSeparator();
    button(QStringLiteral("?"), QStringLiteral("Help"), &Tfdessin::aide);
    button(QStringLiteral("Ret"), QStringLiteral("Return to main menu"), &Tfdessin::Retour);

    export_menu_ = new QMenu(this);
    export_menu_->addAction(QStringLiteral("&JPEG format (*.jpg)"), this,
                            [this] { export_picture(PictureFileFormat::Jpeg); });
    export_menu_->addAction(QStringLiteral("&Bitmap format (*.bmp)"), this,
                            [this] { export_picture(PictureFileFormat::Bitmap); });
    export_menu_->addAction(QStringLiteral("Windows MetaFile (*.emf)"), this,
                            [this] { export_picture(PictureFileFormat::Svg); });
    export_menu_->addAction(QStringLiteral("&PNG format (*.png)"), this,
                            [this] { export_picture(PictureFileFormat::Png); });
}

QWidget* Tfdessin::picture_widget() const { return picture_; }

std::array<QString, 3> Tfdessin::direction_boxes() const
{
    return {direction_[0]->text(), direction_[1]->text(), direction_[2]->text()};
}

QString Tfdessin::prompt_text() const { return prompt_->isHidden() ? QString() : prompt_->text(); }

// ---- activation -------------------------------------------------------------

void Tfdessin::initialise_fiche()
{
    if (const QWidget* main = parentWidget()) setWindowTitle(main->window()->windowTitle());
    move(0, 0);
    model_.edit.data_changed = 0;
    end_modes();
    mouse_mode_ = 1;
    set_mouse_mode_buttons(1);

    BusyScope busy(*messages_);
    leave_black_and_white(model_, *state_, *messages_);
    fill_option_controls();
    rebuild_colour_grid();
    prepare_drawing(model_, *state_, side_, side_, *messages_);
    zoom_box_->setText(qs(zoom_text_from_slider(state_->screen.f)));
    drawn_cell_ = model_.drawing.draw_cell;
    drawn_probability_ = model_.drawing.probability_index;
    assign_atom_colours(model_);
    draw();
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
    scale_slider_->setValue(static_cast<int>(std::lround(5 * state_->screen.f - 5)));
    filling_controls_ = false;
}

// ---- colour grid --------------------------------------------------------------

void Tfdessin::rebuild_colour_grid()
{
    const int rows = model_.element_sorts.count() + 2;
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
    const DrawingOptions& d = model_.drawing;
    for (int row = 0; row < colour_grid_->rowCount(); ++row) {
        QTableWidgetItem* name = colour_grid_->item(row, 0);
        QTableWidgetItem* colour = colour_grid_->item(row, 1);
        if (!name || !colour) continue;
        name->setBackground(to_qcolor(0xC0C0C0));
        name->setForeground(Qt::black);
        const Colour value = row == 0   ? d.background_colour
                             : row == 1 ? d.bond_colour
                                        : model_.element_sorts[row - 1].colour;
        colour->setBackground(to_qcolor(value));
    }
}

void Tfdessin::selection_couleur(int row)
{
    if (row < 0 || row >= model_.element_sorts.count() + 2) return;
    DrawingOptions& d = model_.drawing;
    Colour& current = row == 0 ? d.background_colour : row == 1 ? d.bond_colour : model_.element_sorts[row - 1].colour;
    Colour chosen = current;
    const bool ok = choose_colour ? choose_colour(current, chosen) : [&] {
        const QColor picked = QColorDialog::getColor(to_qcolor(current), this);
        if (!picked.isValid()) return false;
        chosen = from_qcolor(picked);
        return true;
    }();
    if (!ok) return;
    current = chosen;
    if (row == 0) d.saved_background_colour = chosen;
    else if (row == 1) d.saved_bond_colour = chosen;
    else model_.element_colours[row - 1] = chosen;
    // A colour chosen ends black and white: every other colour comes back
    // with it, the new one included since it is also the restore value.
    {
        const QSignalBlocker blocker(black_white_);
        black_white_->setChecked(false);
    }
    if (d.black_white) {
        BusyScope busy(*messages_);
        black_and_white_off(model_, *state_, *messages_);
        d.black_white = 0;
    }
    assign_atom_colours(model_);
    peint_stringgrid1();
    draw();
}

// ---- options ----------------------------------------------------------------

void Tfdessin::redessine()
{
    if (!isVisible()) return;
    DrawingOptions& d = model_.drawing;
    const int mode = mouse_modes_->checkedId();
    mouse_mode_ = mode < 0 ? 0 : mode;
    d.draw_cell = cell_->isChecked();
    d.labels_centre = labels_centre_->isChecked();
    d.labels_off_centre = labels_off_centre_->isChecked();
    d.colour_gradation = gradation_->isChecked();
    d.draw_planes = planes_->isChecked();
    d.draw_planes_axes = planes_axes_->isChecked();

    const auto width = parse_real(bond_width_box_->text().trimmed().toStdString());
    if (!width) {
        messages_->show("Read error!");
        bond_width_box_->setFocus();
        return;
    }
    const auto perspective = parse_real(perspective_box_->text().trimmed().toStdString());
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
        compute_ellipsoid_tensors(model_, *state_, *messages_);
        compute_outlines(model_, *state_);
        compute_view_points(model_, *state_);
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

void Tfdessin::RadioGroup3Click()
{
    model_.drawing.double_triple = double_triple_->checkedId() == 1 ? 1 : 0;
    draw();
}

void Tfdessin::label_centre()
{
    if (labels_centre_->isChecked()) {
        {
            const QSignalBlocker blocker(labels_off_centre_);
            labels_off_centre_->setChecked(false);
        }
        // Every shown atom shows its centred label with its number.
        for (AtomRecord& atom : model_.generated)
            if (atom.shown == 1) {
                atom.label_dx = atom.label_dy = 0;
                atom.labelled = 1;
            }
    } else {
        for (AtomRecord& atom : model_.generated) atom.labelled = 0;
    }
    redessine();
}

void Tfdessin::decale_label()
{
    if (labels_off_centre_->isChecked()) {
        const QSignalBlocker blocker(labels_centre_);
        labels_centre_->setChecked(false);
    }
    redessine();
}

// ---- drawing ----------------------------------------------------------------

void Tfdessin::draw(bool dragging)
{
    const qreal scale = picture_->devicePixelRatioF();
    const auto prepare = [scale](QImage& image, int side) {
        const QSize size(qRound(side * scale), qRound(side * scale));
        if (image.size() != size) {
            image = QImage(size, QImage::Format_RGB32);
            image.setDevicePixelRatio(scale);
        }
    };
    prepare(image_, side_);
    prepare(orientation_image_, orientation_side_);
    if (dragging) {
        // Fast and not antialiased: a rotation step must follow the mouse.
        RasterCanvas canvas(image_, scale);
        RasterCanvas orientation(orientation_image_, scale);
        draw_scene(model_, *state_, canvas, &orientation);
    } else {
        QPainter painter(&image_);
        PainterCanvas canvas(painter, side_, side_, true);
        QPainter orientation_painter(&orientation_image_);
        PainterCanvas orientation(orientation_painter, orientation_side_, orientation_side_, true);
        draw_scene(model_, *state_, canvas, &orientation);
    }
    const auto texts = direction_texts(model_);
    for (std::size_t i = 0; i < 3; ++i) direction_[i]->setText(qs(texts[i]));
    orientation_view_->setPixmap(QPixmap::fromImage(orientation_image_));
    picture_->update();
    if (!dragging) copy_picture();
}

void Tfdessin::copy_picture()
{
    if (copy_to_clipboard) copy_to_clipboard(image_);
}

// ---- mouse ------------------------------------------------------------------

void Tfdessin::set_mouse_mode_buttons(int mode)
{
    mouse_modes_->setExclusive(false);
    for (QAbstractButton* button : mouse_modes_->buttons()) button->setChecked(mouse_modes_->id(button) == mode);
    mouse_modes_->setExclusive(true);
}

void Tfdessin::set_mode_rotation(int mode)
{
    mouse_mode_ = mode;
    set_mouse_mode_buttons(mode);
    if (mode >= 1) {
        // A mouse mode chosen ends a pending zoom rectangle.
        zoom_mode_ = false;
        rubber_band_ = false;
        hide_prompt();
    }
    if (mode == 3) translation_used_ = true;
}

void Tfdessin::flag_on(Qt::MouseButton button, QPoint point)
{
    button_held_ = true;
    held_button_ = button;
    press_ = previous_ = point;
    rubber_band_ = false;
    drag_drawn_ = false;
}

void Tfdessin::mouse_move(QPoint point)
{
    if (!button_held_) return;
    if (zoom_mode_) {
        if (held_button_ == Qt::LeftButton &&
            (std::abs(point.x() - press_.x()) > 2 || std::abs(point.y() - press_.y()) > 2)) {
            rubber_band_ = true;
            rubber_ = QRect(press_, point).normalized();
            picture_->update();
        }
        previous_ = point;
        return;
    }
    const bool rotation = (mouse_mode_ == 1 || mouse_mode_ == 2) && held_button_ == Qt::LeftButton;
    if (rotation || mouse_mode_ == 3) {
        if (mouse_step(model_, *state_, mouse_mode_, {previous_.x(), previous_.y()}, {point.x(), point.y()},
                       *messages_)) {
            draw(true);
            drag_drawn_ = true;
        }
        if (rotation && !model_.drawing.colour_gradation && gradation_->isChecked()) {
            const QSignalBlocker blocker(gradation_);
            gradation_->setChecked(false);
        }
    }
    previous_ = point;
}

void Tfdessin::mouse_up(Qt::MouseButton button, QPoint point)
{
    release_ = point;
    const bool fast_picture_shown = drag_drawn_;
    drag_drawn_ = false;
    button_held_ = false;
    held_button_ = Qt::NoButton;
    state_->rotation_dragging = false;
    const bool dragged = std::abs(point.x() - press_.x()) > 2 || std::abs(point.y() - press_.y()) > 2;

    if (button == Qt::RightButton) {
        end_modes();
        draw();
        return;
    }
    if (zoom_mode_ && dragged && mouse_mode_ == 0) {
        rubber_band_ = false;
        zoom_mode_ = false;
        const int position = zoom_to_rectangle(*state_, {press_.x(), press_.y()}, {point.x(), point.y()});
        {
            const QSignalBlocker blocker(scale_slider_);
            scale_slider_->setValue(position);
        }
        zoom_box_->setText(qs(zoom_text_from_rectangle(state_->screen.f)));
        hide_prompt();
        draw();
        return;
    }
    // The end of a drag: the picture at rest, antialiased, once to the clipboard.
    if (fast_picture_shown) draw();
}

void Tfdessin::end_modes()
{
    zoom_mode_ = false;
    rubber_band_ = false;
    button_held_ = false;
    state_->rotation_dragging = false;
    hide_prompt();
    mouse_mode_ = 1;
    set_mouse_mode_buttons(1);
}

void Tfdessin::show_prompt(const QString& text)
{
    prompt_->setText(text);
    prompt_->show();
    prompt_->raise();
}

void Tfdessin::hide_prompt() { prompt_->hide(); }

// ---- view commands ------------------------------------------------------------

void Tfdessin::change_echelle(int position)
{
    kestro::change_echelle(*state_, position);
    {
        const QSignalBlocker blocker(scale_slider_);
        scale_slider_->setValue(position);
    }
    zoom_box_->setText(qs(zoom_text_from_slider(state_->screen.f)));
    draw();
}

void Tfdessin::set_zoom()
{
    zoom_mode_ = true;
    rubber_band_ = false;
    mouse_mode_ = 0;
    set_mouse_mode_buttons(0);
    show_prompt(QStringLiteral("Zoom. Click and drag the area of interest "));
}

void Tfdessin::reset_zoom()
{
    end_modes();
    {
        const QSignalBlocker blocker(scale_slider_);
        scale_slider_->setValue(0);
    }
    BusyScope busy(*messages_);
    kestro::reset_zoom(model_, *state_);
    zoom_box_->setText(qs(zoom_text_from_slider(state_->screen.f)));
    draw();
}

void Tfdessin::best_view()
{
    BusyScope busy(*messages_);
    if (kestro::best_view(model_, *state_, *messages_)) draw();
}

void Tfdessin::reset_child()
{
    BusyScope busy(*messages_);
    {
        const QSignalBlocker blocker(scale_slider_);
        scale_slider_->setValue(0);
    }
    if (translation_used_) {
        state_->screen.x0 = side_ / 2;
        state_->screen.y0 = side_ / 2;
        translation_used_ = false;
    }
    end_modes();
    reset_coordinates(model_, *state_, *messages_);
    zoom_box_->setText(qs(zoom_text_from_slider(state_->screen.f)));
    assign_atom_colours(model_);
    draw();
}

void Tfdessin::Retour()
{
    end_modes();
    close();
    if (on_return) on_return();
}

void Tfdessin::aide()
{
    if (open_help) {
        open_help(3);
        return;
    }
    if (!help_) help_ = new HelpViewer(model_.data_directory, this);
    if (!help_->open_context(3)) {
        messages_->show(help_->error_text().toStdString());
        return;
    }
    help_->show();
    help_->raise();
}

// ---- files --------------------------------------------------------------------

QString Tfdessin::ask_save_name(const QString& filters, const QString& selected)
{
    if (choose_save_file) return choose_save_file(filters, selected);
    QString chosen_filter = selected;
    // The overwrite question is the window's own.
    return QFileDialog::getSaveFileName(this, QString(), QString(), filters, &chosen_filter,
                                        QFileDialog::DontConfirmOverwrite);
}

void Tfdessin::enregistrer()
{
    export_menu_->popup(frameGeometry().topLeft() + QPoint(5, 50));
}

void Tfdessin::export_picture(PictureFileFormat format)
{
    const char* filter = BitmapFilter;
    const char* extension = ".bmp";
    switch (format) {
    case PictureFileFormat::Bitmap: break;
    case PictureFileFormat::Jpeg: filter = JpegFilter; extension = ".jpg"; break;
    case PictureFileFormat::Svg: filter = SvgFilter; extension = ".svg"; break;
    case PictureFileFormat::Png: filter = PngFilter; extension = ".png"; break;
    }
    const QString chosen = ask_save_name(QString::fromLatin1(PictureFilters), QString::fromLatin1(filter));
    if (chosen.isEmpty()) return;
    const std::string path = with_default_extension(chosen.toStdString(), extension);
    if (file_exists(path)) {
        messages_->beep();
        if (messages_->ask(OverwriteQuestion) != Answer::Yes) return;
    }
    try {
        write_picture_file(format, path);
    } catch (const IoError& error) {
        messages_->show(error.what());
    }
}

void Tfdessin::write_picture_file(PictureFileFormat format, const std::string& path)
{
    BusyScope busy(*messages_);
    // The picture the screen shows at rest, at its logical size.
    const auto scene = [this](Canvas& canvas) { draw_scene(model_, *state_, canvas); };
    if (format == PictureFileFormat::Svg) {
        write_vector_picture(path, PictureFormat::Svg, side_, side_, scene);
        return;
    }
    const QImage image = render_picture(side_, side_, scene);
    switch (format) {
    case PictureFileFormat::Bitmap: write_bmp(image, path); break;
    case PictureFileFormat::Jpeg: write_jpeg(image, path, 50); break;
    case PictureFileFormat::Png: write_png(image, path); break;
    case PictureFileFormat::Svg: break;
    }
}

void Tfdessin::ASCIIfilekes1Click()
{
    const QString chosen = ask_save_name(QStringLiteral("Export binary file (*.kst);;Export ASCII file (*.kes)"),
                                         QStringLiteral("Export ASCII file (*.kes)"));
    if (chosen.isEmpty()) return;
    save_ascii_structure(model_, chosen.toStdString(), *messages_);
}

} // namespace kestro

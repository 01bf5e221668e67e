// The drawing window's picture and everything the mouse does on it: the
// core's state machine carried out, the prompt bar, the pick marks, the
// rubber band, the labelling tools, the label entry and the translation
// panel.

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QGuiApplication>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>

#include "drawing/drawing_state.h"
#include "drawing/label_placement.h"
#include "drawing/scene.h"
#include "platform/font_dialog.h"
#include "platform/image_export.h"
#include "platform/painter_canvas.h"
#include "platform/qt_messages.h"
#include "platform/qt_text.h"
#include "ui/dessin.h"
#include "ui/dessin_picture.h"
#include "ui/disp_coordinance.h"
#include "ui/plan_moyen.h"

namespace kestro {

namespace {

constexpr Colour RubberBandColour = colour::Grey;

MouseButton button_of(Qt::MouseButton button)
{
    if (button == Qt::LeftButton) return MouseButton::Left;
    if (button == Qt::RightButton) return MouseButton::Right;
    return MouseButton::Other;
}

PixelPoint pixel(QPoint point) { return {point.x(), point.y()}; }

void set_checked_quietly(QCheckBox* box, bool checked)
{
    const QSignalBlocker blocker(box);
    box->setChecked(checked);
}

// A panel over the picture, in the window's colour.
QFrame* overlay_frame(QWidget* parent)
{
    auto* frame = new QFrame(parent);
    frame->setFrameShape(QFrame::Panel);
    frame->setFrameShadow(QFrame::Raised);
    frame->setAutoFillBackground(true);
    frame->hide();
    return frame;
}

} // namespace

// ---- the picture ----------------------------------------------------------------

PictureView::PictureView(Tfdessin& owner) : QWidget(&owner), owner_(owner)
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

void PictureView::set_side(int side)
{
    setFixedSize(side, side);
    prompt->setGeometry(0, 0, side, 22);
}

PictureArea::PictureArea(Tfdessin& owner, int default_side) : owner_(owner), default_side_(default_side)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QSize PictureArea::sizeHint() const { return {default_side_, default_side_}; }
QSize PictureArea::minimumSizeHint() const { return {MinPictureSide, MinPictureSide}; }

void PictureArea::resizeEvent(QResizeEvent*)
{
    owner_.resize_picture(std::max(MinPictureSide, std::min(width(), height())));
}

void Tfdessin::resize_picture(int side)
{
    if (side == side_) return;
    kestro::resize_picture(*state_, side);
    side_ = side;
    picture_->set_side(side_);
    place_overlays();
    if (isVisible() && !image_.isNull()) draw();
}

void Tfdessin::place_overlays()
{
    instructions_->setGeometry(0, side_ - 92, side_, 64);
    label_entry_->move(0, side_ - label_entry_->height());
    labelling_panel_->move(side_ - labelling_panel_->width() - 2, 24);
}

void PictureView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (owner_.image_.isNull())
        painter.fillRect(rect(), Qt::white);
    else
        painter.drawImage(QPoint(0, 0), owner_.image_);
    // The rubber band goes over the picture as it was before the drag.
    const InteractionState& state = *owner_.interaction_;
    if (state.band_visible) {
        QPen pen(to_qcolor(RubberBandColour));
        pen.setStyle(Qt::DashLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(QPoint(state.press.x, state.press.y), QPoint(state.band_corner.x, state.band_corner.y))
                             .normalized());
    }
}

void PictureView::mousePressEvent(QMouseEvent* event) { owner_.flag_on(event->button(), event->position().toPoint()); }
void PictureView::mouseMoveEvent(QMouseEvent* event) { owner_.mouse_move(event->position().toPoint()); }
void PictureView::mouseReleaseEvent(QMouseEvent* event)
{
    owner_.mouse_up(event->button(), event->position().toPoint());
}

void Tfdessin::build_overlays()
{
    // The label instructions across the foot of the picture.
    instructions_ = new QLabel(picture_);
    instructions_->setWordWrap(true);
    instructions_->setAutoFillBackground(true);
    instructions_->setFrameShape(QFrame::Panel);
    instructions_->setText(QStringLiteral(
        "Label  editing and moving: To select the point where to write the label: Click first with the left button "
        "on the center of the atom, the current label appears in a yellow register in the lower left hand corner of "
        "the image. Modify the label if necessary. Lastly click again on the beginning point to write. Click with the "
        "right button to stop the process"));
    instructions_->hide();

    // The label entry pair in the lower left corner.
    label_entry_ = new QWidget(picture_);
    auto* entry = new QHBoxLayout(label_entry_);
    entry->setContentsMargins(0, 0, 0, 0);
    entry->setSpacing(0);
    auto* caption = new QLineEdit(QStringLiteral("Type the Label :"), label_entry_);
    caption->setReadOnly(true);
    caption->setFocusPolicy(Qt::NoFocus);
    caption->setFixedWidth(110);
    label_box_ = new QLineEdit(label_entry_);
    label_box_->setMaxLength(8);
    label_box_->setFixedWidth(90);
    label_box_->setToolTip(QStringLiteral("Label to be write beside the atom"));
    QPalette yellow = label_box_->palette();
    yellow.setColor(QPalette::Base, QColor(255, 255, 0));
    label_box_->setPalette(yellow);
    entry->addWidget(caption);
    entry->addWidget(label_box_);
    label_entry_->adjustSize();
    label_entry_->hide();

    // "Tools for labelling" at the top right.
    labelling_panel_ = overlay_frame(picture_);
    auto* tools = new QVBoxLayout(labelling_panel_);
    tools->setContentsMargins(4, 4, 4, 4);
    tools->addWidget(new QLabel(QStringLiteral("Tools for labelling"), labelling_panel_));
    label_tools_ = new QListWidget(labelling_panel_);
    for (int i = 0; i < LabelToolCount; ++i) {
        auto* item = new QListWidgetItem(QString::fromLatin1(label_tool_caption(static_cast<LabelTool>(i))), label_tools_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    // Every item in view: the list neither scrolls nor cuts a caption.
    label_tools_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    label_tools_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int frame = 2 * label_tools_->frameWidth();
    label_tools_->setFixedSize(label_tools_->sizeHintForColumn(0) + frame + 4,
                               label_tools_->sizeHintForRow(0) * LabelToolCount + frame + 2);
    tools->addWidget(label_tools_);
    auto* buttons = new QHBoxLayout;
    auto* close_button = new QPushButton(QStringLiteral("Close"), labelling_panel_);
    auto* help_button = new QPushButton(QStringLiteral("Help"), labelling_panel_);
    buttons->addWidget(close_button);
    buttons->addWidget(help_button);
    tools->addLayout(buttons);
    labelling_panel_->adjustSize();
    connect(label_tools_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { click_on_checklistbox(label_tools_->row(item)); });
    connect(close_button, &QPushButton::clicked, this, &Tfdessin::close_labelling);
    connect(help_button, &QPushButton::clicked, this, &Tfdessin::aide_labels);

    // The lattice translation of a fragment, at the top left.
    translation_panel_ = overlay_frame(picture_);
    auto* vector = new QVBoxLayout(translation_panel_);
    vector->setContentsMargins(4, 4, 4, 4);
    vector->addWidget(new QLabel(QStringLiteral("Lattice translation vector :"), translation_panel_));
    vector->addWidget(new QLabel(QStringLiteral("(3 integers)"), translation_panel_));
    auto* boxes = new QHBoxLayout;
    for (QLineEdit*& box : translation_boxes_) {
        box = new QLineEdit(translation_panel_);
        box->setFixedWidth(40);
        boxes->addWidget(box);
        connect(box, &QLineEdit::returnPressed, this, &Tfdessin::ok_translation);
    }
    auto* ok = new QPushButton(QStringLiteral("OK"), translation_panel_);
    boxes->addWidget(ok);
    vector->addLayout(boxes);
    connect(ok, &QPushButton::clicked, this, &Tfdessin::ok_translation);
    translation_panel_->adjustSize();
    translation_panel_->move(4, 26);
    place_overlays();
}

QWidget* Tfdessin::labelling_panel() const { return labelling_panel_; }
QWidget* Tfdessin::label_instructions() const { return instructions_; }
QWidget* Tfdessin::translation_panel() const { return translation_panel_; }

// ---- the state machine carried out ------------------------------------------------

void Tfdessin::sync_controls()
{
    const InteractionState& s = *interaction_;
    set_mouse_mode_buttons(static_cast<int>(s.mouse_mode));
    if (prompt_->text() != qs(s.parts.prompt)) prompt_->setText(qs(s.parts.prompt));
    prompt_->setVisible(s.parts.prompt_visible);
    if (s.parts.prompt_visible) prompt_->raise();
    instructions_->setVisible(s.parts.label_instructions);
    labelling_panel_->setVisible(s.parts.labelling_tools);
    label_entry_->setVisible(s.parts.label_entry);
    translation_panel_->setVisible(s.parts.translation_panel);
    const auto checked = checked_label_tool(s);
    for (int i = 0; i < label_tools_->count(); ++i) {
        const bool on = checked && static_cast<int>(*checked) == i;
        label_tools_->item(i)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
    if (!checked) label_tools_->clearSelection();
    centre_action_->setChecked(s.mode == PickMode::Centre);
    const DrawingOptions& d = model_.drawing;
    set_checked_quietly(labels_centre_, d.labels_centre != 0);
    set_checked_quietly(labels_off_centre_, d.labels_off_centre != 0);
    set_checked_quietly(gradation_, d.colour_gradation != 0);
    set_checked_quietly(planes_, d.draw_planes != 0);
}

void Tfdessin::apply(const Reaction& r)
{
    // What changes the picture comes first, so that the redraw shows it.
    bool redraw = r.redraw;
    switch (r.action) {
    case WindowAction::PickPlaneAtom:
        if (!plan_window()->atom_picked(r.atom)) redraw = false;
        break;
    case WindowAction::UnpickPlaneAtom: plan_window()->atom_unpicked(r.atom); break;
    default: break;
    }
    sync_controls();
    if (r.zoom != ZoomDisplay::Unchanged) {
        {
            const QSignalBlocker blocker(scale_slider_);
            scale_slider_->setValue(r.slider_position);
        }
        const double f = state_->screen.f;
        zoom_box_->setText(qs(r.zoom == ZoomDisplay::Rectangle ? zoom_text_from_rectangle(f) : zoom_text_from_slider(f)));
    }
    if (redraw) {
        BusyScope busy(*messages_);
        draw();
    } else if (r.drag_redraw) {
        draw(true);
    } else if (r.band_changed) {
        picture_->update();
    }
    if (r.mark) {
        QPainter painter(&image_);
        PainterCanvas canvas(painter, side_, side_, true);
        draw_pick_mark(canvas, *r.mark);
        picture_->update();
    }
    switch (r.action) {
    case WindowAction::EditLabel:
        label_box_->setText(qs(r.label_text));
        label_box_->setFocus();
        label_box_->selectAll();
        break;
    case WindowAction::ShowTranslationPanel:
        for (QLineEdit* box : translation_boxes_) box->clear();
        translation_boxes_[0]->setFocus();
        break;
    case WindowAction::OpenFontDialog: choose_label_font(); break;
    case WindowAction::PlaceLabels: place_labels_automatically(); break;
    case WindowAction::OpenCoordination: coordination_window()->set_centre(r.atom); break;
    case WindowAction::PickPlaneAtom:
    case WindowAction::UnpickPlaneAtom:
    case WindowAction::None: break;
    }
}

void Tfdessin::set_mouse_mode_buttons(int mode)
{
    mouse_modes_->setExclusive(false);
    for (QAbstractButton* button : mouse_modes_->buttons()) button->setChecked(mouse_modes_->id(button) == mode);
    mouse_modes_->setExclusive(true);
}

void Tfdessin::set_mode_rotation(int mode)
{
    Workbench b = bench();
    apply(kestro::set_mode_rotation(b, static_cast<MouseMode>(std::clamp(mode, 0, 3))));
}

void Tfdessin::flag_on(Qt::MouseButton button, QPoint point)
{
    Workbench b = bench();
    apply(kestro::flag_on(b, button_of(button), pixel(point)));
}

void Tfdessin::mouse_move(QPoint point)
{
    if (!interaction_->button_held) return;
    Workbench b = bench();
    apply(kestro::mouse_move(b, pixel(point)));
}

void Tfdessin::mouse_up(Qt::MouseButton button, QPoint point)
{
    Workbench b = bench();
    apply(kestro::mouse_up(b, button_of(button), pixel(point), ss(label_box_->text())));
}

void Tfdessin::leave_modes()
{
    Workbench b = bench();
    kestro::leave_modes(b);
    sync_controls();
}

void Tfdessin::start(PickMode mode)
{
    Workbench b = bench();
    apply(start_mode(b, mode));
}

void Tfdessin::set_direction_projection() { start(PickMode::Direction); }
void Tfdessin::matrice_sur_3atomes() { start(PickMode::BasePlane); }
void Tfdessin::pique_distance() { start(PickMode::Distance); }
void Tfdessin::tue_liaison() { start(PickMode::BondToggle); }
void Tfdessin::pique_angle() { start(PickMode::Angle); }
void Tfdessin::set_coordinance() { start(PickMode::Coordination); }
void Tfdessin::set_mean_plane()
{
    start(PickMode::MeanPlane);
    Tfplan_moyen* plan = plan_window();
    // Beside the picture, over the option panel, so that the atoms stay in reach.
    if (!plan->isVisible()) {
        const QRect screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry()
                                                               : QRect(0, 0, 1024, 768);
        const int left = mapToGlobal(picture_->geometry().topRight()).x() + 4;
        plan->move(std::max(screen.left(), std::min(left, screen.right() - plan->frameGeometry().width())), 0);
    }
    plan->start();
}
void Tfdessin::set_translations() { start(PickMode::TranslationRectangle); }
void Tfdessin::select_atom_rect() { start(PickMode::MaskRectangle); }
void Tfdessin::tue_atome() { start(PickMode::Mask); }
void Tfdessin::selecte_centre() { start(PickMode::Centre); }

void Tfdessin::ok_translation()
{
    std::array<std::string, 3> texts;
    for (std::size_t i = 0; i < 3; ++i) texts[i] = ss(translation_boxes_[i]->text());
    BusyScope busy(*messages_);
    Workbench b = bench();
    apply(kestro::ok_translation(b, texts));
}

// ---- labels ---------------------------------------------------------------------

void Tfdessin::click_on_checklistbox(int item)
{
    if (item < 0 || item >= LabelToolCount) return;
    Workbench b = bench();
    apply(kestro::click_on_checklistbox(b, static_cast<LabelTool>(item)));
}

void Tfdessin::close_labelling()
{
    Workbench b = bench();
    apply(close_labelling_tools(b));
}

void Tfdessin::aide_labels() { show_help(9); }

// The labels placed on the picture as it is now, measured in the fonts of
// the picture files so that an export shows them as placed.
void Tfdessin::place_labels_automatically()
{
    {
        BusyScope busy(*messages_);
        with_picture_metrics(side_, side_,
                             [this](Canvas& metrics) { place_labels(model_, *state_, metrics, AutoLabels::Labelled); });
    }
    sync_controls();
    draw();
}

void Tfdessin::choose_label_font()
{
    FontSpec font = label_font_spec(model_.drawing);
    const bool chosen = choose_font ? choose_font(font) : ask_font(this, QStringLiteral("Font"), font, FontColour::Asked);
    if (!chosen) return;
    set_label_font(model_, font);
    draw();
}

} // namespace kestro

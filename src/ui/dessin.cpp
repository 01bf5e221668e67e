// The drawing window: its layout and tool bar, activation, the picture and
// the view commands.

#include "ui/dessin.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <QToolBar>

#include "forms/plan_moyen.h"
#include "crystal/sorts.h"
#include "drawing/drawing_state.h"
#include "platform/help_viewer.h"
#include "platform/painter_canvas.h"
#include "platform/qt_messages.h"
#include "platform/qt_text.h"
#include "platform/raster_canvas.h"
#include "ui/dessin_picture.h"
#include "ui/disp_coord.h"
#include "ui/disp_coordinance.h"
#include "ui/distances.h"
#include "ui/geometry_window.h"
#include "ui/limat.h"
#include "ui/mask_element.h"
#include "ui/plan_moyen.h"

namespace kestro {

Tfdessin::Tfdessin(StructureModel& model, Messages* messages, QWidget* parent)
    : QMainWindow(parent), model_(model), state_(std::make_unique<DrawingState>()),
      interaction_(std::make_unique<InteractionState>())
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

Workbench Tfdessin::bench() { return {model_, *state_, *interaction_, *messages_}; }

void Tfdessin::build_window()
{
    // A screen narrower than 1024 pixels gets the compact window of an
    // 800-pixel screen.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const bool compact = screen && screen->geometry().width() < 1024;
    side_ = compact ? 510 : DefaultPictureSide;
    orientation_side_ = compact ? 100 : 166;
    state_->screen.height = side_;
    state_->screen.x0 = state_->screen.y0 = side_ / 2;

    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(4);
    picture_area_ = new PictureArea(*this, side_);
    picture_area_->setParent(central);
    picture_ = new PictureView(*this);
    picture_->setParent(picture_area_);
    picture_->set_side(side_);
    prompt_ = picture_->prompt;
    layout->addWidget(picture_area_, 1);
    QWidget* panel = build_panel();
    // The panel keeps its width (squeezed to its least on a small screen);
    // the picture takes the rest of the window.
    panel->setFixedWidth(compact ? panel->minimumSizeHint().width() : panel->sizeHint().width());
    layout->addWidget(panel, 0, Qt::AlignTop);
    setCentralWidget(central);
    build_overlays();
    build_tool_bar();
    // The window opens with the picture at its default side, then lets it
    // grow and shrink with the window.
    picture_area_->setFixedSize(side_, side_);
    central->layout()->activate();
    resize(minimumSizeHint());
    picture_area_->setMinimumSize(MinPictureSide, MinPictureSide);
    picture_area_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

void Tfdessin::initialise_creation()
{
    // The drawing options live in the model (a loaded file sets them); the
    // window starts with every mode off and no zoom.
    state_->screen.f = 1.0;
    state_->zoom_in_force = false;
    reset_interaction(*interaction_);
    drawn_cell_ = model_.drawing.draw_cell;
    drawn_probability_ = model_.drawing.probability_index;
    sync_controls();
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
    button(QStringLiteral("D"), QStringLiteral("Save Data (.kes)"), &Tfdessin::ASCIIfilekes1Click)
        ->setShortcut(QKeySequence::Save);
    button(QStringLiteral("I"), QStringLiteral("Print image"), &Tfdessin::imprime_dessin)->setShortcut(QKeySequence::Print);
    button(QStringLiteral("S"), QStringLiteral("Print screen"), &Tfdessin::print_screen);
    bar->addSeparator();
    button(QStringLiteral("Dir"), QStringLiteral("Set direction of projection"), &Tfdessin::set_direction_projection);
    button(QStringLiteral("Pl"), QStringLiteral("Projection on a plane"), &Tfdessin::matrice_sur_3atomes);
    button(QStringLiteral("Or"), QStringLiteral("Orientation "), &Tfdessin::modif_orientation);
    button(QStringLiteral("B.View"), QStringLiteral("Best view"), &Tfdessin::best_view);
    bar->addSeparator();
    button(QStringLiteral("XYZ"), QStringLiteral("Display the list of the generated coordinates"),
           &Tfdessin::affiche_liste_coord);
    button(QStringLiteral("Tab"), QStringLiteral("Display the table of inter-atomic distances"),
           &Tfdessin::affiche_distances);
    button(QStringLiteral("Geo"), QStringLiteral("Geometry (CIF)"), &Tfdessin::affiche_geometrie);
    button(QStringLiteral("d"), QStringLiteral("Dispay a bond length"), &Tfdessin::pique_distance);
    button(QStringLiteral("+/-"), QStringLiteral("Delete/Add bond"), &Tfdessin::tue_liaison);
    button(QStringLiteral("Ang"), QStringLiteral("diplay angle of three atoms"), &Tfdessin::pique_angle);
    button(QStringLiteral("Env"), QStringLiteral("Angles & Distances around an atom"), &Tfdessin::set_coordinance);
    button(QStringLiteral("MP"), QStringLiteral("Mean Plane determination"), &Tfdessin::set_mean_plane);
    bar->addSeparator();
    button(QStringLiteral("Z+"), QStringLiteral("Zoop in"), &Tfdessin::set_zoom);
    button(QStringLiteral("Z-"), QStringLiteral("Zoop out"), &Tfdessin::reset_zoom);
    button(QStringLiteral("T"), QStringLiteral("Set translation"), &Tfdessin::set_translations);
    button(QStringLiteral("MR"), QStringLiteral("Mask atoms in a rectangle"), &Tfdessin::select_atom_rect);
    button(QStringLiteral("M"), QStringLiteral("Mask atoms"), &Tfdessin::tue_atome);
    button(QStringLiteral("E"), QStringLiteral("Mask elements"), &Tfdessin::masque_elements);
    // Shown pressed ("up") while the next click chooses the centre.
    centre_action_ = button(QStringLiteral("C"), QStringLiteral("Choose the centre atom"), &Tfdessin::selecte_centre);
    centre_action_->setCheckable(true);
    button(QStringLiteral("R"), QStringLiteral("Reset coordinates or masked atoms"), &Tfdessin::reset_child);
    bar->addSeparator();
    button(QStringLiteral("?"), QStringLiteral("Help"), &Tfdessin::aide);
    button(QStringLiteral("Ret"), QStringLiteral("Return to main menu"), &Tfdessin::Retour);

    export_menu_ = new QMenu(this);
    export_menu_->addAction(QStringLiteral("&JPEG format (*.jpg)"), this,
                            [this] { export_picture(PictureFormat::Jpeg); });
    export_menu_->addAction(QStringLiteral("&Bitmap format (*.bmp)"), this,
                            [this] { export_picture(PictureFormat::Bmp); });
    export_menu_->addAction(QStringLiteral("Windows MetaFile (*.emf)"), this, &Tfdessin::WindowsMetaFilewmf1Click);
    export_menu_->addAction(QStringLiteral("&PNG format (*.png)"), this,
                            [this] { export_picture(PictureFormat::Png); });
    export_menu_->addAction(QStringLiteral("P&OV-Ray scene (*.pov)"), this, &Tfdessin::export_povray_scene);
}

QWidget* Tfdessin::picture_widget() const { return picture_; }

std::array<QString, 3> Tfdessin::direction_boxes() const
{
    return {direction_[0]->text(), direction_[1]->text(), direction_[2]->text()};
}

QString Tfdessin::prompt_text() const { return prompt_->isHidden() ? QString() : prompt_->text(); }

// ---- activation -------------------------------------------------------------

bool Tfdessin::event(QEvent* event)
{
    // Every activation, a return from any other window included, draws
    // afresh. It waits until the handler that opened that window is done,
    // and is skipped while a dialog is still up.
    if (event->type() == QEvent::WindowActivate && isVisible() && !activation_queued_) {
        activation_queued_ = true;
        QTimer::singleShot(0, this, [this] {
            activation_queued_ = false;
            if (!QApplication::activeModalWidget() && isVisible()) activate();
        });
    }
    return QMainWindow::event(event);
}

void Tfdessin::activate()
{
    // A window manager places a window it maps itself: a new picture's
    // window goes to the top left once it is up.
    if (place_at_top_left_) {
        place_at_top_left_ = false;
        move(0, 0);
    }
    if (skip_activation_) {
        skip_activation_ = false;
        return;
    }
    initialise_fiche();
}

void Tfdessin::new_picture()
{
    // The plot has read every edit: the next one regenerates only after new
    // edits. (Not on each activation: an edit made in the main window
    // before a click on this window would never be plotted.)
    model_.edit.data_changed = 0;
    reset_interaction(*interaction_);
    // Placed at the top left for a new picture only, so that a window the
    // user has moved stays where it is when clicked.
    move(0, 0);
    place_at_top_left_ = true;
    initialise_fiche();
}

void Tfdessin::initialise_fiche()
{
    if (const QWidget* main = parentWidget()) setWindowTitle(main->window()->windowTitle());
    {
        Workbench b = bench();
        kestro::set_mode_rotation(b, MouseMode::RotationXY);
    }
    interaction_->button_held = false;

    BusyScope busy(*messages_);
    leave_black_and_white(model_, *state_, *messages_);
    fill_option_controls();
    rebuild_colour_grid();
    prepare_drawing(model_, *state_, side_, side_, *messages_);
    zoom_box_->setText(qs(zoom_text_from_slider(state_->screen.f)));
    drawn_cell_ = model_.drawing.draw_cell;
    drawn_probability_ = model_.drawing.probability_index;
    assign_atom_colours(model_);
    sync_controls();
    draw();
}

// ---- drawing ----------------------------------------------------------------

void Tfdessin::draw(bool dragging)
{
    if (!dragging) {
        Workbench b = bench();
        if (end_outdated_rectangle_mode(b)) sync_controls();
    }
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
        draw_overlays(canvas);
    } else {
        QPainter painter(&image_);
        PainterCanvas canvas(painter, side_, side_, true);
        QPainter orientation_painter(&orientation_image_);
        PainterCanvas orientation(orientation_painter, orientation_side_, orientation_side_, true);
        draw_scene(model_, *state_, canvas, &orientation);
        draw_overlays(canvas);
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

void Tfdessin::set_zoom() { start(PickMode::ZoomRectangle); }

void Tfdessin::reset_zoom()
{
    {
        Workbench b = bench();
        kestro::leave_modes(b);
    }
    {
        const QSignalBlocker blocker(scale_slider_);
        scale_slider_->setValue(0);
    }
    BusyScope busy(*messages_);
    kestro::reset_zoom(model_, *state_);
    zoom_box_->setText(qs(zoom_text_after_reset()));
    sync_controls();
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
    Workbench b = bench();
    apply(kestro::reset_child(b));
}

void Tfdessin::modif_orientation()
{
    Tflimat* dialog = orientation_dialog();
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

Tflimat* Tfdessin::orientation_dialog()
{
    if (!limat_) {
        limat_ = new Tflimat(model_, *state_, messages_, this);
        limat_->open_help = [this](int context) { show_help(context); };
        connect(limat_, &Tflimat::orientation_changed, this, [this] { draw(); });
    }
    return limat_;
}

void Tfdessin::masque_elements()
{
    Tfmask_element* window = mask_window();
    window->show();
    window->raise();
    window->activateWindow();
}

Tfmask_element* Tfdessin::mask_window()
{
    if (!mask_) {
        mask_ = new Tfmask_element(model_, messages_, this);
        // Masked atoms leave the centring and the scale, as on activation.
        connect(mask_, &Tfmask_element::model_changed, this, [this] {
            BusyScope busy(*messages_);
            compute_view_points(model_, *state_);
            draw();
        });
    }
    return mask_;
}

void Tfdessin::Retour()
{
    {
        Workbench b = bench();
        retour(b);
    }
    if (plan_ && plan_->session().active) plan_->sortie();
    sync_controls();
    close();
    if (on_return) on_return();
}

void Tfdessin::draw_overlays(Canvas& canvas)
{
    if (plan_ && plan_->session().active) plan_moyen::draw_plane_marks(model_, *state_, plan_->session(), canvas);
}

void Tfdessin::affiche_liste_coord()
{
    Tfdisp_coord* window = coordinates_window();
    // An open window is filled again: showing it would keep its old list.
    if (window->isVisible()) window->initialise();
    window->show();
    window->raise();
}

Tfdisp_coord* Tfdessin::coordinates_window()
{
    if (!coord_) coord_ = new Tfdisp_coord(model_, messages_, this);
    return coord_;
}

void Tfdessin::affiche_distances()
{
    Tfdistances* window = distances_window();
    if (window->isVisible()) window->affiche();
    window->show();
    window->raise();
}

void Tfdessin::affiche_geometrie()
{
    Tfgeometry* window = geometry_window();
    window->initialise();
    window->show();
    window->raise();
    window->edit_geometry();
}

Tfgeometry* Tfdessin::geometry_window()
{
    if (!geometry_) geometry_ = new Tfgeometry(model_, messages_, this);
    return geometry_;
}

Tfdistances* Tfdessin::distances_window()
{
    if (!distances_) distances_ = new Tfdistances(model_, messages_, this);
    return distances_;
}

Tfdisp_coordinance* Tfdessin::coordination_window()
{
    if (!coordinance_) {
        coordinance_ = new Tfdisp_coordinance(model_, state_->view, messages_, this);
        // "Return" ends the coordination mode.
        connect(coordinance_, &Tfdisp_coordinance::returned, this, [this] {
            if (interaction_->mode == PickMode::Coordination) {
                leave_modes();
                draw();
            }
        });
    }
    return coordinance_;
}

Tfplan_moyen* Tfdessin::plan_window()
{
    if (!plan_) {
        plan_ = new Tfplan_moyen(model_, messages_, this);
        plan_->open_help = [this](int context) { show_help(context); };
        connect(plan_, &Tfplan_moyen::marks_changed, this, [this] { draw(); });
        connect(plan_, &Tfplan_moyen::show_coordinates, this, &Tfdessin::affiche_liste_coord);
        connect(plan_, &Tfplan_moyen::ended, this, [this] {
            if (interaction_->mode == PickMode::MeanPlane) leave_modes();
            if (isVisible()) draw();
        });
    }
    return plan_;
}

void Tfdessin::aide() { show_help(3); }

void Tfdessin::show_help(int context)
{
    if (open_help) {
        open_help(context);
        return;
    }
    show_help_at(help_, model_.data_directory, this, context, *messages_);
}

} // namespace kestro

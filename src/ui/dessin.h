#pragma once
// The drawing window: the picture of the plotted structure, the options of
// its right-hand panel, the direction of projection, the scale, the tool
// bar, and the mouse on the picture: rotation, translation and zoom, and
// the picking, rectangle and label modes of the core's state machine.
//
// The window is split by topic: dessin.cpp (layout, tool bar, activation,
// view commands), dessin_panel.cpp (option panel), dessin_mouse.cpp (the
// picture, mouse, modes, labelling and translation panels), dessin_files.cpp
// (picture and structure files).

#include <QImage>
#include <QMainWindow>
#include <QPoint>
#include <QRect>
#include <array>
#include <functional>
#include <memory>

#include "drawing/canvas.h"
#include "drawing/interaction.h"
#include "model/messages.h"
#include "model/structure_model.h"
#include "platform/image_export.h"

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPrinter;
class QRadioButton;
class QSlider;
class QTableWidget;
class QToolButton;

namespace kestro {

struct DrawingState;
class HelpViewer;
class PictureView;
class PictureArea;
class Tfdisp_coord;
class Tfdisp_coordinance;
class Tfdistances;
class Tfgeometry;
class Tfimprime;
class Tflimat;
class Tfwmetafile2;
class Tfmask_element;
class Tfplan_moyen;

class Tfdessin : public QMainWindow {
    Q_OBJECT
public:
    // messages: the port for every box the window shows; null gives message
    // boxes (tests pass a recorder).
    explicit Tfdessin(StructureModel& model, Messages* messages = nullptr, QWidget* parent = nullptr);
    ~Tfdessin() override;

    // Defaults of the options, every mode off.
    void initialise_creation();
    // What the window does each time it is shown after a plot: caption,
    // mouse mode, option controls from the model, view points, picture.
    void initialise_fiche();

    // Reads the options of the panel and redraws.
    void redessine();
    // Option handlers of the right-hand panel.
    void change_width_bond(int position);
    void chane_angle_perspective(int position);
    void change_probabilite();
    void change_bond_width();
    void draw_cell();
    void CheckBox1Click();
    void clickonplanesaxes();
    void degarde_option();
    void RadioGroup2Click();
    void RadioGroup3Click();
    void label_centre();
    void decale_label();
    // Disorder: the parts drawn (the list's item), minor parts dashed.
    void choose_parts(int item);
    void dash_minor_parts();
    void change_hydrogen_radius();
    // Colour grid: a row chosen opens the colour dialog.
    void selection_couleur(int row);

    // Mouse on the picture, in picture (logical pixel) coordinates.
    void flag_on(Qt::MouseButton button, QPoint point);
    void mouse_move(QPoint point);
    void mouse_up(Qt::MouseButton button, QPoint point);
    void set_mode_rotation(int mode);

    // Tool-bar modes and windows.
    void set_direction_projection();
    void matrice_sur_3atomes();
    void modif_orientation();
    void pique_distance();
    void tue_liaison();
    void pique_angle();
    void set_coordinance();
    void set_mean_plane();
    void set_translations();
    void select_atom_rect();
    void tue_atome();
    void masque_elements();
    void selecte_centre();
    void affiche_liste_coord();
    void affiche_distances();
    // "Geometry (CIF)": the loops shown, written as geometry.cif and opened in the editor.
    void affiche_geometrie();
    // Labelling panel: an item of its check list (0 = "Font"), Close, Help.
    void click_on_checklistbox(int item);
    void close_labelling();
    void place_labels_automatically();
    void aide_labels();
    // OK of the translation panel.
    void ok_translation();
    // Ends every mode, the label backup restored (before a new plot).
    void leave_modes();
    // A new structure or plot: modes dropped, then the activation.
    void new_picture();
    // Makes the next activation only clear this flag (the printing window).
    void skip_next_activation() { skip_activation_ = true; }

    // View commands.
    void change_echelle(int position);
    void set_zoom();
    void reset_zoom();
    void best_view();
    void reset_child();
    void Retour();
    void aide();

    // File commands.
    void enregistrer();
    // Bmp, Jpeg or Png: the format follows the menu item chosen, never the
    // extension typed.
    void export_picture(PictureFormat format);
    // The picture as a POV-Ray scene of its current view and size.
    void export_povray_scene();
    void ASCIIfilekes1Click();
    // Printing and the metafile window.
    void imprime_dessin();
    void print_screen();
    void WindowsMetaFilewmf1Click();
    Tfimprime* printing_window();
    Tfwmetafile2* metafile_window();
    int scale_slider_position() const;
    // The printer of "Print screen": the default printer at once, or
    // QPrintDialog when there is none.
    std::function<bool(QPrinter& printer)> choose_screen_printer;

    // The picture as the screen shows it at rest, and the panel's picture.
    const QImage& picture() const { return image_; }
    const QImage& orientation_picture() const { return orientation_image_; }
    int picture_side() const { return side_; }
    int mouse_mode() const { return static_cast<int>(interaction_->mouse_mode); }
    const InteractionState& interaction() const { return *interaction_; }
    DrawingState& drawing_state() { return *state_; }
    QLineEdit* bond_width_box() const { return bond_width_box_; }
    QLineEdit* perspective_box() const { return perspective_box_; }
    QLineEdit* zoom_box() const { return zoom_box_; }
    QSlider* scale_slider() const { return scale_slider_; }
    QCheckBox* black_white_box() const { return black_white_; }
    QCheckBox* cell_box() const { return cell_; }
    QListWidget* probability_list() const { return probability_; }
    QCheckBox* planes_box() const { return planes_; }
    QCheckBox* planes_axes_box() const { return planes_axes_; }
    QCheckBox* labels_centre_box() const { return labels_centre_; }
    QCheckBox* labels_off_centre_box() const { return labels_off_centre_; }
    QComboBox* parts_box() const { return parts_; }
    QCheckBox* dash_minor_box() const { return dash_minor_; }
    QLineEdit* hydrogen_radius_box() const { return hydrogen_radius_; }
    QTableWidget* colour_grid() const { return colour_grid_; }
    QWidget* picture_widget() const;
    QMenu* export_menu() const { return export_menu_; }
    std::array<QString, 3> direction_boxes() const;
    QString prompt_text() const;
    QListWidget* label_tools() const { return label_tools_; }
    QWidget* labelling_panel() const;
    QWidget* label_instructions() const;
    QWidget* label_entry() const { return label_entry_; }
    QLineEdit* label_box() const { return label_box_; }
    QWidget* translation_panel() const;
    std::array<QLineEdit*, 3> translation_boxes() const { return translation_boxes_; }
    Tflimat* orientation_dialog();
    Tfmask_element* mask_window();
    Tfdistances* distances_window();
    Tfgeometry* geometry_window();
    Tfdisp_coordinance* coordination_window();
    Tfplan_moyen* plan_window();
    Tfdisp_coord* coordinates_window();
    // The coordinates list shared with the main window (made here when none is given).
    void set_coordinates_window(Tfdisp_coord* window) { coord_ = window; }

    // Replaceable services, dialogs and the system clipboard by default.
    // The save dialog: `selected` comes preset and goes back as the filter chosen.
    std::function<QString(const QString& filters, QString& selected)> choose_save_file;
    std::function<bool(Colour initial, Colour& chosen)> choose_colour;
    std::function<bool(FontSpec& font)> choose_font;
    std::function<void(const QImage&)> copy_to_clipboard;
    // Called by Retour after the window has closed.
    std::function<void()> on_return;
    // Opens the help at a context number; the window's own help viewer when empty.
    std::function<void(int)> open_help;

protected:
    bool event(QEvent* event) override;

private:
    friend class PictureView;
    friend class PictureArea;

    void build_window();
    QWidget* build_panel();
    QWidget* build_direction_panel();
    void build_tool_bar();
    void build_overlays();
    // The picture as large as its room: side x side, the overlays placed on it.
    void resize_picture(int side);
    void place_overlays();
    Workbench bench();
    // Carries out what a core call asks of the window.
    void apply(const Reaction& reaction);
    // The picture's overlays that follow every redraw (mean-plane marks).
    void draw_overlays(Canvas& canvas);
    // Prompt, panels, check boxes and buttons as the state and model say.
    void sync_controls();
    void start(PickMode mode);
    void activate();
    void fill_option_controls();
    void rebuild_colour_grid();
    void peint_stringgrid1();
    // One full picture: raster while dragging a rotation, antialiased otherwise.
    void draw(bool dragging = false);
    void copy_picture();
    void set_mouse_mode_buttons(int mode);
    void choose_label_font();
    void show_help(int context);
    QString ask_save_name(const QString& filters, QString& selected);
    void write_picture_file(PictureFormat format, const std::string& path);
    // Writes the scene to the name chosen in the dialog (none: nothing).
    void save_povray_scene(const QString& chosen);

    StructureModel& model_;
    std::unique_ptr<Messages> own_messages_;
    Messages* messages_;
    std::unique_ptr<DrawingState> state_;

    int side_ = DefaultPictureSide;
    int orientation_side_ = 166;
    QImage image_;
    QImage orientation_image_;

    std::unique_ptr<InteractionState> interaction_;
    bool skip_activation_ = false;
    bool place_at_top_left_ = false;
    bool activation_queued_ = false;
    // What the last redraw used, to know what must be recomputed.
    int drawn_cell_ = 0;
    int drawn_probability_ = 5;
    bool filling_controls_ = false;

    PictureView* picture_ = nullptr;
    PictureArea* picture_area_ = nullptr;
    QLabel* prompt_ = nullptr;
    QListWidget* probability_ = nullptr;
    QButtonGroup* thermal_ = nullptr;
    QCheckBox* gradation_ = nullptr;
    QCheckBox* planes_ = nullptr;
    QCheckBox* planes_axes_ = nullptr;
    QCheckBox* black_white_ = nullptr;
    QSlider* bond_width_slider_ = nullptr;
    QLineEdit* bond_width_box_ = nullptr;
    QSlider* perspective_slider_ = nullptr;
    QLineEdit* perspective_box_ = nullptr;
    QButtonGroup* double_triple_ = nullptr;
    QCheckBox* cell_ = nullptr;
    QCheckBox* labels_centre_ = nullptr;
    QCheckBox* labels_off_centre_ = nullptr;
    QWidget* disorder_frame_ = nullptr;
    QComboBox* parts_ = nullptr;
    QCheckBox* dash_minor_ = nullptr;
    QLineEdit* hydrogen_radius_ = nullptr;
    QTableWidget* colour_grid_ = nullptr;
    std::array<QLineEdit*, 3> direction_ = {};
    QLabel* orientation_view_ = nullptr;
    QSlider* scale_slider_ = nullptr;
    QLineEdit* zoom_box_ = nullptr;
    QButtonGroup* mouse_modes_ = nullptr;
    QMenu* export_menu_ = nullptr;
    HelpViewer* help_ = nullptr;
    QAction* centre_action_ = nullptr;
    QFrame* labelling_panel_ = nullptr;
    QListWidget* label_tools_ = nullptr;
    QLabel* instructions_ = nullptr;
    QWidget* label_entry_ = nullptr;
    QLineEdit* label_box_ = nullptr;
    QFrame* translation_panel_ = nullptr;
    std::array<QLineEdit*, 3> translation_boxes_ = {};
    Tflimat* limat_ = nullptr;
    Tfmask_element* mask_ = nullptr;
    Tfdistances* distances_ = nullptr;
    Tfgeometry* geometry_ = nullptr;
    Tfdisp_coordinance* coordinance_ = nullptr;
    Tfplan_moyen* plan_ = nullptr;
    Tfdisp_coord* coord_ = nullptr;
    Tfimprime* imprime_ = nullptr;
    Tfwmetafile2* metafile_ = nullptr;
};

} // namespace kestro

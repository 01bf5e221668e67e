#pragma once
// The drawing window: the picture of the plotted structure, the options of
// its right-hand panel, the direction of projection, the scale, the mouse
// modes and the tool bar of file and view commands.

#include <QImage>
#include <QMainWindow>
#include <QPoint>
#include <QRect>
#include <array>
#include <functional>
#include <memory>

#include "drawing/canvas.h"
#include "model/messages.h"
#include "model/structure_model.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QRadioButton;
class QSlider;
class QTableWidget;
class QToolButton;

namespace kestro {

struct DrawingState;
class HelpViewer;
class PictureView;

// The formats of a picture file; the format follows the menu item chosen,
// never the extension typed.
enum class PictureFileFormat { Bitmap, Jpeg, Svg, Png };

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
    // Colour grid: a row chosen opens the colour dialog.
    void selection_couleur(int row);

    // Mouse on the picture, in picture (logical pixel) coordinates.
    void flag_on(Qt::MouseButton button, QPoint point);
    void mouse_move(QPoint point);
    void mouse_up(Qt::MouseButton button, QPoint point);
    void set_mode_rotation(int mode);

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
    void export_picture(PictureFileFormat format);
    void ASCIIfilekes1Click();

    // The picture as the screen shows it at rest, and the panel's picture.
    const QImage& picture() const { return image_; }
    const QImage& orientation_picture() const { return orientation_image_; }
    int picture_side() const { return side_; }
    int mouse_mode() const { return mouse_mode_; }
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
    QTableWidget* colour_grid() const { return colour_grid_; }
    QWidget* picture_widget() const;
    QMenu* export_menu() const { return export_menu_; }
    std::array<QString, 3> direction_boxes() const;
    QString prompt_text() const;

    // Replaceable services, dialogs and the system clipboard by default.
    std::function<QString(const QString& filters, const QString& selected)> choose_save_file;
    std::function<bool(Colour initial, Colour& chosen)> choose_colour;
    std::function<void(const QImage&)> copy_to_clipboard;
    // Called by Retour after the window has closed.
    std::function<void()> on_return;
    // Opens the help at a context number; the window's own help viewer when empty.
    std::function<void(int)> open_help;

private:
    friend class PictureView;

    void build_window();
    QWidget* build_panel();
    QWidget* build_direction_panel();
    void build_tool_bar();
    void fill_option_controls();
    void rebuild_colour_grid();
    void peint_stringgrid1();
    // One full picture: raster while dragging a rotation, antialiased otherwise.
    void draw(bool dragging = false);
    void copy_picture();
    void set_mouse_mode_buttons(int mode);
    void show_prompt(const QString& text);
    void hide_prompt();
    void end_modes();
    QString ask_save_name(const QString& filters, const QString& selected);
    void write_picture_file(PictureFileFormat format, const std::string& path);

    StructureModel& model_;
    std::unique_ptr<Messages> own_messages_;
    Messages* messages_;
    std::unique_ptr<DrawingState> state_;

    int side_ = 686;
    int orientation_side_ = 166;
    QImage image_;
    QImage orientation_image_;

    // Interaction state.
    int mouse_mode_ = 1;
    bool button_held_ = false;
    Qt::MouseButton held_button_ = Qt::NoButton;
    QPoint press_, previous_, release_;
    bool zoom_mode_ = false;
    bool translation_used_ = false;
    bool rubber_band_ = false;
    bool drag_drawn_ = false; // a fast picture is on screen since the press
    QRect rubber_;
    // What the last redraw used, to know what must be recomputed.
    int drawn_cell_ = 0;
    int drawn_probability_ = 5;
    bool filling_controls_ = false;

    PictureView* picture_ = nullptr;
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
    QTableWidget* colour_grid_ = nullptr;
    std::array<QLineEdit*, 3> direction_ = {};
    QLabel* orientation_view_ = nullptr;
    QSlider* scale_slider_ = nullptr;
    QLineEdit* zoom_box_ = nullptr;
    QButtonGroup* mouse_modes_ = nullptr;
    QMenu* export_menu_ = nullptr;
    HelpViewer* help_ = nullptr;
};

} // namespace kestro

#pragma once
// The main window: where a structure is typed or loaded, saved and plotted.

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "crystal/operators.h"
#include "forms/atom_grid.h"
#include "forms/mainmenu.h"
#include "model/messages.h"
#include "model/structure_model.h"
#include "model/thermal.h"

class QAction;
class QButtonGroup;
class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTableWidget;
class QTreeWidget;
class QWidget;

namespace kestro {

class HelpViewer;
class Tfdessin;
class Tfdisp_coord;
class Tfboite;
class Tfsphere;
class Tftypliai;
class TfeffaceE;
class TfeffaceA;
class TfeffaceB;

class Tfmainmenu : public QMainWindow {
    Q_OBJECT
public:
    // Rows of the atom grid below its header, and its columns.
    static constexpr int AtomRows = 99;

    // messages: the port for every box the window shows; null gives message
    // boxes (tests pass a recorder).
    explicit Tfmainmenu(StructureModel& model, Messages* messages = nullptr, QWidget* parent = nullptr);
    ~Tfmainmenu() override;

    // The start-up steps of the window. False when a reference file is
    // missing: the message has been shown and the program must end.
    bool FormCreate(const QStringList& arguments);
    // Dispatches a file named on the command line, once, at activation.
    void init_active();
    void reset_structure();

    // Cell area.
    void ListBox1Click();
    void set_numero(int box);
    // False when the text is not a number ("Type error!", focus given back).
    bool verif_case(int box);
    void clickpanel4();

    // Space-group lists and the positions grid.
    void click_groupe();
    void click_groupe_miraldo();
    void BitBtn1Click();
    void selecte_tout();
    void deselecte_tut();
    void on_click_stringgrid1(int row, int col); // grid row (1-based) and column

    // Atom grid.
    void modif_ligne(int row, int col); // grid row (1-based) and column being left
    void selection_thermal_expression();
    void erase_tout();
    void effaace_element();
    void efface_atome();
    void efface_bloc();
    void restaure();
    void edite_bond_lengths();

    // Options, lists, plot.
    void on_click_checklistbox(QListWidgetItem* item);
    void affiche_child();
    void trace_ortep();

    // Files and the rest.
    void lit_en_ascii();
    void Kestrofile2Click();
    void shelx_input_file();
    void LazyPulverixfile1Click();
    void open_powdercel();
    void CIFfile1Click();
    void sauve_fichier_shelx();
    // Loads a file as File > Load does for its extension: a file dropped on
    // the window, or chosen after Ctrl+O among every structure file.
    void open_structure_file(std::string name);
    void open_any_structure();
    void data_keyboard();
    void show_loaded_structure();
    void aide() { open_help(7); }
    void help_data() { open_help(4); }
    void generation_help() { open_help(1); }
    void about();
    void sortie() { close(); }
    void open_help(int context);

    // Shows the drawing window on the plotted structure (created once).
    void show_drawing();
    Tfdessin* drawing_window() const { return dessin_; }

    Messages& messages() { return *messages_; }
    StructureModel& model() { return model_; }
    QString space_group_caption() const;
    bool data_panel_visible() const;

    // Controls, for the tests.
    QListWidget* system_list() const { return systems_; }
    QLineEdit* cell_box(int box) const { return cell_boxes_.at(static_cast<std::size_t>(box - 1)); }
    QListWidget* standard_list() const { return standard_; }
    QTreeWidget* miraldo_list() const { return miraldo_; }
    QTableWidget* positions_grid() const { return positions_; }
    QTableWidget* atom_grid() const { return atoms_; }
    QListWidget* option_list() const { return options_; }
    QPushButton* button(const QString& name) const;
    QWidget* generated_list_window() const;
    Tfdisp_coord* coordinates_window();
    Tfboite* box_dialog() const { return boite_; }
    Tfsphere* sphere_dialog() const { return sphere_; }
    Tftypliai* bond_dialog() const { return typliai_; }
    TfeffaceE* element_dialog() const { return efface_e_; }
    TfeffaceA* atom_dialog() const { return efface_a_; }
    TfeffaceB* bloc_dialog() const { return efface_b_; }
    ThermalExpression thermal_expression() const { return expression_; }
    void set_thermal_expression(ThermalExpression expression);

    // The shared readers and fillers.
    bool read_cell();
    bool read_atom_grid();
    void fill_atom_grid();
    void fill_cell_boxes();

    // File choosers, dialogs by default; tests replace them.
    std::function<QString(const QString& filters, const QString& selected)> choose_open_file;
    std::function<QString(const QString& filters, const QString& selected)> choose_save_file;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void build_window();
    void build_menus();
    // Writes text into the cell boxes that repeat `box` under the system;
    // true when there is one.
    bool repeat_box(int box, const QString& text);
    // Ctrl+O, Ctrl+S, Ctrl+P, Ctrl+Q and F1 beside the menus' own keys.
    void add_standard_shortcuts(QAction* save, QAction* exit, QAction* help);
    QWidget* build_cell_area();
    QWidget* build_group_area();
    QWidget* build_positions_area();
    QWidget* build_atom_area();
    QWidget* build_option_area();
    QPushButton* add_button(const QString& text, const QString& hint, void (Tfmainmenu::*handler)());

    // Steps shared by the plot and the generated-atoms list: cell, grids,
    // sorts, generation. False when a step stopped (message shown).
    bool prepare_generation();
    // Reads again the file a structure came from, by its extension.
    bool restore_from_file(const std::string& name);
    // The pending start-up name, or the open dialog with `filter` chosen.
    // `filters` null gives the list of every format.
    std::string take_open_name(const char* filter, const char* title, const char* filters = nullptr);
    // The foreign-format loads: reset, read, show.
    void load_foreign_file(const char* filter, const char* title);

    void apply_system_colours();
    void clear_positions_grid();
    void positions_to_widget();
    void widget_to_positions();
    void fill_group_lists();
    void clear_atom_grid();
    void write_atom_headers();
    // Every row of the atom grid, and the cells of `rows` that differ from
    // `before` written back.
    std::vector<mainmenu::AtomGridRow> atom_grid_texts() const;
    void write_atom_grid(const std::vector<mainmenu::AtomGridRow>& rows,
                         const std::vector<mainmenu::AtomGridRow>& before);
    int checked_option() const;
    // The list's check states and selection as the core chose them.
    void show_option(const mainmenu::OptionChoice& choice);
    void open_deletion_dialog(QDialog* dialog);
    void refresh_atoms_from_model();
    void set_caption_from_group();
    void set_caption_from_choice();
    void select_group_of_model();

    StructureModel& model_;
    std::unique_ptr<Messages> own_messages_;
    Messages* messages_;
    QLabel* space_group_label_ = nullptr;
    QWidget* data_panel_ = nullptr;
    QListWidget* systems_ = nullptr;
    std::array<QLineEdit*, 6> cell_boxes_{};
    QListWidget* standard_ = nullptr;
    QTreeWidget* miraldo_ = nullptr;
    QTableWidget* positions_ = nullptr;
    QTableWidget* atoms_ = nullptr;
    QButtonGroup* expressions_ = nullptr;
    QListWidget* options_ = nullptr;
    Tfdisp_coord* coord_ = nullptr;
    HelpViewer* help_ = nullptr;
    Tfdessin* dessin_ = nullptr;
    Tfboite* boite_ = nullptr;
    Tfsphere* sphere_ = nullptr;
    Tftypliai* typliai_ = nullptr;
    TfeffaceE* efface_e_ = nullptr;
    TfeffaceA* efface_a_ = nullptr;
    TfeffaceB* efface_b_ = nullptr;

    mainmenu::OperatorGrid grid_;
    mainmenu::GridSelection grid_selection_;
    ThermalExpression expression_ = ThermalExpression::Uij;
    int current_box_ = 0;
    bool filling_ = false;   // programmatic changes of the controls
    bool checking_ = false;  // inside verif_case
    std::string announced_;
    bool fonts_checked_ = false; // the large-font warning, once the window has its frame
};

} // namespace kestro

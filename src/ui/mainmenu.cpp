#include "ui/mainmenu.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cstdlib>

#include "crystal/generation.h"
#include "crystal/oemath.h"
#include "crystal/sorts.h"
#include "formats/kes.h"
#include "formats/shelx.h"
#include "formats/structure_files.h"
#include "model/errors.h"
#include "model/fields.h"
#include "model/reference_files.h"
#include "model/text.h"
#include "platform/help_viewer.h"
#include "platform/qt_messages.h"
#include "platform/qt_text.h"
#include "ui/boite.h"
#include "ui/dessin.h"
#include "ui/disp_coord.h"
#include "ui/efface.h"
#include "ui/sphere.h"
#include "ui/typliai.h"

namespace kestro {

namespace {

const char* const ShelxFilter = "Shelx  File (input/output) (*.ins *.res *.inp *.out *.lst *.shx)";
const char* const PowderCellFilter = "PowderCell file  (*.cel)";
const char* const LazyPulverixFilter = "Lazy Oulverix file (*.lzy)";
const char* const KestroFilter = "ASCII Kestro file (*.kes)";
const char* const CifFilter = "Crystallographic Information File (*.cif)";
// Ctrl+O: every structure file at once, then each format.
const char* const AnyStructureFilter =
    "Structure files (*.kes *.ins *.res *.inp *.out *.lst *.shx *.cif *.cel *.lzy)";
const char* const AnyStructureFilters =
    "Structure files (*.kes *.ins *.res *.inp *.out *.lst *.shx *.cif *.cel *.lzy);;"
    "Shelx  File (input/output) (*.ins *.res *.inp *.out *.lst *.shx);;"
    "PowderCell file  (*.cel);;"
    "Lazy Oulverix file (*.lzy);;"
    "ASCII Kestro file (*.kes);;"
    "Crystallographic Information File (*.cif)";
const char* const OpenFilters =
    "Shelx  File (input/output) (*.ins *.res *.inp *.out *.lst *.shx);;"
    "Binary Kestro file (*.kst);;"
    "PowderCell file  (*.cel);;"
    "Lazy Oulverix file (*.lzy);;"
    "ASCII Kestro file (*.kes);;"
    "Crystallographic Information File (*.cif)";

} // namespace

Tfmainmenu::Tfmainmenu(StructureModel& model, Messages* messages, QWidget* parent)
    : QMainWindow(parent), model_(model)
{
    if (!messages) {
        own_messages_ = std::make_unique<QtMessages>(this);
        messages = own_messages_.get();
    }
    messages_ = messages;
    setWindowTitle(QStringLiteral("Kestro  V2 (November 15)"));
    build_window();
    build_menus();

    boite_ = new Tfboite(model_, messages_, this);
    sphere_ = new Tfsphere(model_, messages_, this);
    typliai_ = new Tftypliai(model_, messages_, this);
    efface_e_ = new TfeffaceE(model_, messages_, this);
    efface_a_ = new TfeffaceA(model_, messages_, this);
    efface_b_ = new TfeffaceB(model_, messages_, this);
    // A cancelled enclosure dialog has cleared its option flag: the list follows.
    const auto untick = [this](int result) {
        if (result == QDialog::Rejected) show_option(mainmenu::only_item(GenerationItem::NoOption));
    };
    connect(boite_, &QDialog::finished, this, untick);
    connect(sphere_, &QDialog::finished, this, untick);
    for (QDialog* dialog : {static_cast<QDialog*>(efface_e_), static_cast<QDialog*>(efface_a_),
                            static_cast<QDialog*>(efface_b_)})
        dialog->setWindowFlag(Qt::WindowStaysOnTopHint);
    connect(efface_e_, &TfeffaceE::model_changed, this, &Tfmainmenu::refresh_atoms_from_model);
    connect(efface_a_, &TfeffaceA::model_changed, this, &Tfmainmenu::refresh_atoms_from_model);
    connect(efface_b_, &TfeffaceB::model_changed, this, &Tfmainmenu::refresh_atoms_from_model);
}

Tfmainmenu::~Tfmainmenu() = default;

void Tfmainmenu::build_menus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    QMenu* load = file->addMenu(QStringLiteral("&Load"));
    load->addAction(QStringLiteral("&Kestro file"), this, &Tfmainmenu::lit_en_ascii);
    load->addAction(QStringLiteral("&Shelx file (input or output)"), this, &Tfmainmenu::shelx_input_file);
    load->addAction(QStringLiteral("&Lazy_pulverix file"), this, &Tfmainmenu::LazyPulverixfile1Click);
    load->addAction(QStringLiteral("&Powdercell file"), this, &Tfmainmenu::open_powdercel);
    load->addAction(QStringLiteral("Crystallogarphic Information file (CIF)"), this, &Tfmainmenu::CIFfile1Click);
    QMenu* save = file->addMenu(QStringLiteral("&Save"));
    save->addAction(QStringLiteral("&Shelx input file"), this, &Tfmainmenu::sauve_fichier_shelx);
    QAction* save_kestro = save->addAction(QStringLiteral("&Kestro file"), this, &Tfmainmenu::Kestrofile2Click);
    file->addAction(QStringLiteral("&Data keybord"), this, &Tfmainmenu::data_keyboard);
    file->addSeparator();
    QAction* exit = file->addAction(QStringLiteral("&Exit"), this, &Tfmainmenu::sortie);
    menuBar()->addAction(QStringLiteral("&Plot"), this, &Tfmainmenu::trace_ortep);
    QAction* help = menuBar()->addAction(QStringLiteral("&Help"), this, &Tfmainmenu::aide);
    menuBar()->addAction(QStringLiteral("&About"), this, &Tfmainmenu::about);
    menuBar()->addAction(QStringLiteral("&Exit"), this, &Tfmainmenu::sortie);
    add_standard_shortcuts(save_kestro, exit, help);
}

bool Tfmainmenu::FormCreate(const QStringList& arguments)
{
    model_.pending_file_name = arguments.size() > 1 ? ss(arguments.at(1)) : std::string();
    show_option(mainmenu::only_item(GenerationItem::NoOption));
    model_.drawing.bond_colour = colour::Yellow;

    move(0, 0);
    if (const QScreen* screen = QGuiApplication::primaryScreen(); screen && screen->geometry().width() < 1024)
        resize(798, 585);

    model_.program_directory = ss(QDir::currentPath());
    model_.data_directory = find_data_directory(std::getenv("KESTRO_DATA"), model_.program_directory);
    for (AtomRecord& atom : model_.generated) {
        atom.shown = 1;
        atom.label_dx = atom.label_dy = 0;
    }
    model_.source_base_name.clear();
    reset_structure();

    if (const auto missing = missing_reference_file(model_.data_directory)) {
        messages_->show(*missing);
        close();
        return false;
    }
    return true;
}

void Tfmainmenu::reset_structure()
{
    space_group_label_->hide();
    reset_model(model_);
    show_option(mainmenu::only_item(GenerationItem::NoOption));
}

bool Tfmainmenu::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate) {
        // The frame is known only once the window is up: before it is shown
        // frame and client heights are the same.
        if (!fonts_checked_) {
            fonts_checked_ = true;
            if (frameGeometry().height() - geometry().height() > 47)
                messages_->show("Warning! Large fonts must create some problems to Kestro!");
        }
        init_active();
    }
    return QMainWindow::event(event);
}

void Tfmainmenu::init_active()
{
    if (model_.pending_file_name.empty()) return;
    // The extension decides on a lower-case copy; the name itself is kept,
    // since Linux file names are case sensitive.
    const std::string lower = to_lower(model_.pending_file_name);
    if (contains(lower, ".kes")) {
        // Announced once: a message box closing activates the window again.
        if (announced_ == model_.pending_file_name) return;
        announced_ = model_.pending_file_name;
        messages_->show("The file " + announced_ + " was loaded. Click on the \"Plot\" Item");
        return;
    }
    // The foreign formats are read at once; the reader takes the pending name.
    const StructureFormat format = format_of(model_.pending_file_name);
    if (format != StructureFormat::Unknown && format != StructureFormat::Kestro)
        open_structure_file(model_.pending_file_name);
}

bool Tfmainmenu::prepare_generation()
{
    if (model_.edit.cell_changed) {
        if (!read_cell()) return false;
        if (model_.cell.missing()) {
            messages_->show("No cell parameters");
            return false;
        }
        if (!cell_metric(model_, *messages_)) return false;
    }
    widget_to_positions();
    mainmenu::read_operator_grid(model_, grid_, *messages_);
    positions_to_widget();
    if (!read_atom_grid()) {
        messages_->beep();
        messages_->show("Coordinates read error");
        return false;
    }
    return mainmenu::plot_generation(model_, model_.edit.atoms_changed, *messages_);
}

void Tfmainmenu::trace_ortep()
{
    // A mode of the drawing window gives its labels back before the atoms
    // are read, copied or replaced.
    if (dessin_) dessin_->leave_modes();
    // A structure file named at start-up is read by the first plot.
    if (!model_.pending_file_name.empty() && contains(to_lower(model_.pending_file_name), ".kes")) {
        lit_en_ascii();
        return;
    }
    // Nothing generated yet (a file holding only its asymmetric unit) is a
    // change too: the plot generates.
    if (model_.edit.data_changed || (model_.generated.empty() && !model_.asym.empty())) {
        // A typed structure is only in the grid until this reading: the
        // empty-model test waits for it.
        if (!prepare_generation()) return;
        model_.edit.atoms_changed = 0;
        model_.edit.cell_changed = 0;
        model_.current_file = ss(QDir(qs(model_.program_directory)).filePath("dummy.kes"));
        try {
            write_ascii_structure(model_);
        } catch (const IoError& error) {
            messages_->show(error.what());
        }
    } else {
        if (model_.asym.empty() || model_.generated.empty()) return;
        // Nothing edited since the last plot: every atom visible again.
        for (int i = 1; i <= model_.generated.count(); ++i) {
            model_.generated[i].shown = 1;
            model_.initial_generated[i] = model_.generated[i];
        }
    }
    show_drawing();
}

void Tfmainmenu::affiche_child()
{
    if (!prepare_generation()) return;
    Tfdisp_coord* list = coordinates_window();
    list->show();
    list->initialise();
    list->raise();
}

QWidget* Tfmainmenu::generated_list_window() const { return coord_; }

Tfdisp_coord* Tfmainmenu::coordinates_window()
{
    if (!coord_) coord_ = new Tfdisp_coord(model_, messages_, this);
    return coord_;
}

void Tfmainmenu::show_drawing()
{
    if (!dessin_) {
        // Message boxes of the drawing window sit over it, not over this one.
        dessin_ = new Tfdessin(model_, own_messages_ ? nullptr : messages_, this);
        dessin_->open_help = [this](int context) { open_help(context); };
        dessin_->set_coordinates_window(coordinates_window());
        dessin_->on_return = [this] {
            raise();
            activateWindow();
        };
    }
    dessin_->show();
    dessin_->new_picture();
    dessin_->raise();
    dessin_->activateWindow();
}

void Tfmainmenu::lit_en_ascii()
{
    const std::string name = take_open_name(KestroFilter, "Load a Kestro file");
    if (name.empty()) return;
    if (!load_ascii_structure(model_, name, *messages_)) return;
    set_thermal_expression(ThermalExpression::Uij);
    show_option(mainmenu::only_item(mainmenu::checked_item(model_.generation)));
    show_loaded_structure();
    boite_->hide();
    // A file with its generated atoms restores its picture; one with only
    // an asymmetric unit waits for a plot.
    if (!model_.generated.empty()) show_drawing();
}

void Tfmainmenu::Kestrofile2Click()
{
    if (model_.generated.empty()) return;
    const QString filters = QStringLiteral("Shelxt file format  (*.shx);;Kestro file format (*.kes)");
    const QString chosen = choose_save_file
                               ? choose_save_file(filters, QStringLiteral("Kestro file format (*.kes)"))
                               : [&] {
                                     QString selected = QStringLiteral("Kestro file format (*.kes)");
                                     return QFileDialog::getSaveFileName(this, QStringLiteral("Save a Kestro file"),
                                                                         QString(), filters, &selected,
                                                                         QFileDialog::DontConfirmOverwrite);
                                 }();
    if (chosen.isEmpty()) return;
    save_ascii_structure(model_, ss(chosen), *messages_);
}

void Tfmainmenu::data_keyboard()
{
    model_.source_file_name.clear();
    model_.ascii_file_name.clear();
    model_.asym.clear();
    model_.operators.clear();
    model_.selected_operators.clear();
    reset_structure();
    if (dessin_) dessin_->initialise_creation();
    data_panel_->show();
    clear_positions_grid();
    clear_atom_grid();
    model_.edit.data_changed = 1;
}

void Tfmainmenu::erase_tout()
{
    model_.edit.data_changed = 1;
    model_.source_file_name.clear();
    model_.current_file.clear();
    clear_atom_grid();
    model_.asym.clear();
}

bool Tfmainmenu::restore_from_file(const std::string& name)
{
    // One dispatch by extension for every format read.
    return load_structure_file(model_, name, *messages_);
}

std::string Tfmainmenu::take_open_name(const char* filter, const char* title, const char* filters)
{
    std::string name = model_.pending_file_name;
    model_.pending_file_name.clear();
    if (!name.empty()) return name;
    if (filters == nullptr) filters = OpenFilters;
    const QString chosen = choose_open_file ? choose_open_file(QString::fromLatin1(filters), QString::fromLatin1(filter))
                                            : [&] {
                                                  QString selected = QString::fromLatin1(filter);
                                                  return QFileDialog::getOpenFileName(
                                                      this, QString::fromLatin1(title), QString(),
                                                      QString::fromLatin1(filters), &selected);
                                              }();
    return ss(chosen);
}

void Tfmainmenu::open_any_structure()
{
    const std::string name = take_open_name(AnyStructureFilter, "Load a structure file", AnyStructureFilters);
    if (!name.empty()) open_structure_file(name);
}

void Tfmainmenu::shelx_input_file() { load_foreign_file(ShelxFilter, "Load a SHELX file"); }
void Tfmainmenu::LazyPulverixfile1Click() { load_foreign_file(LazyPulverixFilter, "Load a Lazy Pulverix file"); }
void Tfmainmenu::open_powdercel() { load_foreign_file(PowderCellFilter, "Load a PowderCell file"); }
void Tfmainmenu::CIFfile1Click() { load_foreign_file(CifFilter, "Load a CIF"); }

void Tfmainmenu::load_foreign_file(const char* filter, const char* title)
{
    const std::string name = take_open_name(filter, title);
    if (name.empty()) return;
    reset_structure();
    // A new structure starts with the drawing modes off.
    if (dessin_) dessin_->initialise_creation();
    const bool loaded = load_structure_file(model_, name, *messages_);
    // The window shows the model as the load left it, so the grids never
    // hold a previous structure that a plot would read back.
    set_thermal_expression(ThermalExpression::Uij);
    show_loaded_structure();
    if (loaded) model_.edit.data_changed = 1;
}

void Tfmainmenu::sauve_fichier_shelx()
{
    if (model_.asym.empty() && !read_atom_grid()) return;
    if (model_.asym.empty()) {
        messages_->beep();
        messages_->show("No data");
        return;
    }
    const QString filters = QStringLiteral("Shelxt file format  (*.shx)");
    const QString chosen = choose_save_file
                               ? choose_save_file(filters, filters)
                               : [&] {
                                     QString selected = filters;
                                     return QFileDialog::getSaveFileName(
                                         this, QStringLiteral("Save a SHELX file"),
                                         qs(model_.program_directory), filters, &selected,
                                         QFileDialog::DontConfirmOverwrite);
                                 }();
    if (chosen.isEmpty()) return;
    // The window's data go into the model first: the boxes may have been edited.
    if (!read_cell()) return;
    if (!read_atom_grid()) {
        messages_->beep();
        messages_->show("Coordinates read error");
        return;
    }
    mainmenu::read_operator_grid(model_, grid_, *messages_);
    try {
        if (!save_shelx_instructions(model_, ss(chosen), *messages_)) return;
    } catch (const IoError& error) {
        messages_->show(error.what());
        return;
    }
    fill_atom_grid();
    model_.edit.data_changed = 1;
    setWindowTitle(qs(mainmenu::data_caption(model_, model_.source_file_name)));
}

void Tfmainmenu::restaure()
{
    model_.edit.data_changed = 1;
    const std::string name = !model_.source_file_name.empty() ? model_.source_file_name : model_.ascii_file_name;
    // Without a file there is nothing to restore from: the typed data stay.
    if (name.empty()) return;
    // A .kes file is read into a copy, so a failed read keeps the structure;
    // a foreign file is read after the reset of every load.
    if (!restore_from_file(name)) {
        show_loaded_structure();
        return;
    }
    model_.edit.data_changed = 1;
    set_caption_from_group();
    show_loaded_structure();
}

void Tfmainmenu::set_caption_from_group()
{
    space_group_label_->setText(model_.space_group.empty()
                                    ? QStringLiteral("No Space Group found")
                                    : QStringLiteral("Space Group: ") + qs(model_.space_group));
    space_group_label_->show();
}

void Tfmainmenu::show_loaded_structure()
{
    set_caption_from_group();
    data_panel_->show();
    atoms_->setStyleSheet(QStringLiteral("QTableWidget { background: white; }"));
    if (!model_.asym.empty()) {
        set_crystal_system(model_);
        apply_system_colours();
        fill_group_lists();
        select_group_of_model();
        fill_cell_boxes();
    }
    for (const std::string* name : {&model_.source_file_name, &model_.ascii_file_name})
        if (!name->empty())
            setWindowTitle(qs(mainmenu::data_caption(model_, *name)));
    mainmenu::fill_operator_grid(model_, grid_);
    positions_to_widget();
    fill_atom_grid();
}

void Tfmainmenu::effaace_element()
{
    model_.edit.data_changed = 1;
    if (!read_atom_grid()) return;
    // The dialog lists the element sorts: typed atoms need theirs first.
    if (model_.edit.atoms_changed || model_.element_sorts.empty()) {
        try {
            if (!build_bond_sorts(model_, *messages_)) return;
        } catch (const IoError& error) {
            messages_->show(error.what());
            return;
        }
    }
    efface_e_->open();
}
void Tfmainmenu::efface_atome() { open_deletion_dialog(efface_a_); }
void Tfmainmenu::efface_bloc() { open_deletion_dialog(efface_b_); }

void Tfmainmenu::open_deletion_dialog(QDialog* dialog)
{
    model_.edit.data_changed = 1;
    // The dialogs list the model's atoms: typed rows are read first.
    if (!read_atom_grid()) return;
    dialog->open();
}

void Tfmainmenu::refresh_atoms_from_model()
{
    model_.edit.data_changed = 1;
    model_.edit.atoms_changed = 1;
    fill_atom_grid();
}

void Tfmainmenu::edite_bond_lengths()
{
    model_.edit.data_changed = 1;
    // The limits belong to the elements of the grid: sorts made when missing.
    if (model_.bond_sorts.empty()) {
        if (!read_atom_grid() || model_.asym.empty()) return;
        try {
            if (!build_bond_sorts(model_, *messages_)) return;
        } catch (const IoError& error) {
            messages_->show(error.what());
            return;
        }
        model_.edit.atoms_changed = 0;
    }
    typliai_->open();
}

void Tfmainmenu::about()
{
    auto* box = findChild<QDialog*>(QStringLiteral("about_box"));
    if (!box) {
        box = new QDialog(this);
        box->setObjectName(QStringLiteral("about_box"));
        box->setWindowTitle(QStringLiteral("About KESTRO"));
        auto* layout = new QVBoxLayout(box);
        layout->addWidget(new QLabel(QStringLiteral("KESTRO ") + QStringLiteral(KESTRO_VERSION) +
                                         QStringLiteral("\nThermal-ellipsoid plots of crystal structures."),
                                     box));
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, box);
        connect(buttons, &QDialogButtonBox::accepted, box, &QDialog::accept);
        layout->addWidget(buttons);
    }
    box->open();
}

void Tfmainmenu::open_help(int context) { show_help_at(help_, model_.data_directory, this, context, *messages_); }

QString Tfmainmenu::space_group_caption() const
{
    return !space_group_label_->isHidden() ? space_group_label_->text() : QString();
}

bool Tfmainmenu::data_panel_visible() const { return !data_panel_->isHidden(); }

} // namespace kestro

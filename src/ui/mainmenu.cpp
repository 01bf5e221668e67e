#include "ui/mainmenu.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QVBoxLayout>
#include <cstdlib>

#include "formats/kes.h"
#include "model/fields.h"
#include "model/reference_files.h"
#include "model/text.h"
#include "platform/help_viewer.h"
#include "platform/qt_messages.h"
#include "ui/dessin.h"

namespace kestro {

namespace {

const char* const OpenFilters =
    "Shelx  File (input/output) (*.ins *.inp *.out *.lst *.shx);;"
    "Binary Kestro file (*.kst);;"
    "PowderCell file  (*.cel);;"
    "Lazy Oulverix file (*.lzy);;"
    "ASCII Kestro file (*.kes);;"
    "Crystallographic Information File (*.cif)";

// The window background: 256 bands from top to bottom colour (colore_fiche).
class GradientPanel : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const Colour top = 0xFF0000, bottom = 0xFFDAD0;
        const int h = height();
        for (int i = 0; i < 256; ++i) {
            const auto channel = [&](int shift) {
                const int t = static_cast<int>((top >> shift) & 0xFF);
                const int b = static_cast<int>((bottom >> shift) & 0xFF);
                return static_cast<Colour>(t + i * (b - t) / 255) << shift;
            };
            const Colour colour = channel(0) | channel(8) | channel(16);
            const int y0 = i * h / 256, y1 = (i + 1) * h / 256;
            painter.fillRect(0, y0, width(), y1 - y0, to_qcolor(colour));
        }
    }
};

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

    auto* panel = new GradientPanel(this);
    auto* layout = new QVBoxLayout(panel);
    space_group_label_ = new QLabel(QStringLiteral("No space group defined"), panel);
    space_group_label_->setStyleSheet(QStringLiteral("color: white; font-weight: bold;"));
    layout->addWidget(space_group_label_);
    data_panel_ = new QGroupBox(QStringLiteral("Structure"), panel);
    auto* data_layout = new QVBoxLayout(data_panel_);
    summary_ = new QPlainTextEdit(data_panel_);
    summary_->setReadOnly(true);
    summary_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    data_layout->addWidget(summary_);
    layout->addWidget(data_panel_, 1);
    data_panel_->hide();
    setCentralWidget(panel);
    build_menus();
    resize(1000, 700);
}

Tfmainmenu::~Tfmainmenu() = default;

void Tfmainmenu::build_menus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    QMenu* load = file->addMenu(QStringLiteral("&Load"));
    load->addAction(QStringLiteral("&Kestro file"), this, &Tfmainmenu::lit_en_ascii);
    QMenu* save = file->addMenu(QStringLiteral("&Save"));
    save->addAction(QStringLiteral("&Kestro file"), this, &Tfmainmenu::Kestrofile2Click);
    file->addSeparator();
    file->addAction(QStringLiteral("&Exit"), this, &QWidget::close);
    menuBar()->addAction(QStringLiteral("&Plot"), this, &Tfmainmenu::trace_ortep);
    menuBar()->addAction(QStringLiteral("&Help"), this, [this] { open_help(7); });
    menuBar()->addAction(QStringLiteral("&About"), this, [this] {
        messages_->show(std::string("KESTRO ") + KESTRO_VERSION +
                        "\nThermal-ellipsoid plots of crystal structures.");
    });
    menuBar()->addAction(QStringLiteral("&Exit"), this, &QWidget::close);
}

bool Tfmainmenu::FormCreate(const QStringList& arguments)
{
    if (frameGeometry().height() - geometry().height() > 47)
        messages_->show("Warning! Large fonts must create some problems to Kestro!");
    model_.pending_file_name = arguments.size() > 1 ? arguments.at(1).toStdString() : std::string();
    model_.drawing.bond_colour = 0x00FFFF;

    move(0, 0);
    if (const QScreen* screen = QGuiApplication::primaryScreen(); screen && screen->geometry().width() < 1024)
        resize(798, 585);

    model_.program_directory = QDir::currentPath().toStdString();
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
}

bool Tfmainmenu::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate) init_active();
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
    }
}

void Tfmainmenu::trace_ortep()
{
    // A structure file named at start-up is read by the first plot.
    if (!model_.pending_file_name.empty() && contains(to_lower(model_.pending_file_name), ".kes")) {
        lit_en_ascii();
        return;
    }
    if (model_.asym.empty()) {
        messages_->show("No data");
        return;
    }
    if (!model_.edit.data_changed) {
        // Nothing edited since the last plot: every atom visible again.
        for (int i = 1; i <= model_.generated.count(); ++i) {
            model_.generated[i].shown = 1;
            model_.initial_generated[i] = model_.generated[i];
        }
    }
    show_loaded_structure();
    if (!model_.generated.empty()) show_drawing();
}

void Tfmainmenu::show_drawing()
{
    if (!dessin_) {
        dessin_ = new Tfdessin(model_, messages_, this);
        dessin_->open_help = [this](int context) { open_help(context); };
        dessin_->on_return = [this] {
            raise();
            activateWindow();
        };
    }
    dessin_->show();
    dessin_->initialise_fiche();
    dessin_->raise();
    dessin_->activateWindow();
}

void Tfmainmenu::lit_en_ascii()
{
    std::string name = model_.pending_file_name;
    model_.pending_file_name.clear();
    if (name.empty()) {
        const QString chosen = choose_open_file
                                   ? choose_open_file(QString::fromLatin1(OpenFilters), "ASCII Kestro file (*.kes)")
                                   : [this] {
                                         QString selected = QStringLiteral("ASCII Kestro file (*.kes)");
                                         return QFileDialog::getOpenFileName(this, QStringLiteral("Load a Kestro file"),
                                                                             QString(), QString::fromLatin1(OpenFilters),
                                                                             &selected);
                                     }();
        name = chosen.toStdString();
    }
    if (name.empty()) return;
    if (!load_ascii_structure(model_, name, *messages_)) return;
    show_loaded_structure();
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
    save_ascii_structure(model_, chosen.toStdString(), *messages_);
}

void Tfmainmenu::show_loaded_structure()
{
    space_group_label_->setText(model_.space_group.empty()
                                    ? QStringLiteral("No Space Group found")
                                    : QStringLiteral("Space Group: ") + QString::fromStdString(model_.space_group));
    space_group_label_->show();
    data_panel_->show();
    for (const std::string* name : {&model_.source_file_name, &model_.ascii_file_name})
        if (!name->empty())
            setWindowTitle(QString::fromStdString("KESTRO V2. Data for " + model_.title + " (" + base_name(*name) + ")"));
    update_summary();
}

void Tfmainmenu::update_summary()
{
    const CrystalCell& c = model_.cell;
    std::string text = "Title: " + model_.title + "\n";
    text += "Cell: " + fmt_real(c.a, 9, 4) + fmt_real(c.b, 9, 4) + fmt_real(c.c, 9, 4) + fmt_real(c.alpha, 9, 3) +
            fmt_real(c.beta, 9, 3) + fmt_real(c.gamma, 9, 3) + "   system " + model_.system_code + "\n";
    text += "Equivalent positions: " + std::to_string(model_.operators.count()) + " (" +
            std::to_string(model_.selected_operators.count()) + " selected)\n";
    for (int i = 1; i <= model_.operators.count(); ++i)
        text += fmt_int(i, 4) + "  " + model_.operator_texts[i].str() + (model_.selected[i] ? "  *" : "") + "\n";
    text += "\nAsymmetric unit: " + std::to_string(model_.asym.count()) + " atoms\n";
    for (const AtomRecord& atom : model_.asym) {
        text += fill_to(atom.label.view(), 5);
        for (double x : atom.xyz) text += fmt_real(x, 10, 5);
        for (double u : atom.thermal) text += fmt_real(u, 10, 5);
        text += "\n";
    }
    text += "\nGenerated atoms: " + std::to_string(model_.generated.count()) +
            ", bonds: " + std::to_string(model_.bonds.count()) + "\n";
    summary_->setPlainText(QString::fromStdString(text));
}

void Tfmainmenu::open_help(int context)
{
    if (!help_) help_ = new HelpViewer(model_.data_directory, this);
    if (!help_->open_context(context)) {
        messages_->show(help_->error_text().toStdString());
        return;
    }
    help_->show();
    help_->raise();
}

QString Tfmainmenu::space_group_caption() const
{
    return space_group_label_->isVisible() || !space_group_label_->isHidden() ? space_group_label_->text() : QString();
}

bool Tfmainmenu::data_panel_visible() const { return !data_panel_->isHidden(); }

} // namespace kestro

// The controls of the main window and their layout.
#include <QButtonGroup>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "platform/qt_messages.h"
#include "ui/mainmenu.h"

namespace kestro {

namespace {

// The window background: 256 bands from top to bottom colour (colore_fiche).
class GradientPanel : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const Colour top = colour::Blue, bottom = rgb(0xD0, 0xDA, 0xFF);
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

// Every grid text drawn centred (the positions grid also in upper case).
class CentredDelegate : public QStyledItemDelegate {
public:
    CentredDelegate(bool upper, QObject* parent) : QStyledItemDelegate(parent), upper_(upper) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->displayAlignment = Qt::AlignCenter;
        option->text = option->text.trimmed();
        if (upper_) option->text = option->text.toUpper();
    }

private:
    bool upper_;
};

QGroupBox* framed(const QString& title, QWidget* parent)
{
    auto* box = new QGroupBox(title, parent);
    box->setAutoFillBackground(true);
    return box;
}

} // namespace

QPushButton* Tfmainmenu::add_button(const QString& text, const QString& hint, void (Tfmainmenu::*handler)())
{
    auto* b = new QPushButton(text, this);
    b->setToolTip(hint);
    b->setObjectName(hint.isEmpty() ? text : hint);
    connect(b, &QPushButton::clicked, this, handler);
    return b;
}

QPushButton* Tfmainmenu::button(const QString& name) const { return findChild<QPushButton*>(name); }

void Tfmainmenu::build_window()
{
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    auto* panel = new GradientPanel(scroll);
    auto* layout = new QVBoxLayout(panel);
    space_group_label_ = new QLabel(QStringLiteral("No space group defined"), panel);
    space_group_label_->setStyleSheet(QStringLiteral("color: navy; font-weight: bold;"));
    space_group_label_->hide();

    data_panel_ = new QWidget(panel);
    // Cell, lists and positions on top; the atoms and the options below.
    auto* rows = new QVBoxLayout(data_panel_);
    rows->setContentsMargins(0, 0, 0, 0);
    auto* top = new QHBoxLayout;
    top->addWidget(build_cell_area());
    top->addWidget(build_group_area(), 3);
    top->addWidget(build_positions_area(), 2);
    rows->addLayout(top, 2);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(build_atom_area(), 1);
    bottom->addWidget(build_option_area());
    rows->addLayout(bottom, 3);
    layout->addWidget(data_panel_, 1);
    data_panel_->hide();

    scroll->setWidget(panel);
    setCentralWidget(scroll);
    resize(1016, 730);
}

QWidget* Tfmainmenu::build_cell_area()
{
    auto* area = framed(QStringLiteral("System / Cell"), this);
    area->installEventFilter(this); // a click on the area (clickpanel4)
    auto* layout = new QHBoxLayout(area);
    systems_ = new QListWidget(area);
    for (const char* name : {"Cubic", "Tetra.", "Ortho.", "Hexa.", "Rhombo.", "Monoc.", "Tricl."})
        systems_->addItem(QString::fromLatin1(name));
    systems_->setMaximumWidth(80);
    systems_->setToolTip(QStringLiteral("System"));
    connect(systems_, &QListWidget::itemClicked, this, [this] { ListBox1Click(); });
    layout->addWidget(systems_);

    auto* boxes = new QGridLayout;
    const char* names[6] = {"a", "b", "c", "alpha", "beta", "gamma"};
    for (int i = 0; i < 6; ++i) {
        auto* edit = new QLineEdit(area);
        edit->setObjectName(QString::fromLatin1(names[i]));
        edit->setMinimumWidth(80);
        edit->setMaximumWidth(90);
        edit->installEventFilter(this);
        cell_boxes_[static_cast<std::size_t>(i)] = edit;
        boxes->addWidget(new QLabel(QString::fromLatin1(names[i]), area), i, 0);
        boxes->addWidget(edit, i, 1);
    }
    layout->addLayout(boxes);
    return area;
}

QWidget* Tfmainmenu::build_group_area()
{
    auto* area = new QWidget(this);
    auto* layout = new QHBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* standard = framed(QStringLiteral("Standard symbols"), area);
    auto* s_layout = new QVBoxLayout(standard);
    s_layout->addWidget(new QLabel(QStringLiteral("Hermann-Maugin"), standard));
    standard_ = new QListWidget(standard);
    connect(standard_, &QListWidget::itemClicked, this, [this] { click_groupe(); });
    s_layout->addWidget(standard_);
    layout->addWidget(standard, 1);

    auto* miraldo = framed(QStringLiteral("MIRALDO  symbols"), area);
    auto* m_layout = new QVBoxLayout(miraldo);
    miraldo_ = new QTreeWidget(miraldo);
    miraldo_->setColumnCount(3);
    miraldo_->setHeaderLabels({QStringLiteral("Hermann-Maugin"), QStringLiteral("Hall"), QStringLiteral("Group Nb.")});
    miraldo_->setRootIsDecorated(false);
    miraldo_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    connect(miraldo_, &QTreeWidget::itemClicked, this, [this] { click_groupe_miraldo(); });
    m_layout->addWidget(miraldo_);
    m_layout->addWidget(add_button(QStringLiteral("?"), QStringLiteral("Help about equivalent positions generation"),
                                   &Tfmainmenu::BitBtn1Click));
    layout->addWidget(miraldo, 2);
    return area;
}

QWidget* Tfmainmenu::build_positions_area()
{
    auto* area = framed(QStringLiteral("Equivalent positions"), this);
    auto* layout = new QVBoxLayout(area);
    layout->addWidget(space_group_label_);
    positions_ = new QTableWidget(mainmenu::OperatorGrid::rows - 1, mainmenu::OperatorGrid::columns, area);
    positions_->setItemDelegate(new CentredDelegate(true, positions_));
    positions_->verticalHeader()->hide();
    positions_->verticalHeader()->setDefaultSectionSize(20);
    positions_->horizontalHeader()->setDefaultSectionSize(60);
    positions_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    positions_->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(positions_, &QTableWidget::cellClicked, this,
            [this](int row, int col) { on_click_stringgrid1(row + 1, col); });
    connect(positions_, &QTableWidget::itemChanged, this, [this] {
        if (!filling_) model_.edit.data_changed = 1;
    });
    layout->addWidget(positions_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add_button(QStringLiteral("Select All"), QString(), &Tfmainmenu::selecte_tout));
    buttons->addWidget(add_button(QStringLiteral("Unselect All"), QString(), &Tfmainmenu::deselecte_tut));
    layout->addLayout(buttons);
    clear_positions_grid();
    return area;
}

QWidget* Tfmainmenu::build_atom_area()
{
    auto* area = framed(QStringLiteral("Asymetric unit contents"), this);
    auto* layout = new QVBoxLayout(area);
    atoms_ = new QTableWidget(AtomRows, mainmenu::AtomColumns, area);
    atoms_->setItemDelegate(new CentredDelegate(false, atoms_));
    atoms_->verticalHeader()->hide();
    atoms_->verticalHeader()->setDefaultSectionSize(20);
    atoms_->horizontalHeader()->setDefaultSectionSize(70);
    atoms_->setColumnWidth(0, 27);
    atoms_->setColumnWidth(1, 37);
    atoms_->setSelectionMode(QAbstractItemView::SingleSelection);
    atoms_->setEditTriggers(QAbstractItemView::AllEditTriggers);
    connect(atoms_, &QTableWidget::currentCellChanged, this, [this](int, int, int row, int col) {
        if (!filling_ && row >= 0 && col >= 0) modif_ligne(row + 1, col);
    });
    // Any edit of a cell is a change of the data for the next plot.
    connect(atoms_, &QTableWidget::itemChanged, this, [this] {
        if (filling_) return;
        model_.edit.data_changed = 1;
        model_.edit.atoms_changed = 1;
    });
    layout->addWidget(atoms_, 1);

    auto* expression = new QHBoxLayout;
    expressions_ = new QButtonGroup(area);
    int id = 0;
    for (const char* name : {"Uij", "Bij", "Betaij"}) {
        auto* radio = new QRadioButton(QString::fromLatin1(name), area);
        radio->setObjectName(QString::fromLatin1(name));
        expressions_->addButton(radio, id++);
        expression->addWidget(radio);
    }
    expressions_->button(0)->setChecked(true);
    connect(expressions_, &QButtonGroup::idClicked, this, [this](int) { selection_thermal_expression(); });
    expression->addStretch(1);
    layout->addLayout(expression);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add_button(QStringLiteral("Erase"), QStringLiteral("Erase all the coordinates"),
                                  &Tfmainmenu::erase_tout));
    buttons->addWidget(add_button(QStringLiteral("E"), QStringLiteral("Delete Elements"), &Tfmainmenu::effaace_element));
    buttons->addWidget(add_button(QStringLiteral("A"), QStringLiteral("Delete Atoms"), &Tfmainmenu::efface_atome));
    buttons->addWidget(add_button(QStringLiteral("B"), QStringLiteral("Delete atoms by Bloc"), &Tfmainmenu::efface_bloc));
    buttons->addWidget(add_button(QStringLiteral("Restore"), QStringLiteral("Restore the initial Data"),
                                  &Tfmainmenu::restaure));
    buttons->addWidget(add_button(QStringLiteral("Bonds"), QStringLiteral("Edit/Modify bonds length limits"),
                                  &Tfmainmenu::edite_bond_lengths));
    buttons->addWidget(add_button(QStringLiteral("Save Data"), QStringLiteral("Save Data"),
                                  &Tfmainmenu::sauve_fichier_shelx));
    buttons->addWidget(add_button(QStringLiteral("?"), QStringLiteral("Data Help "), &Tfmainmenu::help_data));
    layout->addLayout(buttons);
    return area;
}

QWidget* Tfmainmenu::build_option_area()
{
    auto* area = framed(QStringLiteral("Generation options"), this);
    area->setFixedWidth(200);
    auto* layout = new QVBoxLayout(area);
    options_ = new QListWidget(area);
    for (const char* name : {"No option", "Box of enclosure", "Sphere of enclosure", "Fragments search", "Cell contents"}) {
        auto* item = new QListWidgetItem(QString::fromLatin1(name), options_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    options_->setMaximumHeight(110);
    connect(options_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (!filling_) on_click_checklistbox(item);
    });
    layout->addWidget(options_);
    auto* row = new QHBoxLayout;
    row->addWidget(add_button(QStringLiteral("?"), QStringLiteral("GenerationHelp "), &Tfmainmenu::generation_help));
    row->addWidget(add_button(QStringLiteral("List"), QStringLiteral("Display the list of generated atoms"),
                              &Tfmainmenu::affiche_child));
    layout->addLayout(row);
    QPushButton* plot = add_button(QStringLiteral(" Plot"), QStringLiteral("Plot the set of generated atoms"),
                                   &Tfmainmenu::trace_ortep);
    plot->setMinimumHeight(40);
    layout->addWidget(plot);
    return area;
}

} // namespace kestro

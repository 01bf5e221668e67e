// The data controls of the main window: cell boxes, space-group lists, the
// positions grid, the atom grid and the generation options.
#include <QButtonGroup>
#include <cmath>
#include <optional>
#include <QEvent>
#include <QFocusEvent>
#include <QLabel>
#include <QRadioButton>
#include <QLineEdit>
#include <QListWidget>
#include <QTableWidget>
#include <QTreeWidget>

#include "crystal/catalogues.h"
#include "crystal/generation.h"
#include "crystal/oemath.h"
#include "forms/atom_grid.h"
#include "forms/mainmenu.h"
#include "model/errors.h"
#include "model/fields.h"
#include "model/labels.h"
#include "model/numbers.h"
#include "model/plausible.h"
#include "model/text.h"
#include "platform/qt_messages.h"
#include "platform/qt_text.h"
#include "ui/boite.h"
#include "ui/mainmenu.h"
#include "ui/sphere.h"

namespace kestro {

namespace {

using colour::Silver;
constexpr Colour SelectedRow = 15979007;
constexpr Colour ErrorRed = colour::Red;
// The positions grid's "Nb" and "Selected" columns, in pixels; 0 leaves the
// widget's default.
constexpr std::array<int, 5> PositionColumnWidths{30, 0, 0, 0, 60};

std::string text_of(const QTableWidget* table, int row, int col)
{
    const QTableWidgetItem* item = table->item(row, col);
    return item ? ss(item->text()) : std::string();
}

void set_text(QTableWidget* table, int row, int col, const std::string& text)
{
    QTableWidgetItem* item = table->item(row, col);
    if (!item) {
        item = new QTableWidgetItem;
        table->setItem(row, col, item);
    }
    item->setText(qs(text));
}

// A number cell that keeps the value it was written from: read back while
// its text is unchanged, it gives that value, not the rounded text.
constexpr int ExactValue = Qt::UserRole;
constexpr int ExactText = Qt::UserRole + 1;

void set_number(QTableWidget* table, int row, int col, double value, const std::string& text)
{
    set_text(table, row, col, text);
    QTableWidgetItem* item = table->item(row, col);
    item->setData(ExactValue, value);
    item->setData(ExactText, item->text());
}

std::optional<double> exact_value(const QTableWidget* table, int row, int col)
{
    const QTableWidgetItem* item = table->item(row, col);
    if (!item || !item->data(ExactValue).isValid() || item->data(ExactText).toString() != item->text())
        return std::nullopt;
    return item->data(ExactValue).toDouble();
}

void write_cell(QTableWidget* table, int row, int col, const mainmenu::AtomCell& cell)
{
    if (cell.exact) {
        set_number(table, row, col, *cell.exact, cell.text);
        return;
    }
    set_text(table, row, col, cell.text);
    QTableWidgetItem* item = table->item(row, col);
    item->setData(ExactValue, QVariant());
    item->setData(ExactText, QVariant());
}

// Focus moves that are the user's: not a window or a pop-up taking it.
bool user_focus_reason(Qt::FocusReason reason)
{
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

} // namespace

bool Tfmainmenu::eventFilter(QObject* watched, QEvent* event)
{
    for (int i = 0; i < 6; ++i) {
        if (watched != cell_boxes_[static_cast<std::size_t>(i)]) continue;
        if (event->type() == QEvent::FocusIn &&
            user_focus_reason(static_cast<QFocusEvent*>(event)->reason()) && !checking_)
            set_numero(i + 1);
        else if (event->type() == QEvent::FocusOut &&
                 user_focus_reason(static_cast<QFocusEvent*>(event)->reason()) && !checking_)
            verif_case(i + 1);
        return false;
    }
    if (event->type() == QEvent::MouseButtonPress && qobject_cast<QWidget*>(watched)) clickpanel4();
    return QMainWindow::eventFilter(watched, event);
}

// ---- Cell area ----

void Tfmainmenu::ListBox1Click()
{
    const QListWidgetItem* item = systems_->currentItem();
    if (!item) return;
    model_.edit.data_changed = 1;
    model_.system_code = to_upper(ss(item->text().left(4)));
    apply_system_colours();
    clear_positions_grid();
    fill_group_lists();
    // The repeats of a again; with "HEXA" c keeps its own text.
    repeat_box(1, cell_box(1)->text());
}

bool Tfmainmenu::repeat_box(int box, const QString& text)
{
    const mainmenu::CellRules rules = mainmenu::cell_rules(model_.system_code);
    bool repeated = false;
    for (int k = 1; k <= 6; ++k) {
        if (rules.copies[static_cast<std::size_t>(k - 1)] != box) continue;
        cell_box(k)->setText(text);
        repeated = true;
    }
    return repeated;
}

void Tfmainmenu::apply_system_colours()
{
    const mainmenu::CellRules rules = mainmenu::cell_rules(model_.system_code);
    std::array<std::string, 6> texts;
    for (std::size_t i = 0; i < 6; ++i) texts[i] = ss(cell_boxes_[i]->text());
    const std::array<std::string, 6> shown = mainmenu::apply_cell_rules(rules, texts);
    for (std::size_t i = 0; i < 6; ++i) {
        if (rules.fixed_text[i] != nullptr || rules.copies[i] != 0) cell_boxes_[i]->setText(qs(shown[i]));
        QPalette palette = cell_boxes_[i]->palette();
        palette.setColor(QPalette::Base, rules.fixed[i] ? to_qcolor(Silver) : QColor(Qt::white));
        cell_boxes_[i]->setPalette(palette);
    }
}

void Tfmainmenu::set_numero(int box)
{
    current_box_ = box;
    model_.edit.data_changed = 1;
    model_.edit.cell_changed = 1;
}

void Tfmainmenu::clickpanel4() { model_.edit.data_changed = 1; }

bool Tfmainmenu::verif_case(int box)
{
    QLineEdit* edit = cell_box(box);
    const QString text = edit->text();
    const std::optional<double> value = mainmenu::read_number(ss(text));
    if (!value) {
        checking_ = true;
        edit->setFocus(Qt::OtherFocusReason);
        messages_->show("Type error!");
        checking_ = false;
        return false;
    }
    CrystalCell& c = model_.cell;
    switch (box) {
    case 1:
        repeat_box(1, text);
        c.a = *value;
        break;
    case 2: c.b = *value; break;
    case 3: c.c = *value; break;
    case 4:
        c.alpha = *value;
        if (repeat_box(4, text)) c.beta = c.gamma = *value;
        break;
    default: break; // beta and gamma are read by the plot
    }
    return true;
}

bool Tfmainmenu::read_cell()
{
    std::array<double, 6> v{};
    for (int i = 0; i < 6; ++i) {
        const auto value = mainmenu::read_number(ss(cell_boxes_[static_cast<std::size_t>(i)]->text()));
        if (!value) {
            messages_->show("Cell parameters error");
            return false;
        }
        v[static_cast<std::size_t>(i)] = *value;
    }
    CrystalCell& c = model_.cell;
    c.a = v[0], c.b = v[1], c.c = v[2], c.alpha = v[3], c.beta = v[4], c.gamma = v[5];
    if (c.missing()) messages_->show("Cell parameters error");
    return true;
}

void Tfmainmenu::fill_cell_boxes()
{
    const CrystalCell& c = model_.cell;
    const double values[6] = {c.a, c.b, c.c, c.alpha, c.beta, c.gamma};
    for (int i = 0; i < 6; ++i)
        cell_boxes_[static_cast<std::size_t>(i)]->setText(qs(fmt_real(values[i], 8, i < 3 ? 4 : 3)));
}

// ---- Space-group lists ----

void Tfmainmenu::fill_group_lists()
{
    filling_ = true;
    standard_->clear();
    miraldo_->clear();
    try {
        for (const std::string& symbol : fill_standard_list(model_)) standard_->addItem(qs(symbol));
        for (const std::string& line : fill_miraldo_list(model_)) {
            const QString text = qs(line);
            auto* item = new QTreeWidgetItem(miraldo_, {text.left(12).trimmed(), text.mid(12, 21).trimmed(),
                                                        text.mid(33).trimmed()});
            item->setData(0, Qt::UserRole, text);
        }
    } catch (const IoError& error) {
        messages_->show(error.what());
    }
    filling_ = false;
}

// After a load: the system, and the loaded symbol in one of the two lists.
void Tfmainmenu::select_group_of_model()
{
    std::vector<std::string> standard_items, miraldo_items;
    for (int i = 0; i < standard_->count(); ++i) standard_items.push_back(ss(standard_->item(i)->text()));
    for (int i = 0; i < miraldo_->topLevelItemCount(); ++i)
        miraldo_items.push_back(ss(miraldo_->topLevelItem(i)->data(0, Qt::UserRole).toString()));
    const LoadedGroupSelection chosen = select_loaded_group(model_, standard_items, miraldo_items);
    filling_ = true;
    systems_->setCurrentRow(chosen.system_row);
    standard_->clearSelection();
    miraldo_->clearSelection();
    if (chosen.standard_row >= 0) {
        standard_->setCurrentRow(chosen.standard_row);
        standard_->scrollToItem(standard_->currentItem());
    } else if (chosen.miraldo_row >= 0) {
        miraldo_->setCurrentItem(miraldo_->topLevelItem(chosen.miraldo_row));
        miraldo_->scrollToItem(miraldo_->currentItem());
    }
    filling_ = false;
}

void Tfmainmenu::set_caption_from_choice()
{
    space_group_label_->setText(QStringLiteral("Space Group: ") + qs(model_.space_group));
    space_group_label_->show();
}

void Tfmainmenu::click_groupe()
{
    const QListWidgetItem* item = standard_->currentItem();
    if (!item) return;
    miraldo_->clearSelection();
    widget_to_positions();
    try {
        if (!mainmenu::click_groupe(model_, ss(item->text().trimmed()), grid_, checked_option(), *messages_)) return;
    } catch (const IoError& error) {
        messages_->show(error.what());
        return;
    }
    set_caption_from_choice();
    positions_to_widget();
}

void Tfmainmenu::click_groupe_miraldo()
{
    const QTreeWidgetItem* item = miraldo_->currentItem();
    if (!item) return;
    standard_->clearSelection();
    widget_to_positions();
    try {
        if (!mainmenu::click_groupe_miraldo(model_, ss(item->data(0, Qt::UserRole).toString()), grid_,
                                  checked_option(), *messages_))
            return;
    } catch (const IoError& error) {
        messages_->show(error.what());
        return;
    }
    set_caption_from_choice();
    positions_to_widget();
}

void Tfmainmenu::BitBtn1Click() { open_help(12); }

// ---- Positions grid ----

void Tfmainmenu::clear_positions_grid()
{
    mainmenu::clear_operator_grid(grid_);
    positions_to_widget();
}

void Tfmainmenu::positions_to_widget()
{
    filling_ = true;
    QStringList headers;
    for (int col = 0; col < mainmenu::OperatorGrid::columns; ++col) headers << qs(grid_.cell(col, 0));
    positions_->setHorizontalHeaderLabels(headers);
    for (int col = 0; col < mainmenu::OperatorGrid::columns; ++col)
        if (PositionColumnWidths[static_cast<std::size_t>(col)] > 0)
            positions_->setColumnWidth(col, PositionColumnWidths[static_cast<std::size_t>(col)]);
    for (int row = 1; row < mainmenu::OperatorGrid::rows; ++row) {
        // The row number of a typed operator is written in for the user.
        if (trim(grid_.cell(0, row)).empty() && !trim(grid_.cell(1, row)).empty()) grid_.cell(0, row) = std::to_string(row);
        for (int col = 0; col < mainmenu::OperatorGrid::columns; ++col) {
            const std::string& text = grid_.cell(col, row);
            QTableWidgetItem* item = positions_->item(row - 1, col);
            if (text.empty() && !item) continue;
            set_text(positions_, row - 1, col, text);
            item = positions_->item(row - 1, col);
            const bool marked = col == mainmenu::OperatorGrid::selected_column && trim(text) == "*";
            item->setBackground(marked ? QBrush(to_qcolor(SelectedRow)) : QBrush(Qt::white));
            item->setForeground(QBrush(Qt::black));
        }
    }
    filling_ = false;
}

void Tfmainmenu::widget_to_positions()
{
    for (int row = 1; row < mainmenu::OperatorGrid::rows; ++row)
        for (int col = 0; col < mainmenu::OperatorGrid::columns; ++col)
            grid_.cell(col, row) = to_upper(text_of(positions_, row - 1, col));
}

void Tfmainmenu::selecte_tout()
{
    widget_to_positions();
    mainmenu::selecte_tout(model_, grid_, *messages_);
    positions_to_widget();
}

void Tfmainmenu::deselecte_tut()
{
    widget_to_positions();
    mainmenu::deselecte_tut(model_, grid_);
    positions_to_widget();
}

void Tfmainmenu::on_click_stringgrid1(int row, int col)
{
    widget_to_positions();
    mainmenu::on_select_cell(grid_selection_, col, row);
    mainmenu::on_click_stringgrid1(model_, grid_, grid_selection_);
    positions_to_widget();
}

// ---- Atom grid ----

void Tfmainmenu::write_atom_headers()
{
    QStringList headers;
    for (const std::string& header : mainmenu::atom_grid_headers(expression_)) headers << qs(header);
    atoms_->setHorizontalHeaderLabels(headers);
}

void Tfmainmenu::clear_atom_grid()
{
    filling_ = true;
    atoms_->clearContents();
    write_atom_headers();
    filling_ = false;
}

std::vector<mainmenu::AtomGridRow> Tfmainmenu::atom_grid_texts() const
{
    std::vector<mainmenu::AtomGridRow> rows(static_cast<std::size_t>(atoms_->rowCount()));
    for (int r = 0; r < atoms_->rowCount(); ++r)
        for (int c = 0; c < mainmenu::AtomColumns; ++c)
            rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] = {text_of(atoms_, r, c),
                                                                               exact_value(atoms_, r, c)};
    return rows;
}

void Tfmainmenu::write_atom_grid(const std::vector<mainmenu::AtomGridRow>& rows,
                                 const std::vector<mainmenu::AtomGridRow>& before)
{
    filling_ = true;
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < mainmenu::AtomColumns; ++c) {
            const mainmenu::AtomCell& cell = rows[r][c];
            if (r < before.size() && before[r][c] == cell) continue;
            write_cell(atoms_, static_cast<int>(r), static_cast<int>(c), cell);
        }
    filling_ = false;
}

void Tfmainmenu::fill_atom_grid()
{
    if (model_.asym.count() > AtomRows) atoms_->setRowCount(model_.asym.count() + 5);
    clear_atom_grid();
    // After the clearing, an empty cell needs no item.
    const std::vector<mainmenu::AtomGridRow> rows = mainmenu::atom_grid_rows(model_, expression_);
    write_atom_grid(rows, std::vector<mainmenu::AtomGridRow>(rows.size()));
}

bool Tfmainmenu::read_atom_grid()
{
    const std::vector<mainmenu::AtomGridRow> before = atom_grid_texts();
    std::vector<mainmenu::AtomGridRow> rows = before;
    const std::optional<mainmenu::AtomGridFault> fault = mainmenu::read_atom_grid(model_, rows, expression_);
    write_atom_grid(rows, before);
    if (!fault) return true;
    // The cell in red, in sight, and the reason.
    if (QTableWidgetItem* item = atoms_->item(fault->row, fault->column)) {
        item->setForeground(QBrush(to_qcolor(ErrorRed)));
        atoms_->scrollToItem(item);
    }
    messages_->show(fault->message);
    return false;
}

void Tfmainmenu::modif_ligne(int row, int col)
{
    model_.edit.atoms_changed = 1;
    const int r = row - 1;
    if (r < 0 || r >= atoms_->rowCount()) return;
    filling_ = true;
    if (QTableWidgetItem* item = atoms_->item(r, col)) item->setForeground(QBrush(Qt::black));
    filling_ = false;
    const std::vector<mainmenu::AtomGridRow> before = atom_grid_texts();
    std::vector<mainmenu::AtomGridRow> rows = before;
    const mainmenu::RowEdit edit = mainmenu::modif_ligne(rows, row, col);
    write_atom_grid(rows, before);
    if (edit == mainmenu::RowEdit::Deleted) {
        read_atom_grid();
        model_.edit.data_changed = 1;
    }
}

void Tfmainmenu::set_thermal_expression(ThermalExpression expression)
{
    expression_ = expression;
    expressions_->button(static_cast<int>(expression))->setChecked(true);
    write_atom_headers();
}

void Tfmainmenu::selection_thermal_expression()
{
    model_.edit.data_changed = 1;
    // Rows typed since the grid was last read are read in the expression
    // they were typed in, so that the new one shows them instead of losing
    // them; a grid that cannot be read keeps its expression and its rows.
    if (model_.edit.atoms_changed && !read_atom_grid()) {
        set_thermal_expression(expression_);
        return;
    }
    expression_ = static_cast<ThermalExpression>(expressions_->checkedId());
    fill_atom_grid();
}

// ---- Generation options ----

int Tfmainmenu::checked_option() const
{
    for (int i = 0; i < options_->count(); ++i)
        if (options_->item(i)->checkState() == Qt::Checked) return i;
    return -1;
}

void Tfmainmenu::show_option(const mainmenu::OptionChoice& choice)
{
    filling_ = true;
    for (int i = 0; i < 5; ++i)
        options_->item(i)->setCheckState(choice.checked[static_cast<std::size_t>(i)] ? Qt::Checked : Qt::Unchecked);
    if (choice.selected_item >= 0) options_->setCurrentRow(choice.selected_item);
    filling_ = false;
}

void Tfmainmenu::on_click_checklistbox(QListWidgetItem* item)
{
    const int row = options_->row(item);
    if (row < 0) return;
    widget_to_positions();
    const mainmenu::OptionChoice choice =
        mainmenu::on_click_checklistbox(model_, grid_, *messages_, row, item->checkState() == Qt::Checked);
    show_option(choice);
    positions_to_widget();
    if (choice.dialog == GenerationDialog::Box) boite_->open();
    else if (choice.dialog == GenerationDialog::Sphere) sphere_->open();
}

} // namespace kestro

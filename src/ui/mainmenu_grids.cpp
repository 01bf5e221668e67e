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

// A cell box or grid cell as a number: '5.' and ' .5' repaired first.
std::optional<double> read_number(const std::string& text) { return parse_real(trim(repair_number_b(trim(text)))); }

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
    const std::optional<double> value = read_number(ss(text));
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
        const auto value = read_number(ss(cell_boxes_[static_cast<std::size_t>(i)]->text()));
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
    grid_ = mainmenu::OperatorGrid{};
    grid_.cells[0] = {"Nb", "a", "b", "c", "Selected"};
    grid_.column_widths = {20, 0, 0, 0, 50};
    positions_to_widget();
}

void Tfmainmenu::positions_to_widget()
{
    filling_ = true;
    QStringList headers;
    for (int col = 0; col < mainmenu::OperatorGrid::columns; ++col) headers << qs(grid_.cell(col, 0));
    positions_->setHorizontalHeaderLabels(headers);
    for (int col = 0; col < mainmenu::OperatorGrid::columns; ++col)
        if (grid_.column_widths[static_cast<std::size_t>(col)] > 0)
            positions_->setColumnWidth(col, grid_.column_widths[static_cast<std::size_t>(col)] + 10);
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
    static const char* const suffixes[6] = {"11", "22", "33", "12", "13", "23"};
    const char* prefix = expression_ == ThermalExpression::Uij ? "u" : expression_ == ThermalExpression::Bij ? "B" : "Beta";
    QStringList headers{"No", "Atome", "X", "Y", "Z"};
    for (const char* s : suffixes) headers << QString::fromLatin1(prefix) + QString::fromLatin1(s);
    atoms_->setHorizontalHeaderLabels(headers);
}

void Tfmainmenu::clear_atom_grid()
{
    filling_ = true;
    atoms_->clearContents();
    write_atom_headers();
    filling_ = false;
}

void Tfmainmenu::fill_atom_grid()
{
    filling_ = true;
    if (model_.asym.count() > AtomRows) atoms_->setRowCount(model_.asym.count() + 5);
    atoms_->clearContents();
    write_atom_headers();
    for (int n = 1; n <= model_.asym.count(); ++n) {
        const AtomRecord& atom = model_.asym[n];
        set_text(atoms_, n - 1, 0, std::to_string(n));
        set_text(atoms_, n - 1, 1, atom.label.str());
        // The cells show rounded values; read back unedited, the file's
        // full precision comes back with them.
        for (int k = 0; k < 3; ++k) {
            const double x = atom.xyz[static_cast<std::size_t>(k)];
            set_number(atoms_, n - 1, 2 + k, x, fmt_real(x, 9, 5));
        }
        const Thermal6 shown = from_uij(expression_, atom.thermal, model_.cell);
        for (std::size_t k = 0; k < 6; ++k)
            if (std::abs(atom.thermal[k]) >= 1e-6)
                set_number(atoms_, n - 1, 5 + static_cast<int>(k), shown[k], fmt_real(shown[k], 9, 6));
    }
    filling_ = false;
}

bool Tfmainmenu::read_atom_grid()
{
    model_.asym.clear();
    std::vector<int> grid_rows; // of each atom read
    const int rows = atoms_->rowCount();
    for (int row = 0; row < rows; ++row) {
        const std::string label = to_upper(trim(text_of(atoms_, row, 1)));
        if (label.empty()) continue;
        AtomRecord atom;
        atom.label = label.substr(0, 4);
        for (int col = 2; col < AtomColumns; ++col) {
            std::string text = trim(text_of(atoms_, row, col));
            if (text.empty()) {
                text = col < 5 ? "  0" : "0";
                filling_ = true;
                set_text(atoms_, row, col, text);
                filling_ = false;
            }
            const std::optional<double> exact = exact_value(atoms_, row, col);
            const std::optional<double> value = exact ? exact : read_number(text);
            if (!value) {
                error_row_ = row + 1;
                error_col_ = col;
                show_grid_error();
                return false;
            }
            if (col < 5) atom.xyz[static_cast<std::size_t>(col - 2)] = *value;
            else atom.thermal[static_cast<std::size_t>(col - 5)] = *value;
        }
        if (!model_.asym.push(atom)) break;
        grid_rows.push_back(row);
    }
    if (expression_ != ThermalExpression::Uij)
        for (AtomRecord& atom : model_.asym) atom.thermal = to_uij(expression_, atom.thermal, model_.cell);
    // Values no crystal has: the cell in red and the reason.
    for (int n = 1; n <= model_.asym.count(); ++n) {
        if (const ValueFault fault = atom_value_fault(model_.asym[n], DisplacementKind::U)) {
            const int row = grid_rows[static_cast<std::size_t>(n - 1)];
            if (QTableWidgetItem* item = atoms_->item(row, 2 + fault.field)) {
                item->setForeground(QBrush(to_qcolor(ErrorRed)));
                atoms_->scrollToItem(item);
            }
            messages_->show(fault.text + " (line " + std::to_string(row + 1) + ")");
            return false;
        }
    }
    return true;
}

// The error cell in red, its place reported once, then forgotten.
void Tfmainmenu::show_grid_error()
{
    if (error_row_ < 1 || error_col_ < 0) return;
    if (QTableWidgetItem* item = atoms_->item(error_row_ - 1, error_col_)) {
        item->setForeground(QBrush(to_qcolor(ErrorRed)));
        atoms_->scrollToItem(item);
    }
    messages_->show("Erreur \xC3\xA0 la ligne " + std::to_string(error_row_) + " ,colonne " +
                    std::to_string(error_col_ + 1));
    error_row_ = error_col_ = -1;
}

void Tfmainmenu::modif_ligne(int row, int col)
{
    model_.edit.atoms_changed = 1;
    error_row_ = error_col_ = -1;
    const int r = row - 1;
    if (r < 0 || r >= atoms_->rowCount()) return;
    filling_ = true;
    if (QTableWidgetItem* item = atoms_->item(r, col)) item->setForeground(QBrush(Qt::black));
    if (col != 0 && trim(text_of(atoms_, r, 1)).empty()) {
        // An emptied label deletes its row; the rows below move up.
        const int rows = atoms_->rowCount();
        for (int k = r; k < rows - 1; ++k)
            for (int c = 0; c < AtomColumns; ++c) {
                std::string text = text_of(atoms_, k + 1, c);
                if (c == 0 && !trim(text).empty()) text = std::to_string(k + 1);
                set_text(atoms_, k, c, text);
                // The exact value moves with its text.
                if (const QTableWidgetItem* below = atoms_->item(k + 1, c))
                    for (int role : {ExactValue, ExactText}) atoms_->item(k, c)->setData(role, below->data(role));
            }
        for (int c = 0; c < AtomColumns; ++c) set_text(atoms_, rows - 1, c, std::string());
        filling_ = false;
        read_atom_grid();
        model_.edit.data_changed = 1;
        return;
    }
    for (int c = 0; c < AtomColumns; ++c) {
        const std::string text = text_of(atoms_, r, c);
        const std::string upper = to_upper(text);
        if (upper != text) set_text(atoms_, r, c, upper);
    }
    if (col == 1) {
        set_text(atoms_, r, 0, std::to_string(row));
        for (int c = 2; c < AtomColumns; ++c)
            if (trim(text_of(atoms_, r, c)).empty()) set_text(atoms_, r, c, c == 5 ? "0.05" : "0");
    }
    filling_ = false;
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

void Tfmainmenu::set_option_checks(const std::array<bool, 5>& checked, int selected_item)
{
    filling_ = true;
    for (int i = 0; i < 5; ++i)
        options_->item(i)->setCheckState(checked[static_cast<std::size_t>(i)] ? Qt::Checked : Qt::Unchecked);
    if (selected_item >= 0) options_->setCurrentRow(selected_item);
    filling_ = false;
}

void Tfmainmenu::on_click_checklistbox(QListWidgetItem* item)
{
    const int row = options_->row(item);
    if (row < 0) return;
    widget_to_positions();
    const mainmenu::OptionChoice choice =
        mainmenu::on_click_checklistbox(model_, grid_, *messages_, row, item->checkState() == Qt::Checked);
    set_option_checks(choice.checked, choice.selected_item);
    positions_to_widget();
    if (choice.dialog == GenerationDialog::Box) boite_->open();
    else if (choice.dialog == GenerationDialog::Sphere) sphere_->open();
}

} // namespace kestro

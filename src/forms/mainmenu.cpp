#include "forms/mainmenu.h"

#include <optional>

#include "crystal/bonds.h"
#include "crystal/catalogues.h"
#include "crystal/oemath.h"
#include "crystal/operators.h"
#include "crystal/sorts.h"
#include "model/errors.h"
#include "model/fields.h"
#include "model/text.h"

namespace kestro::mainmenu {

namespace {

bool is_blank_cell(const std::string& text) { return trim(text).empty(); }

void write_headers(OperatorGrid& grid)
{
    for (int col = 0; col < OperatorGrid::columns; ++col)
        grid.cell(col, 0) = OperatorGridHeaders[static_cast<std::size_t>(col)];
}

std::string first_char(const std::string& symbol) { return symbol.empty() ? std::string() : symbol.substr(0, 1); }

// The common end of both choices: identity selected, grid filled, the
// generation option applied again, grid read back, bonds searched.
void finish_choice(StructureModel& model, OperatorGrid& grid, int option_item, Messages& messages)
{
    model.selected_operators.clear();
    if (!model.operators.empty()) {
        model.selected[1] = 1;
        model.selected_operators.push(model.operators[1]);
    }
    model.edit.data_changed = 1;
    fill_operator_grid(model, grid);
    if (option_item >= 0) on_click_checklistbox(model, grid, messages, option_item, true);
    read_operator_grid(model, grid, messages);
    liaisons(model, messages);
}

// A space-group choice: `load` fills the operators and gives the refusal
// text, or nothing. A refusal (a catalogue that cannot be read included)
// restores the group as it was and says why.
template <class Load>
bool choose_group(StructureModel& model, OperatorGrid& grid, int option_item, Messages& messages, Load load)
{
    const GroupState before(model);
    std::optional<std::string> refusal;
    try {
        refusal = load();
    } catch (const IoError& error) {
        refusal = error.what();
    }
    if (refusal) {
        before.restore(model);
        messages.show(*refusal);
        return false;
    }
    rebuild_operator_texts(model);
    finish_choice(model, grid, option_item, messages);
    return true;
}

} // namespace

CellRules cell_rules(std::string_view s)
{
    CellRules r;
    const auto right_angles = [&r](bool alpha, bool beta, bool gamma) {
        const std::array<bool, 3> right{alpha, beta, gamma};
        for (std::size_t k = 0; k < 3; ++k) {
            if (!right[k]) continue;
            r.fixed[k + 3] = true;
            r.fixed_text[k + 3] = "90";
        }
    };
    const auto repeat = [&r](int box, int of) {
        r.fixed[static_cast<std::size_t>(box - 1)] = true;
        r.copies[static_cast<std::size_t>(box - 1)] = of;
    };
    if (s == "CUBI") {
        right_angles(true, true, true);
        repeat(2, 1);
        repeat(3, 1);
    } else if (s == "TETR") {
        right_angles(true, true, true);
        repeat(2, 1);
    } else if (s == "ORTH") {
        right_angles(true, true, true);
    } else if (s == "HEXA") {
        right_angles(true, true, true);
        r.fixed_text[5] = "120";
        repeat(2, 1);
    } else if (s == "RHOM") {
        for (const int box : {2, 3}) repeat(box, 1);
        for (const int box : {5, 6}) repeat(box, 4);
    } else if (s == "MONO") {
        right_angles(true, false, true);
    }
    return r;
}

std::array<std::string, 6> apply_cell_rules(const CellRules& rules, const std::array<std::string, 6>& texts)
{
    std::array<std::string, 6> out = texts;
    for (std::size_t k = 0; k < 6; ++k) {
        if (rules.fixed_text[k] != nullptr) out[k] = rules.fixed_text[k];
        if (rules.copies[k] != 0) out[k] = texts[static_cast<std::size_t>(rules.copies[k] - 1)];
    }
    return out;
}

void clear_operator_grid(OperatorGrid& grid)
{
    for (auto& row : grid.cells)
        for (std::string& cell : row) cell.clear();
    write_headers(grid);
}

void fill_operator_grid(StructureModel& model, OperatorGrid& grid)
{
    write_headers(grid);

    if (model.operators.empty()) return;
    for (int row = 1; row < OperatorGrid::rows; ++row) {
        for (int col = 0; col < OperatorGrid::columns; ++col) grid.cell(col, row).clear();
    }
    for (int i = 1; i <= model.operators.count() && i < OperatorGrid::rows; ++i) {
        SymmetryOperator& op = model.operators[i];
        grid.cell(0, i) = fmt_int(i);
        for (int k = 0; k < 3; ++k) {
            grid.cell(k + 1, i) = to_upper(format_operator_row(op.rows[static_cast<std::size_t>(k)]));
        }
        if (model.selected[i]) grid.cell(OperatorGrid::selected_column, i) = "*";
    }
}

bool read_operator_grid(StructureModel& model, const OperatorGrid& grid, Messages& messages)
{
    model.selected_operators.clear();
    if (model.operators.empty()) return true;

    for (int i = 1; i <= model.operators.count() && i < OperatorGrid::rows; ++i) {
        if (is_blank_cell(grid.cell(1, i))) break;
        if (grid.cell(OperatorGrid::selected_column, i) != "*") {
            model.selected[i] = 0;
            continue;
        }
        model.selected[i] = 1;
        model.selected_operators.push(SymmetryOperator{});
        SymmetryOperator& op = model.selected_operators[model.selected_operators.count()];
        for (int k = 0; k < 3; ++k) {
            if (!read_grid_component(grid.cell(k + 1, i), op.rows[static_cast<std::size_t>(k)])) {
                messages.show("Decoding Error!");
                return false;
            }
        }
    }
    return true;
}

bool selecte_tout(StructureModel& model, OperatorGrid& grid, Messages& messages)
{
    model.edit.data_changed = 1;
    for (int row = 1; row < OperatorGrid::rows && !is_blank_cell(grid.cell(1, row)); ++row) {
        grid.cell(OperatorGrid::selected_column, row) = "*";
    }
    return read_operator_grid(model, grid, messages);
}

void deselecte_tut(StructureModel& model, OperatorGrid& grid)
{
    model.edit.data_changed = 1;
    for (int row = 2; row < OperatorGrid::rows && !is_blank_cell(grid.cell(1, row)); ++row) {
        grid.cell(OperatorGrid::selected_column, row).clear();
    }
}

void on_select_cell(GridSelection& selection, int col, int row)
{
    selection.col = col;
    selection.row = row;
}

void on_click_stringgrid1(StructureModel& model, OperatorGrid& grid, const GridSelection& selection)
{
    model.edit.data_changed = 1;
    // Only the marks of data rows toggle; the header keeps its text.
    if (selection.col != OperatorGrid::selected_column || selection.row < 1 || selection.row >= OperatorGrid::rows) return;
    std::string& mark = grid.cell(OperatorGrid::selected_column, selection.row);
    mark = mark == "*" ? std::string() : std::string("*");
}

OptionChoice only_item(GenerationItem item)
{
    OptionChoice out;
    const int index = static_cast<int>(item);
    out.checked[static_cast<std::size_t>(index)] = true;
    out.selected_item = index;
    return out;
}

GenerationItem checked_item(const GenerationOptions& options)
{
    if (options.cell_contents) return GenerationItem::CellContents;
    if (options.fragments) return GenerationItem::Fragments;
    if (options.sphere) return GenerationItem::Sphere;
    if (options.box) return GenerationItem::Box;
    return GenerationItem::NoOption;
}

OptionChoice on_click_checklistbox(StructureModel& model, OperatorGrid& grid, Messages& messages, int item,
                                   bool checked)
{
    OptionChoice out;
    if (item < 0 || item > 4) return out; // not an item of the list: nothing changes
    GenerationOptions& o = model.generation;
    model.edit.data_changed = 1;
    o.box = o.sphere = o.fragments = o.cell_contents = 0;
    if (!checked) return only_item(GenerationItem::NoOption);
    out.checked[static_cast<std::size_t>(item)] = true;
    switch (static_cast<GenerationItem>(item)) {
    case GenerationItem::Box:
        o.box = 1;
        out.dialog = GenerationDialog::Box;
        break;
    case GenerationItem::Sphere:
        o.sphere = 1;
        out.dialog = GenerationDialog::Sphere;
        break;
    case GenerationItem::Fragments: o.fragments = 1; break;
    case GenerationItem::CellContents:
        o.box_size = {1.01, 1.01, 1.01};
        o.centre = {0.5, 0.5, 0.5};
        set_crystal_system(model);
        if (model.system_code == "HEXA") {
            o.box_size = {2.01, 2.01, 1.01};
            o.centre = {0, 0, 0};
        }
        o.box_reduce = 1;
        o.cell_contents = 1;
        out.operators_read = selecte_tout(model, grid, messages);
        break;
    case GenerationItem::NoOption: break;
    }
    return out;
}

bool click_groupe(StructureModel& model, const std::string& symbol, OperatorGrid& grid, int option_item,
                  Messages& messages)
{
    return choose_group(model, grid, option_item, messages, [&]() -> std::optional<std::string> {
        model.space_group = trim(symbol);
        model.lattice_letter = first_char(model.space_group);
        if (!read_standard_group(model)) return "Space group not found: " + trim(symbol);
        if ((model.centro_flag > 0 && !add_inversion(model)) || !add_centring(model)) return TooManyOperators;
        return std::nullopt;
    });
}

bool click_groupe_miraldo(StructureModel& model, const std::string& item, OperatorGrid& grid, int option_item,
                          Messages& messages)
{
    const std::string symbol = trim(item.substr(0, std::min<std::size_t>(12, item.size())));
    const std::string directory = model.program_directory.empty() ? std::string(".") : model.program_directory;
    return choose_group(model, grid, option_item, messages, [&]() -> std::optional<std::string> {
        if (!read_setting_positions(model, symbol, directory)) return "Space group not found: " + symbol;
        model.space_group = symbol;
        model.lattice_letter = first_char(symbol);
        if (!add_setting_centring(model, symbol)) return TooManyOperators;
        return std::nullopt;
    });
}

std::string data_caption(const StructureModel& model, const std::string& file)
{
    return "KESTRO V2. Data for " + model.title + " (" + base_name(file) + ")";
}

bool plot_generation(StructureModel& model, bool atoms_changed, Messages& messages)
{
    if (model.asym.empty()) {
        messages.show("No coordinates!");
        return false;
    }
    BusyScope busy(messages);
    try {
        if ((atoms_changed || model.bond_sorts.empty()) && !build_bond_sorts(model, messages)) return false;
        generer(model, messages);
    } catch (const IoError& error) {
        messages.show(error.what());
        return false;
    }
    if (model.generated.empty()) {
        messages.beep();
        messages.show("No data");
        return false;
    }
    return true;
}

} // namespace kestro::mainmenu

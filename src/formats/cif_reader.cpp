#include "formats/cif.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "crystal/catalogues.h"
#include "crystal/cell_angles.h"
#include "crystal/hall_symbols.h"
#include "crystal/oemath.h"
#include "crystal/operators.h"
#include "crystal/sorts.h"
#include "formats/cif_syntax.h"
#include "formats/reader_support.h"
#include "model/errors.h"
#include "model/fields.h"
#include "model/labels.h"
#include "model/file_io.h"
#include "model/numbers.h"
#include "model/text.h"
#include "model/thermal.h"

namespace kestro {

namespace {

using cif::CifBlock;
using cif::CifLoop;
using cif::CifValue;

// ---------------------------------------------------------------------------
// Values.

// A number as CIFs write it: the standard uncertainty in parentheses is
// dropped ('0.2345(3)'), and a fraction '1/3' is read as such.
std::optional<double> cif_number(std::string_view text) { return parse_fraction(trim(text.substr(0, text.find('(')))); }

// Labels keep their text: only the parentheses go ('C(11)' gives 'C11').
std::string label_key(std::string_view label)
{
    std::string out;
    for (const char c : trim(label))
        if (c != '(' && c != ')') out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string without(std::string_view text, std::string_view removed)
{
    std::string out;
    for (const char c : text)
        if (removed.find(c) == std::string_view::npos) out += c;
    return out;
}

// Aliases of one data name, the current (DDL2-style) name first.
constexpr std::array<std::string_view, 2> OperatorNames{"_space_group_symop_operation_xyz",
                                                        "_symmetry_equiv_pos_as_xyz"};
constexpr std::array<std::string_view, 2> SymbolNames{"_space_group_name_h-m_alt", "_symmetry_space_group_name_h-m"};
constexpr std::array<std::string_view, 2> HallNames{"_space_group_name_hall", "_symmetry_space_group_name_hall"};
constexpr std::array<std::string_view, 2> NumberNames{"_space_group_it_number", "_symmetry_int_tables_number"};
constexpr std::array<std::string_view, 2> TitleNames{"_chemical_formula_moiety", "_chemical_formula_sum"};

// Model order 11 22 33 12 13 23.
constexpr std::array<std::string_view, 6> AnisoSuffixes{"11", "22", "33", "12", "13", "23"};

// ---------------------------------------------------------------------------
// The reader.

class CifReader {
public:
    CifReader(std::string_view file, StructureModel& model, Messages& messages)
        : model_(model), messages_(messages), file_(base_name(file))
    {
    }

    bool read(std::string_view text)
    {
        // Loop values keep 32-bit places in the text.
        if (text.size() >= std::numeric_limits<std::uint32_t>::max())
            return refuse(file_ + " is too large to be read as a CIF");
        source_ = text;
        const std::vector<CifBlock> blocks = cif::parse_blocks(text);
        const CifBlock* block = nullptr;
        for (const CifBlock& candidate : blocks) {
            if (candidate.loop_with("_atom_site_fract_x") || candidate.item("_atom_site_fract_x")) {
                block = &candidate;
                break;
            }
        }
        if (block == nullptr) return refuse("Kestro cannot find any atoms site");
        read_title(*block);
        if (!read_cell(*block) || !read_symmetry(*block) || !complete_angles(*block)) return false;
        write_symmetry_summary();
        if (!read_atom_sites(*block) || !read_aniso(*block)) return false;
        write_atoms_summary();
        return finish_foreign_load(model_, file_, messages_);
    }

    // The summary "Cifout.txt", as far as the file was read.
    std::string&& summary() { return std::move(summary_); }

private:
    bool refuse(const std::string& text)
    {
        messages_.show(text);
        return false;
    }
    // "FILE line N" of a place in the text; lines are counted only for messages.
    std::string at_line(std::string_view where) const
    {
        const std::size_t end = static_cast<std::size_t>(where.data() - source_.data());
        int line = 1;
        for (std::size_t i = 0; i < end && i < source_.size(); ++i)
            if (source_[i] == '\n' || (source_[i] == '\r' && (i + 1 == source_.size() || source_[i + 1] != '\n'))) ++line;
        return file_ + " line " + std::to_string(line);
    }
    void add(const std::string& line) { summary_ += line + "\r\n"; }

    // The first formula given: blanks removed, quotes kept as written.
    void read_title(const CifBlock& block)
    {
        model_.title.clear();
        for (const auto& [name, value] : block.items) {
            if (value.unknown() || (name != TitleNames[0] && name != TitleNames[1])) continue;
            std::string title(value.text);
            if (value.quote == '\'' || value.quote == '"') title = value.quote + title + value.quote;
            model_.title = without(title, " \t\n");
            break;
        }
        add("Title:");
        add(model_.title);
        add("");
    }

    bool read_cell(const CifBlock& block)
    {
        struct CellEntry {
            std::string_view name;
            double CrystalCell::*field;
            bool angle;
        };
        static constexpr std::array<CellEntry, 6> entries{{
            {"_cell_length_a", &CrystalCell::a, false},
            {"_cell_length_b", &CrystalCell::b, false},
            {"_cell_length_c", &CrystalCell::c, false},
            {"_cell_angle_alpha", &CrystalCell::alpha, true},
            {"_cell_angle_beta", &CrystalCell::beta, true},
            {"_cell_angle_gamma", &CrystalCell::gamma, true},
        }};
        model_.cell = CrystalCell{};
        for (const CellEntry& entry : entries) {
            const CifValue* value = block.item(entry.name);
            // An angle not given, or given as unknown, is 90 degrees (the
            // default of the CIF core dictionary) until the symmetry is
            // known (complete_angles).
            if (value == nullptr || value->unknown()) {
                if (!entry.angle) return refuse("Cell error: " + file_ + " gives no " + std::string(entry.name));
                model_.cell.*entry.field = 90.0;
                missing_angles_[static_cast<std::size_t>(&entry - &entries[3])] = true;
                continue;
            }
            const std::optional<double> number = cif_number(value->text);
            if (!number)
                return refuse("Cell error: " + at_line(value->text) + ": " + std::string(entry.name) + " '" +
                              std::string(value->text) + "' is not a number");
            model_.cell.*entry.field = *number;
            model_.cell.su[static_cast<std::size_t>(&entry - &entries[0])] = number_su(value->text);
        }
        add("Cell parameters:");
        cell_line_at_ = summary_.size();
        add(cell_line());
        add("");
        if (!cell_metric(model_, messages_)) return false;
        set_crystal_system(model_);
        return true;
    }

    std::string cell_line() const
    {
        const CrystalCell& cell = model_.cell;
        return fmt_real(cell.a, 8, 4) + fmt_real(cell.b, 8, 4) + fmt_real(cell.c, 8, 4) + fmt_real(cell.alpha, 8, 2) +
               fmt_real(cell.beta, 8, 2) + fmt_real(cell.gamma, 8, 2);
    }

    bool read_symmetry(const CifBlock& block)
    {
        for (const std::string_view name : SymbolNames) {
            const CifValue* value = block.item(name);
            if (value == nullptr || value->unknown()) continue;
            written_symbol_ = value->text;
            symbol_ = without(written_symbol_, " \t'\"");
            if (!symbol_.empty()) break;
        }
        model_.space_group = symbol_;
        model_.lattice_letter = symbol_.empty() ? std::string() : to_upper(symbol_.substr(0, 1));
        model_.centro_flag = 0;

        CifLoop row;
        const CifLoop* table = nullptr;
        int column = -1;
        for (const std::string_view name : OperatorNames) {
            table = block.table_with(source_, row, name, name);
            if (table) {
                column = table->column(name);
                break;
            }
        }
        if (table) {
            std::string fault;
            if (!read_operators(*table, column, fault)) {
                // An operator list that cannot be used gives way to the
                // group the file also names, never to its number alone.
                if (fault.empty()) return false;
                if (!positions_of_named_group(block)) return refuse(fault);
                messages_.show(fault + "; the equivalent positions of " + symmetry_source_ + " are used instead");
            }
        } else if (!positions_without_operators(block)) {
            return refuse("Kestro cannot find symmetry operators or Space group");
        }
        return true;
    }

    void write_symmetry_summary()
    {
        if (!symbol_.empty() || !hall_used_.empty()) {
            add("Space group:");
            add(hall_used_.empty() ? symbol_ : hall_used_);
            add("");
        }
        add("Equivalent positions:");
        for (int i = 1; i <= model_.operators.count(); ++i) add(model_.operator_texts[i].str());
        add("");
    }

    // "120", "75.5": as many decimals as the value has, at most three.
    static std::string angle_text(double degrees)
    {
        std::string text = trim(fmt_real(degrees, 10, 3));
        while (text.ends_with('0')) text.pop_back();
        if (text.ends_with('.')) text.pop_back();
        return text;
    }

    // The angles the file lacks, from the lattice the operators imply:
    // gamma = 120 for hexagonal axes, 90 where they demand it, and 90, the
    // CIF default, where they leave an angle open (real files: P 3 c 1
    // given by its operators with no angle at all). One message names
    // them; operators that fit no cell so completed refuse the file.
    bool complete_angles(const CifBlock& block)
    {
        static constexpr std::array<std::string_view, 3> names{"alpha", "beta", "gamma"};
        std::string lacking;
        for (std::size_t k = 0; k < 3; ++k)
            if (missing_angles_[k])
                lacking += (lacking.empty() ? "_cell_angle_" : ", _cell_angle_") + std::string(names[k]);
        if (lacking.empty()) return true;
        const std::string unfit = "Cell error: " + file_ + " gives no " + lacking +
                                  ", and no cell with the lengths and angles it gives fits " + symmetry_source_;
        const AngleCompletion found = complete_cell_angles(model_.cell, missing_angles_, model_.operators);
        if (!found.fits) return refuse(unfit);
        std::string fixed;
        std::string open;
        for (std::size_t k = 0; k < 3; ++k) {
            if (!missing_angles_[k]) continue;
            std::string& list = found.fixed[k] ? fixed : open;
            list += (list.empty() ? "" : ", ") + std::string(names[k]) + " = " + angle_text(found.angles[k]);
        }
        std::string text = file_ + " gives no " + lacking + ";";
        if (!fixed.empty()) text += " " + fixed + " degrees taken, as required by " + symmetry_source_;
        if (!open.empty())
            text += std::string(fixed.empty() ? " " : "; ") + open +
                    " degrees taken (the CIF default), not being fixed by " + symmetry_source_;

        const std::string system = model_.system_code;
        const std::size_t provisional = cell_line().size();
        model_.cell.alpha = found.angles[0];
        model_.cell.beta = found.angles[1];
        model_.cell.gamma = found.angles[2];
        summary_.replace(cell_line_at_, provisional, cell_line());
        if (!cell_metric(model_, messages_)) return false;
        set_crystal_system(model_);
        // The catalogues are searched from the cell's own system, and the R
        // centring belongs to hexagonal axes: look the group up again in the
        // system of the completed cell.
        const bool catalogue = symmetry_from_ == SymmetryFrom::Symbol || symmetry_from_ == SymmetryFrom::Number;
        if (catalogue && model_.system_code != system) {
            const bool again = symmetry_from_ == SymmetryFrom::Number ? positions_of_numbered_group(block)
                                                                      : positions_of_named_group(block);
            if (!again || !complete_cell_angles(model_.cell, missing_angles_, model_.operators).fits)
                return refuse(unfit);
        }
        messages_.show(text);
        return true;
    }

    // The list as the file gives it, taken as complete. False with the
    // reason in `fault` when the list cannot be used; false with `fault`
    // empty after a refusal.
    bool read_operators(const CifLoop& table, int column, std::string& fault)
    {
        if (!table.complete()) return incomplete_loop(table);
        const int n = table.rows();
        if (n > MaxOperators) {
            fault = file_ + ": " + std::to_string(n) + " symmetry operators listed, at most " +
                    std::to_string(MaxOperators) + " can be loaded";
            return false;
        }
        model_.operators.clear();
        for (int row = 0; row < n; ++row) {
            const CifValue value = table.at(row, column);
            bool singular = false;
            const std::optional<SymmetryOperator> op =
                value.unknown() ? std::nullopt : parse_operator_xyz(value.text, &singular);
            if (!op) {
                fault = at_line(value.text) + ": the symmetry operator '" + std::string(value.text) +
                        (singular ? "' is singular (its rotation part has no inverse)" : "' cannot be read");
                return false;
            }
            model_.operators.push(*op);
            model_.operator_texts[row + 1] = without(value.text, " \t'\"");
        }
        model_.listed_operator_count = n;
        symmetry_from_ = SymmetryFrom::File;
        symmetry_source_ = "the symmetry operators of the file";
        return true;
    }

    std::string hall_symbol(const CifBlock& block) const
    {
        for (const std::string_view name : HallNames) {
            const CifValue* value = block.item(name);
            if (value != nullptr && !value->unknown() && !trim(value->text).empty()) return trim(value->text);
        }
        return {};
    }

    // The catalogue positions of the Hermann-Mauguin symbol, else those of
    // the Hall symbol.
    bool positions_of_named_group(const CifBlock& block)
    {
        if (!symbol_.empty() && positions_of_written_symbol(symbol_, written_symbol_)) {
            symmetry_from_ = SymmetryFrom::Symbol;
            symmetry_source_ = "the space group '" + std::string(written_symbol_) + "'";
            return true;
        }
        const std::string hall = hall_symbol(block);
        if (hall.empty() || !positions_of_hall(model_, hall)) return false;
        hall_used_ = hall;
        symmetry_from_ = SymmetryFrom::Hall;
        symmetry_source_ = "the Hall symbol '" + hall + "'";
        return true;
    }

    // No operator loop: the group the file names, else its International
    // Tables number, which gives the standard setting only and so does not
    // stand in for a symbol the catalogues do not know.
    bool positions_without_operators(const CifBlock& block)
    {
        if (positions_of_named_group(block)) return true;
        return symbol_.empty() && hall_symbol(block).empty() && positions_of_numbered_group(block);
    }

    // The positions of the International Tables number.
    bool positions_of_numbered_group(const CifBlock& block)
    {
        for (const std::string_view name : NumberNames) {
            const CifValue* value = block.item(name);
            if (value == nullptr || value->unknown()) continue;
            const std::optional<long long> number = parse_integer(value->text);
            if (number && *number >= 1 && *number <= 230 && positions_of_number(model_, static_cast<int>(*number))) {
                symmetry_from_ = SymmetryFrom::Number;
                symmetry_source_ = "the space group number " + std::to_string(*number);
                return true;
            }
        }
        return false;
    }

    // The symbol as written, else made plain: "P2_1/n", "P_1", or
    // "F d -3 m {origin @ centre (-3m)}" as COD files write them.
    bool positions_of_written_symbol(const std::string& symbol, std::string_view written)
    {
        if (positions_of_symbol(model_, symbol)) return true;
        const std::string plain = plain_symbol(written);
        if (compact_symbol(plain) == compact_symbol(symbol)) return false;
        if (positions_of_symbol(model_, plain)) return true;
        // Origin choice 1 asked of a group that has one origin only.
        return plain.ends_with(":1") && positions_of_symbol(model_, plain.substr(0, plain.size() - 2));
    }

    bool incomplete_loop(const CifLoop& loop)
    {
        return refuse(at_line(loop.keyword) + ": the loop ends inside a row (" + std::to_string(loop.cells.size()) +
                      " values for " + std::to_string(loop.names.size()) + " data names)");
    }

    // A number of a loop cell; an unknown value gives `unknown` when one is
    // allowed, else the file is refused.
    bool loop_number(const CifLoop& loop, int row, int col, const std::string& atom, std::optional<double> unknown,
                     double& out)
    {
        const CifValue value = loop.at(row, col);
        if (value.unknown() && unknown) {
            out = *unknown;
            return true;
        }
        const std::optional<double> number = value.unknown() ? std::nullopt : cif_number(value.text);
        if (!number)
            return refuse(at_line(value.text) + ": " + loop.written[static_cast<std::size_t>(col)] + " '" +
                          std::string(value.text) +
                          "' of atom " + atom + " is not a number");
        out = *number;
        return true;
    }

    bool read_atom_sites(const CifBlock& block)
    {
        model_.asym.clear();
        keys_.clear();
        CifLoop single;
        const CifLoop* table = block.table_with(source_, single, "_atom_site_fract_x", "_atom_site_", "_atom_site_aniso_");
        if (!table) return refuse("Kestro cannot find any atoms site");
        if (!table->complete()) return incomplete_loop(*table);
        const int label = table->column("_atom_site_label");
        const int type = table->column("_atom_site_type_symbol");
        const std::array<int, 3> xyz{table->column("_atom_site_fract_x"), table->column("_atom_site_fract_y"),
                                     table->column("_atom_site_fract_z")};
        for (const auto& [col, name] : {std::pair{std::max(label, type), "_atom_site_label"},
                                        std::pair{xyz[1], "_atom_site_fract_y"},
                                        std::pair{xyz[2], "_atom_site_fract_z"}})
            if (col < 0) return refuse(at_line(table->keyword) + ": the atom sites have no " + name + " column");
        // The disorder and the occupancy, where the file gives them.
        const int group = table->column("_atom_site_disorder_group");
        const int assembly = table->column("_atom_site_disorder_assembly");
        const int occupancy = table->column("_atom_site_occupancy");
        // U is preferred; B = 8 pi^2 U.
        int u_column = table->column("_atom_site_u_iso_or_equiv");
        double u_factor = 1.0;
        if (u_column < 0 && (u_column = table->column("_atom_site_b_iso_or_equiv")) >= 0)
            u_factor = 1.0 / EightPiSquared;

        const int rows = table->rows();
        if (rows == 0) return refuse("Kestro cannot find any atoms site");
        const int calc_flag = table->column("_atom_site_calc_flag");
        std::vector<std::string> dummies;
        std::unordered_map<std::string, int> ranks; // of each element, for labels made from type symbols
        bool cut = false;
        for (int row = 0; row < rows; ++row) {
            const CifValue name = table->at(row, label >= 0 ? label : type);
            if (dummy_site(*table, row, xyz, calc_flag)) {
                dummies.push_back(label < 0 || name.unknown() || trim(name.text).empty()
                                      ? "row " + std::to_string(row + 1)
                                      : std::string(name.text));
                continue;
            }
            if (model_.asym.full()) {
                cut = true;
                break;
            }
            const std::string written = label >= 0 ? std::string(name.text) : label_of_type(name, ranks);
            const std::string key = label_key(written);
            if (name.unknown() || key.empty())
                return refuse(at_line(name.text) +
                              (label >= 0 ? ": an atom site has no label" : ": an atom site has no type symbol"));
            AtomRecord atom;
            atom.label = labels_(key);
            if (label >= 0) atom.file_label = trim(written);
            if (type >= 0 && !table->at(row, type).unknown()) atom.element = type_element(table->at(row, type).text);
            for (std::size_t k = 0; k < 3; ++k)
            {
                if (!loop_number(*table, row, xyz[k], written, std::nullopt, atom.xyz[k])) return false;
                atom.xyz_su[k] = number_su(table->at(row, xyz[k]).text);
            }
            if (u_column >= 0) {
                if (!loop_number(*table, row, u_column, written, 0.0, atom.thermal[0])) return false;
                atom.thermal[0] *= u_factor;
            }
            if (occupancy >= 0 && !loop_number(*table, row, occupancy, written, 1.0, atom.occupancy)) return false;
            if (group >= 0) read_disorder(*table, row, group, assembly, atom);
            atom.isotropic = 1;
            model_.asym.push(atom);
            keys_.push_back(key);
        }
        if (model_.asym.empty()) return refuse("Kestro cannot find any atoms site");
        if (!dummies.empty()) messages_.show(skipped_dummies(dummies));
        if (cut) messages_.limit_reached(too_many_atoms_text());
        labels_.report(model_, messages_);
        return true;
    }

    // A loop without _atom_site_label (some database and powder files give
    // the type symbol only): each site is named by the element of its type
    // symbol and its rank among the sites of that element, in file order,
    // so that Si, Si, O give Si1, Si2, O1 (stored 'SI1', 'SI2', 'O 1'). The
    // charge of an ion ('Si4+', 'O2-') is no part of the name.
    static std::string label_of_type(const CifValue& type, std::unordered_map<std::string, int>& ranks)
    {
        if (type.unknown()) return {};
        std::string element;
        for (const char c : trim(type.text)) {
            if (!std::isalpha(static_cast<unsigned char>(c)) || element.size() == 2) break;
            element += c;
        }
        if (element.empty()) return {};
        return element + std::to_string(++ranks[to_upper(element)]);
    }

    // A row that marks a place rather than an atom, as databases add them
    // (COD: coordinates '.', or the calc flag 'dum' beside real atoms).
    static bool dummy_site(const CifLoop& table, int row, const std::array<int, 3>& xyz, int calc_flag)
    {
        if (calc_flag >= 0 && to_lower(trim(table.at(row, calc_flag).text)) == "dum") return true;
        for (const int col : xyz) {
            const CifValue value = table.at(row, col);
            if (value.unknown() && value.text == ".") return true;
        }
        return false;
    }

    std::string skipped_dummies(const std::vector<std::string>& names) const
    {
        constexpr std::size_t Named = 10;
        std::string text = file_ + ": " + std::to_string(names.size()) +
                           (names.size() == 1 ? " dummy atom site" : " dummy atom sites") +
                           " (_atom_site_calc_flag dum, or coordinates '.') skipped: ";
        for (std::size_t k = 0; k < names.size() && k < Named; ++k) text += (k > 0 ? ", " : "") + names[k];
        if (names.size() > Named) text += " and " + std::to_string(names.size() - Named) + " more";
        return text;
    }


    // The disorder group as a part number ('.' is 0; a group that is not a
    // whole number, '1a' say, gets a number of its own per distinct text)
    // and the assembly it belongs to.
    void read_disorder(const CifLoop& loop, int row, int group, int assembly, AtomRecord& atom)
    {
        const CifValue value = loop.at(row, group);
        if (value.unknown()) return;
        if (const auto number = parse_integer(value.text); number && std::abs(*number) < 10000) {
            atom.part = static_cast<int>(*number);
        } else {
            const auto known = std::find(group_texts_.begin(), group_texts_.end(), value.text);
            const auto index = known - group_texts_.begin();
            if (known == group_texts_.end()) group_texts_.emplace_back(value.text);
            atom.part = 10000 + static_cast<int>(index);
        }
        if (assembly >= 0 && !loop.at(row, assembly).unknown()) atom.assembly = to_upper(loop.at(row, assembly).text);
    }

    // Rows are matched to the atom sites by the whole label as the file
    // writes it (a label longer than 8 characters is stored cut).
    bool read_aniso(const CifBlock& block)
    {
        CifLoop single;
        const CifLoop* table = block.table_with(source_, single, "_atom_site_aniso_label", "_atom_site_aniso_");
        if (!table) return true;
        if (!table->complete()) return incomplete_loop(*table);
        const int label = table->column("_atom_site_aniso_label");
        std::array<int, 6> columns{};
        std::array<double, 6> factors{};
        for (std::size_t k = 0; k < 6; ++k) {
            const std::string suffix(AnisoSuffixes[k]);
            columns[k] = table->column("_atom_site_aniso_u_" + suffix);
            factors[k] = 1.0;
            if (columns[k] < 0 && (columns[k] = table->column("_atom_site_aniso_b_" + suffix)) >= 0)
                factors[k] = 1.0 / EightPiSquared;
        }
        // The atoms of each label, so that a long aniso loop is read in one pass.
        std::unordered_map<std::string, std::vector<int>> atoms_of;
        for (std::size_t i = 0; i < keys_.size(); ++i) atoms_of[keys_[i]].push_back(static_cast<int>(i) + 1);
        for (int row = 0; row < table->rows(); ++row) {
            const CifValue name = table->at(row, label);
            const std::string key = label_key(name.text);
            const std::string written(name.text);
            std::array<std::optional<double>, 6> values{};
            for (std::size_t k = 0; k < 6; ++k) {
                if (columns[k] < 0 || table->at(row, columns[k]).unknown()) continue;
                double value = 0;
                if (!loop_number(*table, row, columns[k], written, std::nullopt, value)) return false;
                values[k] = value * factors[k];
            }
            const auto atoms = atoms_of.find(key);
            if (atoms == atoms_of.end()) continue;
            for (const int index : atoms->second) {
                AtomRecord& atom = model_.asym[index];
                for (std::size_t k = 0; k < 6; ++k)
                    if (values[k]) atom.thermal[k] = *values[k];
            }
        }
        return true;
    }

    void write_atoms_summary()
    {
        add("Asymetric unit contents");
        for (const AtomRecord& atom : model_.asym) {
            add(fill_to(atom.label.view(), 4) + fmt_real(atom.xyz[0], 10, 5) + fmt_real(atom.xyz[1], 10, 5) +
                fmt_real(atom.xyz[2], 10, 5));
            std::string thermal = "    ";
            for (const double u : atom.thermal) thermal += fmt_real(u, 10, 5);
            add(thermal);
        }
        add("");
    }

    StructureModel& model_;
    Messages& messages_;
    std::string file_;
    std::string summary_;
    std::string_view source_;
    std::vector<std::string> keys_; // whole label of each asymmetric-unit atom
    LabelReader labels_;
    std::vector<std::string> group_texts_; // disorder groups that are not numbers
    std::string hall_used_;         // the Hall symbol that gave the positions
    std::string symbol_;            // H-M symbol, blanks and quotes removed
    std::string_view written_symbol_;
    enum class SymmetryFrom { File, Symbol, Hall, Number } symmetry_from_ = SymmetryFrom::File;
    std::string symmetry_source_;   // what gave the operators, for messages
    std::array<bool, 3> missing_angles_{};
    std::size_t cell_line_at_ = 0;  // of the cell values in the summary
};

} // namespace

bool read_cif(std::string_view text, std::string_view file, StructureModel& model, Messages& messages,
              std::string& summary)
{
    CifReader reader(file, model, messages);
    const bool loaded = reader.read(text);
    summary = reader.summary();
    return loaded;
}

} // namespace kestro

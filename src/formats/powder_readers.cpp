#include "formats/powder.h"

#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "crystal/catalogues.h"
#include "crystal/oemath.h"
#include "crystal/sorts.h"
#include "formats/reader_support.h"
#include "model/labels.h"
#include "model/file_io.h"
#include "model/numbers.h"
#include "model/text.h"
#include "model/thermal.h"

namespace kestro {

namespace {

// " in NAME at line N", the name without its directory; index is 0-based.
std::string at_line(std::string_view file, std::size_t index)
{
    return " in " + base_name(file) + " at line " + std::to_string(index + 1);
}

std::string in_file(std::string_view file) { return " in " + base_name(file); }

std::string from_column(const std::string& line, std::size_t first)
{
    return line.size() > first ? line.substr(first) : std::string();
}

// The line after its first blank; nothing when it has none.
std::string after_first_blank(const std::string& line)
{
    const std::size_t blank = line.find(' ');
    return blank == std::string::npos ? std::string() : line.substr(blank + 1);
}


// Six cell values, all of them numbers.
bool cell_values_read(const NumberList& values)
{
    return values.error_position == 0 && values.count >= 6 && values.numbers_at({1, 2, 3, 4, 5, 6});
}

AtomRecord isotropic_atom(std::string_view label, const Vec3& xyz, double b)
{
    AtomRecord atom;
    atom.label = label;
    atom.xyz = xyz;
    atom.thermal = {b / EightPiSquared, 0, 0, 0, 0, 0};
    atom.isotropic = 1;
    return atom;
}

// Characters 6 to 10. Each of the five places is examined once, left to
// right, and a blank found there is removed; the character that moves in
// is not examined again, so of two adjacent blanks one stays.
std::string lazy_pulverix_label(const std::string& line)
{
    std::string chars = line.size() > 5 ? line.substr(5, 5) : std::string();
    for (std::size_t place = 0; place < 5 && place < chars.size(); ++place)
        if (chars[place] == ' ') chars.erase(place, 1);
    return stored_label(chars).str();
}

// PowderCell lines: the first five characters, trimmed and in upper case,
// are the keyword; the rest runs from character 6.
std::string powdercell_keyword(const std::string& line) { return to_upper(trim(printable(line.substr(0, 5)))); }

// The element part of a PowderCell atom name: the stored label of its first
// four characters cut to two ('Si1' gives 'SI', 'O1' gives 'O ').
std::string powdercell_label(const std::string& keyword)
{
    const std::string element = element_symbol(stored_label(keyword.substr(0, 4)).view());
    return element.size() == 1 ? element + " " : element;
}

// Line n of spa.grp holds the number n and the symbol, of which the first
// 10 characters after the number count. Empty when the file has no line n
// or the line holds no symbol. IoError when spa.grp cannot be read. (Not
// symbol_from_number: the symbol alone is wanted here, to be looked up in
// every catalogue by positions_of_symbol and named when none knows it.)
std::string symbol_of_number(const StructureModel& model, long long number)
{
    const std::string path = model.data_directory.empty()
                                 ? std::string("spa.grp")
                                 : (std::filesystem::path(model.data_directory) / "spa.grp").string();
    const std::vector<std::string> lines = split_lines(read_file_bytes(path));
    if (number < 1 || number > static_cast<long long>(lines.size())) return {};
    const std::string line = trim(lines[static_cast<std::size_t>(number - 1)]);
    std::size_t end = 0;
    while (end < line.size() && line[end] >= '0' && line[end] <= '9') ++end;
    if (end == 0) return {};
    return trim(line.substr(end, 10));
}

// The common end of both readers: the positions of the symbol with
// inversion, centring and texts, the identity alone selected, the sorts.
// A symbol no catalogue knows leaves the identity alone; the load goes on.
bool complete_structure(StructureModel& model, std::string_view file, const std::string& symbol, Messages& messages)
{
    model.space_group = symbol;
    model.lattice_letter = symbol.empty() ? std::string() : symbol.substr(0, 1);
    if (!positions_of_symbol(model, symbol)) {
        messages.show(symbol.empty() ? "Space group not found: no symbol" + in_file(file)
                                     : "Space group not found: " + symbol);
        model.operators.clear();
        model.operators.push(SymmetryOperator::identity());
        model.centro_flag = 0;
        model.centring_count = 0;
        model.listed_operator_count = 1;
    }
    model.operator_texts[1] = " X, Y, Z";
    return finish_foreign_load(model, file, messages);
}

} // namespace

bool read_lazy_pulverix(std::string_view text, std::string_view file, StructureModel& model, Messages& messages)
{
    const std::vector<std::string> lines = split_lines(text);
    model.asym.clear();
    bool cell_read = false;
    std::string symbol;
    // A keyword counts anywhere in the line, and one line may carry several.
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (contains(line, "TITLE")) model.title = after_first_blank(line);
        if (contains(line, "CELL")) {
            const std::string rest = after_first_blank(line);
            const NumberList values = decode_number_list(rest);
            if (!cell_values_read(values)) {
                messages.show("Cell not found");
                return false;
            }
            if (!store_cell(model, values, 1, messages)) return false;
            cell_read = true;
        }
        if (contains(line, "SPCGRP")) symbol = replace_all(after_first_blank(line), " ", "");
        if (contains(line, "ATOM")) {
            if (model.asym.full()) {
                messages.limit_reached(too_many_atoms_text());
                return false;
            }
            // x, y, z, an unused value, B.
            const std::string rest = from_column(line, 10);
            const NumberList values = decode_number_list(rest);
            if (values.error_position != 0 || values.count < 5 || !values.numbers_at({1, 2, 3, 5})) {
                messages.show("Read error");
                return false;
            }
            model.asym.push(isotropic_atom(lazy_pulverix_label(line), {values[1], values[2], values[3]}, values[5]));
        }
    }
    if (!cell_read) {
        messages.show("Cell not found" + in_file(file));
        return false;
    }
    return complete_structure(model, file, symbol, messages);
}

bool read_powdercell(std::string_view text, std::string_view file, StructureModel& model, Messages& messages)
{
    const std::vector<std::string> lines = split_lines(text);
    model.asym.clear();

    std::size_t cell_line = 0;
    while (cell_line < lines.size() && powdercell_keyword(lines[cell_line]) != "CELL") ++cell_line;
    if (cell_line == lines.size()) {
        messages.show("Cell not found" + in_file(file));
        return false;
    }
    const std::string cell_text = from_column(lines[cell_line], 5);
    const NumberList cell_values = decode_number_list(cell_text);
    if (!cell_values_read(cell_values)) {
        messages.show("Cell not found" + at_line(file, cell_line));
        return false;
    }
    if (!store_cell(model, cell_values, 1, messages)) return false;

    // Atom lines up to the RGNR line: name, atomic number, x, y, z,
    // occupation, B. A line whose rest is not numbers is no atom.
    std::optional<std::size_t> rgnr_line;
    std::string skipped; // numbers of the lines that are no atoms, said once
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string keyword = powdercell_keyword(lines[i]);
        if (keyword.empty() || keyword == "CELL" || keyword == "NATOM") continue;
        if (contains(keyword, "RGNR")) {
            rgnr_line = i;
            break;
        }
        const std::string rest = from_column(lines[i], 5);
        const NumberList values = decode_number_list(rest);
        if (values.error_position != 0 || values.count < 4 || !values.numbers_at({2, 3, 4, 6})) {
            // A keyword line ("DWF none") is no atom; a line with an atomic
            // number and values that cannot be read is one the user lost.
            if (values.count >= 4 && !values.bad[0]) skipped += (skipped.empty() ? "" : ", ") + std::to_string(i + 1);
            continue;
        }
        if (model.asym.full()) {
            messages.limit_reached(too_many_atoms_text());
            return false;
        }
        const double b = values[6] == 0 ? 1.0 : values[6];
        model.asym.push(isotropic_atom(powdercell_label(keyword), {values[2], values[3], values[4]}, b));
    }
    if (!rgnr_line) {
        messages.show("No space-group number (RGNR line)" + in_file(file));
        return false;
    }
    if (!skipped.empty()) messages.show("Lines that are no atoms, skipped" + in_file(file) + ": " + skipped);

    // The first number of the rest; a setting number after it is not used.
    const std::string rest = trim(from_column(lines[*rgnr_line], 5));
    const std::optional<long long> number = parse_integer(rest.substr(0, rest.find_first_of(" \t,")));
    const std::string symbol = number ? symbol_of_number(model, *number) : std::string();
    if (symbol.empty()) {
        messages.show("Space-group number not known: '" + rest + "'" + at_line(file, *rgnr_line));
        return false;
    }
    return complete_structure(model, file, symbol, messages);
}

} // namespace kestro

#include "crystal/catalogues.h"

#include <array>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "crystal/bonds.h"
#include "miraldo.h"
#include "model/errors.h"
#include "model/file_io.h"
#include "model/numbers.h"
#include "model/text.h"

namespace kestro {

namespace {

std::string in_directory(const std::string& directory, const std::string& name)
{
    if (directory.empty()) return name;
    return (std::filesystem::path(directory) / name).string();
}

std::vector<std::string> read_lines(const std::string& path) { return split_lines(read_file_bytes(path)); }

[[noreturn]] void bad_line(const std::string& path, std::size_t index, const std::string& what)
{
    throw IoError(what + " in " + path + " at line " + std::to_string(index + 1));
}

// An integer alone on line index of the file.
int read_integer_line(const std::vector<std::string>& lines, std::size_t index, const std::string& path)
{
    if (index >= lines.size()) bad_line(path, index, "Read beyond end of file");
    const std::optional<long long> value = parse_integer(trim(lines[index]));
    if (!value || *value < 0 || *value > 100000) bad_line(path, index, "Invalid numeric input");
    return static_cast<int>(*value);
}

std::string pos_file(const StructureModel& model)
{
    return in_directory(model.data_directory, trim(model.system_code) + ".pos");
}

std::string padded(std::string text, std::size_t width)
{
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}

std::string field(const std::string& line, std::size_t first, std::size_t length)
{
    if (line.size() <= first) return {};
    return trim(line.substr(first, length));
}

std::string first_char(const std::string& symbol) { return symbol.empty() ? std::string() : symbol.substr(0, 1); }

} // namespace

bool add_setting_centring(StructureModel& model, const std::string& symbol)
{
    const std::string upper = to_upper(symbol);
    if (upper.ends_with(":R")) model.lattice_letter = "P";
    if (!upper.ends_with(":H")) return add_centring(model);
    const std::string system = model.system_code;
    model.system_code = "HEXA";
    const bool done = add_centring(model);
    model.system_code = system;
    return done;
}

bool read_setting_positions(StructureModel& model, const std::string& symbol, const std::string& keep_in)
{
    std::array<int, 16> codes{};
    codes.fill(32);
    for (std::size_t k = 0; k < symbol.size() && k < codes.size(); ++k)
        codes[k] = static_cast<unsigned char>(symbol[k]);
    const PrivateDirectory directory;
    const std::string path = in_directory(directory.path(), "scfs.dat");
    const int status = miraldo_positions_to(codes.data(), directory.path().c_str());
    if (status == 1) return false;
    if (status != 0) throw IoError("Cannot write " + path);
    read_scfs_file(model, path);
    if (!keep_in.empty()) write_file_atomically(in_directory(keep_in, "scfs.dat"), read_file_bytes(path));
    return true;
}

std::string compact_symbol(std::string_view symbol)
{
    std::string out;
    for (char ch : symbol)
        if (ch != ' ' && ch != '\t' && ch != '\'' && ch != '"' && ch != '\r' && ch != '\n') out += ch;
    return to_upper(out);
}

namespace {

// The origin choice a note asks for: 1, 2, or 0 when it names none. Choice
// 2 of the groups with two places the origin at a centre of symmetry, so a
// site symmetry with -1, -3, a "/" or mmm in it is choice 2, and any other
// site (-43m, 23, 222, -4) is choice 1.
int origin_choice_of_note(std::string_view note)
{
    const std::string text = replace_all(to_lower(note), " ", "");
    if (!contains(text, "origin")) return 0;
    if (contains(text, "choice1")) return 1;
    if (contains(text, "choice2")) return 2;
    std::size_t at = text.find('@');
    if (at == std::string::npos) at = text.find("originat");
    if (at == std::string::npos) return 0;
    const std::string site = text.substr(at);
    for (const char* centre : {"centre", "center", "-1", "-3", "/", "mmm"})
        if (contains(site, centre)) return 2;
    return 1;
}

} // namespace

std::string plain_symbol(std::string_view written)
{
    std::string out;
    int choice = 0;
    for (std::size_t i = 0; i < written.size(); ++i) {
        const char c = written[i];
        const std::size_t close = c == '{' ? written.find('}', i) : c == '(' ? written.find(')', i) : std::string::npos;
        if (close != std::string::npos) {
            const std::string_view inside = written.substr(i + 1, close - i - 1);
            const bool digits = !inside.empty() && inside.find_first_not_of("0123456789") == std::string_view::npos;
            if (c == '(' && digits && !out.empty() && std::isdigit(static_cast<unsigned char>(out.back()))) {
                out += inside; // a screw axis subscript: 2(1)
                i = close;
                continue;
            }
            if (c == '{' || contains(to_lower(inside), "origin")) {
                if (const int asked = origin_choice_of_note(inside)) choice = asked;
                i = close;
                continue;
            }
        }
        if (c != '_' && c != ' ' && c != '\t' && c != '\'' && c != '"') out += c;
    }
    if (choice == 1 && out.find(':') == std::string::npos) out += ":1";
    return out;
}

bool positions_of_symbol(StructureModel& model, const std::string& symbol)
{
    const std::string wanted = trim(symbol);
    if (compact_symbol(wanted).empty()) return false;
    const GroupState before(model);
    const std::string system = model.system_code;
    try {
        // The standard lists: the cell's own system first.
        std::vector<std::string> codes{trim(system)};
        for (const char* code : {"CUBI", "TETR", "ORTH", "HEXA", "RHOM", "MONO", "TRIC"})
            if (code != codes.front()) codes.emplace_back(code);
        bool found = false;
        for (const std::string& code : codes) {
            if (code.empty()) continue;
            model.system_code = code;
            model.space_group = wanted;
            if (read_standard_group(model)) {
                found = true;
                break;
            }
        }
        model.system_code = system;
        if (found) {
            model.lattice_letter = first_char(model.space_group);
            if (model.centro_flag > 0 && !add_inversion(model)) throw IoError(TooManyOperators);
            if (!add_centring(model)) throw IoError(TooManyOperators);
        } else {
            // The settings (full symbols, origin choices, axes of R groups).
            const std::string compact = compact_symbol(wanted);
            if (!read_setting_positions(model, compact)) {
                before.restore(model);
                return false;
            }
            model.space_group = wanted;
            model.lattice_letter = first_char(compact);
            model.listed_operator_count = model.operators.count();
            // The list holds the inversion already when the group has it.
            model.centro_flag = -1;
            for (const SymmetryOperator& op : model.operators) {
                bool inversion = true;
                for (int r = 0; r < 3; ++r)
                    for (int c = 0; c < 3; ++c)
                        if (op.rows[r][c] != (r == c ? -1.0 : 0.0)) inversion = false;
                if (inversion) model.centro_flag = 1;
            }
            if (!add_setting_centring(model, compact)) throw IoError(TooManyOperators);
        }
    } catch (...) {
        model.system_code = system;
        before.restore(model);
        throw;
    }
    rebuild_operator_texts(model);
    return true;
}

bool miraldo_range(const std::string& system_code, int& first, int& last)
{
    struct Range {
        const char* code;
        int first;
        int last;
    };
    static constexpr std::array<Range, 7> ranges{{{"TRIC", 1, 18},
                                                  {"MONO", 19, 178},
                                                  {"ORTH", 179, 370},
                                                  {"TETR", 371, 480},
                                                  {"RHOM", 481, 525},
                                                  {"HEXA", 526, 557},
                                                  {"CUBI", 558, 637}}};
    const std::string code = to_upper(trim(system_code));
    for (const Range& range : ranges) {
        if (code == range.code) {
            first = range.first;
            last = range.last;
            return true;
        }
    }
    return false;
}

std::vector<std::string> fill_standard_list(const StructureModel& model)
{
    const std::string path = pos_file(model);
    const std::vector<std::string> lines = read_lines(path);
    std::vector<std::string> symbols;
    std::size_t i = 0;
    while (i < lines.size()) {
        const bool blank = trim_right(lines[i]).empty();
        ++i;
        if (!blank || i >= lines.size()) continue;
        const std::string symbol = trim(lines[i]);
        ++i;
        if (symbol.empty()) continue; // several blank lines between blocks
        symbols.push_back(symbol);
        ++i; // the centro flag
        const int n = read_integer_line(lines, i, path);
        i += 1 + static_cast<std::size_t>(n);
        const int m = read_integer_line(lines, i, path);
        i += 1 + static_cast<std::size_t>(m);
    }
    return symbols;
}

std::vector<std::string> fill_miraldo_list(const StructureModel& model)
{
    int first = 0;
    int last = 0;
    if (!miraldo_range(model.system_code, first, last)) return {};
    const std::string path = in_directory(model.data_directory, "spgr.dat");
    const std::vector<std::string> lines = read_lines(path);
    if (lines.size() < static_cast<std::size_t>(last))
        bad_line(path, lines.size(), "Read beyond end of file");
    std::vector<std::string> items;
    for (int k = first; k <= last; ++k) {
        const std::string& line = lines[static_cast<std::size_t>(k - 1)];
        items.push_back(padded(field(line, 5, 12), 12) + padded(field(line, 26, 20), 21) +
                        padded(field(line, 46, 3), 3));
    }
    return items;
}

bool read_standard_group(StructureModel& model)
{
    const std::string path = pos_file(model);
    const std::vector<std::string> lines = read_lines(path);
    const std::string symbol = compact_symbol(model.space_group);
    if (symbol.empty()) return false;
    std::size_t i = 0;
    while (i < lines.size() && compact_symbol(lines[i]) != symbol) ++i;
    if (i >= lines.size()) return false;
    const std::string spelling = trim(lines[i]);
    ++i;
    const int centro = read_integer_line(lines, i++, path);
    const int n = read_integer_line(lines, i++, path);
    if (n > MaxOperators) bad_line(path, i - 1, TooManyOperators);
    if (i + static_cast<std::size_t>(n) > lines.size()) bad_line(path, lines.size(), "Read beyond end of file");

    // Decode the whole block before touching the model.
    Table<SymmetryOperator, MaxOperators> operators;
    std::array<FixedText<24>, MaxOperators> texts{};
    for (int k = 0; k < n; ++k, ++i) {
        const std::string text = to_upper(trim(lines[i]));
        const std::size_t comma1 = text.find(',');
        const std::size_t comma2 = comma1 == std::string::npos ? comma1 : text.find(',', comma1 + 1);
        if (comma2 == std::string::npos) bad_line(path, i, "Invalid equivalent position");
        SymmetryOperator op;
        const std::array<std::string_view, 3> parts{std::string_view(text).substr(0, comma1),
                                                    std::string_view(text).substr(comma1 + 1, comma2 - comma1 - 1),
                                                    std::string_view(text).substr(comma2 + 1)};
        for (std::size_t r = 0; r < 3; ++r) {
            if (!read_catalogue_component(parts[r], op.rows[r])) bad_line(path, i, "Invalid equivalent position");
        }
        operators.push(op);
        texts[static_cast<std::size_t>(k)] = FixedText<24>(text);
    }
    model.space_group = spelling;
    model.centro_flag = centro;
    model.operators = operators;
    for (int k = 1; k <= n; ++k) model.operator_texts[k] = texts[static_cast<std::size_t>(k - 1)];
    model.listed_operator_count = n;
    return true;
}

void read_scfs_file(StructureModel& model, const std::string& path)
{
    const std::vector<std::string> lines = read_lines(path);
    Table<SymmetryOperator, MaxOperators> operators;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::string line = replace_all(lines[i], ",", " ");
        line = replace_all(line, "\t", " ");
        std::vector<std::string> tokens;
        std::size_t at = 0;
        while (at < line.size()) {
            const std::size_t start = line.find_first_not_of(' ', at);
            if (start == std::string::npos) break;
            const std::size_t end = std::min(line.find(' ', start), line.size());
            tokens.push_back(line.substr(start, end - start));
            at = end;
        }
        if (tokens.empty()) continue;
        if (tokens.size() < 12) bad_line(path, i, "Invalid numeric input");
        SymmetryOperator op;
        for (std::size_t k = 0; k < 12; ++k) {
            std::string token = tokens[k];
            // Numbers written without the leading zero: ".5", "-.5".
            if (token.starts_with('.')) token.insert(0, "0");
            else if (token.starts_with("-.") || token.starts_with("+.")) token.insert(1, "0");
            const std::optional<double> value = parse_real(token);
            if (!value) bad_line(path, i, "Invalid numeric input");
            op.rows[k / 4][k % 4] = *value;
        }
        if (!operators.push(op)) bad_line(path, i, TooManyOperators);
    }
    model.operators = operators;
}

namespace {

// The symbol of line `number` of spa.grp: the first 10 characters after the
// number, trimmed; empty when the file has no such line.
std::string numbered_symbol(const StructureModel& model, int number)
{
    if (number < 1) return {};
    const std::string path = in_directory(model.data_directory, "spa.grp");
    const std::vector<std::string> lines = read_lines(path);
    if (static_cast<std::size_t>(number) > lines.size()) return {};
    const std::string line = trim(lines[static_cast<std::size_t>(number - 1)]);
    std::size_t end = 0;
    while (end < line.size() && line[end] >= '0' && line[end] <= '9') ++end;
    if (end == 0) bad_line(path, static_cast<std::size_t>(number - 1), "Invalid numeric input");
    return trim(line.substr(end, 10));
}

} // namespace

bool positions_of_number(StructureModel& model, int number)
{
    const std::string symbol = numbered_symbol(model, number);
    return !symbol.empty() && positions_of_symbol(model, symbol);
}

bool symbol_from_number(StructureModel& model, int number)
{
    const std::string symbol = numbered_symbol(model, number);
    if (symbol.empty()) return false;
    const GroupState before(model);
    model.space_group = symbol;
    model.lattice_letter = first_char(symbol);
    try {
        if (!read_standard_group(model)) {
            before.restore(model);
            return false;
        }
        if (model.centro_flag > 0 && !add_inversion(model)) throw IoError(TooManyOperators);
        if (!add_centring(model)) throw IoError(TooManyOperators);
    } catch (...) {
        before.restore(model);
        throw;
    }
    rebuild_operator_texts(model);
    return true;
}

LoadedGroupSelection select_loaded_group(StructureModel& model, const std::vector<std::string>& standard_items,
                                         const std::vector<std::string>& miraldo_items)
{
    static constexpr std::array<const char*, 7> systems{"CUBI", "TETR", "ORTH", "HEXA", "RHOM", "MONO", "TRIC"};
    LoadedGroupSelection out;
    model.lattice_letter = first_char(model.space_group);
    if (trim(model.system_code) == "RHOM") model.lattice_letter = "P";
    const std::string code = to_upper(trim(model.system_code));
    for (std::size_t k = 0; k < systems.size(); ++k) {
        if (code == systems[k]) out.system_row = static_cast<int>(k);
    }
    // Compared in upper case on both sides: the model keeps the symbol as
    // the catalogues spell it ("P21/c"), so that it can be looked up again.
    const std::string symbol = to_upper(trim(model.space_group));
    if (symbol.empty()) return out;
    for (std::size_t k = 0; k < standard_items.size(); ++k) {
        if (to_upper(trim(standard_items[k])) == symbol) {
            out.standard_row = static_cast<int>(k);
            return out;
        }
    }
    for (std::size_t k = 0; k < miraldo_items.size(); ++k) {
        const std::string& item = miraldo_items[k];
        if (to_upper(trim(item.substr(0, item.find(' ')))) == symbol) {
            out.miraldo_row = static_cast<int>(k);
            return out;
        }
    }
    return out;
}

} // namespace kestro

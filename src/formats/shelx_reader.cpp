#include <algorithm>
#include <array>
#include <optional>
#include <cmath>
#include <vector>

#include "crystal/oemath.h"
#include "crystal/operators.h"
#include "crystal/sorts.h"
#include "formats/reader_support.h"
#include "formats/shelx.h"
#include "model/labels.h"
#include "model/file_io.h"
#include "model/numbers.h"
#include "model/text.h"
#include "model/thermal.h"

namespace kestro {

namespace {

// One line of the file and the number of the physical line it starts on.
struct SourceLine {
    std::string text;
    int number = 0;
    bool continued = false; // an instruction line that ended in "=" took the next line(s)
};

struct ShelxSource {
    std::string file; // name without directory, for the messages
    std::vector<SourceLine> lines;
};

ShelxSource read_source(std::string_view text, std::string_view file)
{
    ShelxSource source;
    source.file = base_name(file);
    int number = 0;
    for (std::string& line : split_lines(text)) source.lines.push_back({std::move(line), ++number, false});
    return source;
}

std::string where(const ShelxSource& source, int line)
{
    return " (file " + source.file + ", line " + std::to_string(line) + ")";
}

// Keyword: characters from `from` on, four of them, trimmed and upper case;
// rest: everything after them.
std::string keyword_at(std::string_view line, std::size_t from)
{
    if (line.size() <= from) return {};
    return to_upper(trim(line.substr(from, 4)));
}

std::string rest_at(std::string_view line, std::size_t from)
{
    return line.size() > from + 4 ? std::string(line.substr(from + 4)) : std::string();
}

// Every SHELXL instruction that may stand among the atoms: none of them is
// an atom line. The special-position constraint instruction is spelt as two
// joined literals.
constexpr std::array<std::string_view, 82> ShelxInstructions{
    "TITL", "CELL", "ZERR", "LATT", "SYMM", "SFAC", "DISP", "UNIT", "LAUE", "REM", "MORE", "TIME",
    "END", "HKLF", "OMIT", "SHEL", "BASF", "TWIN", "EXTI", "SWAT", "HOPE", "MERG", "SP" "EC", "RESI",
    "MOVE", "ANIS", "AFIX", "HFIX", "FRAG", "FEND", "EXYZ", "EADP", "EQIV", "CONN", "PART", "BIND",
    "FREE", "DFIX", "DANG", "BUMP", "SAME", "SADI", "CHIV", "FLAT", "DELU", "SIMU", "DEFS", "ISOR",
    "NCSY", "SUMP", "L.S.", "CGLS", "BLOC", "DAMP", "STIR", "WGHT", "FVAR", "BOND", "CONF", "MPLA",
    "RTAB", "HTAB", "LIST", "ACTA", "SIZE", "TEMP", "WPDB", "FMAP", "GRID", "PLAN", "MOLE", "ABIN",
    "ANSC", "ANSR", "NEUT", "TWST", "RIGU", "XNPD", "PRIG", "WIGL", "BEDE", "LONE"};

bool is_instruction_name(std::string_view name)
{
    return std::find(ShelxInstructions.begin(), ShelxInstructions.end(), name) != ShelxInstructions.end();
}

// The name of the instruction a line starts with, its suffix dropped
// ("SADI_C", "BIND_$1" give "SADI", "BIND"); empty for a line that starts
// with a blank.
std::string instruction_name(std::string_view line)
{
    if (line.empty() || line.front() == ' ' || line.front() == '\t') return {};
    const std::size_t end = std::min(line.find_first_of(" \t"), line.find('_'));
    return to_upper(line.substr(0, std::min(end, line.size())));
}

bool is_instruction(std::string_view line)
{
    const std::string name = instruction_name(line);
    // An atom label has at most four characters: a longer word is an instruction.
    return is_instruction_name(name) || (name.size() > 4 && is_instruction_name(name.substr(0, 4)));
}

// SHELX continues an instruction on the next line when it ends in "=": the
// "=" is dropped and the next line appended, as often as lines end so.
// Remarks and titles are never continued ("REM =====" is a ruler).
std::vector<SourceLine> join_continuations(std::vector<SourceLine> lines)
{
    std::vector<SourceLine> joined;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        SourceLine line = std::move(lines[i]);
        std::string& text = line.text;
        trim_right_in_place(text); // in place: a long chain joins in linear time
        const std::string name = instruction_name(text);
        const bool may_continue = name != "REM" && name != "TITL";
        while (may_continue && !text.empty() && text.back() == '=' && i + 1 < lines.size()) {
            text.back() = ' ';
            text += lines[++i].text;
            trim_right_in_place(text);
            line.continued = true;
        }
        if (may_continue && !text.empty() && text.back() == '=') text.pop_back(); // on the last line
        joined.push_back(std::move(line));
    }
    return joined;
}

// ---- operators ---------------------------------------------------------

struct SymmForm {
    std::string_view text;
    std::array<double, 3> coefficients;
};

// Searched in this order: the two-letter forms first, so that 'X-Y' is not
// taken for 'X' followed by a translation.
constexpr std::array<SymmForm, 13> SymmForms{{
    {"X-Y", {1, -1, 0}}, {"Y-X", {-1, 1, 0}}, {"-Y+X", {1, -1, 0}}, {"-X+Y", {-1, 1, 0}},
    {"-X", {-1, 0, 0}},  {"-Y", {0, -1, 0}},  {"-Z", {0, 0, -1}},   {"+X", {1, 0, 0}},
    {"+Y", {0, 1, 0}},   {"+Z", {0, 0, 1}},   {"X", {1, 0, 0}},     {"Y", {0, 1, 0}},
    {"Z", {0, 0, 1}},
}};

// What is left of a component once its coordinate form is cut out: a
// decimal number, a fraction ('1/2', '-3/4') or nothing. A '+' left over
// from '1/2+X-Y' belonged to the form.
std::optional<double> symm_translation(std::string text)
{
    if (!text.empty() && text.back() == '+') text.pop_back();
    if (text.empty()) return 0.0;
    return parse_fraction(text);
}

std::optional<std::array<double, 4>> parse_symm_component(std::string_view component)
{
    std::string text = to_upper(trim(component));
    if (const std::size_t at = text.find(" ."); at != std::string::npos) text[at] = '0';
    if (const std::size_t at = text.find(". "); at != std::string::npos) text[at + 1] = '0';
    text.erase(std::remove_if(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\t'; }),
               text.end());
    for (const SymmForm& form : SymmForms) {
        const std::size_t at = text.find(form.text);
        if (at == std::string::npos) continue;
        text.erase(at, form.text.size());
        const auto translation = symm_translation(text);
        if (!translation) return std::nullopt;
        return std::array<double, 4>{form.coefficients[0], form.coefficients[1], form.coefficients[2],
                                     *translation};
    }
    return std::nullopt; // no coordinate at all: not a row of an operator
}

// ---- what both readers share --------------------------------------------

void start_operator_list(StructureModel& model)
{
    model.operators.clear();
    model.operators.push(SymmetryOperator::identity());
    model.operator_texts[1] = " X, Y, Z";
    model.selected[1] = 0;
}

// LATT n: the sign gives the centre of symmetry, |n| the lattice letter.
void set_lattice(StructureModel& model, std::string_view rest)
{
    const std::string text = trim(rest);
    const auto n_read = parse_integer(text.substr(0, text.find_first_of(" \t!")));
    long long n = n_read.value_or(0);
    model.centro_flag = 1;
    if (n < 0) {
        model.centro_flag = -1;
        n = -n;
    }
    static constexpr std::array<const char*, 7> letters{"P", "I", "R", "F", "A", "B", "C"};
    model.lattice_letter = n >= 1 && n <= 7 ? letters[static_cast<std::size_t>(n - 1)] : "P";
}

// The three rows as the grid shows them, joined by "," (' X,-Y+1/2, Z').
// The rows take their reduced translations.
std::string row_texts(SymmetryOperator& op)
{
    std::string text;
    for (std::size_t r = 0; r < 3; ++r) text += (r > 0 ? "," : "") + format_operator_row(op.rows[r]);
    return text;
}

// Appends the operator of one SYMM line; the identity and repeats are skipped.
bool add_symm_line(StructureModel& model, std::string_view rest, const ShelxSource& source, int line,
                   Messages& messages)
{
    std::string text = to_upper(trim(rest));
    text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
    if (text == "X,Y,Z") return true;
    auto op = parse_symm_operator(text);
    if (!op) {
        messages.show("not decoded:SYMM " + text + where(source, line));
        return false;
    }
    const std::string texts = row_texts(*op);
    for (const SymmetryOperator& known : model.operators)
        if (same_operator(known, *op)) return true;
    if (!model.operators.push(*op)) {
        messages.show("Too many symmetry operators" + where(source, line));
        return false;
    }
    const int k = model.operators.count();
    model.operator_texts[k] = texts;
    model.selected[k] = 0;
    return true;
}

bool set_cell(StructureModel& model, std::string_view rest, const ShelxSource& source, int line,
              Messages& messages)
{
    const NumberList numbers = decode_number_list(rest);
    if (numbers.count < 7 || numbers.error_position != 0) {
        messages.show("The cell parameters cannot be read: CELL" + std::string(rest) + where(source, line));
        return false;
    }
    model.wavelength = numbers[1];
    return store_cell(model, numbers, 2, messages);
}

bool no_cell(const ShelxSource& source, Messages& messages)
{
    messages.show("No cell parameters in the file " + source.file);
    return false;
}

// A SYMM line that a positive LATT already implies (the inversion of an
// operator listed before it, as 'SYMM -x,-y,-z' in a ShelXle export with no
// LATT line) is dropped, so that completion adds no copy of it.
void drop_implied_inversions(StructureModel& model)
{
    if (model.centro_flag <= 0) return;
    const Table<SymmetryOperator, MaxOperators> listed = model.operators;
    const Slots<FixedText<24>, MaxOperators> texts = model.operator_texts;
    model.operators.clear();
    for (int k = 1; k <= listed.count(); ++k) {
        SymmetryOperator inverted = listed[k];
        for (auto& row : inverted.rows)
            for (double& value : row) value = 0.0 - value;
        bool implied = false;
        for (const SymmetryOperator& kept : model.operators) implied = implied || same_operator(kept, inverted);
        if (implied) continue;
        model.operators.push(listed[k]);
        model.operator_texts[model.operators.count()] = texts[k];
    }
}

// Inversion and centring, operator 1 selected, element and bond sorts.
bool finish_load(StructureModel& model, const ShelxSource& source, Messages& messages)
{
    drop_implied_inversions(model);
    model.listed_operator_count = model.operators.count();
    if (!complete_operator_list(model, messages)) return false;
    // The operators completion added get their texts as the SYMM ones do.
    for (int k = model.listed_operator_count + 1; k <= model.operators.count(); ++k) {
        SymmetryOperator copy = model.operators[k];
        model.operator_texts[k] = row_texts(copy);
        model.selected[k] = 0;
    }
    return finish_foreign_load(model, source.file, messages);
}

bool add_atom(StructureModel& model, const AtomRecord& atom, Messages& messages)
{
    if (model.asym.push(atom)) return true;
    messages.limit_reached(too_many_atoms_text());
    return false;
}

// ---- instruction files ---------------------------------------------------

constexpr int MaxFreeVariables = 50;

// The values of the FVAR lines; count of them given.
struct FreeVariables {
    std::array<double, MaxFreeVariables> values{};
    std::size_t count = 0;
};

// 10m + p refers to free variable m: p * fv(m), or p * (fv(-m) - 1) for a
// negative m. m = +-1 means the value p is fixed; fv(1) is the overall scale
// factor, never a multiplier of a parameter. Nothing when FVAR does not
// give variable m (SHELXL refuses such a file too).
std::optional<double> free_variable_value(double m, double p, const FreeVariables& fv)
{
    if (std::abs(m) == 1.0) return p;
    if (!(std::abs(m) <= static_cast<double>(fv.count))) return std::nullopt; // also a huge m
    const double value = fv.values[static_cast<std::size_t>(std::abs(m)) - 1];
    return m > 0 ? p * value : p * (value - 1.0);
}

// False when a value refers to a free variable that FVAR does not give.
bool apply_free_variables(std::array<double, 11>& a, int k, const FreeVariables& fv)
{
    const auto decode = [&](double& v, double m) {
        const std::optional<double> value = free_variable_value(m, v - 10 * m, fv);
        if (value) v = *value;
        return value.has_value();
    };
    for (int i = 1; i <= k; ++i) {
        double& v = a[static_cast<std::size_t>(i)];
        if (std::abs(v) > 20 && !decode(v, std::trunc(v * 0.1))) return false;
    }
    for (int i = 1; i <= 3; ++i) {
        double& v = a[static_cast<std::size_t>(i)];
        if (v >= 5) v -= 10;
    }
    for (int i = 1; i <= k; ++i) {
        double& v = a[static_cast<std::size_t>(i)];
        if (std::abs(v) > 10 && !decode(v, std::trunc(std::round(v) / 10))) return false;
    }
    a[5] = std::abs(a[5]);
    return true;
}

// The label of an atom line and the text after it. SHELX separates the
// label by blanks ('C1 1 0.1 ...'); a label of one letter, a blank and
// more ('C 1' as older KESTRO files write it) keeps its four columns.
std::pair<std::string, std::string> label_and_rest(std::string_view line)
{
    std::size_t end = std::min(line.find_first_of(" \t"), line.size());
    if (end == 1) end = std::min<std::size_t>(4, line.size());
    return {trim(line.substr(0, end)), std::string(line.substr(end))};
}

// A line that starts the atoms of a file without FVAR: not an instruction,
// and its rest gives at least the scattering factor and x, y, z.
bool is_atom_line(const SourceLine& line)
{
    if (instruction_name(line.text).empty() || is_instruction(line.text)) return false;
    const NumberList numbers = decode_number_list(label_and_rest(line.text).second);
    return numbers.count >= 4 && numbers.error_position == 0;
}

// Where the atoms start: after the (first run of) FVAR lines, whose values
// fill fv; without FVAR at the first atom line. lines.size() when none.
std::size_t atom_section_start(const std::vector<SourceLine>& lines, FreeVariables& fv)
{
    std::size_t i = 0;
    while (i < lines.size() && keyword_at(lines[i].text, 0) != "FVAR") ++i;
    if (i == lines.size()) {
        for (i = 0; i < lines.size() && !is_atom_line(lines[i]); ++i) {
            const std::string name = instruction_name(lines[i].text);
            if (name == "END" || name == "HKLF") return lines.size();
        }
        return i;
    }
    // Token by token: a continued FVAR line may hold more than a number list keeps.
    std::size_t& filled = fv.count;
    for (; i < lines.size() && keyword_at(lines[i].text, 0) == "FVAR"; ++i) {
        const std::string values = replace_all(rest_at(lines[i].text, 0), "\t", " ");
        for (std::size_t at = values.find_first_not_of(' '); at != std::string::npos && filled < fv.values.size();
             at = values.find_first_not_of(' ', at)) {
            const std::size_t end = std::min(values.find(' ', at), values.size());
            fv.values[filled++] = parse_real(std::string_view(values).substr(at, end - at)).value_or(0.0);
            at = end;
        }
    }
    return i;
}

// SHELXL's default Uiso, for a riding atom with no atom before it.
constexpr double DefaultUiso = 0.05;

// The element of each scattering-factor number, from the SFAC lines: names
// ('SFAC C H N O'), or one element with its coefficients ('SFAC Fe 11.7 ...').
std::vector<std::string> scattering_elements(const std::vector<SourceLine>& lines, std::size_t end)
{
    std::vector<std::string> elements;
    for (std::size_t i = 0; i < end; ++i) {
        if (keyword_at(lines[i].text, 0) != "SFAC") continue;
        std::vector<std::string> words = split_words(rest_at(lines[i].text, 0));
        if (words.size() >= 2 && parse_real(words[1])) words.resize(1);
        for (const std::string& word : words) elements.push_back(type_element(word));
    }
    return elements;
}

bool read_instruction_atoms(StructureModel& model, const ShelxSource& source, Messages& messages)
{
    model.asym.clear();
    FreeVariables fv;
    const std::vector<SourceLine>& lines = source.lines;
    double reference_u = 0; // Ueq of the last atom whose U was not negative
    const std::size_t start = atom_section_start(lines, fv);
    const std::vector<std::string> elements = scattering_elements(lines, start);
    LabelReader labels;
    int part = 0; // of PART n, until the next PART
    for (std::size_t i = start; i < lines.size(); ++i) {
        const SourceLine& line = lines[i];
        const std::string name = instruction_name(line.text);
        if (name == "END" || name == "HKLF") break;
        if (name == "PART") {
            const std::vector<std::string> words = split_words(rest_at(line.text, 0));
            const auto n = words.empty() ? std::nullopt : parse_integer(words[0]);
            part = n && std::abs(*n) < 10000 ? static_cast<int>(*n) : 0;
            continue;
        }
        // Empty lines and stray lines starting with a blank carry no atom.
        if (name.empty() || is_instruction(line.text)) continue;

        const auto [label, rest] = label_and_rest(line.text);
        const NumberList numbers = decode_number_list(rest);
        // A typo anywhere in the line ('0.2x', 'nan') would otherwise be read as 0.
        if (numbers.first_bad != 0) {
            messages.show("not decoded:" + label + rest + where(source, line.number));
            return false;
        }
        // Values 1..10 after the scattering-factor number; six U's only when
        // the line was continued or holds them all.
        const int k = line.continued || numbers.count >= 11 ? 10 : 5;
        std::array<double, 11> a{};
        for (int v = 1; v <= k; ++v) a[static_cast<std::size_t>(v)] = numbers[v + 1];
        const double written_u = a[5];
        if (!apply_free_variables(a, k, fv)) {
            messages.show("A free variable that FVAR does not give:" + label + rest + where(source, line.number));
            return false;
        }

        AtomRecord atom;
        atom.label = labels(label);
        // A SHELX file is one disorder assembly; the occupancy is the sof.
        const double sfac = numbers[1];
        if (sfac >= 1 && sfac <= static_cast<double>(elements.size()) && sfac == std::floor(sfac))
            atom.element = elements[static_cast<std::size_t>(sfac) - 1];
        atom.part = part;
        atom.occupancy = a[4];
        atom.xyz = {a[1], a[2], a[3]};
        atom.thermal = swap_shelx_order({a[5], a[6], a[7], a[8], a[9], a[10]});
        atom.isotropic = a[6] == 0.0 ? 1 : 0;
        if (k == 5 && written_u < 0 && written_u > -10) {
            // Riding atom: -1.2 is 1.2 times the Ueq of the atom it rides on.
            atom.thermal[0] = reference_u > 0 ? a[5] * reference_u : DefaultUiso;
        } else {
            reference_u = atom.isotropic ? atom.thermal[0] : equivalent_u(model.cell, atom.thermal);
        }
        if (!add_atom(model, atom, messages)) break;
    }
    labels.report(model, messages);
    return true;
}

// ---- listings ------------------------------------------------------------

// "ATOM" and then x, y and z separated by blanks, whatever their number
// (SHELXTL 2008 writes nine, SHELXL 2013-2019 eight).
bool is_xyz_header(std::string_view line)
{
    const std::size_t atom = line.find("ATOM");
    if (atom == std::string_view::npos) return false;
    std::size_t at = atom + 4;
    for (char letter : {'x', 'y', 'z'}) {
        const std::size_t next = line.find_first_not_of(' ', at);
        if (next == at || next == std::string_view::npos || line[next] != letter) return false;
        at = next + 1;
    }
    return true;
}

bool is_xa_header(std::string_view line) { return contains(line, "ATOM") && contains(line, "X/A"); }

} // namespace

std::optional<SymmetryOperator> parse_symm_operator(std::string_view text)
{
    const std::size_t first = text.find(',');
    if (first == std::string_view::npos) return std::nullopt;
    const std::size_t second = text.find(',', first + 1);
    if (second == std::string_view::npos) return std::nullopt;
    const std::array<std::string_view, 3> components{text.substr(0, first),
                                                     text.substr(first + 1, second - first - 1),
                                                     text.substr(second + 1)};
    SymmetryOperator op;
    for (std::size_t r = 0; r < 3; ++r) {
        const auto row = parse_symm_component(components[r]);
        if (!row) return std::nullopt;
        op.rows[r] = *row;
    }
    return op;
}

namespace {

// TITL, LATT, SYMM and CELL of a file whose keywords start at `column` (1 in
// a listing, which echoes the instructions one column to the right). An
// instruction file ends its instructions at END or HKLF. False, with a
// message, for a bad SYMM or CELL line and for a file without CELL.
bool read_header(StructureModel& model, const ShelxSource& source, std::size_t column, bool title_seen,
                 Messages& messages)
{
    bool lattice_seen = false, cell_seen = false;
    std::optional<std::array<double, 6>> cell_su; // ZERR Z and the s.u. of a, b, c, alpha, beta, gamma
    model.centro_flag = 1;
    model.lattice_letter = "P";
    for (const SourceLine& line : source.lines) {
        if (column == 0) {
            const std::string name = instruction_name(line.text);
            if (name == "END" || name == "HKLF") break;
        }
        const std::string keyword = keyword_at(line.text, column);
        const std::string rest = rest_at(line.text, column);
        if (keyword == "TITL" && !title_seen) {
            model.title = trim(rest);
            title_seen = true;
        } else if (keyword == "LATT" && !lattice_seen) {
            set_lattice(model, rest);
            lattice_seen = true;
        } else if (keyword == "SYMM") {
            if (!add_symm_line(model, rest, source, line.number, messages)) return false;
        } else if (keyword == "CELL" && !cell_seen) {
            if (!set_cell(model, rest, source, line.number, messages)) return false;
            cell_seen = true;
        } else if (keyword == "ZERR" && !cell_su) {
            const NumberList numbers = decode_number_list(rest);
            if (numbers.first_bad == 0 && numbers.count >= 7)
                cell_su = std::array<double, 6>{numbers[2], numbers[3], numbers[4], numbers[5], numbers[6], numbers[7]};
        }
    }
    if (cell_seen && cell_su) model.cell.su = *cell_su;
    return cell_seen || no_cell(source, messages);
}

} // namespace

bool read_shelx_instructions(std::string_view text, std::string_view file, StructureModel& model,
                             Messages& messages)
{
    ShelxSource source = read_source(text, file);
    source.lines = join_continuations(std::move(source.lines));
    start_operator_list(model);

    if (!read_header(model, source, 0, false, messages)) return false;
    if (!read_instruction_atoms(model, source, messages)) return false;
    return finish_load(model, source, messages);
}

bool read_shelx_listing(std::string_view text, std::string_view file, StructureModel& model, Messages& messages)
{
    const ShelxSource source = read_source(text, file);
    const std::vector<SourceLine>& lines = source.lines;

    // The table of atoms is headed "ATOM x y z" (an empty line after each
    // atom) or "ATOM X/A Y/B Z/C".
    enum class ListingStyle { Unknown, Xyz, XaYbZc };
    ListingStyle style = ListingStyle::Unknown;
    for (const SourceLine& line : lines) {
        if (is_xyz_header(line.text)) style = ListingStyle::Xyz;
        else if (is_xa_header(line.text)) style = ListingStyle::XaYbZc;
        if (style != ListingStyle::Unknown) break;
    }
    if (style == ListingStyle::Unknown) {
        messages.show("The file " + source.file + " Seems not to be a Shelx file");
        return false;
    }

    start_operator_list(model);
    bool title_seen = false;
    if (!lines.empty() && keyword_at(lines[0].text, 0) == "TITL") {
        model.title = trim(rest_at(lines[0].text, 0));
        title_seen = true;
    }
    // The instructions are echoed one column to the right.
    if (!read_header(model, source, 1, title_seen, messages)) return false;

    // The last table of refined atoms holds the final values.
    std::size_t header = lines.size();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view text = lines[i].text;
        if (style == ListingStyle::Xyz ? is_xyz_header(text) : contains(text, "ATOM      X/A")) header = i;
    }
    if (header == lines.size()) {
        messages.show("No detected atoms in the file " + source.file);
        return false;
    }
    model.asym.clear();
    // Each atom: its line, then the s.u. line, then (x y z style) an empty line.
    const std::size_t step = style == ListingStyle::Xyz ? 3 : 2;
    for (std::size_t i = header + 2; i < lines.size(); i += step) {
        const std::string& text = lines[i].text;
        if (trim(text).empty()) break;
        const NumberList numbers = decode_number_list(rest_at(text, 1));
        // The first line that is not an atom ("Largest correlation ...") ends
        // the table; an atom line with a word among its numbers is refused.
        if (numbers.first_bad == 1 || numbers.count < 4) break;
        if (numbers.first_bad != 0) {
            messages.show("not decoded:" + text + where(source, lines[i].number));
            return false;
        }
        AtomRecord atom;
        atom.label = stored_label(keyword_at(text, 1));
        atom.xyz = {numbers[1], numbers[2], numbers[3]};
        atom.thermal = swap_shelx_order({numbers[5], numbers[6], numbers[7], numbers[8], numbers[9], numbers[10]});
        // The s.u. line below: a positional s.u. under the label, then those
        // of x, y and z.
        if (i + 1 < lines.size()) {
            const NumberList su = decode_number_list(lines[i + 1].text);
            if (su.first_bad == 0 && su.count >= 4) atom.xyz_su = {su[2], su[3], su[4]};
        }
        if (!add_atom(model, atom, messages)) break;
    }
    if (model.asym.empty()) {
        messages.show("No detected atoms in the file " + source.file);
        return false;
    }
    return finish_load(model, source, messages);
}

} // namespace kestro

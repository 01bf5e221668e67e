#include "crystal/operators.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>
#include <span>
#include <utility>

#include "model/fields.h"
#include "model/numbers.h"
#include "model/text.h"

namespace kestro {

namespace {

struct CoordinateForm {
    std::string_view text;
    std::array<double, 3> coefficients;
};

// The eight coordinate forms in the order the catalogue reader tries them.
constexpr std::array<CoordinateForm, 8> coordinate_forms{{
    {"X", {1, 0, 0}},
    {"Y", {0, 1, 0}},
    {"Z", {0, 0, 1}},
    {"-X", {-1, 0, 0}},
    {"-Y", {0, -1, 0}},
    {"-Z", {0, 0, -1}},
    {"X-Y", {1, -1, 0}},
    {"Y-X", {-1, 1, 0}},
}};

// The grid reader looks for the longest forms first, so that "Y-X" is not
// taken for "-X" and "-X" not for "X".
constexpr std::array<int, 8> grid_search_order{7, 6, 5, 4, 3, 2, 1, 0};

// Coefficient texts of the formatter (width-2 fields, trimmed) and the
// component each one gives.
constexpr std::array<std::pair<std::string_view, std::string_view>, 8> coefficient_texts{{
    {"1 0 0", " X"},
    {"0 1 0", " Y"},
    {"0 0 1", " Z"},
    {"-1 0 0", "-X"},
    {"0-1 0", "-Y"},
    {"0 0-1", "-Z"},
    {"1-1 0", " X-Y"},
    {"-1 1 0", " Y-X"},
}};

struct TranslationText {
    double value;
    std::string_view text;
};

// Translations of the catalogue components, searched in this order.
constexpr std::array<TranslationText, 15> catalogue_translations{{
    {0.0, "    "},
    {0.5, "+1/2"},
    {0.3333333, "+1/3"},
    {0.6666667, "+2/3"},
    {0.25, "+1/4"},
    {0.75, "+3/4"},
    {0.166667, "+1/6"},
    {0.83333, "+5/6"},
    {-0.5, "-1/2"},
    {-0.3333333, "-1/3"},
    {-0.6666667, "-2/3"},
    {-0.25, "-1/4"},
    {-0.75, "-3/4"},
    {-0.166667, "-1/6"},
    {-0.83333, "-5/6"},
}};

// The formatter writes the first eight (0 and the positive fractions) as
// text; the first within 0.001 wins.
constexpr std::span<const TranslationText, 8> formatted_translations{catalogue_translations.data(), 8};

constexpr double format_tolerance = 0.001;

std::optional<double> parse_translation(std::string_view text) { return parse_fraction(text); }

} // namespace

bool read_grid_component(std::string_view cell, std::array<double, 4>& row)
{
    std::string text = to_upper(trim(cell));
    const CoordinateForm* found = nullptr;
    for (const int index : grid_search_order) {
        const CoordinateForm& form = coordinate_forms[static_cast<std::size_t>(index)];
        const std::size_t at = text.find(form.text);
        if (at == std::string::npos) continue;
        text.erase(at, form.text.size());
        text = trim(text);
        found = &form;
        break;
    }
    // Without a form the row would keep stale coefficients: refuse it.
    if (found == nullptr) return false;
    row[0] = found->coefficients[0];
    row[1] = found->coefficients[1];
    row[2] = found->coefficients[2];

    text = trim(replace_all(text, "+", " "));
    if (text.empty()) {
        row[3] = 0;
        return true;
    }
    const std::optional<double> translation = parse_translation(text);
    if (!translation) return false;
    row[3] = *translation;
    return true;
}

namespace {

// A translation outside the listed fractions, written so that the grid
// reader gets it back: "+0.125", "-1.25".
std::string decimal_translation(double t)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.6g", std::fabs(t));
    return std::string(t < 0 ? "-" : "+") + buffer;
}

} // namespace

std::string format_operator_row(std::array<double, 4>& row)
{
    std::string coefficients = fmt_real(row[0], 2, 0) + fmt_real(row[1], 2, 0) + fmt_real(row[2], 2, 0);
    coefficients = trim(replace_all(trim(coefficients), "-0", " 0"));

    std::string text;
    for (const auto& [pattern, component] : coefficient_texts) {
        if (coefficients == pattern) {
            text = component;
            break;
        }
    }

    double t = row[3];
    if (t == 0.0 || !std::isfinite(t)) return text;
    if (t < 0) t += 1;
    if (t > 1) t -= 1;
    row[3] = t;
    for (const TranslationText& candidate : formatted_translations) {
        if (std::fabs(t - candidate.value) < format_tolerance) return text + std::string(candidate.text);
    }
    // A whole number is no translation; anything else must survive the
    // next reading of the grid, so it is written out rather than dropped.
    if (std::fabs(t - std::round(t)) < format_tolerance) return text;
    return text + decimal_translation(t);
}

std::string operator_text(SymmetryOperator& op)
{
    std::string text;
    for (std::size_t k = 0; k < op.rows.size(); ++k) {
        if (k > 0) text += ',';
        text += trim(to_upper(format_operator_row(op.rows[k])));
    }
    return text;
}

void rebuild_operator_texts(StructureModel& model)
{
    for (int i = 1; i <= model.operators.count(); ++i) {
        model.operator_texts[i] = operator_text(model.operators[i]);
        model.selected[i] = 0;
    }
}

bool same_operator(const SymmetryOperator& a, const SymmetryOperator& b, double tolerance)
{
    for (std::size_t k = 0; k < a.rows.size(); ++k) {
        for (std::size_t j = 0; j < 3; ++j) {
            if (a.rows[k][j] != b.rows[k][j]) return false;
        }
        double difference = a.rows[k][3] - b.rows[k][3];
        difference -= std::round(difference);
        if (!(std::fabs(difference) <= tolerance)) return false;
    }
    return true;
}

bool read_catalogue_component(std::string_view text, std::array<double, 4>& row)
{
    std::string component = trim(text);
    double translation = 0;
    for (const TranslationText& candidate : catalogue_translations) {
        const std::size_t at = component.find(candidate.text);
        if (at == std::string::npos) continue;
        translation = candidate.value;
        if (translation != 0.0) component.erase(at, candidate.text.size());
        break;
    }
    for (const CoordinateForm& form : coordinate_forms) {
        if (component != form.text) continue;
        row = {form.coefficients[0], form.coefficients[1], form.coefficients[2], translation};
        return true;
    }
    return false;
}

bool add_inversion(StructureModel& model)
{
    const int n = model.operators.count();
    if (2 * n > MaxOperators) return false;
    for (int i = 1; i <= n; ++i) {
        SymmetryOperator inverted = model.operators[i];
        // 0.0 - v rather than -v: a zero stays +0 and never prints as "-0".
        for (auto& row : inverted.rows) {
            for (double& value : row) value = 0.0 - value;
        }
        model.operators.push(inverted);
    }
    return true;
}

bool add_centring(StructureModel& model)
{
    struct Centring {
        std::string_view letter;
        int count;
        std::array<std::array<double, 3>, 3> vectors;
    };
    static constexpr std::array<Centring, 6> centrings{{
        {"R", 2, {{{0.3333333333, 0.6666666666, 0.6666666666}, {0.6666666666, 0.3333333333, 0.3333333333}}}},
        {"F", 3, {{{0, 0.5, 0.5}, {0.5, 0, 0.5}, {0.5, 0.5, 0}}}},
        {"I", 1, {{{0.5, 0.5, 0.5}}}},
        {"A", 1, {{{0, 0.5, 0.5}}}},
        {"B", 1, {{{0.5, 0, 0.5}}}},
        {"C", 1, {{{0.5, 0.5, 0}}}},
    }};
    const std::string letter = to_upper(trim(model.lattice_letter));
    const Centring* chosen = nullptr;
    for (const Centring& centring : centrings) {
        if (letter == centring.letter) chosen = &centring;
    }
    // R centring vectors are those of the hexagonal (obverse) axes only.
    if (chosen != nullptr && letter == "R" && to_upper(trim(model.system_code)) != "HEXA") chosen = nullptr;

    const int n = model.operators.count();
    const int k = chosen == nullptr ? 0 : chosen->count;
    if (n * (1 + k) > MaxOperators) return false;
    model.centring_count = k;
    for (int v = 0; v < k; ++v) {
        const auto& vector = chosen->vectors[static_cast<std::size_t>(v)];
        for (int i = 1; i <= n; ++i) {
            SymmetryOperator shifted = model.operators[i];
            for (std::size_t r = 0; r < 3; ++r) {
                double& t = shifted.rows[r][3];
                t += vector[r];
                if (t > 1) t -= 1; // exactly 1 stays 1
            }
            model.operators.push(shifted);
        }
    }
    return true;
}

} // namespace kestro

#include <cctype>

namespace kestro {

namespace {

// A decimal or a fraction of two decimals ("0.5", "1/2"), starting at `at`;
// `at` moves past it. Nothing for a zero denominator or no digits.
std::optional<double> read_xyz_number(std::string_view text, std::size_t& at)
{
    const auto digits = [&] {
        while (at < text.size() && (std::isdigit(static_cast<unsigned char>(text[at])) || text[at] == '.')) ++at;
    };
    const std::size_t start = at;
    digits();
    if (at < text.size() && text[at] == '/') {
        ++at;
        digits();
    }
    return parse_fraction(text.substr(start, at - start));
}

bool read_xyz_component(std::string_view text, std::array<double, 4>& row)
{
    row = {0, 0, 0, 0};
    std::size_t at = 0;
    bool any_term = false;
    while (at < text.size()) {
        double sign = 1;
        bool signed_term = false;
        while (at < text.size() && (text[at] == '+' || text[at] == '-')) {
            if (text[at] == '-') sign = -sign;
            signed_term = true;
            ++at;
        }
        // Terms after the first need their sign: "x y" is not a component.
        if ((any_term && !signed_term) || at >= text.size()) return false;
        double factor = 1;
        bool has_number = false;
        if (std::isdigit(static_cast<unsigned char>(text[at])) || text[at] == '.') {
            const std::optional<double> number = read_xyz_number(text, at);
            if (!number) return false;
            factor = *number;
            has_number = true;
        }
        if (at < text.size() && text[at] == '*' && has_number) ++at;
        const char letter =
            at < text.size() ? static_cast<char>(std::tolower(static_cast<unsigned char>(text[at]))) : '\0';
        if (letter == 'x' || letter == 'y' || letter == 'z') {
            row[static_cast<std::size_t>(letter - 'x')] += sign * factor;
            ++at;
        } else if (has_number) {
            row[3] += sign * factor;
        } else {
            return false;
        }
        any_term = true;
    }
    return any_term;
}

} // namespace

std::optional<SymmetryOperator> parse_operator_xyz(std::string_view text, bool* singular)
{
    if (singular != nullptr) *singular = false;
    std::string compact;
    for (const char c : text)
        if (c != ' ' && c != '\t' && c != '\'' && c != '"') compact += c;
    SymmetryOperator op;
    std::size_t start = 0;
    for (std::size_t k = 0; k < 3; ++k) {
        const std::size_t comma = compact.find(',', start);
        if ((k < 2) != (comma != std::string::npos)) return std::nullopt;
        const std::size_t end = k < 2 ? comma : compact.size();
        if (!read_xyz_component(std::string_view(compact).substr(start, end - start), op.rows[k])) return std::nullopt;
        start = end + 1;
    }
    const auto& m = op.rows;
    const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                       m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                       m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    if (std::abs(det) < 1e-6) {
        if (singular != nullptr) *singular = true;
        return std::nullopt;
    }
    return op;
}

} // namespace kestro

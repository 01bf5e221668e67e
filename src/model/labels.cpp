#include "model/labels.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "model/text.h"

namespace kestro {

std::string symbol_key(std::string_view symbol) { return to_upper(trim(symbol)); }

std::string space_label(std::string_view label)
{
    std::string out(label);
    if (out.size() >= 2 && out.size() < ShortLabelWidth && std::isdigit(static_cast<unsigned char>(out[1])))
        out.insert(1, 1, ' ');
    return out;
}

namespace {

// Every element, H to Og, and D for deuterium.
constexpr std::array<std::string_view, 119> ElementSymbols{
    "H",  "HE", "LI", "BE", "B",  "C",  "N",  "O",  "F",  "NE", "NA", "MG", "AL", "SI", "P",  "S",  "CL",
    "AR", "K",  "CA", "SC", "TI", "V",  "CR", "MN", "FE", "CO", "NI", "CU", "ZN", "GA", "GE", "AS", "SE",
    "BR", "KR", "RB", "SR", "Y",  "ZR", "NB", "MO", "TC", "RU", "RH", "PD", "AG", "CD", "IN", "SN", "SB",
    "TE", "I",  "XE", "CS", "BA", "LA", "CE", "PR", "ND", "PM", "SM", "EU", "GD", "TB", "DY", "HO", "ER",
    "TM", "YB", "LU", "HF", "TA", "W",  "RE", "OS", "IR", "PT", "AU", "HG", "TL", "PB", "BI", "PO", "AT",
    "RN", "FR", "RA", "AC", "TH", "PA", "U",  "NP", "PU", "AM", "CM", "BK", "CF", "ES", "FM", "MD", "NO",
    "LR", "RF", "DB", "SG", "BH", "HS", "MT", "DS", "RG", "CN", "NH", "FL", "MC", "LV", "TS", "OG", "D"};

bool is_letter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

} // namespace

std::span<const std::string_view> element_symbols() { return ElementSymbols; }

bool is_element_symbol(std::string_view symbol)
{
    const std::string key = symbol_key(symbol);
    return std::find(ElementSymbols.begin(), ElementSymbols.end(), key) != ElementSymbols.end();
}

std::string display_symbol(std::string_view symbol)
{
    std::string out = replace_all(std::string(symbol), " ", "");
    if (out.size() > 1) out[1] = static_cast<char>(std::tolower(static_cast<unsigned char>(out[1])));
    return trim(out);
}

std::string element_symbol(std::string_view label)
{
    const std::string text = to_upper(trim(label));
    if (text.size() >= 2 && is_letter(text[0]) && is_letter(text[1]) && is_element_symbol(text.substr(0, 2)))
        return text.substr(0, 2);
    return text.substr(0, 1);
}

std::string type_element(std::string_view type)
{
    const std::string text = to_upper(trim(type));
    if (text.size() >= 2 && is_letter(text[0]) && is_letter(text[1]) && is_element_symbol(text.substr(0, 2)))
        return text.substr(0, 2);
    // 'CX' (a type no element has) or 'C1': one letter, when it is one.
    if (!text.empty() && is_element_symbol(text.substr(0, 1)) && (text.size() == 1 || !is_letter(text[1])))
        return text.substr(0, 1);
    return {};
}

std::string display_label(std::string_view label, std::string_view element)
{
    std::string out = replace_all(std::string(label), " ", "");
    if (out.size() > 1 && trim(element).size() == 2)
        out[1] = static_cast<char>(std::tolower(static_cast<unsigned char>(out[1])));
    out = trim(out);
    if (out.size() > LabelWidth) out.resize(LabelWidth);
    return out;
}

std::string display_label(std::string_view label) { return display_label(label, element_symbol(label)); }

std::string repair_number_b(std::string_view text)
{
    if (text.empty()) return "0";
    std::string out(text);
    if (auto at = out.find(" ."); at != std::string::npos) out[at] = '0';
    if (auto at = out.find(". "); at != std::string::npos) out[at + 1] = '0';
    if (auto at = out.find("-."); at != std::string::npos) out.insert(at + 1, 1, '0');
    if (out.back() == '.') out += '0';
    return out;
}

} // namespace kestro

#include "model/labels.h"

#include <cctype>

#include "model/text.h"

namespace kestro {

std::string symbol_key(std::string_view symbol) { return to_upper(trim(symbol)); }

std::string space_label(std::string_view label)
{
    std::string out(label);
    if (out.size() >= 2 && std::isdigit(static_cast<unsigned char>(out[1]))) out.insert(1, 1, ' ');
    return out;
}

std::string display_symbol(std::string_view symbol)
{
    std::string out = replace_all(std::string(symbol), " ", "");
    if (out.size() > 1) out[1] = static_cast<char>(std::tolower(static_cast<unsigned char>(out[1])));
    return trim(out);
}

std::string element_symbol(std::string_view label)
{
    return symbol_key(label.substr(0, 2));
}

std::string display_label(std::string_view label)
{
    std::string out = display_symbol(label);
    if (out.size() > 8) out.resize(8);
    return out;
}

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

// The positions of a named space-group setting, from gemmi's table of
// settings and its Hall-symbol generator.

#include "miraldo.h"

#include <gemmi/symmetry.hpp>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>

namespace {

std::string compact_upper(std::string text)
{
    text.erase(std::remove_if(text.begin(), text.end(), [](unsigned char c) { return std::isspace(c) != 0; }),
               text.end());
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The short standard symbol of a setting ("P21/c", "R-3c" on hexagonal axes).
std::string short_symbol(const gemmi::SpaceGroup& sg)
{
    std::string s = sg.short_name();
    if (sg.ext == 'H') s[0] = 'R';
    return s;
}

// The setting named by symbol: a full setting symbol of the table
// ("P121/c1", "Fd-3m:2", "R3:R"), else the standard setting of a short
// symbol (origin choice 2 where there are two, hexagonal axes for R).
const gemmi::SpaceGroup* find_setting(const std::string& symbol)
{
    const std::string wanted = compact_upper(symbol);
    if (wanted.empty()) return nullptr;
    for (const gemmi::SpaceGroup& sg : gemmi::spacegroup_tables::main) {
        if (compact_upper(sg.xhm()) == wanted) return &sg;
    }
    const gemmi::SpaceGroup* first = nullptr;
    for (const gemmi::SpaceGroup& sg : gemmi::spacegroup_tables::main) {
        if (compact_upper(short_symbol(sg)) != wanted) continue;
        if (first != nullptr && first->number != sg.number) continue;
        if (sg.ext == '2') return &sg;
        if (first == nullptr) first = &sg;
    }
    return first;
}

std::string number_text(int numerator, int denominator)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", static_cast<double>(numerator) / denominator);
    return text;
}

} // namespace

extern "C" int miraldo_positions_to(const int* codes16, const char* directory)
{
    if (codes16 == nullptr) return 1;
    std::string symbol;
    for (int k = 0; k < 16; ++k) {
        const int code = codes16[k];
        if (code > 32 && code < 127) symbol += static_cast<char>(code);
    }
    const gemmi::SpaceGroup* sg = find_setting(symbol);
    if (sg == nullptr) return 1;

    // Generated from the Hall symbol; the coset representatives of the
    // centring (sym_ops) are the positions without the centring copies.
    const gemmi::GroupOps ops = gemmi::symops_from_hall(sg->hall);
    std::string content = "Space group " + std::string(sg->xhm()) + "  No. " + std::to_string(sg->number) +
                          "  Hall " + sg->hall + "\n";
    for (const gemmi::Op& op : ops.sym_ops) {
        gemmi::Op reduced = op;
        reduced.wrap();
        std::string line;
        for (std::size_t row = 0; row < 3; ++row) {
            for (std::size_t col = 0; col < 3; ++col)
                line += number_text(reduced.rot[row][col], gemmi::Op::DEN) + " ";
            line += number_text(reduced.tran[row], gemmi::Op::DEN);
            line += row < 2 ? " " : "\n";
        }
        content += line;
    }

    std::string path = "scfs.dat";
    if (directory != nullptr && directory[0] != '\0') path = std::string(directory) + "/scfs.dat";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return 2;
    const bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size();
    const bool closed = std::fclose(file) == 0;
    return written && closed ? 0 : 2;
}

extern "C" int miraldo_positions(const int* codes16) { return miraldo_positions_to(codes16, nullptr); }

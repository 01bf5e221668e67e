// Writes the space-group catalogues of data/ from gemmi's table of settings:
// the seven standard-symbol files CUBI.pos ... TRIC.pos, the settings list
// spgr.dat and the symbols by number spa.grp.
//
//   make_catalogues OUTPUT_DIRECTORY
//
// Not run by the build or the tests: the files it writes are kept in data/.

#include <gemmi/symmetry.hpp>

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using gemmi::Op;
using gemmi::SpaceGroup;

std::string without_blanks(std::string text)
{
    text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
    return text;
}

// "P 1 21/c 1" -> "P121/c1", "F d -3 m" origin 2 -> "Fd-3m:2", "R 3" -> "R3:H".
std::string setting_symbol(const SpaceGroup& sg) { return without_blanks(sg.xhm()); }

// The short standard symbol: "P21/c", "Fd-3m", "R-3c" (no origin or axes suffix).
std::string standard_symbol(const SpaceGroup& sg)
{
    std::string s = sg.short_name();
    if (sg.ext == 'H') s[0] = 'R'; // short_name() writes hexagonal-axes R groups as "H..."
    return s;
}

// The crystal system a group number belongs to, with the trigonal groups
// under "RHOM" as the settings list groups them.
std::string system_of_number(int n)
{
    if (n <= 2) return "TRIC";
    if (n <= 15) return "MONO";
    if (n <= 74) return "ORTH";
    if (n <= 142) return "TETR";
    if (n <= 167) return "RHOM";
    if (n <= 194) return "HEXA";
    return "CUBI";
}

bool is_trigonal(int n) { return n >= 143 && n <= 167; }

// The standard setting of a number: origin choice 2 (centre at the origin)
// where there are two; the first listed otherwise (hexagonal axes for R).
const SpaceGroup& standard_setting(int number)
{
    const SpaceGroup* first = nullptr;
    for (const SpaceGroup& sg : gemmi::spacegroup_tables::main) {
        if (sg.number != number) continue;
        if (sg.ext == '2') return sg;
        if (first == nullptr) first = &sg;
    }
    if (first == nullptr) throw std::runtime_error("no setting for number " + std::to_string(number));
    return *first;
}

const SpaceGroup* rhombohedral_setting(int number)
{
    for (const SpaceGroup& sg : gemmi::spacegroup_tables::main) {
        if (sg.number == number && sg.ext == 'R') return &sg;
    }
    return nullptr;
}

int wrap24(int t) { return ((t % Op::DEN) + Op::DEN) % Op::DEN; }

// One row of an operator as a catalogue component ("-X+1/2", "Y-X").
std::string component(const Op& op, int row)
{
    const auto& r = op.rot[static_cast<std::size_t>(row)];
    const int x = r[0] / Op::DEN, y = r[1] / Op::DEN, z = r[2] / Op::DEN;
    static const std::array<std::pair<std::array<int, 3>, const char*>, 8> forms{{{{1, 0, 0}, "X"},
                                                                                {{0, 1, 0}, "Y"},
                                                                                {{0, 0, 1}, "Z"},
                                                                                {{-1, 0, 0}, "-X"},
                                                                                {{0, -1, 0}, "-Y"},
                                                                                {{0, 0, -1}, "-Z"},
                                                                                {{1, -1, 0}, "X-Y"},
                                                                                {{-1, 1, 0}, "Y-X"}}};
    std::string text;
    for (const auto& [coefficients, form] : forms) {
        if (coefficients == std::array<int, 3>{x, y, z}) text = form;
    }
    if (text.empty()) throw std::runtime_error("coordinate form not writable: " + op.triplet());
    static const std::map<int, const char*> fractions{{0, ""},       {12, "+1/2"}, {8, "+1/3"}, {16, "+2/3"},
                                                      {6, "+1/4"},   {18, "+3/4"}, {4, "+1/6"}, {20, "+5/6"}};
    const auto found = fractions.find(wrap24(op.tran[static_cast<std::size_t>(row)]));
    if (found == fractions.end()) throw std::runtime_error("translation not writable: " + op.triplet());
    return text + found->second;
}

std::string position_text(const Op& op) { return component(op, 0) + "," + component(op, 1) + "," + component(op, 2); }

bool is_inversion_at(const Op& op, const std::array<int, 3>& shift)
{
    if (op.rot != Op::identity().negated_rot()) return false;
    for (std::size_t k = 0; k < 3; ++k) {
        if (wrap24(op.tran[k] - shift[k]) != 0) return false;
    }
    return true;
}

int determinant(const Op& op) { return op.det_rot() > 0 ? 1 : -1; }

// The listed positions and the centro flag of a block: when -x,-y,-z (up to
// a centring vector) belongs to the group, the proper rotations and flag 1
// (the inversion rebuilds the rest); otherwise every position and flag 0.
std::pair<int, std::vector<Op>> block_positions(const SpaceGroup& sg)
{
    const gemmi::GroupOps ops = sg.operations();
    bool centred_at_origin = false;
    for (const Op& op : ops.sym_ops) {
        for (const Op::Tran& c : ops.cen_ops) {
            if (is_inversion_at(op, c)) centred_at_origin = true;
        }
    }
    if (!centred_at_origin) return {0, ops.sym_ops};
    std::vector<Op> proper;
    for (const Op& op : ops.sym_ops) {
        if (determinant(op) > 0) proper.push_back(op);
    }
    return {1, proper};
}

void write_block(std::ostream& out, const std::string& symbol, const SpaceGroup& sg)
{
    const auto [flag, positions] = block_positions(sg);
    out << "\n" << symbol << "\n" << flag << "\n" << positions.size() << "\n";
    for (const Op& op : positions) out << position_text(op) << "\n";
    // The skipped lines: the group number and its Hall symbol, for the reader of the file.
    out << "1\n" << sg.number << "  " << sg.hall << "\n";
}

std::ofstream open_output(const std::string& directory, const std::string& name)
{
    std::ofstream out(directory + "/" + name, std::ios::binary);
    if (!out) throw std::runtime_error("cannot write " + directory + "/" + name);
    return out;
}

void write_pos_files(const std::string& directory)
{
    std::map<std::string, std::ofstream> files;
    for (const char* code : {"CUBI", "HEXA", "RHOM", "TETR", "ORTH", "MONO", "TRIC"})
        files.emplace(code, open_output(directory, std::string(code) + ".pos"));
    for (int n = 1; n <= 230; ++n) {
        const SpaceGroup& sg = standard_setting(n);
        // Trigonal groups (R on hexagonal axes) with the hexagonal ones,
        // R groups once more on rhombohedral axes.
        const std::string system = is_trigonal(n) ? "HEXA" : system_of_number(n);
        write_block(files.at(system), standard_symbol(sg), sg);
        if (const SpaceGroup* rh = rhombohedral_setting(n)) write_block(files.at("RHOM"), standard_symbol(sg), *rh);
    }
}

void write_spa_grp(const std::string& directory)
{
    std::ofstream out = open_output(directory, "spa.grp");
    for (int n = 1; n <= 230; ++n) {
        char line[32];
        std::snprintf(line, sizeof line, "%3d %s\n", n, standard_symbol(standard_setting(n)).c_str());
        out << line;
    }
}

struct Setting {
    std::string symbol;
    std::string hall;
    int number;
};

// The settings of one system for its lines of spgr.dat: standard settings
// first, then the second setting of each group, then the third, and so on
// (the most used ones first); when the table runs out before the range is
// full, the standard settings again with their origin moved by (1/4,1/4,1/4),
// (0,0,1/4) and so on, written with the origin shift of the Hall notation.
// Their symbol stays that of the standard setting.
std::vector<Setting> system_settings(const std::string& system, std::size_t size)
{
    std::map<int, std::vector<Setting>> by_number;
    std::vector<std::string> seen;
    for (int n = 1; n <= 230; ++n) {
        if (system_of_number(n) != system) continue;
        const SpaceGroup& standard = standard_setting(n);
        by_number[n].push_back({setting_symbol(standard), standard.hall, n});
        seen.push_back(setting_symbol(standard));
    }
    for (const SpaceGroup& sg : gemmi::spacegroup_tables::main) {
        if (system_of_number(sg.number) != system) continue;
        const std::string symbol = setting_symbol(sg);
        if (std::find(seen.begin(), seen.end(), symbol) != seen.end()) continue;
        if (symbol.size() > 12 || std::string(sg.hall).size() > 20) continue;
        seen.push_back(symbol);
        by_number[sg.number].push_back({symbol, sg.hall, sg.number});
    }
    std::vector<Setting> out;
    for (std::size_t rank = 0; out.size() < size; ++rank) {
        bool any = false;
        for (const auto& [number, settings] : by_number) {
            if (rank < settings.size() && out.size() < size) {
                out.push_back(settings[rank]);
                any = true;
            }
        }
        if (!any) break;
    }
    const std::size_t table_count = out.size();
    // A moved origin counts only when it gives operators that no setting of
    // the table and no line before has: e.g. P1 moved is P1 again, and
    // Pn-3:2 moved by (1/4,1/4,1/4) is Pn-3:1.
    std::vector<gemmi::GroupOps> moved;
    for (const char* shift : {" (3 3 3)", " (0 0 3)", " (3 0 0)", " (0 3 0)", " (3 3 0)", " (0 3 3)", " (3 0 3)"}) {
        for (const auto& [number, settings] : by_number) {
            const Setting& standard = settings.front();
            if (out.size() >= size || standard.hall.size() + std::string(shift).size() > 20) continue;
            const std::string hall = standard.hall + shift;
            const gemmi::GroupOps ops = gemmi::symops_from_hall(hall.c_str());
            if (gemmi::find_spacegroup_by_ops(ops) != nullptr) continue;
            if (std::any_of(moved.begin(), moved.end(), [&](const gemmi::GroupOps& m) { return m.is_same_as(ops); }))
                continue;
            moved.push_back(ops);
            out.push_back({standard.symbol, hall, number});
        }
    }
    std::cerr << system << ": " << table_count << " settings of the table, " << size - std::min(size, table_count) << " moved origins\n";
    if (out.size() != size) throw std::runtime_error("not enough settings for " + system);
    return out;
}

void write_spgr_dat(const std::string& directory)
{
    struct Range {
        const char* code;
        std::size_t size;
    };
    static constexpr std::array<Range, 7> ranges{{{"TRIC", 18},
                                                  {"MONO", 160},
                                                  {"ORTH", 192},
                                                  {"TETR", 110},
                                                  {"RHOM", 45},
                                                  {"HEXA", 32},
                                                  {"CUBI", 80}}};
    std::ofstream out = open_output(directory, "spgr.dat");
    int line_number = 0;
    for (const Range& range : ranges) {
        for (const Setting& s : system_settings(range.code, range.size)) {
            // Columns: 1-5 line number, 6-17 symbol, 27-46 Hall symbol, 47-49 number.
            char line[64];
            std::snprintf(line, sizeof line, "%4d %-12s%9s%-20s%3d\n", ++line_number, s.symbol.c_str(), "",
                          s.hall.c_str(), s.number);
            out << line;
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: make_catalogues OUTPUT_DIRECTORY\n";
        return 2;
    }
    try {
        write_pos_files(argv[1]);
        write_spa_grp(argv[1]);
        write_spgr_dat(argv[1]);
    } catch (const std::exception& error) {
        std::cerr << "make_catalogues: " << error.what() << "\n";
        return 1;
    }
    return 0;
}

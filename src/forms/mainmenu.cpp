#include "forms/mainmenu.h"

namespace kestro::mainmenu {

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

} // namespace kestro::mainmenu

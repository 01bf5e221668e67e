#pragma once
// A structure built from an expectation file of ../shared/testdata/expected
// (written by an independent reader): cell, full operator list and the
// asymmetric unit with Uij, or Uiso, or 0.02 when the file gives none.

#include <cctype>
#include <cmath>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "crystal/generation_steps.h"
#include "model/structure_model.h"

namespace kestro_test {

using namespace kestro;

// 'C 1' for a one-letter symbol, 'CL1' for two letters: four characters at most.
inline std::string label_for(std::string symbol, int number)
{
    std::string letters;
    for (char ch : symbol) {
        if (!std::isalpha(static_cast<unsigned char>(ch)) || letters.size() == 2) break;
        letters += static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    }
    if (letters.empty()) letters = "X";
    std::string label = letters.size() == 1 ? letters + " " : letters;
    return (label + std::to_string(number)).substr(0, 4);
}

inline std::unique_ptr<StructureModel> model_of(const nlohmann::json& j)
{
    auto model = std::make_unique<StructureModel>();
    const auto& c = j["cell"];
    model->cell.a = c["a"], model->cell.b = c["b"], model->cell.c = c["c"];
    model->cell.alpha = c["alpha"], model->cell.beta = c["beta"], model->cell.gamma = c["gamma"];
    for (const auto& op : j["full_ops"]) {
        SymmetryOperator s;
        for (int r = 0; r < 3; ++r)
            for (int k = 0; k < 4; ++k) s.rows[r][k] = op[r][k].get<double>();
        model->operators.push(s);
    }
    int number = 0;
    for (const auto& a : j["atoms"]) {
        AtomRecord atom;
        const std::string symbol = a.contains("type_symbol") && a["type_symbol"].is_string()
                                       ? a["type_symbol"].get<std::string>()
                                       : a["label"].get<std::string>();
        atom.label = label_for(symbol, ++number % 100);
        atom.xyz = {a["x"], a["y"], a["z"]};
        if (a.contains("aniso") && a["aniso"].is_object()) {
            const auto& u = a["aniso"];
            const char* names[] = {"U11", "U22", "U33", "U12", "U13", "U23"};
            for (int k = 0; k < 6; ++k) atom.thermal[k] = u[names[k]].is_number() ? u[names[k]].get<double>() : 0.0;
        } else if (a.contains("u_iso") && a["u_iso"].is_number()) {
            atom.thermal[0] = a["u_iso"];
        } else if (a.contains("u") && a["u"].is_array() && !a["u"].empty()) {
            atom.thermal[0] = a["u"][0];
        }
        // The independent reader keeps SHELX's coding of a fixed value (10.06 is 0.06 fixed).
        for (double& u : atom.thermal)
            if (std::abs(u) > 10 && std::abs(u) < 20) u -= std::copysign(10.0, u);
        if (atom.thermal[0] == 0) atom.thermal[0] = 0.02;
        model->asym.push(atom);
    }
    return model;
}

// Each generated position reduced into [0, 1) (values within 1e-6 of 1 go
// to 0), then counted once per 0.01 Angstrom: the sites of the cell.
inline int distinct_sites(const StructureModel& model)
{
    gen::SiteSet sites(model.cell.metric.BG, model.generated.count());
    for (const AtomRecord& a : model.generated) {
        Vec3 x = a.xyz;
        for (double& v : x) {
            v -= std::floor(v);
            if (v >= 1 - 1e-6) v = 0;
        }
        if (!sites.contains(x)) sites.add(x);
    }
    return sites.count();
}

} // namespace kestro_test

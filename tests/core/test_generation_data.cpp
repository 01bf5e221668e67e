// "Cell contents" on real structures: every operator selected, the distinct
// sites of the cell must be those an independent program counts.

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "crystal/generation.h"
#include "crystal/generation_steps.h"
#include "crystal/oemath.h"
#include "recording_messages.h"

#ifdef KESTRO_HAVE_JSON
#include <nlohmann/json.hpp>
#endif

using namespace kestro;

#ifdef KESTRO_HAVE_JSON
namespace {

// 'C 1' for a one-letter symbol, 'CL1' for two letters: four characters at most.
std::string label_for(std::string symbol, int number)
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

std::unique_ptr<StructureModel> model_of(const nlohmann::json& j)
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
        if (atom.thermal[0] == 0) atom.thermal[0] = 0.02;
        model->asym.push(atom);
    }
    return model;
}

// Each kept position reduced into [0, 1) (values within 1e-6 of 1 go to 0),
// then counted once per 0.01 Angstrom.
int distinct_sites(const StructureModel& model)
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

} // namespace
#endif

TEST(GenerationData, CellContentsCountsTheSitesOfTheCell)
{
#ifndef KESTRO_HAVE_JSON
    GTEST_SKIP() << "nlohmann_json not available";
#else
    const std::filesystem::path dir = std::filesystem::path(KESTRO_SHARED_TESTDATA_DIR) / "expected";
    if (!std::filesystem::is_directory(dir)) GTEST_SKIP() << "no expectation files in " << dir;
    int checked = 0, over = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().extension() != ".json") continue;
        const nlohmann::json j = nlohmann::json::parse(std::ifstream(entry.path()));
        if (!j.contains("cell_site_count") || !j["cell_site_count"].is_number() || !j.contains("full_ops")
            || !j.contains("atoms") || j["atoms"].size() > MaxAsymAtoms || j["full_ops"].empty())
            continue;
        SCOPED_TRACE(entry.path().filename().string());
        auto model = model_of(j);
        RecordingMessages messages;
        ASSERT_TRUE(cell_metric(*model, messages));
        OperatorGrid grid;
        fill_operator_grid(*model, grid);
        on_click_checklistbox(*model, grid, messages, static_cast<int>(GenerationItem::CellContents), true);
        ASSERT_EQ(model->selected_operators.count(), model->operators.count());
        const bool fitted = generer(*model, messages);
        const int expected = j["cell_site_count"];
        if (expected <= gen::MaxKept && fitted) {
            EXPECT_EQ(distinct_sites(*model), expected);
        } else {
            EXPECT_FALSE(fitted);
            EXPECT_EQ(messages.shown.back(), "Too many generated atoms");
            EXPECT_EQ(model->generated.count(), gen::MaxKept);
            ++over;
        }
        ++checked;
    }
    EXPECT_GT(checked, 40);
    EXPECT_GT(over, 0);
#endif
}

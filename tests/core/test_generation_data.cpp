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
#include "forms/mainmenu.h"
#include "recording_messages.h"

#ifdef KESTRO_HAVE_JSON
#include "expected_model.h"
#endif

using namespace kestro;
using namespace kestro::mainmenu;
#ifdef KESTRO_HAVE_JSON
using kestro_test::distinct_sites;
using kestro_test::model_of;
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
    EXPECT_EQ(over, 0); // the largest cells of these files (3058, 6400 sites) fit now
#endif
}

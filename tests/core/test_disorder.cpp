// A real refinement (finalcif_P21c-final.cif, the CIF a refinement program
// wrote: H28A/H28B/H28C, two disordered toluenes, assemblies A and B with
// parts 1/2 and 3/4, C77' beside C77) through load, plot, reports, the .kes
// file and the bond rule of disorder.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include "analysis/reports.h"
#include "crystal/disorder.h"
#include "crystal/generation.h"
#include "drawing/drawing_state.h"
#include "drawing/scene.h"
#include "formats/kes.h"
#include "formats/structure_files.h"
#include "model/text.h"
#include "recording_canvas.h"
#include "recording_messages.h"
#include "temp_dir.h"

using namespace kestro;

namespace {

const std::filesystem::path Refinement =
    std::filesystem::path(KESTRO_SHARED_TESTDATA_DIR) / "cif" / "finalcif_P21c-final.cif";

struct Plotted {
    TempDir dir;
    RecordingMessages messages;
    std::unique_ptr<StructureModel> model = std::make_unique<StructureModel>();
    bool ready = false;

    Plotted()
    {
        if (!std::filesystem::exists(Refinement)) return;
        model->data_directory = KESTRO_SOURCE_DATA_DIR;
        model->program_directory = dir.path();
        ready = load_structure_file(*model, Refinement.string(), messages) && generer(*model, messages);
    }
    int atom(const std::string& label) const
    {
        for (int i = 1; i <= model->generated.count(); ++i)
            if (model->display_labels[i] == label) return i;
        return 0;
    }
};

} // namespace

TEST(RealRefinement, LabelsStayApartThroughPlotReportsAndTheKesFile)
{
    Plotted p;
    if (!std::filesystem::exists(Refinement)) GTEST_SKIP() << "no shared test data";
    ASSERT_TRUE(p.ready);
    std::set<std::string> labels;
    for (const AtomRecord& atom : p.model->asym) labels.insert(display_label_of(atom));
    EXPECT_EQ(static_cast<int>(labels.size()), p.model->asym.count()); // no two atoms alike
    for (const char* label : {"H28A", "H28B", "H28C", "C77", "C77'", "H91A"}) EXPECT_TRUE(labels.count(label)) << label;

    const int h28b = p.atom("H28B");
    ASSERT_GT(h28b, 0);
    EXPECT_EQ(p.model->display_labels[h28b], "H28B");
    EXPECT_EQ(element_of(p.model->generated[h28b]), "H");
    EXPECT_NE(coordinates_report(*p.model).find("\r\nH28B "), std::string::npos);
    EXPECT_NE(distances_report(*p.model).find("H28B"), std::string::npos);
    EXPECT_NE(distances_report(*p.model).find("C77'"), std::string::npos);

    // Every label fits 4 characters, so the 17 sections carry them; the
    // parts bring the atom sites section.
    const std::string text = ascii_structure_text(*p.model);
    EXPECT_NE(text.find(AtomSitesHeader), std::string::npos);
    auto back = std::make_unique<StructureModel>();
    ASSERT_TRUE(read_ascii_structure(text, *back, p.messages));
    // (The reader brings the file's negative translations into the cell;
    // the atoms come back as they were written.)
    ASSERT_EQ(back->generated.count(), p.model->generated.count());
    for (int i = 1; i <= back->generated.count(); ++i) {
        const AtomRecord& was = p.model->generated[i];
        const AtomRecord& now = back->generated[i];
        EXPECT_EQ(trim(now.label.view()), trim(was.label.view()));
        EXPECT_EQ(now.part, was.part);
        EXPECT_EQ(now.assembly, was.assembly);
        EXPECT_EQ(back->display_labels[i], p.model->display_labels[i]);
    }
    EXPECT_EQ(back->generated[h28b].label, p.model->generated[h28b].label);
    EXPECT_EQ(back->generated[p.atom("C77'")].part, 4);
}

TEST(RealRefinement, NoBondJoinsTwoPartsOfOneAssembly)
{
    Plotted p;
    if (!std::filesystem::exists(Refinement)) GTEST_SKIP() << "no shared test data";
    ASSERT_TRUE(p.ready);
    int within_parts = 0;
    for (const BondRecord& bond : p.model->bonds) {
        const AtomRecord& a = p.model->generated[bond.atom1];
        const AtomRecord& b = p.model->generated[bond.atom2];
        const bool alternatives = a.part != 0 && b.part != 0 && a.assembly == b.assembly;
        EXPECT_FALSE(alternatives && a.part != b.part)
            << trim(a.label.view()) << "-" << trim(b.label.view()) << ", parts " << a.part << " and " << b.part;
        within_parts += alternatives && a.part == b.part ? 1 : 0;
    }
    EXPECT_GT(within_parts, 20); // each toluene keeps its own ring

    // The major part of each assembly: 1 (0.676) in A, 3 (0.866) in B.
    const MajorParts majors(*p.model);
    EXPECT_TRUE(majors.major(p.model->generated[p.atom("C71")]));
    EXPECT_FALSE(majors.major(p.model->generated[p.atom("C93")]));
    EXPECT_TRUE(majors.major(p.model->generated[p.atom("C77")]));
    EXPECT_FALSE(majors.major(p.model->generated[p.atom("C77'")]));
    EXPECT_EQ(disorder_parts(*p.model), (std::vector<int>{1, 2, 3, 4}));
}

TEST(RealRefinement, ThePictureShowsAllPartsTheMajorOneOrOnePartAndDashesTheMinor)
{
    Plotted p;
    if (!std::filesystem::exists(Refinement)) GTEST_SKIP() << "no shared test data";
    ASSERT_TRUE(p.ready);
    const auto draw = [&](PartsShown parts, int number, bool dash) {
        p.model->drawing.parts_shown = parts;
        p.model->drawing.part_number = number;
        p.model->drawing.dash_minor = dash ? 1 : 0;
        auto state = std::make_unique<DrawingState>();
        prepare_drawing(*p.model, *state, 686, 686, p.messages);
        RecordingCanvas canvas;
        draw_scene(*p.model, *state, canvas);
        int dashed = 0;
        for (const CanvasCall* call : canvas.of_kind(CanvasCall::Polygon)) dashed += call->pen.style == PenStyle::Dash;
        return std::pair{static_cast<int>(canvas.of_kind(CanvasCall::Polygon).size()), dashed};
    };
    int minor_atoms = 0, part_two = 0;
    const MajorParts majors(*p.model);
    for (const AtomRecord& atom : p.model->generated) {
        minor_atoms += majors.major(atom) ? 0 : 1;
        part_two += atom.part == 2 ? 1 : 0;
    }
    const auto [all, none_dashed] = draw(PartsShown::All, 0, false);
    const auto [major, major_dashed] = draw(PartsShown::Major, 0, true);
    const auto [all_again, dashed] = draw(PartsShown::All, 0, true);
    const auto [one, one_dashed] = draw(PartsShown::One, 2, false);
    EXPECT_EQ(none_dashed, 0);
    EXPECT_EQ(major_dashed, 0); // no minor part left to dash
    EXPECT_GT(dashed, 20);      // the bonds of the minor toluenes
    EXPECT_EQ(all_again, all);
    EXPECT_LT(major, all - minor_atoms + 1); // atoms and their bonds left out
    EXPECT_LT(one, all);
    EXPECT_GT(part_two, 0);
}

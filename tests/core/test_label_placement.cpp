// Labels that place themselves, on small hand-made scenes: a crowded ring,
// two atoms on one spot, a label with no free place, and the same result
// twice. The recording canvas measures text as 6 pixels a character and
// 10 pixels high.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "drawing/label_placement.h"
#include "drawing/scene.h"
#include "drawing_fixture.h"
#include "recording_canvas.h"

using namespace kestro;

namespace {

// Six carbons on a ring of 1.4 A radius with a hydrogen outside each: a
// crowded phenyl.
std::vector<FixtureAtom> phenyl()
{
    std::vector<FixtureAtom> atoms;
    for (int k = 0; k < 6; ++k) {
        const double t = k * std::numbers::pi / 3;
        atoms.push_back({"C " + std::to_string(k + 1), {0.5 + 0.14 * std::cos(t), 0.5 + 0.14 * std::sin(t), 0.5}, uiso(0.02)});
        atoms.push_back({"H " + std::to_string(k + 1), {0.5 + 0.248 * std::cos(t), 0.5 + 0.248 * std::sin(t), 0.5}, uiso(0.02)});
    }
    return atoms;
}

struct Placed {
    std::unique_ptr<StructureModel> model;
    std::unique_ptr<DrawingState> state;
    RecordingCanvas metrics{686, 686};
    LabelQuality quality;

    Placed(const std::vector<FixtureAtom>& atoms, AutoLabels which, int size = 686)
        : model(drawing_model(atoms)), state(prepared(*model, size)), metrics(size, size)
    {
        place_labels(*model, *state, metrics, which);
        quality = label_quality(*model, *state, metrics);
    }
};

} // namespace

TEST(LabelPlacement, ACrowdedRingGetsEveryLabelClearAndBesideItsAtom)
{
    Placed p(phenyl(), AutoLabels::All);
    EXPECT_EQ(p.quality.labels, 12);
    EXPECT_EQ(p.quality.overlapping_pairs, 0);
    EXPECT_EQ(p.quality.nearer_other, 0);
    EXPECT_EQ(p.quality.ink_on_figure, 0.0);
    // Moved labels, as the labelling tools make them.
    EXPECT_EQ(p.model->drawing.labels_off_centre, 1);
    EXPECT_EQ(p.model->drawing.labels_centre, 0);
    for (const AtomRecord& atom : p.model->generated) {
        EXPECT_EQ(atom.labelled, 1);
        EXPECT_TRUE(atom.label_dx != 0 && atom.label_dy != 0);
    }

    // Without hydrogen: the carbons only, and the same picture gives the same offsets.
    Placed a(phenyl(), AutoLabels::NoHydrogen), b(phenyl(), AutoLabels::NoHydrogen);
    EXPECT_EQ(a.quality.labels, 6);
    for (int i = 1; i <= a.model->generated.count(); ++i) {
        EXPECT_EQ(a.model->generated[i].labelled, element_of(a.model->generated[i]) == "C" ? 1 : 0);
        EXPECT_EQ(a.model->generated[i].label_dx, b.model->generated[i].label_dx);
        EXPECT_EQ(a.model->generated[i].label_dy, b.model->generated[i].label_dy);
    }
}

TEST(LabelPlacement, TwoAtomsOnOneSpotStillGetTwoLabelsThatDoNotMeet)
{
    Placed p({{"O 1", {0.5, 0.5, 0.5}, uiso(0.02)}, {"N 1", {0.501, 0.5, 0.5}, uiso(0.02)},
              {"C 1", {0.62, 0.5, 0.5}, uiso(0.02)}},
             AutoLabels::All);
    EXPECT_EQ(p.quality.labels, 3);
    EXPECT_EQ(p.quality.overlapping_pairs, 0);
}

TEST(LabelPlacement, WithNoFreePlaceTheLeastOverlapIsTaken)
{
    // Forty atoms packed into a small square, two more far off so that the
    // square is small on the picture: each label is wider than the room
    // between the atoms, so places overlap, but every label is placed and
    // far fewer overlap than centred labels do.
    std::vector<FixtureAtom> atoms{{"O 1", {0.02, 0.5, 0.5}, uiso(0.01)}, {"O 2", {0.98, 0.5, 0.5}, uiso(0.01)}};
    for (int k = 0; k < 40; ++k)
        atoms.push_back({"CL" + std::to_string(k + 10), {0.45 + 0.02 * (k % 7), 0.45 + 0.02 * (k / 7), 0.5}, uiso(0.01)});
    Placed crowded(atoms, AutoLabels::All);
    EXPECT_EQ(crowded.quality.labels, 42);
    int labelled = 0;
    for (const AtomRecord& atom : crowded.model->generated) labelled += atom.labelled;
    EXPECT_EQ(labelled, 42);
    // Centred labels in the same crowd overlap far more.
    auto centred = drawing_model(atoms);
    auto state = prepared(*centred);
    centred->drawing.labels_centre = 1;
    for (AtomRecord& atom : centred->generated) atom.labelled = 1;
    RecordingCanvas metrics;
    const LabelQuality at_centre = label_quality(*centred, *state, metrics);
    EXPECT_GT(at_centre.overlapping_pairs, 20);
    EXPECT_LT(crowded.quality.overlapping_pairs, at_centre.overlapping_pairs / 2);
}

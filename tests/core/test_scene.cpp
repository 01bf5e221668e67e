// The scene through the recording canvas: painter's order, bond clipping
// and bands, colours, labels, cell and enclosure marks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "drawing_fixture.h"
#include "recording_canvas.h"

using namespace kestro;

namespace {

void only_bond(StructureModel& model, int a, int b, int order = 0)
{
    model.bonds.clear();
    model.bonds.push({a, b, order, 0});
}

// Index of the atom an outline polygon belongs to: the nearest view point.
int atom_of(const DrawingState& state, const CanvasCall& call)
{
    double x = 0, y = 0;
    for (PixelPoint p : call.points) x += p.x, y += p.y;
    x /= call.points.size();
    y /= call.points.size();
    int best = 0;
    double d = 1e18;
    for (int i = 1; i <= state.view.atoms; ++i) {
        const PixelPoint p = point_pixel(state, i);
        const double e = std::hypot(p.x - x, p.y - y);
        if (e < d) d = e, best = i;
    }
    return best;
}

// The selection of the painter's order as written: largest Z first,
// strictly greater than the best so far, so equal Z keep index order.
std::vector<int> literal_paint_order(const DrawingState& state)
{
    const int n = state.view.atoms;
    std::vector<bool> taken(static_cast<std::size_t>(n + 1), false);
    std::vector<int> order;
    for (int w = 1; w <= n; ++w) {
        double best = -10000;
        int pick = 0;
        for (int i = 1; i <= n; ++i)
            if (!taken[static_cast<std::size_t>(i)] && state.view.Z[i] > best) best = state.view.Z[i], pick = i;
        taken[static_cast<std::size_t>(pick)] = true;
        order.push_back(pick);
    }
    return order;
}

} // namespace

TEST(Scene, PaintersOrderDrawsFarFirstAndLowerIndexOnTopOfEqualZ)
{
    // Three atoms in one plane z = 0.5 (equal view Z) and one nearer.
    auto model = drawing_model({{"C 1", {0.30, 0.5, 0.5}, uiso(0.02)},
                                {"C 2", {0.42, 0.5, 0.5}, uiso(0.02)},
                                {"C 3", {0.54, 0.5, 0.5}, uiso(0.02)},
                                {"C 4", {0.42, 0.6, 0.6}, uiso(0.02)}});
    only_bond(*model, 1, 2);
    auto state = prepared(*model);
    // Exactly equal: the cell angles of 90 degrees through 1/57.2957 leave
    // a trace of x in Z.
    state->view.Z[2] = state->view.Z[3] = state->view.Z[1];
    RecordingCanvas canvas;
    draw_scene(*model, *state, canvas);
    std::vector<int> drawn;
    for (const CanvasCall* c : canvas.polygons(51)) drawn.push_back(atom_of(*state, *c));
    EXPECT_EQ(drawn, (std::vector<int>{3, 2, 1, 4}));
    // A bond between equal Z is drawn after each of its atoms.
    std::vector<std::size_t> sizes;
    for (const CanvasCall& c : canvas.calls)
        if (c.kind == CanvasCall::Polygon) sizes.push_back(c.points.size());
    EXPECT_EQ(sizes, (std::vector<std::size_t>{51, 51, 42, 51, 42, 51}));
}

TEST(Scene, FastPaintersOrderEqualsTheSelectionOnRandomDepths)
{
    auto model = drawing_model({{"C 1", {0, 0, 0}, uiso(0.02)}});
    auto state = prepared(*model);
    std::mt19937 random(7);
    for (int round = 0; round < 20; ++round) {
        const int n = 1 + static_cast<int>(random() % 2000);
        state->view.atoms = n;
        for (int i = 1; i <= n; ++i) state->view.Z[i] = static_cast<double>(random() % 40) * 0.25 - 5; // many ties
        compute_paint_order(*state);
        const std::vector<int> expected = literal_paint_order(*state);
        for (int w = 1; w <= n; ++w) ASSERT_EQ(state->paint_order[w], expected[static_cast<std::size_t>(w - 1)]);
    }
}

TEST(Scene, BondUnderTheNearAtomAndOverTheFarOne)
{
    auto model = drawing_model({{"C 1", {0.40, 0.5, 0.50}, uiso(0.01)}, {"C 2", {0.52, 0.5, 0.55}, uiso(0.01)}});
    only_bond(*model, 1, 2);
    auto state = prepared(*model);
    RecordingCanvas canvas;
    draw_scene(*model, *state, canvas);
    std::vector<std::size_t> sizes;
    for (const CanvasCall& c : canvas.calls)
        if (c.kind == CanvasCall::Polygon) sizes.push_back(c.points.size());
    ASSERT_EQ(sizes, (std::vector<std::size_t>{51, 42, 51}));
    EXPECT_EQ(atom_of(*state, *canvas.polygons(51)[0]), 1); // z 0.50: farther
    const CanvasCall& band = *canvas.polygons(42)[0];
    EXPECT_EQ(band.brush, model->drawing.bond_colour);
    EXPECT_EQ(band.pen.colour, 0u);
}

TEST(Scene, BondHiddenByTheFarAtomOrBetweenOverlappingOutlinesIsNotDrawn)
{
    // The far atom (large, z = 0.5) reaches nearer the viewer than where
    // the bond leaves the near atom's outline: dX = 0.3 A, dZ = -1.0 A.
    auto model = drawing_model({{"C 1", {0.50, 0.5, 0.50}, uiso(0.30)}, {"C 2", {0.53, 0.5, 0.60}, uiso(0.005)}});
    only_bond(*model, 1, 2);
    auto state = prepared(*model);
    BondBand band{};
    EXPECT_FALSE(bond_band(*model, *state, 1, band));
    RecordingCanvas canvas;
    draw_scene(*model, *state, canvas);
    EXPECT_TRUE(canvas.polygons(42).empty());

    // Side by side in the screen plane with outlines that overlap.
    auto touching = drawing_model({{"C 1", {0.50, 0.5, 0.5}, uiso(0.05)}, {"C 2", {0.55, 0.5, 0.5}, uiso(0.05)}});
    only_bond(*touching, 1, 2);
    auto touching_state = prepared(*touching);
    EXPECT_FALSE(bond_band(*touching, *touching_state, 1, band));

    // The same pair apart is drawn.
    auto apart = drawing_model({{"C 1", {0.40, 0.5, 0.5}, uiso(0.01)}, {"C 2", {0.55, 0.5, 0.5}, uiso(0.01)}});
    only_bond(*apart, 1, 2);
    auto apart_state = prepared(*apart);
    EXPECT_TRUE(bond_band(*apart, *apart_state, 1, band));
}

TEST(Scene, HydrogenBandsAreAThirdAndANinthAsWide)
{
    // Bands along view X, no perspective: the start points k = 1 and k = 21
    // are 2r apart across the bond. A large picture keeps rounding small.
    const auto band_width = [](const std::string& a, const std::string& b) {
        auto model = drawing_model({{a, {0.40, 0.5, 0.5}, uiso(0.01)}, {b, {0.55, 0.5, 0.5}, uiso(0.01)}});
        only_bond(*model, 1, 2);
        model->drawing.bond_perspective = 0;
        model->drawing.bond_width = 0.09;
        auto state = prepared(*model, 20000);
        BondBand band{};
        EXPECT_TRUE(bond_band(*model, *state, 1, band)) << a << b;
        return std::hypot(band[0].x - band[20].x, band[0].y - band[20].y) / state->screen.s;
    };
    EXPECT_NEAR(band_width("O 1", "O 2"), 0.18, 0.002);
    EXPECT_NEAR(band_width("O 1", "H 1"), 0.06, 0.002);
    EXPECT_NEAR(band_width("H 1", "H 2"), 0.02, 0.002);
}

// Generators two at a time give the band of one at a time, bit for bit:
// random anisotropic pairs at random depths, hydrogen ends, widths wide
// enough that generators miss the far atom (its outline or the foot of the
// perpendicular taken instead), perspective, picture sizes.
TEST(Scene, PairedBandGeneratorsEqualTheSingleOnes)
{
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> unit(0, 1);
    int drawn = 0;
    for (int trial = 0; trial < 400; ++trial) {
        const auto u = [&] {
            const double s = 0.002 + 0.05 * unit(rng);
            return Thermal6{s * (1 + unit(rng)), s * (1 + unit(rng)), s * (1 + unit(rng)), s * (unit(rng) - 0.5) / 2,
                            s * (unit(rng) - 0.5) / 2, s * (unit(rng) - 0.5) / 2};
        };
        const Vec3 p = {0.5, 0.5, 0.5};
        const Vec3 q = {0.5 + (unit(rng) - 0.5) / 4, 0.5 + (unit(rng) - 0.5) / 4, 0.5 + (unit(rng) - 0.5) / 3};
        auto model = drawing_model({{trial % 4 == 1 ? "H 1" : "C 1", p, u()}, {trial % 3 == 2 ? "H 2" : "O 2", q, u()}});
        only_bond(*model, 1, 2);
        model->drawing.bond_width = 0.02 + 0.5 * unit(rng);
        model->drawing.bond_perspective = trial % 5 * 6;
        auto state = prepared(*model, trial % 2 ? 686 : 3001);
        BondBand paired{}, single{};
        const bool by_pairs = bond_band(*model, *state, 1, paired);
        ASSERT_EQ(by_pairs, bond_band_one_at_a_time(*model, *state, 1, single)) << trial;
        if (by_pairs) {
            EXPECT_EQ(paired, single) << trial;
        }
        drawn += by_pairs;
    }
    EXPECT_GT(drawn, 100);
}

TEST(Scene, PerspectiveNarrowsTheBandTowardTheFarAtom)
{
    auto model = drawing_model({{"C 1", {0.30, 0.5, 0.5}, uiso(0.01)}, {"C 2", {0.50, 0.5, 0.5}, uiso(0.01)}});
    only_bond(*model, 1, 2);
    model->drawing.bond_perspective = 10;
    auto state = prepared(*model, 20000);
    BondBand band{};
    ASSERT_TRUE(bond_band(*model, *state, 1, band));
    const double start = std::hypot(band[0].x - band[20].x, band[0].y - band[20].y);
    const double end = std::hypot(band[21].x - band[41].x, band[21].y - band[41].y);
    EXPECT_LT(end, start);
    // Start points on C1's outline side, end points on C2's.
    const PixelPoint c1 = point_pixel(*state, 1), c2 = point_pixel(*state, 2);
    EXPECT_LT(std::abs(band[10].x - c1.x), std::abs(band[10].x - c2.x));
    EXPECT_LT(std::abs(band[31].x - c2.x), std::abs(band[31].x - c1.x));
}

TEST(Scene, BondColoursForOrdersAndBlackAndWhite)
{
    auto model = drawing_model({{"C 1", {0, 0, 0}, uiso(0.01)}});
    const BondRecord single{1, 1, 0, 1.5}, green{1, 1, 1, 1.4}, blue{1, 1, 2, 1.2};
    EXPECT_EQ(bond_fill_colour(*model, green), model->drawing.bond_colour);
    model->drawing.double_triple = 1;
    EXPECT_EQ(bond_fill_colour(*model, single), model->drawing.bond_colour);
    EXPECT_EQ(bond_fill_colour(*model, green), 0x008000u);
    EXPECT_EQ(bond_fill_colour(*model, blue), 0xFF0000u);
    model->drawing.black_white = 1;
    EXPECT_EQ(bond_fill_colour(*model, blue), 0xFFFFFFu);
}

TEST(Scene, BlackAndWhiteOnThenOffGivesBackTheColours)
{
    auto model = drawing_model({{"O 1", {0.1, 0.1, 0.1}, uiso(0.01)}, {"N 1", {0.3, 0.1, 0.1}, uiso(0.01)}});
    model->element_sorts[1].colour = 0x123456; // chosen in the grid
    model->element_colours[1] = 0x123456;
    model->drawing.background_colour = model->drawing.saved_background_colour = 0x202020;
    assign_atom_colours(*model);
    const Colour o = model->generated[1].colour, n = model->generated[2].colour;
    const Colour bond = model->drawing.bond_colour;
    auto state = prepared(*model);
    RecordingMessages messages;

    black_and_white_on(*model);
    black_and_white_on(*model); // a second time saves nothing again
    EXPECT_EQ(model->generated[1].colour, 0xFFFFFFu);
    EXPECT_EQ(model->drawing.background_colour, 0xFFFFFFu);
    EXPECT_EQ(model->drawing.label_font.colour, 0u);
    black_and_white_off(*model, *state, messages);
    EXPECT_EQ(model->generated[1].colour, o);
    EXPECT_EQ(model->generated[2].colour, n);
    EXPECT_EQ(model->drawing.background_colour, 0x202020u);
    EXPECT_EQ(model->drawing.bond_colour, bond);

    // Saved colours all white: the default element colours come back.
    black_and_white_on(*model);
    model->element_colours[1] = model->element_colours[2] = 0xFFFFFF;
    black_and_white_off(*model, *state, messages);
    EXPECT_EQ(model->element_sorts[1].colour, default_colour("O"));
    EXPECT_EQ(model->element_sorts[2].colour, default_colour("N"));
}

TEST(Scene, ActivationLeavesBlackAndWhiteWithTheFileColours)
{
    // A structure file saved in black and white sets the flag and brings its
    // own colours, with nothing saved in this session (saved values 0).
    auto model = drawing_model({{"O 1", {0.1, 0.1, 0.1}, uiso(0.01)}});
    model->drawing.black_white = 1;
    model->element_sorts[1].colour = 0x00AA00;
    model->element_colours[1] = 0;
    model->drawing.saved_background_colour = model->drawing.saved_bond_colour = 0;
    model->drawing.background_colour = 0xEEEEEE;
    auto state = prepared(*model);
    RecordingMessages messages;
    leave_black_and_white(*model, *state, messages);
    EXPECT_EQ(model->drawing.black_white, 0);
    EXPECT_EQ(model->element_sorts[1].colour, 0x00AA00u);
    EXPECT_EQ(model->generated[1].colour, 0x00AA00u);
    EXPECT_EQ(model->drawing.background_colour, 0xEEEEEEu);

    // Whitened in this session: the saved colours come back.
    black_and_white_on(*model);
    leave_black_and_white(*model, *state, messages);
    EXPECT_EQ(model->element_sorts[1].colour, 0x00AA00u);
}

TEST(Scene, CentredAndMovedLabels)
{
    std::vector<FixtureAtom> atoms;
    for (int i = 1; i <= 12; ++i) atoms.push_back({"N " + std::to_string(i), {0.06 * i, 0.3, 0.3}, uiso(0.01)});
    auto model = drawing_model(atoms);
    model->generated[12].label = "C 1";
    for (AtomRecord& a : model->generated) a.labelled = 0;
    model->generated[12].labelled = 1;
    model->generated[3].labelled = 1;
    model->generated[3].label_dx = 0.5;
    model->generated[3].label_dy = -0.25;
    model->display_labels[3] = "Moved";
    model->generated[4].labelled = 1;
    model->generated[4].label_dx = 0.5; // one offset zero: not drawn
    model->drawing.labels_centre = 1;
    model->drawing.label_font.style = "Bold, Underline";
    EXPECT_EQ(centred_label_text(*model, 12), "C1(12)");

    auto state = prepared(*model);
    RecordingCanvas canvas;
    const FontSpec before = canvas.font();
    draw_scene(*model, *state, canvas);
    const auto texts = canvas.of_kind(CanvasCall::Text);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0]->text, "Moved");
    EXPECT_TRUE(texts[0]->font.bold && texts[0]->font.underline && !texts[0]->font.italic);
    EXPECT_EQ(texts[0]->font.size, 12);
    const PixelPoint anchor = to_pixel(state->screen, state->view.X[3] - 0.5, state->view.Y[3] + 0.25);
    EXPECT_EQ(texts[0]->points[0], (PixelPoint{anchor.x, anchor.y - 5}));
    EXPECT_EQ(texts[1]->text, "C1(12)");
    EXPECT_EQ(texts[1]->font.size, 7);
    EXPECT_FALSE(texts[1]->font.bold);
    const PixelPoint centre = point_pixel(*state, 12);
    EXPECT_EQ(texts[1]->points[0], (PixelPoint{centre.x - 18, centre.y - 5}));
    EXPECT_EQ(canvas.font(), before);

    // An unknown style text keeps the style in force.
    FontSpec font;
    apply_label_style("Italic", font);
    apply_label_style("Heavy", font);
    EXPECT_TRUE(font.italic && !font.bold);
}

TEST(Scene, CellEdgesLettersAndEnclosureMarks)
{
    auto model = drawing_model({{"C 1", {0.5, 0.5, 0.5}, uiso(0.01)}});
    model->drawing.draw_cell = 1;
    model->generation.sphere = 1;
    model->generation.sphere_radius = 3;
    model->generation.centre = {0.5, 0.5, 0.5};
    auto state = prepared(*model);
    EXPECT_EQ(state->view.n, 9);
    // The enclosure centre is the view origin.
    EXPECT_NEAR(state->view.X[10], 0, 1e-12);
    RecordingCanvas canvas;
    draw_scene(*model, *state, canvas);
    int dotted = 0;
    std::vector<std::string> letters;
    for (const CanvasCall& c : canvas.calls) {
        if (c.kind == CanvasCall::Line && c.pen.style == PenStyle::Dot && c.pen.colour == 0x808080) ++dotted;
        if (c.kind == CanvasCall::Text) {
            letters.push_back(c.text);
            EXPECT_EQ(c.font.size, 14);
            EXPECT_TRUE(c.font.bold);
        }
    }
    EXPECT_EQ(dotted, 12);
    EXPECT_EQ(letters, (std::vector<std::string>{"o", "a", "b", "c"}));
    const auto polylines = canvas.of_kind(CanvasCall::Polyline);
    ASSERT_EQ(polylines.size(), 1u);
    EXPECT_EQ(polylines[0]->pen.style, PenStyle::Dash);
    const PixelPoint centre = to_pixel(state->screen, 0, 0);
    EXPECT_NEAR(std::hypot(polylines[0]->points[0].x - centre.x, polylines[0]->points[0].y - centre.y),
                3 * state->screen.s, 1);
    const auto lines = canvas.of_kind(CanvasCall::Line);
    EXPECT_EQ(lines[lines.size() - 2]->points[0], (PixelPoint{centre.x - 5, centre.y}));
    EXPECT_EQ(lines.back()->points[1], (PixelPoint{centre.x, centre.y + 5}));
}

TEST(Scene, OrientationPictureShowsTheCellAxes)
{
    auto model = drawing_model({{"C 1", {0.5, 0.5, 0.5}, uiso(0.01)}});
    auto state = prepared(*model);
    RecordingCanvas canvas, picture(166, 166);
    draw_scene(*model, *state, canvas, &picture);
    ASSERT_FALSE(picture.calls.empty());
    EXPECT_EQ(picture.calls[0].kind, CanvasCall::FillRect);
    EXPECT_EQ(picture.calls[0].brush, 0xFF0000u);
    EXPECT_EQ(picture.of_kind(CanvasCall::Line).size(), 12u);
    const auto texts = picture.of_kind(CanvasCall::Text);
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0]->font.colour, 0xFFFFFFu);
    // Looking down c: o and c project on the same point.
    EXPECT_EQ(texts[0]->points[0], texts[3]->points[0]);
}

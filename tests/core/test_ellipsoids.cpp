// Displacement ellipsoids: sizes against k sqrt(U) computed by hand, the
// principal axes, and atoms whose tensor cannot be drawn.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <random>

#include "drawing_fixture.h"
#include "model/thermal.h"
#include "recording_canvas.h"

using namespace kestro;

namespace {

double distance(PixelPoint a, PixelPoint b) { return std::hypot(a.x - b.x, a.y - b.y); }

// Largest and smallest outline radius of atom i over the 51 samples, in A.
std::pair<double, double> outline_extent(const DrawingState& state, int i)
{
    double lo = 1e9, hi = 0;
    for (std::size_t j = 0; j < CirclePoints; ++j) {
        const double r = outline_radius(state.ellipsoids[i], state.circle.cos[j], state.circle.sin[j]);
        lo = std::min(lo, r);
        hi = std::max(hi, r);
    }
    return {lo, hi};
}

} // namespace

TEST(Ellipsoids, IsotropicAtomAtFiftyPercentIsACircleOfKSqrtU)
{
    auto model = drawing_model({{"C 1", {0.5, 0.5, 0.5}, uiso(0.02)}});
    auto state = prepared(*model);
    const double radius = 1.5382 * std::sqrt(0.02); // 0.2175 A
    auto [lo, hi] = outline_extent(*state, 1);
    EXPECT_NEAR(lo, radius, 1e-6);
    EXPECT_NEAR(hi, radius, 1e-6);

    // Whatever the orientation.
    RecordingMessages messages;
    ASSERT_TRUE(rotate_view(*model, *state, rotation_xy(0.7, -1.1), {0.7, -1.1, 0}, messages));
    std::tie(lo, hi) = outline_extent(*state, 1);
    EXPECT_NEAR(lo, radius, 1e-6);
    EXPECT_NEAR(hi, radius, 1e-6);

    // In pixels at the known scale: one atom, so r^2 = 0.0001 and the
    // longest semi-axis is the radius itself: s0 = 338 / (0.01 + radius)
    // (to the 1e-6 by which 2 x 3.14159^2 differs from 2 pi^2).
    EXPECT_NEAR(state->screen.s0 / (338 / (0.01 + radius)), 1, 2e-6);
    RecordingCanvas canvas;
    draw_atom(*model, *state, 1, canvas);
    const auto outlines = canvas.polygons(51);
    ASSERT_EQ(outlines.size(), 1u);
    const PixelPoint centre = point_pixel(*state, 1);
    for (PixelPoint p : outlines[0]->points) EXPECT_NEAR(distance(p, centre), radius * state->screen.s, 0.75);
}

TEST(Ellipsoids, OutlinesScaleWithTheProbabilityFactor)
{
    // A monoclinic cell and a tilted anisotropic tensor with a negative U13.
    auto model = drawing_model({{"FE1", {0.1, 0.2, 0.3}, {0.03, 0.015, 0.02, 0.004, -0.006, 0.002}}}, 7, 8, 9, 104);
    RecordingMessages messages;
    model->drawing.probability_index = 1; // 10 %
    auto low = prepared(*model);
    model->drawing.probability_index = 9; // 90 %
    auto high = prepared(*model);
    for (std::size_t j = 0; j < CirclePoints; ++j) {
        const double a = outline_radius(low->ellipsoids[1], low->circle.cos[j], low->circle.sin[j]);
        const double b = outline_radius(high->ellipsoids[1], high->circle.cos[j], high->circle.sin[j]);
        EXPECT_NEAR(b / a, 2.5 / 0.7644, 1e-9);
    }
    // Nothing selected in the list: k = 1.
    EXPECT_EQ(probability_scale(0), 1.0);
    EXPECT_EQ(probability_scale(11), 1.0);
}

TEST(Ellipsoids, HydrogenRadiusDrawsHydrogenAsSpheresOfIt)
{
    auto model = drawing_model({{"C 1", {0.1, 0.2, 0.3}, {0.03, 0.015, 0.02, 0.004, -0.006, 0.002}},
                                {"H 1", {0.2, 0.2, 0.3}, uiso(0.05)}},
                               7, 8, 9, 104);
    const auto before = prepared(*model);
    model->drawing.hydrogen_radius = 0.15;
    for (const int probability : {5, 1, 9}) {
        model->drawing.probability_index = probability;
        const auto after = prepared(*model);
        for (std::size_t j = 0; j < CirclePoints; ++j) {
            const double c = after->circle.cos[j], s = after->circle.sin[j];
            EXPECT_NEAR(outline_radius(after->ellipsoids[2], c, s), 0.15, 1e-9);
            if (probability == 5) {
                EXPECT_EQ(outline_radius(after->ellipsoids[1], c, s), outline_radius(before->ellipsoids[1], c, s));
            }
        }
        // The scale follows the smallest axis, the sphere's included.
        EXPECT_LE(after->lambda_min, 1 / 0.0225 + 1e-9);
    }
    // The field and the option: empty is "as the ellipsoid", else 0.01 .. 2.
    EXPECT_EQ(parse_hydrogen_radius("  "), 0.0);
    EXPECT_EQ(parse_hydrogen_radius("0.25"), 0.25);
    for (const char* bad : {"0", "2.5", "-1", "x", "0.2A"}) EXPECT_FALSE(parse_hydrogen_radius(bad)) << bad;
}

TEST(Ellipsoids, PrincipalAxesMatchTheTensor)
{
    // Negative off-diagonal terms are real: the cleaning of Q on the value
    // would zero them and turn the ellipsoid.
    auto model = drawing_model({{"O 1", {0, 0, 0}, {0.04, 0.02, 0.01, -0.008, 0, -0.003}}});
    auto state = prepared(*model);
    const EllipsoidData& e = state->ellipsoids[1];
    ASSERT_FALSE(e.stand_in);
    EXPECT_GT(e.lambda[0], e.lambda[1]);
    EXPECT_GT(e.lambda[1], e.lambda[2]);
    for (int c = 0; c < 3; ++c) {
        const Vec3 v = {e.E[0][c], e.E[1][c], e.E[2][c]};
        const Vec3 qv = mat_vec(e.Q, v);
        for (int r = 0; r < 3; ++r) EXPECT_NEAR(qv[r], e.lambda[c] * v[r], 1e-6 * e.lambda[0]);
    }
    // Semi-axes are sqrt of the eigenvalues of k^2 U (cubic cell: U itself).
    // U's eigenvalues, roots of det(U - x I) found by bisection:
    // 0.0428366, 0.0181699, 0.0089936.
    const double k2 = 1.5382 * 1.5382;
    EXPECT_NEAR(1 / e.lambda[2], k2 * 0.0428366, 1e-6);
    EXPECT_NEAR(1 / e.lambda[1], k2 * 0.0181699, 1e-6);
    EXPECT_NEAR(1 / e.lambda[0], k2 * 0.0089936, 1e-6);
    EXPECT_LT(state->lambda_min, e.lambda[2] + 1e-12);
}

TEST(Ellipsoids, JacobiOfAKnownMatrix)
{
    // [[2,1,0],[1,2,0],[0,0,5]]: eigenvalues 5, 3, 1.
    Vec3 lambda{};
    Mat3 vectors{};
    const int sweeps = jacobi_eigen({{{2, 1, 0}, {1, 2, 0}, {0, 0, 5}}}, lambda, vectors);
    EXPECT_LE(sweeps, 11);
    EXPECT_NEAR(lambda[0], 5, 1e-12);
    EXPECT_NEAR(lambda[1], 3, 1e-12);
    EXPECT_NEAR(lambda[2], 1, 1e-12);
    EXPECT_NEAR(std::abs(vectors[2][0]), 1, 1e-12);
    EXPECT_NEAR(std::abs(vectors[0][1]), std::sqrt(0.5), 1e-12);
}

TEST(Ellipsoids, IsoModeUsesUeqWithTheCrossTermsTwice)
{
    const Thermal6 u = {0.03, 0.02, 0.025, 0, 0.005, 0};
    auto model = drawing_model({{"S 1", {0.2, 0.2, 0.2}, u}}, 8, 9, 10, 110);
    model->drawing.thermal_iso = 1;
    auto state = prepared(*model);
    // Ueq = (1/3) sum U^ij a*_i a*_j a_i.a_j; from the betaij the formula is
    // [b11 a^2 + ... + 2 b13 a c cos(beta)] / (3 * 2 pi^2).
    const CrystalCell& c = model->cell;
    const auto& b = model->generated[1].thermal;
    const double ueq = (b[0] * c.a * c.a + b[1] * c.b * c.b + b[2] * c.c * c.c +
                        2 * b[4] * c.a * c.c * std::cos(110 * M_PI / 180)) /
                       (3 * 19.7391754562);
    const auto [lo, hi] = outline_extent(*state, 1);
    EXPECT_NEAR(lo, 1.5382 * std::sqrt(ueq), 1e-5);
    EXPECT_NEAR(hi, 1.5382 * std::sqrt(ueq), 1e-5);
}

TEST(Ellipsoids, SingularAndIndefiniteTensorsStillDraw)
{
    auto model = drawing_model({{"C 1", {0.1, 0.1, 0.1}, uiso(0.02)},
                                {"C 2", {0.3, 0.1, 0.1}, {0.02, 0.02, 0.02, 0, 0, 0}},
                                {"C 3", {0.5, 0.1, 0.1}, {0.02, -0.01, 0.02, 0, 0, 0}},
                                {"C 4", {0.7, 0.1, 0.1}, {0.02, 0.02, 0.02, 0, 0, 0}}});
    // Two atoms with every betaij 0: one message for the whole structure.
    model->generated[2].thermal = {0, 0, 0, 0, 0, 0};
    model->generated[4].thermal = {0, 0, 0, 0, 0, 0};
    auto state = std::make_unique<DrawingState>();
    RecordingMessages messages;
    prepare_drawing(*model, *state, 686, 686, messages);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0], "erreur dans dessin ligne 385 (matinv)");
    EXPECT_FALSE(state->ellipsoids[1].stand_in);
    EXPECT_TRUE(state->ellipsoids[2].stand_in);
    EXPECT_TRUE(state->ellipsoids[3].stand_in); // U22 < 0: not positive definite
    EXPECT_TRUE(std::isfinite(state->screen.s0));

    RecordingCanvas canvas;
    draw_scene(*model, *state, canvas);
    const auto atoms = canvas.polygons(51);
    ASSERT_EQ(atoms.size(), 4u);
    for (const CanvasCall* atom : atoms) {
        const PixelPoint first = atom->points.front();
        for (PixelPoint p : atom->points) EXPECT_LT(std::abs(p.x - first.x), 200);
    }
}

TEST(Ellipsoids, GradationRingsGoFromTheAtomColourToWhite)
{
    auto model = drawing_model({{"O 1", {0.5, 0.5, 0.5}, uiso(0.02)}});
    model->drawing.colour_gradation = 1;
    auto state = prepared(*model);
    RecordingCanvas canvas;
    draw_atom(*model, *state, 1, canvas);
    const auto polygons = canvas.of_kind(CanvasCall::Polygon);
    const int n = static_cast<int>(std::round(outline_extent(*state, 1).second * state->screen.s));
    ASSERT_EQ(static_cast<int>(polygons.size()), 1 + n);
    EXPECT_EQ(polygons.front()->brush, model->generated[1].colour);
    EXPECT_EQ(polygons.back()->brush, 0xFFFFFFu);
    // The outermost ring is close to the colour: t = 1 + 16 ((n - 1)/n)^2.
    const double t = 1 + 16.0 * (n - 1) * (n - 1) / (double(n) * n);
    const unsigned green = (model->generated[1].colour >> 8) & 0xFF;
    EXPECT_EQ((polygons[1]->brush >> 8) & 0xFF, static_cast<unsigned>(std::lround((255.0 - green) / t + green)));
    EXPECT_EQ(canvas.of_kind(CanvasCall::Polyline).size(), 1u); // the outline drawn again

    // An atom far larger than the canvas: at most one ring per canvas pixel,
    // the innermost (white) one still drawn.
    state->screen.s = 5000 / outline_extent(*state, 1).second;
    RecordingCanvas huge(300, 200);
    draw_atom(*model, *state, 1, huge);
    const auto rings = huge.of_kind(CanvasCall::Polygon);
    EXPECT_LE(rings.size(), 1u + 300u);
    EXPECT_GE(rings.size(), 1u + 250u);
    EXPECT_EQ(rings.back()->brush, 0xFFFFFFu);

    // Under half a pixel: no ring, the outline keeps the colour.
    state->screen.s = 0.4 / outline_extent(*state, 1).second;
    RecordingCanvas small;
    draw_atom(*model, *state, 1, small);
    EXPECT_EQ(small.of_kind(CanvasCall::Polygon).size(), 1u);
}

TEST(Ellipsoids, SectionsOfASphereAreFrontHalves)
{
    auto model = drawing_model({{"C 1", {0.5, 0.5, 0.5}, uiso(0.02)}});
    model->drawing.draw_planes_axes = 1;
    auto state = prepared(*model);
    RecordingCanvas canvas;
    draw_atom(*model, *state, 1, canvas);
    const PixelPoint centre = point_pixel(*state, 1);
    const double radius = 1.5382 * std::sqrt(0.02) * state->screen.s;
    // Principal frame = crystal frame = view frame: the (1,2) circle lies in
    // the screen plane (every sample a silhouette, none drawn); the two
    // others are edge-on and give their front half as lines through the centre.
    for (const CanvasCall* run : canvas.of_kind(CanvasCall::Polyline))
        for (PixelPoint p : run->points) EXPECT_LE(distance(p, centre), radius + 1);
    const auto axes = canvas.of_kind(CanvasCall::Line);
    ASSERT_EQ(axes.size(), 3u);
    for (const CanvasCall* axis : axes) {
        EXPECT_EQ(axis->points[0], centre);
        const double length = distance(axis->points[1], centre);
        EXPECT_TRUE(length < 1 || std::abs(length - radius) < 1) << length;
    }
}

// The outline's radii and pixels two at a time are the one-at-a-time values
// bit for bit: odd and even table sizes, an indefinite outline (radius 0),
// NaN, pixels on exact half-way points and far outside the picture.
TEST(Ellipsoids, PairedOutlinePointsEqualTheSingleOnes)
{
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> coefficient(-3, -0.1);
    for (const int points : {CirclePoints, DeviceCirclePoints, 4}) {
        const CircleTable circle = make_circle_table(points);
        for (int trial = 0; trial < 200; ++trial) {
            EllipsoidData d;
            d.A = coefficient(rng), d.B = coefficient(rng), d.C = coefficient(rng) / 2, d.K = -1;
            if (trial == 1) d.A = 2; // part of the outline indefinite
            if (trial == 2) d.K = NAN;
            std::array<double, MaxCirclePoints> rho{};
            outline_radii(d, circle, rho.data());
            for (std::size_t j = 0; j < static_cast<std::size_t>(points); ++j)
                EXPECT_EQ(std::bit_cast<std::uint64_t>(rho[j]),
                          std::bit_cast<std::uint64_t>(outline_radius(d, circle.cos[j], circle.sin[j])));
            ScreenMap screen;
            screen.s = trial % 3 == 0 ? 0.5 : 37.3 + trial;
            screen.x0 = 343, screen.y0 = 343 - trial;
            const double x = trial % 5 == 0 ? 1e9 : (trial - 100) * 0.25, y = trial % 7 == 0 ? -HUGE_VAL : trial * 0.125;
            std::array<PixelPoint, MaxCirclePoints> pixels{};
            const double fraction = 1.0 - trial / 400.0;
            outline_pixels(screen, circle, rho.data(), x, y, fraction, pixels.data());
            for (std::size_t j = 0; j < static_cast<std::size_t>(points); ++j) {
                const double r = rho[j] * fraction;
                EXPECT_EQ(pixels[j], to_pixel(screen, x + r * circle.cos[j], y + r * circle.sin[j])) << trial << " " << j;
            }
        }
    }
}

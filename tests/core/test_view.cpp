// Projection and the changes of the view: mouse rotation, orientation by
// atoms, best view, scale and zoom.
#include <gtest/gtest.h>

#include <cmath>

#include "drawing_fixture.h"

using namespace kestro;

namespace {

void expect_matrix_near(const Mat3& a, const Mat3& b, double tolerance)
{
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) EXPECT_NEAR(a[i][j], b[i][j], tolerance) << i << j;
}

std::unique_ptr<StructureModel> four_atoms()
{
    return drawing_model({{"C 1", {0.1, 0.2, 0.3}, uiso(0.02)},
                          {"C 2", {0.3, 0.25, 0.35}, uiso(0.02)},
                          {"O 1", {0.2, 0.4, 0.1}, uiso(0.02)},
                          {"N 1", {0.35, 0.1, 0.2}, uiso(0.02)}},
                         9, 10, 11, 100);
}

} // namespace

TEST(View, PixelMappingRoundsHalfToEvenAndFlipsRows)
{
    ScreenMap screen;
    screen.x0 = 100;
    screen.y0 = 200;
    screen.s = 1;
    EXPECT_EQ(to_pixel(screen, 0.5, 0.5), (PixelPoint{100, 200}));
    EXPECT_EQ(to_pixel(screen, 1.5, 1.5), (PixelPoint{102, 198}));
    EXPECT_EQ(to_pixel(screen, -2.5, -0.4), (PixelPoint{98, 200}));
    // Far off the picture stays a defined pixel.
    const PixelPoint far = to_pixel(screen, 1e300, NAN);
    EXPECT_LT(std::abs(static_cast<double>(far.x)), 2e8);
}

TEST(View, PointsAreCentredOnTheShownAtoms)
{
    auto model = four_atoms();
    model->generated[4].shown = 0; // masked: left out of the centroid and the extent
    model->generated[1].shown = 2; // any flag other than 0 is on, as a file may hold it
    auto state = prepared(*model);
    double x = 0, y = 0, z = 0;
    for (int i = 1; i <= 3; ++i) x += state->view.X[i], y += state->view.Y[i], z += state->view.Z[i];
    EXPECT_NEAR(x, 0, 1e-12);
    EXPECT_NEAR(y, 0, 1e-12);
    EXPECT_NEAR(z, 0, 1e-12);
    double r2 = 0;
    for (int i = 1; i <= 3; ++i)
        r2 = std::max(r2, state->view.X[i] * state->view.X[i] + state->view.Y[i] * state->view.Y[i] +
                              state->view.Z[i] * state->view.Z[i]);
    EXPECT_NEAR(state->screen.s0, 338 / (std::sqrt(r2) + 1 / std::sqrt(state->lambda_min)), 1e-9);
}

TEST(View, MouseDragOfOneHundredPixelsTurnsOneRadianAboutViewY)
{
    auto model = four_atoms();
    auto state = prepared(*model);
    RecordingMessages messages;
    const Mat3 before = model->cell.metric.T;
    const double x1 = state->view.X[1], z1 = state->view.Z[1];
    // In two moves, as the mouse reports them.
    ASSERT_TRUE(mouse_step(*model, *state, MouseMode::RotationXY, {300, 300}, {340, 300}, messages));
    ASSERT_TRUE(mouse_step(*model, *state, MouseMode::RotationXY, {340, 300}, {400, 300}, messages));
    const Mat3 ry = {{{std::cos(1.0), 0, std::sin(1.0)}, {0, 1, 0}, {-std::sin(1.0), 0, std::cos(1.0)}}};
    expect_matrix_near(model->cell.metric.T, mat_product(ry, before), 1e-12);
    EXPECT_NEAR(state->screen.accumulated[1], 57.2957, 1e-9);
    EXPECT_NEAR(state->view.X[1], std::cos(1.0) * x1 + std::sin(1.0) * z1, 1e-12);
    // The frame stays consistent: R = T GBi, D = R B.
    const CellMetric& m = model->cell.metric;
    expect_matrix_near(m.R, mat_product(m.T, m.GBi), 1e-12);
    expect_matrix_near(mat_product(m.T, m.T_inv), identity3(), 1e-12);
    expect_matrix_near(m.D, mat_product(m.R, m.B), 1e-12);
    // Rotation leaves the outlines consistent with the frame.
    EllipsoidData fresh = state->ellipsoids[2];
    compute_outline(m.R, m.R_inv, fresh);
    EXPECT_NEAR(fresh.A, state->ellipsoids[2].A, 1e-9);
    EXPECT_EQ(messages.shown.size(), 0u);
    // Colour gradation goes off with the first rotation step.
    model->drawing.colour_gradation = 1;
    mouse_step(*model, *state, MouseMode::RotationXY, {0, 0}, {0, 1}, messages);
    EXPECT_EQ(model->drawing.colour_gradation, 0);
}

TEST(View, RotationAboutZFollowsTheMouseAroundTheOrigin)
{
    auto model = four_atoms();
    auto state = prepared(*model);
    RecordingMessages messages;
    const int x0 = state->screen.x0, y0 = state->screen.y0;
    const double x = state->view.X[1], y = state->view.Y[1];
    // A quarter turn from the right of the origin to above it.
    ASSERT_TRUE(mouse_step(*model, *state, MouseMode::RotationZ, {x0 + 100, y0}, {x0, y0 - 100}, messages));
    EXPECT_NEAR(state->view.X[1], -y, 1e-12);
    EXPECT_NEAR(state->view.Y[1], x, 1e-12);
    // Translation moves the origin only.
    ASSERT_TRUE(mouse_step(*model, *state, MouseMode::Translation, {10, 10}, {15, 7}, messages));
    EXPECT_EQ(state->screen.x0, x0 + 5);
    EXPECT_EQ(state->screen.y0, y0 - 3);
}

TEST(View, SingularRotationIsRefusedAndChangesNothing)
{
    auto model = four_atoms();
    auto state = prepared(*model);
    RecordingMessages messages;
    const Mat3 before = model->cell.metric.T;
    EXPECT_FALSE(rotate_view(*model, *state, zero3(), {0, 0, 0}, messages));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0], "erreur dans dessin ligne 1427");
    expect_matrix_near(model->cell.metric.T, before, 0);
}

TEST(View, OrientationByTwoAtomsLooksFromTheSecondToTheFirst)
{
    auto model = four_atoms();
    auto state = prepared(*model);
    RecordingMessages messages;
    ASSERT_TRUE(orient_by_two_atoms(*model, *state, 1, 3, messages));
    // View Z along P1 -> P3: P3 nearer, the two on one pixel.
    EXPECT_GT(state->view.Z[3], state->view.Z[1]);
    EXPECT_EQ(point_pixel(*state, 1), point_pixel(*state, 3));
    // The direction boxes show P3 - P1 = (0.1, 0.2, -0.2) over its largest component.
    const Vec3 d = direction_of_projection(*model);
    EXPECT_NEAR(d[0], 0.5, 1e-9);
    EXPECT_NEAR(d[1], 1.0, 1e-9);
    EXPECT_NEAR(d[2], -1.0, 1e-9);
    EXPECT_EQ(direction_texts(*model)[0], "   0.50000");

    // The same atom twice gives no direction: the view is kept.
    const Mat3 before = model->cell.metric.T;
    EXPECT_FALSE(orient_by_two_atoms(*model, *state, 2, 2, messages));
    expect_matrix_near(model->cell.metric.T, before, 0);
}

TEST(View, BestViewPutsThreeAtomsInTheScreenPlane)
{
    auto three = drawing_model({{"C 1", {0.1, 0.2, 0.3}, uiso(0.02)},
                                {"C 2", {0.3, 0.25, 0.35}, uiso(0.02)},
                                {"O 1", {0.2, 0.4, 0.1}, uiso(0.02)}},
                               9, 10, 11, 100);
    auto state = prepared(*three);
    RecordingMessages messages;
    ASSERT_TRUE(best_view(*three, *state, messages));
    EXPECT_NEAR(state->view.Z[1], state->view.Z[2], 1e-9);
    EXPECT_NEAR(state->view.Z[1], state->view.Z[3], 1e-9);
    // View Z along (P2 - P1) x (P2 - P3) in Cartesian space.
    const Mat3& bg = three->cell.metric.BG;
    const auto cart = [&](int i) { return mat_vec(bg, three->generated[i].xyz); };
    const Vec3 p1 = cart(1), p2 = cart(2), p3 = cart(3);
    const Vec3 n = vec_cross({p2[0] - p1[0], p2[1] - p1[1], p2[2] - p1[2]}, {p2[0] - p3[0], p2[1] - p3[1], p2[2] - p3[2]});
    const Vec3 z_in_crystal = mat_vec(three->cell.metric.R_inv, {0, 0, 1});
    const Vec3 unit = vec_normalise(n);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(z_in_crystal[i], unit[i], 1e-9);

    auto two = drawing_model({{"C 1", {0.1, 0.2, 0.3}, uiso(0.02)}, {"C 2", {0.3, 0.25, 0.35}, uiso(0.02)}});
    auto two_state = prepared(*two);
    const Mat3 before = two->cell.metric.T;
    EXPECT_FALSE(best_view(*two, *two_state, messages));
    expect_matrix_near(two->cell.metric.T, before, 0);

    // Four atoms: the farthest pair and the atom farthest from its middle.
    auto four = four_atoms();
    auto four_state = prepared(*four);
    ASSERT_TRUE(best_view(*four, *four_state, messages));
    EXPECT_TRUE(messages.shown.empty());
}

TEST(View, ScaleSliderZoomRectangleAndReset)
{
    auto model = four_atoms();
    auto state = prepared(*model);
    const double s0 = state->screen.s0;
    change_echelle(*state, -4);
    EXPECT_NEAR(state->screen.f, 0.2, 1e-12);
    EXPECT_EQ(zoom_text_from_slider(state->screen.f), " X 0.2");
    change_echelle(*state, 10);
    EXPECT_NEAR(state->screen.f, 3.0, 1e-12);
    EXPECT_NEAR(state->screen.s, 3 * s0, 1e-9);
    EXPECT_EQ(zoom_text_from_slider(state->screen.f), " X 3.0");

    // Over empty background: only the scale changes.
    change_echelle(*state, 0);
    const ViewPoints before = state->view;
    const int position = zoom_to_rectangle(*state, {0, 0}, {100, 60});
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(state->view.X[i], before.X[i]);
    EXPECT_NEAR(state->screen.s, 686 / (100 / s0), 1e-9);
    EXPECT_EQ(position, static_cast<int>(std::lround(5 * 6.86 - 5)));
    EXPECT_EQ(zoom_text_from_rectangle(state->screen.f), " X   6.86");

    // Around atom 2 alone: it becomes the centre.
    change_echelle(*state, 0);
    const PixelPoint p = point_pixel(*state, 2);
    zoom_to_rectangle(*state, {p.x + 3, p.y + 3}, {p.x - 3, p.y - 3});
    EXPECT_NEAR(state->view.X[2], 0, 1e-12);
    EXPECT_NEAR(state->view.Y[2], 0, 1e-12);

    reset_zoom(*model, *state);
    const ViewPoints once = state->view;
    const double s_once = state->screen.s;
    reset_zoom(*model, *state);
    EXPECT_EQ(state->screen.f, 1.0);
    EXPECT_EQ(state->screen.s, s_once);
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(state->view.X[i], once.X[i]);
}

TEST(View, AResizedPictureKeepsItsShareZoomAndTranslation)
{
    auto model = four_atoms();
    auto state = prepared(*model);
    change_echelle(*state, 5);
    state->screen.x0 += 30; // translated with the mouse
    const double ratio = resize_picture(*state, 1000);
    EXPECT_DOUBLE_EQ(ratio, 495.0 / 338.0);
    EXPECT_EQ(state->screen.x0, 500 + std::lround(30 * ratio));
    EXPECT_EQ(state->screen.y0, 500);
    EXPECT_EQ(state->screen.f, 2.0);
    // Back to the first side: the same scale, the computation's own after a redraw.
    resize_picture(*state, 686);
    RecordingMessages messages;
    update_view(*model, *state, messages);
    auto fresh = prepared(*model);
    EXPECT_NEAR(state->screen.s0, fresh->screen.s0, 1e-12);
}

TEST(View, CentreAtomBecomesTheOrigin)
{
    auto model = four_atoms();
    auto state = prepared(*model);
    const double dx = state->view.X[3] - state->view.X[1];
    choose_centre_atom(*state, 3);
    EXPECT_EQ(state->view.X[3], 0);
    EXPECT_NEAR(state->view.X[1], -dx, 1e-12);
}

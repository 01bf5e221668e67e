// Cell metric, view frames from axes, 3x3 routines and crystal systems.
// Expected values are worked by hand from the cell (International Tables
// Vol. B, ch. 1.1) unless stated otherwise.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "crystal/oemath.h"
#include "recording_messages.h"

using namespace kestro;

namespace {

StructureModel cell_of(double a, double b, double c, double alpha, double beta, double gamma)
{
    StructureModel model;
    CrystalCell& t = model.cell;
    t.a = a, t.b = b, t.c = c, t.alpha = alpha, t.beta = beta, t.gamma = gamma;
    return model;
}

StructureModel metric_of(double a, double b, double c, double alpha, double beta, double gamma)
{
    StructureModel model = cell_of(a, b, c, alpha, beta, gamma);
    RecordingMessages messages;
    EXPECT_TRUE(cell_metric(model, messages));
    return model;
}

template <class A>
void expect_near(const A& actual, const A& expected, double tolerance)
{
    for (std::size_t i = 0; i < actual.size(); ++i) {
        if constexpr (std::is_same_v<A, Mat3>) expect_near(actual[i], expected[i], tolerance);
        else EXPECT_NEAR(actual[i], expected[i], tolerance) << "component " << i;
    }
}

Mat3 transpose(const Mat3& m)
{
    return {{{m[0][0], m[1][0], m[2][0]}, {m[0][1], m[1][1], m[2][1]}, {m[0][2], m[1][2], m[2][2]}}};
}
double length(const Vec3& v) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

// A right-handed rotation: R R^T = I and det R = +1.
void expect_rotation(const Mat3& r, double tolerance = 1e-9)
{
    expect_near(mat_product(r, transpose(r)), identity3(), tolerance);
    EXPECT_NEAR(mat_det(r), 1.0, tolerance);
}

// The cell holds only doubles: byte equality is "exactly as before".
bool same_cell(const CrystalCell& a, const CrystalCell& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

} // namespace

TEST(OemathMatrices, DeterminantInverseProductCross)
{
    const Mat3 n = {{{2, 0, 1}, {1, 3, 2}, {1, 1, 2}}};
    EXPECT_DOUBLE_EQ(mat_det(n), 6);
    Mat3 inv;
    ASSERT_TRUE(mat_inverse(n, inv));
    expect_near(mat_product(n, inv), identity3(), 1e-14);
    // Singular: failure, and the adjugate left undivided.
    EXPECT_FALSE(mat_inverse({{{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}}, inv));
    expect_near(inv, {{{-3, 6, -3}, {6, -12, 6}, {-3, 6, -3}}}, 1e-12);
    // Row i of A times column j of B, not the other way round.
    const Mat3 a = {{{1, 2, 0}, {0, 1, 0}, {0, 0, 1}}}, b = {{{1, 0, 0}, {3, 1, 0}, {0, 0, 1}}};
    expect_near(mat_product(a, b), {{{7, 2, 0}, {3, 1, 0}, {0, 0, 1}}}, 0);
    expect_near(mat_vec(a, {1, 1, 1}), {3, 1, 1}, 0);
    expect_near(vec_cross({0, 0, 1}, {1, 0, 0}), {0, 1, 0}, 0);
    expect_near(vec_normalise({3, 0, 4}), {0.6, 0, 0.8}, 1e-15);
    expect_near(vec_normalise({0, 0, 0}), {0, 0, 0}, 0); // no NaN
}

TEST(OemathCellMetric, CubicCellWithTheProgramsDegreeFactor)
{
    const StructureModel model = metric_of(10, 10, 10, 90, 90, 90);
    const CellMetric& m = model.cell.metric;
    EXPECT_NEAR(m.volume, 1000, 1e-6);
    EXPECT_NEAR(model.cell.a_star, 0.1, 1e-9);
    // cos(90 / 57.2957) and 57.2957 arccos(cos alpha*), computed with an
    // independent program: pi/180 and 180/pi would give 0 and 90.
    EXPECT_NEAR(m.cos_gamma, -2.1798993e-6, 1e-12);
    EXPECT_NEAR(model.cell.alpha_star, 89.99975020, 1e-7);
    expect_near(m.B, {{{0.1, 0, 0}, {0, 0.1, 0}, {0, 0, 0.1}}}, 1e-6);
    expect_near(m.T, {{{10, 0, 0}, {0, 10, 0}, {0, 0, 10}}}, 1e-4);
    EXPECT_EQ(m.T, m.BG);
    EXPECT_EQ(m.T_inv, m.GBi);
    EXPECT_EQ(m.R, identity3());
    EXPECT_EQ(m.R_inv, identity3());
}

TEST(OemathCellMetric, MonoclinicCellGivesTheLengthsOfTheMetricTensor)
{
    StructureModel model = cell_of(5, 7, 9, 90, 105, 90);
    model.cell.metric.D = {{{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}}; // D and O are kept
    model.cell.metric.O = transpose(model.cell.metric.D);
    RecordingMessages messages;
    ASSERT_TRUE(cell_metric(model, messages));
    const CellMetric& m = model.cell.metric;
    EXPECT_EQ(m.D[2], (Vec3{7, 8, 9}));
    EXPECT_EQ(m.O[2], (Vec3{3, 6, 9}));
    // sin 105 = 0.965925: V = abc sin(beta), a* = 1/(a sin beta), c* = 1/(c sin beta).
    EXPECT_NEAR(m.volume, 304.2664, 2e-3);
    EXPECT_NEAR(model.cell.a_star, 0.2070554, 1e-5);
    EXPECT_NEAR(model.cell.b_star, 1.0 / 7, 1e-9);
    EXPECT_NEAR(model.cell.c_star, 0.1150308, 1e-5);
    EXPECT_NEAR(model.cell.beta_star, 75, 1e-3);
    // z along c, x along a*: a lies at (a sin beta, 0, a cos beta).
    expect_near(mat_vec(m.BG, {0, 0, 1}), {0, 0, 9}, 1e-5);
    expect_near(mat_vec(m.BG, {1, 0, 0}), {4.829626, 0, -1.294108}, 1e-4);
    // d = (0.3, -0.3, 0.3): |d|^2 = 0.09 (a^2 + b^2 + c^2 + 2ac cos beta).
    EXPECT_NEAR(length(mat_vec(m.BG, {0.3, -0.3, 0.3})), 3.442901, 1e-5);
    expect_near(mat_product(transpose(m.B), m.B), m.G_star, 1e-12);
    expect_near(mat_product(m.GBi, m.BG), identity3(), 1e-12);
    // Unit vectors in Angstrom and in reciprocal Angstrom.
    EXPECT_NEAR(length(mat_vec(m.BG, direct_normalise(model.cell, {1, 0, 1}))), 1, 1e-12);
    EXPECT_NEAR(length(mat_vec(m.B, reciprocal_normalise(model.cell, {1, 0, 2}))), 1, 1e-12);
}

TEST(OemathCellMetric, CellsThatAreNotCellsAreRefusedAndTheModelKept)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::string no_volume = "The cell parameters do not give a cell: the volume is not positive";
    const std::string refused = "The cell parameters do not give a cell: ";
    struct Case {
        double a, b, c, alpha, beta, gamma;
        std::string message;
    } const cases[] = {
        {6, 7, 8, 10, 10, 90, no_volume},
        {6, 7, 8, 120, 120, 120, no_volume},
        {6, 7, 8, 60, 60, 119.99999, no_volume}, // all but flat: volume factor about 2e-7
        {6, 7, 0, 90, 90, 90, refused + "c = 0 is not between 0.5 and 10000 Angstrom"},
        {-6, 7, 8, 90, 90, 90, refused + "a = -6 is not between 0.5 and 10000 Angstrom"},
        {nan, 7, 8, 90, 90, 90, refused + "a = nan is not between 0.5 and 10000 Angstrom"},
        {6, 7, 8, 90, 1 / 0.0, 90, refused + "beta = inf is not between 0 and 180 degrees"},
        // Accepted until now: a blank picture, and a 309-digit number in a saved file.
        {6, 1e308, 8, 90, 90, 90, refused + "b = 1e+308 is not between 0.5 and 10000 Angstrom"},
        {6, 7, 8, -90, 90, 90, refused + "alpha = -90 is not between 0 and 180 degrees"},
        {6, 7, 8, 90, 90, 359.99999, refused + "gamma = 359.99999 is not between 0 and 180 degrees"},
    };
    const StructureModel good = metric_of(6, 7, 8, 90, 100, 90);
    for (const Case& c : cases) {
        StructureModel model = good;
        CrystalCell& t = model.cell;
        t.a = c.a, t.b = c.b, t.c = c.c, t.alpha = c.alpha, t.beta = c.beta, t.gamma = c.gamma;
        const CrystalCell before = model.cell;
        RecordingMessages messages;
        EXPECT_FALSE(cell_metric(model, messages)) << c.message;
        EXPECT_EQ(messages.shown, std::vector<std::string>{c.message});
        EXPECT_TRUE(same_cell(model.cell, before)) << c.message;
    }
}

TEST(OemathFrames, OneAxisAlongACrystalAxis)
{
    // Z along c of a tetragonal cell: s < 0.0001, the identity. An axis
    // pointing the other way is turned by 180 degrees (about Y, or about X
    // for Y), so that the view does not come from the wrong side.
    struct Case {
        int axis;
        Vec3 uvw;
        Mat3 r;
    } const cases[] = {
        {2, {0, 0, 1}, identity3()},
        {2, {0, 0, -1}, {{{-1, 0, 0}, {0, 1, 0}, {0, 0, -1}}}},
        {0, {-1, 0, 0}, {{{-1, 0, 0}, {0, 1, 0}, {0, 0, -1}}}},
        {1, {0, -1, 0}, {{{1, 0, 0}, {0, -1, 0}, {0, 0, -1}}}},
    };
    for (const Case& c : cases) {
        StructureModel model = metric_of(5, 5, 8, 90, 90, 90);
        model.cell.metric.D[c.axis] = direct_normalise(model.cell, c.uvw);
        RecordingMessages messages;
        ASSERT_TRUE(orient_from_axes(model, messages));
        expect_near(model.cell.metric.R, c.r, 1e-12);
        ASSERT_TRUE(orthonormalise_view(model, messages));
        // The given axis points along +view axis, its length kept.
        const Vec3 v = mat_vec(model.cell.metric.T, c.uvw);
        EXPECT_NEAR(v[c.axis], c.axis == 2 ? 8 : 5, 1e-4);
        EXPECT_NEAR(v[(c.axis + 1) % 3], 0, 1e-4);
    }
}

TEST(OemathFrames, OneGeneralAxisCompletesARightHandedFrame)
{
    for (int axis = 0; axis < 3; ++axis) {
        SCOPED_TRACE(axis);
        StructureModel model = metric_of(5, 7, 9, 90, 105, 90);
        CellMetric& m = model.cell.metric;
        m.D[axis] = direct_normalise(model.cell, {1, 1, 1});
        RecordingMessages messages;
        ASSERT_TRUE(orient_from_axes(model, messages));
        expect_rotation(m.R);
        expect_near(m.R[axis], vec_normalise(mat_vec(m.BG, {1, 1, 1})), 1e-12);
        expect_near(mat_product(m.D, m.O), identity3(), 1e-12);
        ASSERT_TRUE(orthonormalise_view(model, messages));
        const Vec3 v = mat_vec(m.T, {1, 1, 1});
        EXPECT_NEAR(v[axis], length(mat_vec(m.BG, {1, 1, 1})), 1e-9);
        EXPECT_NEAR(v[(axis + 1) % 3], 0, 1e-9);
        EXPECT_NEAR(length(mat_vec(m.T, {0.3, -0.3, 0.3})), 3.442901, 1e-5);
        expect_near(mat_product(m.T_inv, m.T), identity3(), 1e-12);
    }
}

TEST(OemathFrames, TwoAxesGiveTheThirdAsTheirCrossProduct)
{
    // X along a, Z along the normal of (001): Y = Z x X is b, and by hand
    // R = [[sin b, 0, cos b], [0, 1, 0], [-cos b, 0, sin b]] for beta = 105
    // (1e-5: with the degree factor alpha and gamma are 90.000125 degrees).
    StructureModel model = metric_of(5, 7, 9, 90, 105, 90);
    CellMetric& m = model.cell.metric;
    m.D[0] = direct_normalise(model.cell, {1, 0, 0});
    m.D[2] = mat_vec(m.G_star, reciprocal_normalise(model.cell, {0, 0, 1}));
    RecordingMessages messages;
    ASSERT_TRUE(orient_from_axes(model, messages));
    const double s = 0.9659252, c = -0.2588215;
    expect_near(m.R, {{{s, 0, c}, {0, 1, 0}, {-c, 0, s}}}, 1e-5);
    expect_rotation(m.R);
    expect_near(mat_product(m.D, m.O), identity3(), 1e-12);

    // Y and Z given: X = Y x Z.
    StructureModel cubic = metric_of(10, 10, 10, 90, 90, 90);
    cubic.cell.metric.D[1] = direct_normalise(cubic.cell, {0, 1, 0});
    cubic.cell.metric.D[2] = direct_normalise(cubic.cell, {0, 0, 1});
    ASSERT_TRUE(orient_from_axes(cubic, messages));
    expect_near(cubic.cell.metric.D[0], {0.1, 0, 0}, 1e-6);
    EXPECT_TRUE(messages.shown.empty());
}

TEST(OemathFrames, AxesThatAreNotAFrameAreRefusedAndTheViewKept)
{
    const std::string not_perpendicular = "Error! The vectors are not perpendicular";
    const std::string determinant = " The matrix determinant is different from 1";
    struct Case {
        Vec3 x, y, z; // direct axes of a hexagonal cell, zero when absent
        std::string message;
    } const cases[] = {
        {{1, 0, 0}, {1, 1, 0}, {0, 0, 0}, not_perpendicular}, // a and a + b: 60 degrees
        {{1, 0, 0}, {0, 1, 0}, {0, 0, 0}, not_perpendicular}, // a and b: 120 degrees
        {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, determinant},       // det = sin 120
        // Left-handed: |det| = 1, but it would draw the mirror image.
        {{1, 0, 0}, {1, 2, 0}, {0, 0, -1}, determinant},
        {{1, 0, 0}, {1, 2, 0}, {0, 0, 1}, ""}, // the same set right-handed is a frame
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        StructureModel model = metric_of(5, 5, 7, 90, 90, 120);
        const Vec3* rows[] = {&c.x, &c.y, &c.z};
        for (int i = 0; i < 3; ++i)
            if (length(*rows[i]) > 0) model.cell.metric.D[i] = direct_normalise(model.cell, *rows[i]);
        const CrystalCell before = model.cell;
        RecordingMessages messages;
        EXPECT_EQ(orient_from_axes(model, messages), c.message.empty());
        if (c.message.empty()) {
            expect_rotation(model.cell.metric.R, 1e-5); // perpendicular up to the degree factor
            continue;
        }
        EXPECT_EQ(messages.shown, std::vector<std::string>{c.message});
        EXPECT_TRUE(same_cell(model.cell, before));
    }
}

TEST(OemathFrames, SingularFramesAreShownAndChangeNothing)
{
    // No metric yet: B is zero, so D = R B is singular.
    StructureModel model;
    model.cell.metric.D[2] = {0, 0, 1};
    CrystalCell before = model.cell;
    RecordingMessages messages;
    EXPECT_FALSE(orient_from_axes(model, messages));
    EXPECT_TRUE(same_cell(model.cell, before));
    // An O without axes cannot be orthonormalised.
    model = metric_of(6, 7, 8, 90, 90, 90);
    before = model.cell;
    EXPECT_FALSE(orthonormalise_view(model, messages));
    EXPECT_TRUE(same_cell(model.cell, before));
    EXPECT_EQ(messages.shown,
              (std::vector<std::string>{"erreur dans oemath ligne 1072", "erreur dans oemath ligne 1936"}));
    // No row present (squares summing to 0.0001 or less): success, no change.
    model.cell.metric.D[0] = {0.005, 0.005, 0.005};
    before = model.cell;
    EXPECT_TRUE(orient_from_axes(model, messages));
    EXPECT_TRUE(same_cell(model.cell, before));
}

TEST(OemathFrames, OrthonormalisingGivesARotationFromTiltedUnscaledAxes)
{
    // X and Y half a degree from perpendicular and not of unit length: T is
    // still a rotation of BG, distances in Angstrom.
    StructureModel model = metric_of(10, 10, 10, 90, 90, 90);
    CellMetric& m = model.cell.metric;
    m.O = {{{0.1, 0.1 * std::sin(0.5 * DegToRad), 0}, {0, 0.1 * std::cos(0.5 * DegToRad), 0}, {0, 0, 0}}};
    RecordingMessages messages;
    ASSERT_TRUE(orthonormalise_view(model, messages));
    expect_rotation(m.R);
    expect_near(m.R[0], {1, 0, 0}, 1e-5);
    EXPECT_NEAR(length(mat_vec(m.T, {0.3, 0.4, 0})), 5, 1e-4);
    expect_near(mat_product(m.T_inv, m.T), identity3(), 1e-12);
}

TEST(OemathCrystalSystem, FromTheSixCellValues)
{
    struct Case {
        double a, b, c, alpha, beta, gamma;
        const char* expected;
    } const cases[] = {
        {10, 10, 10, 90, 90, 90, "CUBI"}, {10, 10.0005, 10, 90, 90, 90, "CUBI"},
        {5, 5, 8, 90, 90, 90, "TETR"},    {5, 6, 7, 90, 90, 90, "ORTH"},
        {5, 6, 5, 90, 90, 90, "ORTH"},    {5, 7, 7, 90, 90, 90, "KEEP"}, // a != b = c
        {4, 4, 9, 90, 90, 120, "HEXA"},   {6, 6, 6, 80, 80, 80, "RHOM"},
        {5, 7, 9, 90, 105, 90, "MONO"},   {5, 7, 9, 105, 90, 90, "TRIC"}, // unique angle in alpha
        {5, 7, 9, 90, 90, 89.999, "TRIC"},
    };
    for (const Case& c : cases) {
        StructureModel model = cell_of(c.a, c.b, c.c, c.alpha, c.beta, c.gamma);
        model.system_code = "KEEP";
        set_crystal_system(model);
        EXPECT_EQ(model.system_code, c.expected) << c.a << " " << c.b << " " << c.c << " " << c.gamma;
    }
}

// The POV-Ray scene of the picture: its camera puts every atom on the pixel
// of the picture, its spheres are the ellipsoids the picture outlines, it
// leaves out what the picture does not draw, and the same picture gives
// the same bytes.
#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <string>
#include <vector>

#include "crystal/oemath.h"
#include "drawing/view.h"
#include "drawing_fixture.h"
#include "output/povray_scene.h"

using namespace kestro;

namespace {

std::vector<double> numbers_in(const std::string& text)
{
    std::vector<double> out;
    const std::regex number(R"(-?[0-9]+(\.[0-9]+)?)");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), number); it != std::sregex_iterator(); ++it)
        out.push_back(std::stod(it->str()));
    return out;
}

// The numbers in the groups of every match of the pattern, in order.
std::vector<std::vector<double>> all(const std::string& scene, const std::string& pattern)
{
    std::vector<std::vector<double>> out;
    const std::regex re(pattern);
    for (auto it = std::sregex_iterator(scene.begin(), scene.end(), re); it != std::sregex_iterator(); ++it) {
        out.emplace_back();
        for (std::size_t g = 1; g < it->size(); ++g)
            for (double x : numbers_in((*it)[g].str())) out.back().push_back(x);
    }
    return out;
}

struct Sphere {
    Vec3 scale, centre;
    std::array<double, 9> matrix; // then the matrix's translation, zero
};

std::vector<Sphere> spheres(const std::string& scene)
{
    std::vector<Sphere> out;
    for (const auto& n : all(scene, R"(sphere \{ 0, 1 scale <([^>]*)>\s*matrix <([^>]*)>\s*translate <([^>]*)>)"))
        out.push_back({{n[0], n[1], n[2]}, {n[15], n[16], n[17]}, {n[3], n[4], n[5], n[6], n[7], n[8], n[9], n[10], n[11]}});
    return out;
}

// An ethyl-like chain, one atom anisotropic, seen along [1 1 1], zoomed and moved.
struct Picture {
    std::unique_ptr<StructureModel> model =
        drawing_model({{"C1", {0.40, 0.50, 0.50}, {0.03, 0.05, 0.02, 0.01, -0.005, 0.004}},
                       {"C2", {0.55, 0.52, 0.48}, uiso(0.04)},
                       {"H1", {0.35, 0.60, 0.52}, uiso(0.06)},
                       {"O1", {0.62, 0.40, 0.45}, uiso(0.03)}});
    std::unique_ptr<DrawingState> state = prepared(*model, 301);
    Picture()
    {
        RecordingMessages messages;
        orient_along_direction(*model, *state, {1, 1, 1}, messages);
        change_echelle(*state, 3);
        state->screen.x0 += 17;
        state->screen.y0 -= 9;
    }
};

} // namespace

TEST(PovrayScene, CameraPutsEveryAtomCentreOnItsPixelOfThePicture)
{
    Picture p;
    const std::string scene = povray_scene(*p.model, *p.state, 301);
    const auto location = all(scene, R"(location <([^>]*)>)").at(0);
    const double right = all(scene, R"(right <([^>]*)>)").at(0)[0];
    const double up = all(scene, R"(up <([^>]*)>)").at(0)[1];
    EXPECT_DOUBLE_EQ(right, up);
    Picture again; // the same picture, the same bytes
    EXPECT_EQ(povray_scene(*again.model, *again.state, 301), scene);
    const auto atoms = spheres(scene);
    ASSERT_EQ(atoms.size(), 4u);
    for (int i = 1; i <= 4; ++i) {
        const Vec3& c = atoms[static_cast<std::size_t>(i - 1)].centre;
        // The image's width is `right`; a pixel's sample lies at its middle.
        const double u = (c[0] - (location[0] - right / 2)) / right * 301 - 0.5;
        const double v = ((location[1] + up / 2) - c[1]) / up * 301 - 0.5;
        const PixelPoint pixel = point_pixel(*p.state, i);
        EXPECT_NEAR(u, pixel.x, 0.5 + 1e-4) << "atom " << i;
        EXPECT_NEAR(v, pixel.y, 0.5 + 1e-4) << "atom " << i;
        // In front of the camera: POV-Ray's z grows away from the viewer.
        EXPECT_GT(c[2], location[2]);
    }
}

TEST(PovrayScene, TransformedUnitSphereIsTheAtomsEllipsoid)
{
    Picture p;
    const auto atoms = spheres(povray_scene(*p.model, *p.state, 301));
    const EllipsoidData& data = p.state->ellipsoids[1];
    const Sphere& s = atoms.at(0);
    // Semi-axes 1/sqrt(lambda) on the principal axes; any point of the unit
    // sphere, taken through scale and matrix (p M, POV-Ray's rows), lies on
    // p^T Qv p = 1 in the view frame (z turned back).
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(s.scale[k], 1 / std::sqrt(data.lambda[k]), 1e-6);
    const Vec3 units[] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0.6, 0, 0.8}, {0.48, -0.6, 0.64}};
    for (const Vec3& u : units) {
        const Vec3 q = {u[0] * s.scale[0], u[1] * s.scale[1], u[2] * s.scale[2]};
        Vec3 pov{};
        for (int j = 0; j < 3; ++j)
            pov[j] = q[0] * s.matrix[j] + q[1] * s.matrix[3 + j] + q[2] * s.matrix[6 + j];
        const Vec3 view = {pov[0], pov[1], -pov[2]};
        const Vec3 qv = mat_vec(data.Qv, view);
        EXPECT_NEAR(view[0] * qv[0] + view[1] * qv[1] + view[2] * qv[2], 1.0, 1e-4);
    }
}

TEST(PovrayScene, MaskedAtomsAndTheirBondsAreLeftOut)
{
    Picture p;
    const std::string whole = povray_scene(*p.model, *p.state, 301);
    const auto bonds = [](const std::string& scene) { return all(scene, R"(\n(cone|cylinder) \{)").size(); };
    int bonds_of_h1 = 0;
    for (const BondRecord& b : p.model->bonds) bonds_of_h1 += b.atom1 == 3 || b.atom2 == 3;
    ASSERT_GT(bonds_of_h1, 0);

    p.model->generated[3].shown = 0;
    const std::string masked = povray_scene(*p.model, *p.state, 301);
    EXPECT_EQ(spheres(masked).size(), 3u);
    EXPECT_EQ(bonds(masked), bonds(whole) - static_cast<std::size_t>(bonds_of_h1));
}

TEST(PovrayScene, LabelsAreEscapedAndStandInFrontOfTheAtoms)
{
    Picture p;
    StructureModel& m = *p.model;
    m.drawing.labels_off_centre = 1;
    m.generated[1].labelled = 1;
    m.generated[1].label_dx = 0.3;
    m.generated[1].label_dy = -0.2;
    m.display_labels[1] = "C\"1\\";
    const std::string scene = povray_scene(m, *p.state, 301);
    EXPECT_NE(scene.find(R"(text { ttf "timrom.ttf" "C\"1\\" )"), std::string::npos);
    const double label_z = all(scene, R"(text \{ ttf[^\n]*\n\s*scale [0-9.]+ translate <([^>]*)>)").at(0)[2];
    for (const Sphere& s : spheres(scene)) EXPECT_LT(label_z, s.centre[2] - s.scale[2]);
}

// Mean planes: the plane library against an independent computation on a
// phenyl ring of a real structure, aligned atoms, and the plane grid of the
// mean-plane window.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "analysis/mean_plane.h"
#include "analysis/reports.h"
#include "crystal/oemath.h"
#include "drawing/ellipsoids.h"
#include "drawing_fixture.h"
#include "formats/structure_files.h"
#include "forms/plan_moyen.h"
#include "model/fields.h"
#include "model/file_io.h"
#include "model/text.h"
#include "temp_dir.h"

using namespace kestro;
using namespace kestro::plan_moyen;

namespace {

// The asymmetric unit of a structure file as its generated atoms.
std::unique_ptr<StructureModel> asymmetric_unit_of(const std::string& path)
{
    auto model = std::make_unique<StructureModel>();
    model->data_directory = KESTRO_SOURCE_DATA_DIR;
    RecordingMessages messages;
    if (!load_structure_file(*model, path, messages)) return nullptr;
    for (const AtomRecord& atom : model->asym) model->generated.push(atom);
    return model;
}

int atom_number(const StructureModel& model, const std::string& label)
{
    for (int i = 1; i <= model.generated.count(); ++i)
        if (model.generated[i].label == label) return i;
    return 0;
}

struct Fit {
    Vec3 normal{};
    std::vector<double> deviations;
    double rms = 0;
};

// The plane computed another way: Cartesian coordinates through the
// program's own cell metric, the scatter matrix diagonalised by Jacobi.
// Coordinates are rounded to the 4 decimals "plan.dat" carries.
Fit independent_fit(const StructureModel& model, const std::vector<int>& atoms)
{
    std::vector<Vec3> r;
    Vec3 c{};
    for (int a : atoms) {
        Vec3 x = model.generated[a].xyz;
        for (double& v : x) v = std::stod(fmt_real(v, 10, 4));
        r.push_back(mat_vec(model.cell.metric.BG, x));
        for (int k = 0; k < 3; ++k) c[k] += r.back()[k] / atoms.size();
    }
    Mat3 s = zero3();
    for (const Vec3& p : r)
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) s[i][j] += (p[i] - c[i]) * (p[j] - c[j]);
    Vec3 lambda;
    Mat3 vectors;
    jacobi_eigen(s, lambda, vectors); // decreasing: the last is the smallest
    Fit fit;
    fit.normal = {vectors[0][2], vectors[1][2], vectors[2][2]};
    double sum = 0;
    for (const Vec3& p : r) {
        const double d = fit.normal[0] * (p[0] - c[0]) + fit.normal[1] * (p[1] - c[1]) + fit.normal[2] * (p[2] - c[2]);
        fit.deviations.push_back(d);
        sum += d * d;
    }
    fit.rms = std::sqrt(sum / atoms.size());
    return fit;
}

// The last number on a line.
double last_number(const std::string& line) { return std::stod(line.substr(line.find_last_of(' ') + 1)); }

} // namespace

TEST(PlaneLibrary, PhenylRingsAgainstAnIndependentFit)
{
    const std::string path = KESTRO_SHARED_TESTDATA_DIR "/cif/cod_1519506_P-1.cif";
    if (!std::filesystem::exists(path)) GTEST_SKIP() << path << " is not there";
    auto model = asymmetric_unit_of(path);
    ASSERT_TRUE(model);
    // The benzyl groups on Si1 and Si2: rings C2-C7 and C9-C14.
    std::vector<std::vector<int>> planes(2);
    for (const char* label : {"C 2", "C 3", "C 4", "C 5", "C 6", "C 7"}) planes[0].push_back(atom_number(*model, label));
    for (const char* label : {"C 9", "C 10", "C 11", "C 12", "C 13", "C 14"}) planes[1].push_back(atom_number(*model, label));
    for (const auto& plane : planes)
        for (int a : plane) ASSERT_GT(a, 0);

    TempDir dir;
    const std::vector<std::string> lines = split_lines(run_plane_library(*model, planes, dir.path()));
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "Normal end");
    EXPECT_TRUE(std::filesystem::exists(dir.file("plan.dat")));

    std::vector<Fit> fits;
    for (std::size_t p = 0; p < planes.size(); ++p) {
        fits.push_back(independent_fit(*model, planes[p]));
        const std::vector<std::string> result = plane_results(crlf_text(lines), static_cast<int>(p + 1));
        ASSERT_GT(result.size(), 10u);
        EXPECT_EQ(result[0], "Plane Nb. " + std::to_string(p + 1) + ":   6 atoms");
        // Atom lines follow the two equations and the column heads; the
        // normal's sense may differ, so deviations compare up to a sign.
        double sign = 0;
        for (std::size_t k = 0; k < 6; ++k) {
            const double reported = last_number(result[4 + k]);
            const double expected = fits[p].deviations[k];
            if (sign == 0 && std::abs(expected) > 5e-4) sign = reported * expected > 0 ? 1 : -1;
            EXPECT_NEAR(reported, (sign == 0 ? 1 : sign) * expected, 6e-5) << result[4 + k];
        }
        EXPECT_EQ(result[10].rfind("Rms deviation of fitted atoms =", 0), 0u);
        EXPECT_NEAR(last_number(result[10]), fits[p].rms, 6e-5);
    }
    const std::vector<std::string> second = plane_results(crlf_text(lines), 2);
    const double cosine = std::abs(fits[0].normal[0] * fits[1].normal[0] + fits[0].normal[1] * fits[1].normal[1] +
                                   fits[0].normal[2] * fits[1].normal[2]);
    ASSERT_EQ(second[11].rfind("Angle to plane Nb. 1 =", 0), 0u);
    EXPECT_NEAR(last_number(second[11]), std::acos(cosine) * RadToDeg, 0.006);
}

TEST(PlaneLibrary, AlignedAtomsAreNamedOnTheLastLine)
{
    auto model = drawing_model({{"C 1", {0.1, 0.1, 0.1}, uiso(0.02)},
                                {"C 2", {0.2, 0.2, 0.2}, uiso(0.02)},
                                {"C 3", {0.3, 0.3, 0.3}, uiso(0.02)},
                                {"O 1", {0.1, 0.5, 0.3}, uiso(0.02)}});
    TempDir dir;
    MeanPlaneSession session;
    start_mean_plane(session);
    RecordingMessages messages;
    for (int a : {1, 2, 4}) pick_plane_atom(session, *model, a, messages);
    ASSERT_EQ(calcul(session, *model, dir.path(), messages), PlaneOutcome::Computed);
    EXPECT_EQ(session.results.front(), "Plane Nb. 1:   3 atoms");
    EXPECT_EQ(session.results.back(), "Normal end");

    // Plane 2 on a line: the question names it; Yes keeps its atoms.
    for (int a : {1, 2, 3}) pick_plane_atom(session, *model, a, messages);
    messages.answers = {Answer::Yes};
    EXPECT_EQ(calcul(session, *model, dir.path(), messages), PlaneOutcome::AlignedKept);
    EXPECT_EQ(messages.asked.back(), "Atoms of plane Nb. 2 are aligned. Do you want to continue?");
    EXPECT_EQ(session.picked.count(), 3);
    EXPECT_EQ(session.results.front(), "Plane Nb. 1:   3 atoms"); // the former results stay

    // No: the row goes, and the next atom starts plane 2 again.
    messages.answers = {Answer::No};
    EXPECT_EQ(calcul(session, *model, dir.path(), messages), PlaneOutcome::AlignedDropped);
    EXPECT_TRUE(session.grid[1][0].empty());
    pick_plane_atom(session, *model, 4, messages);
    EXPECT_EQ(session.grid[1][0], "Nb.2");
    EXPECT_EQ(session.grid[1][1], "O1(4)");
}

TEST(PlaneLibrary, LabelsLongerThanTheirColumnAreReadWhole)
{
    auto model = drawing_model({{"C121AB7", {0.1, 0.1, 0.1}, uiso(0.02)},
                                {"C 2", {0.2, 0.25, 0.2}, uiso(0.02)},
                                {"O 1", {0.1, 0.5, 0.3}, uiso(0.02)}});
    TempDir dir;
    const std::string sor = run_plane_library(*model, {{1, 2, 3}}, dir.path());
    EXPECT_NE(sor.find("C121AB7"), std::string::npos);
    EXPECT_NE(sor.find("Normal end"), std::string::npos);
}

TEST(MeanPlaneGrid, PicksPlanesDeletionAndTheExchangeFile)
{
    auto model = drawing_model({{"C 1", {0.1, 0.1, 0.1}, uiso(0.02)},
                                {"CL1", {0.2, 0.4, 0.1}, uiso(0.02)},
                                {"O 1", {0.5, 0.1, 0.3}, uiso(0.02)},
                                {"N 1", {0.3, 0.2, 0.6}, uiso(0.02)}});
    model->source_file_name = "/tmp/x/four.cif";
    MeanPlaneSession session;
    start_mean_plane(session);
    RecordingMessages messages;
    TempDir dir;

    // Two atoms are no plane: nothing written, the plane still being built.
    pick_plane_atom(session, *model, 1, messages);
    pick_plane_atom(session, *model, 2, messages);
    EXPECT_EQ(calcul(session, *model, dir.path(), messages), PlaneOutcome::TooFewAtoms);
    EXPECT_EQ(messages.shown.back(), "Selected atoms number < 3!");
    EXPECT_FALSE(std::filesystem::exists(dir.file("plan.dat")));
    pick_plane_atom(session, *model, 3, messages);
    ASSERT_EQ(calcul(session, *model, dir.path(), messages), PlaneOutcome::Computed);

    // The exchange file: name, cell, atoms (label padded to 5), planes.
    const std::vector<std::string> dat = split_lines(read_file_bytes(dir.file("plan.dat")));
    ASSERT_EQ(dat.size(), 8u);
    EXPECT_EQ(dat[0], "four.cif");
    EXPECT_EQ(dat[1], "    10.000    10.000    10.000    90.000    90.000    90.000");
    EXPECT_EQ(dat[2], "   4");
    EXPECT_EQ(dat[4], "CL1      0.2000    0.4000    0.1000");
    EXPECT_EQ(dat[7], "    3    1    2    3");

    // Planes 2 and 3, then plane 1 deleted: the others move up, renumbered.
    for (int a : {2, 3, 4}) pick_plane_atom(session, *model, a, messages);
    ASSERT_EQ(calcul(session, *model, dir.path(), messages), PlaneOutcome::Computed);
    EXPECT_EQ(session.results.front(), "Plane Nb. 2:   3 atoms");
    for (int a : {1, 3, 4}) pick_plane_atom(session, *model, a, messages);
    ASSERT_TRUE(onselectcell(session, *model, 0, 0));
    EXPECT_EQ(session.grid[0][0], "Nb.1");
    EXPECT_EQ(session.grid[0][1], "Cl1(2)");
    EXPECT_EQ(session.grid[1][0], "Nb.2");
    EXPECT_EQ(session.grid[1][1], "C1(1)");
    EXPECT_TRUE(session.grid[2][0].empty());
    EXPECT_EQ(session.plane_count, 1);
    EXPECT_EQ(session.picked.count(), 3);

    // An atom of the plane being built goes; a cell past its atoms or in a
    // computed plane changes nothing.
    EXPECT_FALSE(onselectcell(session, *model, 5, 1));
    EXPECT_FALSE(onselectcell(session, *model, 1, 0));
    ASSERT_TRUE(onselectcell(session, *model, 2, 1));
    EXPECT_EQ(session.grid[1][2], "N1(4)");
    EXPECT_TRUE(session.grid[1][3].empty());
    EXPECT_TRUE(unpick_plane_atom(session, *model, 4));
    EXPECT_EQ(session.picked.count(), 1);

    // At most 30 atoms in a plane.
    for (int k = 0; k < 29; ++k) pick_plane_atom(session, *model, 1 + k % 4, messages);
    EXPECT_FALSE(pick_plane_atom(session, *model, 2, messages));
    EXPECT_EQ(messages.shown.back(), "Nb of atoms exceeding 30!");
    end_mean_plane(session);
    EXPECT_TRUE(session.grid[0][0].empty() && session.picked.empty() && !session.active);
}

TEST(MeanPlaneGrid, AnEighthPlaneIsRefused)
{
    auto model = drawing_model({{"C 1", {0.1, 0.1, 0.1}, uiso(0.02)},
                                {"O 1", {0.5, 0.1, 0.3}, uiso(0.02)},
                                {"N 1", {0.3, 0.2, 0.6}, uiso(0.02)}});
    MeanPlaneSession session;
    start_mean_plane(session);
    RecordingMessages messages;
    TempDir dir;
    for (int p = 0; p < PlaneRows; ++p) {
        for (int a : {1, 2, 3}) pick_plane_atom(session, *model, a, messages);
        ASSERT_EQ(calcul(session, *model, dir.path(), messages), PlaneOutcome::Computed);
    }
    EXPECT_FALSE(pick_plane_atom(session, *model, 1, messages));
    EXPECT_NE(messages.shown.back().find("7 planes"), std::string::npos);
    EXPECT_TRUE(session.picked.empty());
}

// The report texts: the bond list, the coordinates list and the
// environment of an atom, to the character (fields counted by hand).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "analysis/reports.h"
#include "drawing_fixture.h"

using namespace kestro;

namespace {

std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "every line ends with CR LF";
    return lines;
}

const char* const DistancesHeader = "  A1    A2     dist.     x1       y1       z1       x2       y2       z2";

} // namespace

TEST(DistancesReport, EmptyListLabelsAndWideLengths)
{
    // Keyboard data: no file-name line; no bond: only the header.
    auto model = drawing_model({{"O 1", {0.1, 0.2, 0.3}, uiso(0.02)}});
    model->bonds.clear();
    EXPECT_EQ(lines_of(distances_report(*model)), std::vector<std::string>{DistancesHeader});
    EXPECT_EQ(distances_grid(*model).size(), 1u);

    // A file's name without its folder, short labels padded on the left,
    // 12.3456 A in width 9 and in the grid's width 7.
    auto two = drawing_model({{"CL12", {0.5, 0.25, -0.125}, uiso(0.02)}, {"O 1", {0.1, 0.2, 0.3}, uiso(0.02)}});
    two->source_file_name = "/data/run 7/structure.cif";
    two->bonds.clear();
    two->bonds.push({2, 1, 0, 12.3456});
    const auto lines = lines_of(distances_report(*two));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "structure.cif");
    EXPECT_EQ(lines[2], "  O1 -Cl12   12.346    0.1000   0.2000   0.3000   0.5000   0.2500  -0.1250");
    const auto grid = distances_grid(*two);
    EXPECT_EQ(grid[1][0], "O1");
    EXPECT_EQ(grid[1][4], "Cl12");
    EXPECT_EQ(grid[1][7], "-0.1250");
    EXPECT_EQ(grid[1][8], " 12.346");

    // The window makes the rows it shows one by one: a row past the bonds,
    // or of a bond that names no atom (the list changed under the window),
    // is empty rather than a read of another atom's slot.
    EXPECT_EQ(distances_row(*two, 1), grid[1]);
    EXPECT_EQ(distances_row(*two, 2), (std::array<std::string, 9>{}));
    two->bonds[1].atom2 = 3;
    EXPECT_EQ(distances_row(*two, 1), (std::array<std::string, 9>{}));
}

TEST(CoordinatesReport, WindowLinesAndReportLines)
{
    auto model = drawing_model({{"CL1", {0.5, 0.25, -0.125}, uiso(0.02)}});
    EXPECT_EQ(coordinates_lines(*model),
              (std::vector<std::string>{"Coordinates", "  1 Cl1    0.5000  0.2500 -0.1250"}));
    EXPECT_EQ(lines_of(coordinates_report(*model)), std::vector<std::string>{" CL1    0.50000   0.25000  -0.12500"});

    // Atom 1000 takes four characters and pushes its line to the right.
    model->generated.set_count(1000);
    for (int i = 2; i <= 1000; ++i) {
        model->generated[i] = model->generated[1];
        model->display_labels[i] = model->display_labels[1];
    }
    const auto lines = coordinates_lines(*model);
    EXPECT_EQ(lines[999], "999 Cl1    0.5000  0.2500 -0.1250");
    EXPECT_EQ(lines[1000], "1000 Cl1    0.5000  0.2500 -0.1250");

    model->generated.clear();
    EXPECT_EQ(coordinates_lines(*model), std::vector<std::string>{"Coordinates"});
    EXPECT_EQ(coordinates_report(*model), "");
}

TEST(EnvironmentReport, NeighboursAnglesAndTheirLimits)
{
    // Fe at the centre of a 10 A cubic cell, O1 and O2 2 A along x and y,
    // N1 3 A along z; then a copy of Fe on the same spot and Fe2 0.0006 A away.
    auto model = drawing_model({{"FE1", {0.5, 0.5, 0.5}, uiso(0.02)},
                                {"O 1", {0.7, 0.5, 0.5}, uiso(0.02)},
                                {"O 2", {0.5, 0.7, 0.5}, uiso(0.02)},
                                {"N 1", {0.5, 0.5, 0.8}, uiso(0.02)}});
    AtomRecord copy = model->generated[1];
    model->generated.push(copy);
    copy.label = "FE2";
    copy.xyz = {0.50006, 0.5, 0.5};
    model->generated.push(copy);
    auto drawing = prepared(*model);
    const ViewPoints& view = drawing->view;

    // Nothing within 0.0002 A but the copy on the spot, which never counts.
    Environment env = environment_report(*model, view, 1, 0.0002);
    EXPECT_EQ(env.neighbours, 0);
    EXPECT_EQ(lines_of(env.report), (std::vector<std::string>{"", "Linked atoms with  FE1   0.50000   0.50000   0.50000",
                                                              "Angles around  FE1   0.50000   0.50000   0.50000"}));

    // O1 and O2 at the radius itself; Fe2 is listed but is never the
    // second atom of an angle.
    const auto d = [&](int a, int b) {
        const double x = view.X[a] - view.X[b], y = view.Y[a] - view.Y[b], z = view.Z[a] - view.Z[b];
        return std::sqrt(x * x + y * y + z * z);
    };
    env = environment_report(*model, view, 1, std::max(d(1, 2), d(1, 3)));
    EXPECT_EQ(env.window_lines,
              (std::vector<std::string>{"                Linked atoms",
                                        "(  1)O1    0.7000  0.5000  0.5000 d= 2.000",
                                        "(  2)O2    0.5000  0.7000  0.5000 d= 2.000",
                                        "(  3)Fe2   0.5001  0.5000  0.5000 d= 0.001",
                                        "            Angles", "O1  (  1)-Fe1-O2  (  2) a=  90.00"}));
    model->source_file_name = "dir/fe.res";
    env = environment_report(*model, view, 1, 2.5);
    const auto file = lines_of(env.report);
    ASSERT_EQ(file.size(), 7u);
    EXPECT_EQ(file[0], "fe.res");
    EXPECT_EQ(file[5], "Angles around  FE1   0.50000   0.50000   0.50000");

    // With N1 too: (1,2), (1,3), (2,3), the pairs with Fe2 second left out.
    env = environment_report(*model, view, 1, 3.01);
    ASSERT_EQ(env.neighbours, 4);
    const std::vector<std::string> angles(env.window_lines.begin() + 6, env.window_lines.end());
    EXPECT_EQ(angles, (std::vector<std::string>{"O1  (  1)-Fe1-O2  (  2) a=  90.00",
                                                "O1  (  1)-Fe1-N1  (  3) a=  90.00",
                                                "O2  (  2)-Fe1-N1  (  3) a=  90.00"}));

    // Exactly one neighbour: its line and no angle.
    auto pair = drawing_model({{"C 1", {0.5, 0.5, 0.5}, uiso(0.02)}, {"O 1", {0.6, 0.5, 0.5}, uiso(0.02)}});
    auto pair_drawing = prepared(*pair);
    env = environment_report(*pair, pair_drawing->view, 1, 1.5);
    EXPECT_EQ(env.window_lines.size(), 3u);
    EXPECT_EQ(env.window_lines[1], "(  1)O1    0.6000  0.5000  0.5000 d= 1.000");
}

TEST(EnvironmentReport, AtMostAHundredNeighbours)
{
    // 120 hydrogen atoms 1.5 A apart around a carbon in a 50 A cell.
    std::vector<FixtureAtom> atoms{{"C 1", {0.5, 0.5, 0.5}, uiso(0.02)}};
    for (int i = -5; i <= 5; ++i)
        for (int j = -5; j <= 5; ++j)
            if (i != 0 || j != 0) atoms.push_back({"H 1", {0.5 + 0.03 * i, 0.5 + 0.03 * j, 0.5}, uiso(0.02)});
    auto model = drawing_model(atoms, 50, 50, 50);
    ASSERT_EQ(model->generated.count(), 121);
    auto drawing = prepared(*model);
    const Environment env = environment_report(*model, drawing->view, 1, 100);
    EXPECT_EQ(env.neighbours, MaxNeighbours);
    EXPECT_TRUE(env.truncated);
    EXPECT_NE(std::find(env.window_lines.begin(), env.window_lines.end(),
                        "(only the first 100 atoms within the radius are listed)"),
              env.window_lines.end());
    // 100 neighbours give 4950 angles.
    EXPECT_EQ(env.window_lines.size(), 1u + 100 + 1 + 1 + 4950);
}

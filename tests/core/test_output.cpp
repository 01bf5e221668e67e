// The printed page and the metafile picture on the recording canvas:
// geometry in printer pixels (centimetres x 117.66, rounded half to even),
// not pixels.

#include <gtest/gtest.h>

#include <cmath>

#include "drawing/view.h"
#include "drawing_fixture.h"
#include "output/device_view.h"
#include "output/metafile_picture.h"
#include "output/printed_page.h"
#include "recording_canvas.h"

using namespace kestro;

namespace {

// An A4 landscape page at 300 DPI.
constexpr int PageWidth = 3508, PageHeight = 2480;

// Two carbon atoms 1.4 A apart (a bond of order 1) and an oxygen.
std::unique_ptr<StructureModel> small_model()
{
    return drawing_model({{"C 1", {0.43, 0.5, 0.5}, uiso(0.02)},
                          {"C 2", {0.57, 0.5, 0.5}, uiso(0.02)},
                          {"O 1", {0.5, 0.62, 0.5}, uiso(0.02)}});
}

// Centres of the atom figures (closed outlines of 101 points).
std::vector<std::pair<double, double>> atom_centres(const RecordingCanvas& canvas)
{
    std::vector<std::pair<double, double>> centres;
    for (const CanvasCall* c : canvas.polygons(DeviceCirclePoints)) {
        double x = 0, y = 0;
        for (std::size_t k = 0; k + 1 < c->points.size(); ++k) {
            x += c->points[k].x;
            y += c->points[k].y;
        }
        centres.emplace_back(x / (c->points.size() - 1), y / (c->points.size() - 1));
    }
    return centres;
}

const CanvasCall* text_call(const RecordingCanvas& canvas, const std::string& text)
{
    for (const CanvasCall* c : canvas.of_kind(CanvasCall::Text))
        if (c->text == text) return c;
    return nullptr;
}

} // namespace

TEST(PrintedPage, FrameLegendDirectionAndTitle)
{
    auto model = small_model();
    RecordingMessages messages;
    RecordingCanvas page(PageWidth, PageHeight);
    draw_printed_page(*model, {}, page, messages);

    // The frame filled from <0.5 cm> = 59 to <20.5 cm> = 2412, 2 <10 cm> = 2354 high.
    const auto fills = page.of_kind(CanvasCall::FillRect);
    ASSERT_FALSE(fills.empty());
    EXPECT_EQ(fills[0]->points, (std::vector<PixelPoint>{{59, 1}, {2412, 2354}}));
    const auto border = page.of_kind(CanvasCall::Polyline).back();
    EXPECT_EQ(border->points, (std::vector<PixelPoint>{{59, 1}, {2412, 1}, {2412, 2354}, {59, 2354}, {59, 1}}));

    // One disc per element sort at <22 cm> = 2589, every <0.8 cm> = 94 down.
    const auto discs = page.of_kind(CanvasCall::Ellipse);
    ASSERT_EQ(discs.size(), static_cast<std::size_t>(model->element_sorts.count()));
    EXPECT_EQ(discs[0]->points, (std::vector<PixelPoint>{{2559, 158}, {2619, 218}}));
    EXPECT_EQ(discs[1]->points[0].y, 158 + 94);
    EXPECT_EQ(discs[0]->brush, model->element_sorts[1].colour);
    const CanvasCall* heading = text_call(page, "Direction of projection:");
    ASSERT_TRUE(heading);
    EXPECT_EQ(heading->points[0], (PixelPoint{2589, 188 + 94 + 188}));
    ASSERT_TRUE(text_call(page, "x=  0.0000 y=  0.0000 z=  1.0000"));
    EXPECT_EQ(text_call(page, "x=  0.0000 y=  0.0000 z=  1.0000")->points[0].y, 188 + 94 + 188 + 71);
    EXPECT_EQ(page.of_kind(CanvasCall::Text).size(), 2u + model->element_sorts.count()); // no title

    model->source_file_name = "/data/run/benzene.cif";
    RecordingCanvas titled(PageWidth, PageHeight);
    draw_printed_page(*model, {}, titled, messages);
    const CanvasCall* title = text_call(titled, "benzene.cif");
    ASSERT_TRUE(title);
    EXPECT_EQ(title->points[0], (PixelPoint{2471, 59}));

    // 600 DPI: every page position twice as many pixels.
    PrintSettings fine;
    fine.pixels_per_cm = *pixels_per_cm_from_text("600");
    RecordingCanvas twice(2 * PageWidth, 2 * PageHeight);
    draw_printed_page(*model, fine, twice, messages);
    EXPECT_EQ(twice.of_kind(CanvasCall::FillRect)[0]->points, (std::vector<PixelPoint>{{118, 1}, {4824, 4706}}));
    EXPECT_EQ(resolution_text(DefaultPixelsPerCm), "  300");
    EXPECT_FALSE(pixels_per_cm_from_text("300,5"));
    EXPECT_FALSE(pixels_per_cm_from_text("-300"));
}

TEST(PrintedPage, ScaleSliderSingleAtomAndOutlines)
{
    auto model = small_model();
    RecordingMessages messages;
    RecordingCanvas at0(PageWidth, PageHeight), at2(PageWidth, PageHeight);
    draw_printed_page(*model, {}, at0, messages);
    PrintSettings zoomed;
    zoomed.slider_position = 2;
    draw_printed_page(*model, zoomed, at2, messages);
    const auto c0 = atom_centres(at0), c2 = atom_centres(at2);
    ASSERT_EQ(c0.size(), 3u);
    ASSERT_EQ(c2.size(), 3u);
    // The two carbon atoms' distance on the page grows 1.4 times.
    const double d0 = std::hypot(c0[0].first - c0[1].first, c0[0].second - c0[1].second);
    const double d2 = std::hypot(c2[0].first - c2[1].first, c2[0].second - c2[1].second);
    EXPECT_NEAR(d2 / d0, 1.4, 0.005);
    // The pen of the dialog outlines atoms and bonds, bonds come after each atom.
    EXPECT_EQ(at0.polygons(DeviceCirclePoints)[0]->pen.width, 2);
    EXPECT_EQ(at0.polygons(BondBandPoints).size(), 2u * model->bonds.count());

    // One displayed atom: R = 0.01 A, a finite page.
    for (int i = 2; i <= model->generated.count(); ++i) model->generated[i].shown = 0;
    RecordingCanvas single(PageWidth, PageHeight);
    draw_printed_page(*model, {}, single, messages);
    const auto c = atom_centres(single);
    ASSERT_EQ(c.size(), 1u);
    EXPECT_NEAR(c[0].first, 1235, 1); // <10.5 cm>
    EXPECT_NEAR(c[0].second, 1177, 1); // <10 cm>
}

TEST(PrintedPage, StereoPairOfClippedViews)
{
    auto model = drawing_model({{"C 1", {0.2, 0.5, 0.5}, uiso(0.01)},
                                {"C 2", {0.5, 0.5, 0.3}, uiso(0.01)},
                                {"O 1", {0.8, 0.5, 0.5}, uiso(0.01)},
                                {"N 1", {0.5, 0.7, 0.6}, uiso(0.01)}});
    model->drawing.draw_cell = 1;
    const Mat3 T = model->cell.metric.T;
    RecordingMessages messages;
    PrintSettings stereo;
    stereo.stereo = true;
    stereo.pen_width = 3;
    RecordingCanvas page(PageWidth, PageHeight);
    draw_printed_page(*model, stereo, page, messages);
    const auto centres = atom_centres(page);
    ASSERT_EQ(centres.size(), 8u);
    // The two views' atoms 6.5 cm = 765 pixels apart, pen 1, cell edges in both.
    double first = 0, second = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        first += centres[i].first / 4;
        second += centres[i + 4].first / 4;
    }
    EXPECT_NEAR(second - first, 765, 2);
    EXPECT_EQ(page.polygons(DeviceCirclePoints)[0]->pen.width, 1);
    EXPECT_EQ(page.of_kind(CanvasCall::Line).size(), 24u);
    EXPECT_EQ(model->cell.metric.T, T);

    // Zoomed in, the outer atoms leave their squares: fewer atoms, no cell,
    // and every atom shown again afterwards.
    stereo.slider_position = 5;
    RecordingCanvas zoomed(PageWidth, PageHeight);
    draw_printed_page(*model, stereo, zoomed, messages);
    const auto inside = atom_centres(zoomed);
    EXPECT_LT(inside.size(), 8u);
    const int h = page_pixels(3.25, DefaultPixelsPerCm);
    for (const auto& [x, y] : inside) {
        const int x0 = x < page_pixels(8.25, DefaultPixelsPerCm) ? page_pixels(5, DefaultPixelsPerCm)
                                                                 : page_pixels(11.5, DefaultPixelsPerCm);
        EXPECT_LE(std::abs(x - x0), h + 1);
    }
    EXPECT_TRUE(zoomed.of_kind(CanvasCall::Line).empty());
    for (const AtomRecord& atom : model->generated) EXPECT_EQ(atom.shown, 1);
    EXPECT_EQ(model->cell.metric.T, T);
}

TEST(MetafilePicture, ScaleLabelsAndBondFills)
{
    auto model = small_model();
    model->drawing.labels_centre = 1;
    model->generated[2].label_dx = model->generated[2].label_dy = 0.5; // a moved label
    const int size = model->drawing.label_font.size;
    RecordingMessages messages;
    RecordingCanvas picture(800, 800);
    draw_metafile_picture(*model, {}, picture, messages);
    // The farthest atom from the middle of the box at 0.9 x (W div 2).
    double farthest = 0;
    for (const auto& [x, y] : atom_centres(picture)) farthest = std::max(farthest, std::hypot(x - 400, y - 400));
    EXPECT_NEAR(farthest, 360, 1.5);
    EXPECT_EQ(picture.of_kind(CanvasCall::Polygon)[0]->points,
              (std::vector<PixelPoint>{{1, 1}, {799, 1}, {799, 799}, {1, 799}}));
    EXPECT_EQ(text_call(picture, "C1(1)")->font.size, 8);
    EXPECT_EQ(text_call(picture, "C2")->font.size, size);

    // W = 1600 doubles the moved label; the drawing's size stays.
    MetafileSettings wide;
    wide.width = 1600;
    RecordingCanvas large(1600, 1600);
    draw_metafile_picture(*model, wide, large, messages);
    EXPECT_EQ(text_call(large, "C2")->font.size, 2 * size);
    EXPECT_EQ(model->drawing.label_font.size, size);

    // Bond fills: a bond of order 1 is green with double bonds on, in black
    // and white too; with them off it takes the bond colour.
    ASSERT_EQ(model->bonds[1].order, 1);
    model->drawing.double_triple = 1;
    black_and_white_on(*model);
    RecordingCanvas coloured(800, 800);
    draw_metafile_picture(*model, {}, coloured, messages);
    int green = 0;
    for (const CanvasCall* band : coloured.polygons(BondBandPoints)) green += band->brush == 0x008000;
    EXPECT_EQ(green, 2); // the C-C bond, after each of its atoms
    model->drawing.double_triple = 0;
    RecordingCanvas single(800, 800);
    draw_metafile_picture(*model, {}, single, messages);
    for (const CanvasCall* band : single.polygons(BondBandPoints)) EXPECT_EQ(band->brush, model->drawing.bond_colour);
}

TEST(PrintedPage, AnAtomLeavesOneStereoViewOnly)
{
    // A and B at 45 degrees in the plane of the turn: at slider 2 (x 1.4)
    // the first view (+1.5 degrees) carries them out of its square, the
    // second (-1.5 degrees) keeps them (2.83 A apart: no bonds).
    auto model = drawing_model({{"C 1", {0.7, 0.5, 0.7}, uiso(0.01)},
                                {"C 2", {0.3, 0.5, 0.3}, uiso(0.01)},
                                {"C 3", {0.5, 0.5, 0.5}, uiso(0.01)}});
    RecordingMessages messages;
    PrintSettings stereo;
    stereo.stereo = true;
    stereo.slider_position = 2;
    RecordingCanvas page(PageWidth, PageHeight);
    draw_printed_page(*model, stereo, page, messages);
    const auto centres = atom_centres(page);
    ASSERT_EQ(centres.size(), 4u);
    EXPECT_NEAR(centres[0].first, page_pixels(5, DefaultPixelsPerCm), 1); // view 1: the middle atom only
    for (std::size_t i = 1; i < 4; ++i) EXPECT_GT(centres[i].first, page_pixels(8.25, DefaultPixelsPerCm));
}

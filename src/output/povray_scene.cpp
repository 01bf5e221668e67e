// The POV-Ray scene of the picture: the same view points, ellipsoids, bond
// tapers and labels as draw_scene, as solids in the view frame.

#include "output/povray_scene.h"

#include <algorithm>
#include <cmath>

#include "crystal/disorder.h"
#include "crystal/oemath.h"
#include "drawing/drawing_state.h"
#include "drawing/scene.h"
#include "model/fields.h"

namespace kestro {

namespace {

// Short cylinders of a dashed bond: one dash and its gap per this length, Angstrom.
constexpr double DashPeriod = 0.3;
constexpr double DashFilled = 0.6; // of each period
// The camera and the labels stand this far in front of the nearest atom, Angstrom.
constexpr double CameraClearance = 10;
constexpr double LabelClearance = 1;
// Text boxes are centred on the label's row; the baseline of Times (ascent
// 0.891 em, descent 0.216 em) lies this far below the box centre, in em.
constexpr double BaselineBelowCentre = 0.34;
constexpr const char* LabelFont = "timrom.ttf";

std::string number(double value) { return fmt_real(value, 0, 6); }

std::string vector_text(const Vec3& v)
{
    return "<" + number(v[0]) + ", " + number(v[1]) + ", " + number(v[2]) + ">";
}

// A view-frame point or vector in POV-Ray's left-handed frame.
Vec3 pov(const Vec3& v) { return {v[0], v[1], -v[2]}; }

Vec3 view_point(const DrawingState& state, int i) { return {state.view.X[i], state.view.Y[i], state.view.Z[i]}; }

bool finite(const Vec3& v) { return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]); }

// The picture's colours are sRGB values; the scene lights in linear
// intensities (assumed_gamma 1), so each channel is decoded (IEC 61966-2-1)
// and a lit face shows the picture's colour.
double linear_channel(unsigned value)
{
    const double c = value / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

std::string colour_vector(Colour colour)
{
    return vector_text({linear_channel(red_of(colour)), linear_channel(green_of(colour)), linear_channel(blue_of(colour))});
}

std::string pigment(Colour colour) { return "pigment { rgb " + colour_vector(colour) + " }"; }

// A POV-Ray string literal; characters outside printable ASCII become '?'
// (the scene declares no character set).
std::string quoted(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c >= ' ' && c <= '~' ? c : '?';
    }
    return out + "\"";
}

// The view plane point of a picture pixel: the inverse of to_pixel.
double view_x(const ScreenMap& screen, double column) { return (column - screen.x0) / screen.s; }
double view_y(const ScreenMap& screen, double row) { return (screen.y0 - row) / screen.s; }

double largest_semi_axis(const EllipsoidData& data) { return 1 / std::sqrt(data.lambda[2]); }

// A unit sphere taken onto the atom's ellipsoid: scaled by the semi-axes
// 1/sqrt(lambda) and turned onto the principal axes in the view frame (R E).
std::string atom_solid(const StructureModel& model, const DrawingState& state, int atom)
{
    const EllipsoidData& data = state.ellipsoids[atom];
    const Vec3 centre = view_point(state, atom);
    const Vec3 semi = {1 / std::sqrt(data.lambda[0]), 1 / std::sqrt(data.lambda[1]), 1 / std::sqrt(data.lambda[2])};
    Mat3 axes = mat_product(model.cell.metric.R, data.E);
    for (double& c : axes[2]) c = -c;
    // A turned-over frame gives the same ellipsoid; POV-Ray gets a rotation.
    if (mat_det(axes) < 0)
        for (Vec3& row : axes) row[2] = -row[2];
    if (!finite(centre) || !finite(semi) || !finite(axes[0]) || !finite(axes[1]) || !finite(axes[2])) return {};
    // POV-Ray's matrix maps the row vector p to p M: its rows are the axes.
    std::string matrix;
    for (int column = 0; column < 3; ++column)
        for (int row = 0; row < 3; ++row) matrix += number(axes[row][column]) + ", ";
    return "sphere { 0, 1 scale " + vector_text(semi) + "\n  matrix <" + matrix + "0, 0, 0>\n  translate " +
           vector_text(pov(centre)) + "\n  " + pigment(model.generated[atom].colour) +
           " finish { Kestro_atom } }\n";
}

std::string bond_piece(const Vec3& from, double from_radius, const Vec3& to, double to_radius, const std::string& look)
{
    if (from_radius == to_radius)
        return "cylinder { " + vector_text(from) + ", " + vector_text(to) + ", " + number(from_radius) + "\n  " +
               look + " }\n";
    return "cone { " + vector_text(from) + ", " + number(from_radius) + ", " + vector_text(to) + ", " +
           number(to_radius) + "\n  " + look + " }\n";
}

// From centre to centre, the atoms hiding the inner parts; the band's
// taper makes it a cone. A dashed bond is a row of short pieces.
std::string bond_solid(const StructureModel& model, const DrawingState& state, const MajorParts& majors, int index)
{
    const BondRecord& bond = model.bonds[index];
    const BondTaper taper = bond_taper(model, state, index);
    const Vec3 near = pov(view_point(state, taper.near_atom)), far = pov(view_point(state, taper.far_atom));
    const double near_radius = taper.width, far_radius = taper.width * std::max(taper.far_factor, 0.0);
    if (!finite(near) || !finite(far) || !std::isfinite(near_radius) || !std::isfinite(far_radius)) return {};
    const std::string look = pigment(bond_fill_colour(model, bond)) + " finish { Kestro_bond }";
    if (!bond_dashed(model, majors, bond)) return bond_piece(near, near_radius, far, far_radius, look);

    const Vec3 d = {far[0] - near[0], far[1] - near[1], far[2] - near[2]};
    const double length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    const int dashes = std::max(3, static_cast<int>(std::lround(std::min(length, 1000.0) / DashPeriod)));
    const auto at = [&](double t) { return Vec3{near[0] + t * d[0], near[1] + t * d[1], near[2] + t * d[2]}; };
    const auto radius = [&](double t) { return near_radius + t * (far_radius - near_radius); };
    std::string out;
    for (int k = 0; k < dashes; ++k) {
        const double t0 = double(k) / dashes, t1 = (k + DashFilled) / dashes;
        out += bond_piece(at(t0), radius(t0), at(t1), radius(t1), look);
    }
    return out;
}

// Flat text in front of the atoms, at the label's place in the picture,
// an em of the font's size in pixels. The picture draws text from the
// pixel corner that shape coordinates put at a pixel's centre, hence the
// half pixel.
std::string label_solid(const ScreenMap& screen, const SceneLabel& label, const FontSpec& font, double z, int serial)
{
    const double em_pixels = font_pixel_size(font.size);
    const double x = view_x(screen, label.anchor.x - 0.5);
    const double y = view_y(screen, label.anchor.y - 0.5 + BaselineBelowCentre * em_pixels);
    const std::string text = "text { ttf \"" + std::string(LabelFont) + "\" " + quoted(label.text) + " 0.05, 0 }";
    const std::string place = "scale " + number(em_pixels / screen.s) + " translate " + vector_text({x, y, z}) +
                              "\n  " + pigment(font.colour) + " finish { Kestro_label } }\n";
    if (!label.centred) return text.substr(0, text.size() - 1) + "\n  " + place;
    const std::string name = "Kestro_label_" + std::to_string(serial);
    return "#declare " + name + " = " + text + "\nobject { " + name + " translate -x * (min_extent(" + name +
           ").x + max_extent(" + name + ").x) / 2\n  " + place;
}

} // namespace

std::string povray_scene(const StructureModel& model, const DrawingState& state, int size)
{
    const ScreenMap& screen = state.screen;
    const int atoms = std::min(model.generated.count(), state.view.atoms);
    const MajorParts majors(model);
    const auto drawn = [&](int i) { return i >= 1 && i <= atoms && atom_drawn(model, majors, i); };

    double front = -HUGE_VAL; // view Z of the nearest surface
    for (int i = 1; i <= atoms; ++i)
        if (drawn(i)) {
            const double reach = std::max(largest_semi_axis(state.ellipsoids[i]), model.drawing.bond_width);
            if (std::isfinite(state.view.Z[i] + reach)) front = std::max(front, state.view.Z[i] + reach);
        }
    if (front == -HUGE_VAL) front = 0;

    // The antialiased picture puts a pixel coordinate at the centre of its
    // pixel, as POV-Ray samples its pixels: the image's edges lie half a
    // pixel outside pixels 0 and size - 1.
    const double side = size / screen.s;
    const double centre_pixel = size / 2.0 - 0.5;
    const Vec3 camera = {view_x(screen, centre_pixel), view_y(screen, centre_pixel), front + CameraClearance};
    const Vec3 light = {camera[0], camera[1] + side / 2, camera[2] + 2 * side};

    std::string out;
    out += "// KESTRO " KESTRO_VERSION ": the picture as a POV-Ray 3.7 scene. The camera maps\n";
    out += "// the picture's " + std::to_string(size) + " x " + std::to_string(size) +
           " pixels: povray +W" + std::to_string(size) + " +H" + std::to_string(size) + " +IFILE.pov\n";
    out += "#version 3.7;\n";
    out += "global_settings { assumed_gamma 1.0 ambient_light rgb <1, 1, 1> }\n";
    out += "background { color rgb " + colour_vector(model.drawing.background_colour) + " }\n";
    out += "camera {\n  orthographic\n  location " + vector_text(pov(camera)) + "\n  direction <0, 0, 1>\n  right " +
           vector_text({side, 0, 0}) + "\n  up " + vector_text({0, side, 0}) + "\n}\n";
    // From behind and above the camera; the picture casts no shadows, nor does the scene.
    out += "light_source { " + vector_text(pov(light)) + " color rgb <1, 1, 1> shadowless }\n";
    out += "#declare Kestro_atom = finish { ambient 0.15 diffuse 0.85 specular 0.25 roughness 0.03 }\n";
    out += "#declare Kestro_bond = finish { ambient 0.15 diffuse 0.85 specular 0.15 roughness 0.05 }\n";
    out += "#declare Kestro_label = finish { ambient 0 diffuse 0 emission 1 }\n";

    for (int i = 1; i <= atoms; ++i)
        if (drawn(i)) out += atom_solid(model, state, i);
    BondBand band{};
    for (int b = 1; b <= model.bonds.count(); ++b) {
        const BondRecord& bond = model.bonds[b];
        if (bond.atom1 == bond.atom2 || !drawn(bond.atom1) || !drawn(bond.atom2)) continue;
        // Drawn where the picture draws its band, hidden where it does not.
        if (bond_band(model, state, b, band)) out += bond_solid(model, state, majors, b);
    }
    if (labels_shown(model.drawing)) {
        const FontSpec moved = label_font_spec(model.drawing);
        FontSpec centred;
        centred.size = SceneStyle{}.centred_label_size;
        SceneLabel label;
        for (int i = 1; i <= atoms; ++i)
            if (scene_label(model, state, majors, i, label))
                out += label_solid(screen, label, label.centred ? centred : moved, -(front + LabelClearance), i);
    }
    return out;
}

} // namespace kestro

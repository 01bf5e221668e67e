// The scene in painter's order: farthest atom first, each bond right after
// its farther atom so that the nearer atom covers it, then labels, cell,
// orientation picture and enclosure marks.

#include "drawing/scene.h"

#include <algorithm>
#include <cmath>

#include "crystal/bonds.h"
#include "crystal/disorder.h"
#include "crystal/oemath.h"
#include "crystal/sorts.h"
#include "drawing/drawing_state.h"
#include "model/labels.h"
#include "model/numbers.h"

namespace kestro {

namespace {

using colour::Black;
using colour::White;
using colour::Grey;
// Bonds of each atom, in bond-table order; a bond from an atom to itself
// is listed once.
void build_bond_lists(const StructureModel& model, DrawingState& state)
{
    const int atoms = model.generated.count();
    auto& start = state.bond_start;
    start.assign(static_cast<std::size_t>(atoms) + 2, 0); // keeps its block from one redraw to the next
    const auto valid = [atoms](int a) { return a >= 1 && a <= atoms; };
    for (const BondRecord& b : model.bonds) {
        if (!valid(b.atom1) || !valid(b.atom2)) continue;
        ++start[static_cast<std::size_t>(b.atom1 + 1)];
        if (b.atom2 != b.atom1) ++start[static_cast<std::size_t>(b.atom2 + 1)];
    }
    start[1] = 0;
    for (int a = 1; a <= atoms; ++a) start[static_cast<std::size_t>(a + 1)] += start[static_cast<std::size_t>(a)];
    std::vector<int>& fill = state.bond_fill;
    fill = start;
    state.bond_list.resize(static_cast<std::size_t>(start[static_cast<std::size_t>(atoms + 1)]));
    for (int i = 1; i <= model.bonds.count(); ++i) {
        const BondRecord& b = model.bonds[i];
        if (!valid(b.atom1) || !valid(b.atom2)) continue;
        state.bond_list[static_cast<std::size_t>(fill[static_cast<std::size_t>(b.atom1)]++)] = i;
        if (b.atom2 != b.atom1) state.bond_list[static_cast<std::size_t>(fill[static_cast<std::size_t>(b.atom2)]++)] = i;
    }
}

void draw_cell_edges(const StructureModel& model, const DrawingState& state, Canvas& canvas, int letter_size)
{
    const int first = state.view.atoms; // corners are points first + 1 .. first + 8
    const auto corner = [&](int c) { return point_pixel(state, first + c); };
    constexpr int edges[12][2] = {{1, 2}, {2, 3}, {3, 4}, {4, 1}, {5, 6}, {6, 7},
                                  {7, 8}, {8, 5}, {1, 5}, {2, 6}, {3, 7}, {4, 8}};
    if (letter_size > 0) {
        // A device's cell: solid black edges, letters in the canvas font on
        // the background colour.
        const FontSpec previous = canvas.font();
        FontSpec letters = previous;
        letters.size = letter_size;
        canvas.set_font(letters);
        canvas.set_brush(White);
        canvas.set_pen({Black, 1, PenStyle::Solid});
        for (const auto& e : edges) canvas.line(corner(e[0]), corner(e[1]));
        constexpr std::pair<int, const char*> names[] = {{1, "o"}, {2, "a"}, {4, "b"}, {5, "c"}};
        for (const auto& [c, text] : names) {
            const PixelPoint p = corner(c);
            canvas.set_brush(model.drawing.background_colour);
            canvas.fill_rect(p.x, p.y, p.x + canvas.text_width(text), p.y + canvas.text_height(text));
            canvas.text_out(p, text);
        }
        canvas.set_font(previous);
        return;
    }
    canvas.set_brush(White);
    canvas.set_pen({Grey, 1, PenStyle::Dot});
    for (const auto& e : edges) canvas.line(corner(e[0]), corner(e[1]));
    canvas.set_pen({Black, 1, PenStyle::Solid});
    canvas.set_brush(rgb(0xB2, 0xE0, 0xF7));
    const FontSpec previous = canvas.font();
    FontSpec letters;
    letters.bold = true;
    letters.size = 14;
    canvas.set_font(letters);
    canvas.text_out(corner(1), "o");
    canvas.text_out(corner(2), "a");
    canvas.text_out(corner(4), "b");
    canvas.text_out(corner(5), "c");
    canvas.set_font(previous);
}

void draw_labels(const StructureModel& model, DrawingState& state, Canvas& canvas, int centred_size,
                 const MajorParts& majors)
{
    const FontSpec previous = canvas.font();
    FontSpec centred;
    centred.size = centred_size;
    SceneLabel label;
    for (int i = 1; i <= model.generated.count(); ++i) {
        if (!scene_label(model, state, majors, i, label)) continue;
        canvas.set_font(label.centred ? centred : state.label_font);
        const int left = label.centred ? label.anchor.x - canvas.text_width(label.text) / 2 : label.anchor.x;
        canvas.text_out({left, label.anchor.y - canvas.text_height(label.text) / 2}, label.text);
    }
    canvas.set_font(previous);
}

void draw_enclosure_marks(const StructureModel& model, const DrawingState& state, Canvas& canvas)
{
    if (!state.view.has_centre) return;
    const int c = state.view.n + 1;
    const double x = state.view.X[c], y = state.view.Y[c];
    if (model.generation.sphere) {
        std::array<PixelPoint, MaxCirclePoints> circle{};
        const double r = model.generation.sphere_radius;
        const std::size_t count = static_cast<std::size_t>(state.circle.points);
        for (std::size_t j = 0; j < count; ++j)
            circle[j] = to_pixel(state.screen, x + r * state.circle.cos[j], y + r * state.circle.sin[j]);
        canvas.set_pen({Grey, 1, PenStyle::Dash});
        canvas.polyline(std::span<const PixelPoint>(circle.data(), count));
    }
    const PixelPoint p = to_pixel(state.screen, x, y);
    canvas.set_pen({Black, 1, PenStyle::Solid});
    canvas.line({p.x - 5, p.y}, {p.x + 5, p.y});
    canvas.line({p.x, p.y - 5}, {p.x, p.y + 5});
}

// The atoms come in depth order, scattered through memory, and each bond
// reads its other atom: while atom w of the order draws, what the atoms a
// few places ahead will read is fetched, in three steps (the atom and its
// bond list, then its bonds, then their other atoms), each step reading
// only what the previous one brought in. Exact: it changes no value.
void prefetch_ahead(const StructureModel& model, const DrawingState& state, int w)
{
    constexpr int AtomAhead = 8, BondsAhead = 5, OthersAhead = 2;
    const auto bond_range = [&](int a, auto each) {
        const auto first = static_cast<std::size_t>(state.bond_start[static_cast<std::size_t>(a)]);
        const auto last = static_cast<std::size_t>(state.bond_start[static_cast<std::size_t>(a + 1)]);
        for (std::size_t j = first; j < last; ++j) each(state.bond_list[j]);
    };
    if (w > AtomAhead) {
        const int a = state.paint_order[w - AtomAhead];
        __builtin_prefetch(&state.ellipsoids[a].A);
        __builtin_prefetch(&model.generated[a].colour);
        __builtin_prefetch(&state.view.X[a]);
        __builtin_prefetch(&state.view.Y[a]);
        __builtin_prefetch(&state.view.Z[a]);
        __builtin_prefetch(&state.bond_start[static_cast<std::size_t>(a)]);
    }
    if (w > BondsAhead) {
        const int a = state.paint_order[w - BondsAhead];
        bond_range(a, [&](int index) { __builtin_prefetch(&model.bonds[index]); });
    }
    if (w > OthersAhead) {
        const int a = state.paint_order[w - OthersAhead];
        bond_range(a, [&](int index) {
            const BondRecord& bond = model.bonds[index];
            const int other = bond.atom1 == a ? bond.atom2 : bond.atom1;
            if (other < 1 || other > model.generated.count()) return;
            __builtin_prefetch(&state.ellipsoids[other].Qv);
            __builtin_prefetch(&state.ellipsoids[other].K);
            __builtin_prefetch(&state.view.X[other]);
            __builtin_prefetch(&state.view.Y[other]);
            __builtin_prefetch(&state.view.Z[other]);
            __builtin_prefetch(&model.generated[other]);
        });
    }
}

} // namespace

void compute_paint_order(DrawingState& state)
{
    const int n = state.view.atoms;
    // Sorted as (depth, atom) pairs side by side, so that comparisons read
    // neighbouring memory; a NaN depth counts as the farthest.
    auto& order = state.order_work;
    order.resize(static_cast<std::size_t>(std::max(n, 0)));
    for (int i = 1; i <= n; ++i) {
        const double z = state.view.Z[i];
        order[static_cast<std::size_t>(i - 1)] = {std::isnan(z) ? -HUGE_VAL : z, i};
    }
    // Among equal Z the lower index first, as a selection scanning in index
    // order takes it; std::sort needs no buffer and the work space
    // is kept, so a redraw allocates nothing.
    std::sort(order.begin(), order.end(), [](const std::pair<double, int>& a, const std::pair<double, int>& b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    for (int w = 1; w <= n; ++w) state.paint_order[w] = order[static_cast<std::size_t>(w - 1)].second;
}

Colour bond_fill_colour(const StructureModel& model, const BondRecord& bond, const SceneStyle& style)
{
    if (model.drawing.black_white && style.white_bonds_in_black_and_white) return White;
    if (model.drawing.double_triple) {
        if (bond.order == 1) return colour::Green;
        if (bond.order == 2) return colour::Blue;
    }
    return model.drawing.bond_colour;
}

bool labels_shown(const DrawingOptions& options) { return options.labels_centre || options.labels_off_centre; }

bool scene_label(const StructureModel& model, const DrawingState& state, const MajorParts& majors, int atom,
                 SceneLabel& label)
{
    const AtomRecord& a = model.generated[atom];
    if (!a.labelled || !atom_drawn(model, majors, atom)) return false;
    if (a.label_dx != 0 && a.label_dy != 0) {
        label.text = model.display_labels[atom].view();
        label.anchor = to_pixel(state.screen, state.view.X[atom] - a.label_dx, state.view.Y[atom] - a.label_dy);
        label.centred = false;
        return true;
    }
    if (a.label_dx != 0 || a.label_dy != 0) return false; // moved along one axis only: not drawn
    label.text = centred_label_text(model, atom);
    label.anchor = point_pixel(state, atom);
    label.centred = true;
    return true;
}

std::string centred_label_text(const StructureModel& model, int atom)
{
    return display_label_of(model.generated[atom]) + "(" + std::to_string(atom) + ")";
}

void apply_label_style(const std::string& style_text, FontSpec& font)
{
    // The style names joined by ", ", each at most once ("Bold, Italic");
    // empty for none. Any other text keeps the previous style.
    FontSpec styled = font;
    styled.bold = styled.italic = styled.underline = styled.strikeout = false;
    std::size_t start = 0;
    while (start < style_text.size()) {
        std::size_t end = style_text.find(", ", start);
        if (end == std::string::npos) end = style_text.size();
        const std::string_view name(style_text.data() + start, end - start);
        bool* flag = name == "Bold"        ? &styled.bold
                     : name == "Italic"    ? &styled.italic
                     : name == "Underline" ? &styled.underline
                     : name == "Strikeout" ? &styled.strikeout
                                           : nullptr;
        if (!flag || *flag) return;
        *flag = true;
        start = end == style_text.size() ? end : end + 2;
        if (start == style_text.size() && end != style_text.size()) return; // a trailing ", "
    }
    font = styled;
}

FontSpec label_font_spec(const DrawingOptions& options)
{
    FontSpec font;
    font.name = options.label_font.name;
    font.size = options.label_font.size;
    font.colour = options.label_font.colour;
    apply_label_style(options.label_font.style, font);
    return font;
}

void draw_orientation_picture(const StructureModel& model, Canvas& canvas)
{
    constexpr Vec3 corners[8] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0},
                                 {0, 0, 1}, {1, 0, 1}, {0, 1, 1}, {1, 1, 1}};
    std::array<Vec3, 8> p{};
    for (std::size_t i = 0; i < 8; ++i) p[i] = mat_vec(model.cell.metric.T, corners[i]);
    const Vec3 mid = {(p[0][0] + p[7][0]) / 2, (p[0][1] + p[7][1]) / 2, (p[0][2] + p[7][2]) / 2};
    double e = -10000;
    for (Vec3& c : p) {
        for (int i = 0; i < 3; ++i) c[i] -= mid[i];
        e = std::max({e, std::abs(c[0]), std::abs(c[1])});
    }
    e *= 2;
    const int w = canvas.width(), h = canvas.height();
    canvas.set_brush(colour::Blue);
    canvas.fill_rect(0, 0, w, h);
    if (!(e > 0)) return;
    const double sx = w * 0.9 / e, sy = h * 0.9 / e;
    const int cx = w / 2 + 1, cy = h / 2 + 1;
    std::array<PixelPoint, 8> px{};
    for (std::size_t i = 0; i < 8; ++i)
        px[i] = {cx + static_cast<int>(round_half_even(sx * p[i][0])), cy - static_cast<int>(round_half_even(sy * p[i][1]))};
    canvas.set_pen({colour::Yellow, 2, PenStyle::Solid});
    constexpr int edges[12][2] = {{0, 1}, {0, 2}, {0, 4}, {1, 3}, {1, 5}, {2, 3},
                                  {2, 6}, {3, 7}, {4, 5}, {4, 6}, {5, 7}, {6, 7}};
    for (const auto& edge : edges) canvas.line(px[static_cast<std::size_t>(edge[0])], px[static_cast<std::size_t>(edge[1])]);
    canvas.set_pen({Black, 1, PenStyle::Solid});
    const FontSpec previous = canvas.font();
    FontSpec letters;
    letters.bold = true;
    letters.size = 10;
    letters.colour = White;
    canvas.set_font(letters);
    constexpr std::pair<std::size_t, const char*> names[] = {{0, "o"}, {1, "a"}, {2, "b"}, {4, "c"}};
    for (const auto& [corner, text] : names) canvas.text_out({px[corner].x - 4, px[corner].y - 7}, text);
    canvas.set_font(previous);
}

void draw_scene(const StructureModel& model, DrawingState& state, Canvas& canvas, Canvas* orientation_picture,
                const SceneStyle& style)
{
    const DrawingOptions& options = model.drawing;
    // An unknown style text keeps the style last applied.
    state.label_font.name = options.label_font.name;
    state.label_font.size = options.label_font.size;
    state.label_font.colour = options.label_font.colour;
    apply_label_style(options.label_font.style, state.label_font);

    if (style.fill_background) {
        canvas.set_brush(options.background_colour);
        canvas.fill_rect(0, 0, canvas.width(), canvas.height());
    }
    const Pen outline{Black, style.outline_pen, PenStyle::Solid};
    canvas.set_pen(outline);

    const int atoms = std::min(model.generated.count(), state.view.atoms);
    state.view.atoms = atoms;
    compute_paint_order(state);
    build_bond_lists(model, state);
    const MajorParts majors(model);
    // Whether each atom is drawn, found once: the bond loop asks it twice a bond.
    std::vector<char>& drawn = state.drawn_work;
    const int records = model.generated.count();
    drawn.assign(static_cast<std::size_t>(records) + 1, 0);
    for (int a = 1; a <= records; ++a) drawn[static_cast<std::size_t>(a)] = atom_drawn(model, majors, a);
    const auto is_drawn = [&](int a) { return a >= 1 && a <= records && drawn[static_cast<std::size_t>(a)]; };
    // A bond of a minor disorder part, when asked for: hollow, its outline dashed.
    const Pen dashed{Black, style.outline_pen, PenStyle::Dash};
    BondBand band{};
    for (int w = atoms; w >= 1; --w) {
        prefetch_ahead(model, state, w);
        const int a = state.paint_order[w];
        if (!is_drawn(a)) continue;
        draw_atom(model, state, a, canvas, outline);
        canvas.set_pen(outline);
        const auto first = static_cast<std::size_t>(state.bond_start[static_cast<std::size_t>(a)]);
        const auto last = static_cast<std::size_t>(state.bond_start[static_cast<std::size_t>(a + 1)]);
        for (std::size_t j = first; j < last; ++j) {
            const int index = state.bond_list[j];
            const BondRecord& bond = model.bonds[index];
            const int other = bond.atom1 == a ? bond.atom2 : bond.atom1;
            if (!is_drawn(bond.atom1) || !is_drawn(bond.atom2)) continue;
            if (!style.bonds_after_each_atom && !(state.view.Z[other] >= state.view.Z[a])) continue;
            if (!bond_band(model, state, index, band)) continue;
            const bool hollow = bond_dashed(model, majors, bond);
            canvas.set_pen(hollow ? dashed : outline);
            canvas.set_brush(hollow ? options.background_colour : bond_fill_colour(model, bond, style));
            canvas.polygon(band);
        }
        canvas.set_pen({Black, 1, PenStyle::Solid});
    }
    if (style.labels && labels_shown(options))
        draw_labels(model, state, canvas, style.centred_label_size, majors);
    if (style.cell && options.draw_cell && state.view.n >= atoms + 8)
        draw_cell_edges(model, state, canvas, style.cell_letter_size);
    if (orientation_picture) draw_orientation_picture(model, *orientation_picture);
    if (style.enclosure_marks) draw_enclosure_marks(model, state, canvas);
}

void black_and_white_on(StructureModel& model)
{
    DrawingOptions& d = model.drawing;
    if (!d.black_white) {
        for (int i = 1; i <= model.element_sorts.count(); ++i) {
            model.element_colours[i] = model.element_sorts[i].colour;
            model.element_sorts[i].colour = White;
        }
        d.saved_background_colour = d.background_colour;
        d.saved_bond_colour = d.bond_colour;
    }
    d.label_font.colour = Black;
    d.background_colour = White;
    d.bond_colour = White;
    d.black_white = 1;
    assign_atom_colours(model);
}

void black_and_white_off(StructureModel& model, DrawingState& state, Messages& messages)
{
    DrawingOptions& d = model.drawing;
    if (d.black_white) {
        bool all_white = true;
        for (int i = 1; i <= model.element_sorts.count(); ++i) {
            model.element_sorts[i].colour = model.element_colours[i];
            all_white = all_white && model.element_colours[i] == White;
        }
        if (all_white)
            for (int i = 1; i <= model.element_sorts.count(); ++i)
                model.element_sorts[i].colour = default_colour(symbol_key(model.element_sorts[i].symbol.view()));
        d.background_colour = d.saved_background_colour;
        d.bond_colour = d.saved_bond_colour;
        d.black_white = 0;
    }
    assign_atom_colours(model);
    compute_ellipsoid_tensors(model, state, messages);
    compute_outlines(model, state);
}

void leave_black_and_white(StructureModel& model, DrawingState& state, Messages& messages)
{
    DrawingOptions& d = model.drawing;
    if (!d.black_white) return;
    bool whitened = d.background_colour == White && d.bond_colour == White;
    for (const ElementSort& sort : model.element_sorts) whitened = whitened && sort.colour == White;
    if (!whitened) {
        for (int i = 1; i <= model.element_sorts.count(); ++i) model.element_colours[i] = model.element_sorts[i].colour;
        d.saved_background_colour = d.background_colour;
        d.saved_bond_colour = d.bond_colour;
    }
    black_and_white_off(model, state, messages);
}

int colour_grid_rows(const StructureModel& model) { return model.element_sorts.count() + 2; }

Colour grid_colour(const StructureModel& model, int row)
{
    const DrawingOptions& d = model.drawing;
    return row == 0 ? d.background_colour : row == 1 ? d.bond_colour : model.element_sorts[row - 1].colour;
}

bool choose_grid_colour(StructureModel& model, DrawingState& state, int row, Colour chosen, Messages& messages)
{
    if (row < 0 || row >= colour_grid_rows(model)) return false;
    DrawingOptions& d = model.drawing;
    if (row == 0) d.background_colour = d.saved_background_colour = chosen;
    else if (row == 1) d.bond_colour = d.saved_bond_colour = chosen;
    else model.element_sorts[row - 1].colour = model.element_colours[row - 1] = chosen;
    if (d.black_white) {
        BusyScope busy(messages);
        black_and_white_off(model, state, messages);
        d.black_white = 0;
    }
    assign_atom_colours(model);
    return true;
}

void reset_coordinates(StructureModel& model, DrawingState& state, Messages& messages)
{
    state.screen.f = 1.0;
    state.zoom_in_force = false;
    for (int i = 1; i <= model.generated.count(); ++i) {
        model.generated[i] = model.initial_generated[i];
        model.generated[i].shown = 1;
    }
    update_view(model, state, messages);
    liaisons(model, messages);
}

void prepare_drawing(const StructureModel& model, DrawingState& state, int width, int height, Messages& messages)
{
    state.screen.x0 = width / 2;
    state.screen.y0 = height / 2;
    state.screen.height = height;
    state.circle = make_circle_table();
    update_view(model, state, messages);
}

} // namespace kestro

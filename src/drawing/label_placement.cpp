// Point-feature label placement after Christensen, Marks and Shieber, "An
// empirical study of algorithms for point-feature label placement", ACM
// Trans. Graphics 14 (1995) 203: a fixed set of candidate boxes around each
// atom, a cost for each (figure covered, picture left, distance, side), and
// a greedy choice, most constrained label first, followed by discrete
// gradient descent (each label moved to its best candidate given the
// others) until no move lowers the cost. Their study finds this within a few
// per cent of simulated annealing at a fraction of its time, and it is
// deterministic.
//
// What the figure covers is found by drawing the scene, without labels, on
// a canvas that only marks the pixels of its filled polygons (atoms and bond
// bands): the obstacles are exactly what the picture shows.

#include "drawing/label_placement.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "crystal/disorder.h"
#include "drawing/drawing_state.h"
#include "drawing/ellipsoids.h"
#include "drawing/scene.h"
#include "model/labels.h"

namespace kestro {

namespace {

// Pixels [x1, x2) x [y1, y2).
struct Box {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    long long area() const { return static_cast<long long>(x2 - x1) * (y2 - y1); }
};

long long overlap(const Box& a, const Box& b)
{
    const int w = std::min(a.x2, b.x2) - std::max(a.x1, b.x1);
    const int h = std::min(a.y2, b.y2) - std::max(a.y1, b.y1);
    return w > 0 && h > 0 ? static_cast<long long>(w) * h : 0;
}

// Marks the pixels whose centres lie inside the filled polygons drawn on it
// (even-odd rule); everything else drawn is left out.
class CoverageCanvas final : public Canvas {
public:
    CoverageCanvas(int width, int height)
        : width_(width), height_(height), mask_(static_cast<std::size_t>(width) * height, 0)
    {
    }

    int width() const override { return width_; }
    int height() const override { return height_; }
    void set_pen(const Pen&) override {}
    void set_brush(Colour) override {}
    void set_font(const FontSpec& font) override { font_ = font; }
    FontSpec font() const override { return font_; }
    void fill_rect(int, int, int, int) override {}
    void polyline(std::span<const PixelPoint>) override {}
    void line(PixelPoint, PixelPoint) override {}
    void text_out(PixelPoint, std::string_view) override {}
    int text_width(std::string_view text) override { return static_cast<int>(text.size()) * 6; }
    int text_height(std::string_view) override { return 10; }

    void polygon(std::span<const PixelPoint> points) override
    {
        if (points.size() < 3) return;
        int top = height_, bottom = -1;
        for (const PixelPoint& p : points) {
            top = std::min(top, p.y);
            bottom = std::max(bottom, p.y);
        }
        top = std::max(top, 0);
        bottom = std::min(bottom, height_ - 1);
        for (int y = top; y <= bottom; ++y) {
            const double yc = y + 0.5;
            crossings_.clear();
            for (std::size_t k = 0; k < points.size(); ++k) {
                const PixelPoint a = points[k], b = points[(k + 1) % points.size()];
                if ((a.y <= yc) == (b.y <= yc)) continue;
                crossings_.push_back(a.x + (yc - a.y) * (b.x - a.x) / (b.y - a.y));
            }
            std::sort(crossings_.begin(), crossings_.end());
            for (std::size_t k = 0; k + 1 < crossings_.size(); k += 2) {
                const int from = std::max(0, static_cast<int>(std::ceil(crossings_[k] - 0.5)));
                const int to = std::min(width_ - 1, static_cast<int>(std::floor(crossings_[k + 1] - 0.5)));
                for (int x = from; x <= to; ++x) mask_[static_cast<std::size_t>(y) * width_ + x] = 1;
            }
        }
    }

    const std::vector<std::uint8_t>& mask() const { return mask_; }

private:
    int width_, height_;
    std::vector<std::uint8_t> mask_;
    std::vector<double> crossings_;
    FontSpec font_;
};

// The covered pixels of the figure, counted over any box in constant time
// (a summed-area table).
class Coverage {
public:
    Coverage(const StructureModel& model, DrawingState& state, int width, int height)
        : width_(width), height_(height), sums_(static_cast<std::size_t>(width + 1) * (height + 1), 0)
    {
        CoverageCanvas canvas(width, height);
        SceneStyle style;
        style.fill_background = false;
        style.labels = false;
        style.cell = false;
        style.enclosure_marks = false;
        draw_scene(model, state, canvas, nullptr, style);
        const auto& mask = canvas.mask();
        for (int y = 0; y < height; ++y) {
            int row = 0;
            for (int x = 0; x < width; ++x) {
                row += mask[static_cast<std::size_t>(y) * width + x];
                at(x + 1, y + 1) = at(x + 1, y) + row;
            }
        }
    }

    // Covered pixels in the box, and the box's pixels off the picture.
    long long covered(const Box& b) const
    {
        const Box c = clip(b);
        if (c.x2 <= c.x1 || c.y2 <= c.y1) return 0;
        return value(c.x2, c.y2) - value(c.x1, c.y2) - value(c.x2, c.y1) + value(c.x1, c.y1);
    }
    long long outside(const Box& b) const
    {
        const Box c = clip(b);
        return b.area() - (c.x2 > c.x1 && c.y2 > c.y1 ? c.area() : 0);
    }

private:
    Box clip(const Box& b) const
    {
        return {std::clamp(b.x1, 0, width_), std::clamp(b.y1, 0, height_), std::clamp(b.x2, 0, width_),
                std::clamp(b.y2, 0, height_)};
    }
    long long& at(int x, int y) { return sums_[static_cast<std::size_t>(y) * (width_ + 1) + x]; }
    long long value(int x, int y) const { return sums_[static_cast<std::size_t>(y) * (width_ + 1) + x]; }

    int width_, height_;
    std::vector<long long> sums_;
};

// The drawn atoms' pixels in square buckets, for "is another atom nearer".
class AtomBuckets {
public:
    AtomBuckets(const std::vector<PixelPoint>& points, const std::vector<int>& atoms, int cell)
        : points_(points), cell_(std::max(cell, 1))
    {
        for (const int a : atoms) {
            const PixelPoint p = points[static_cast<std::size_t>(a)];
            low_x_ = std::min(low_x_, p.x);
            low_y_ = std::min(low_y_, p.y);
            high_x_ = std::max(high_x_, p.x);
            high_y_ = std::max(high_y_, p.y);
        }
        if (atoms.empty()) return;
        columns_ = (high_x_ - low_x_) / cell_ + 1;
        rows_ = (high_y_ - low_y_) / cell_ + 1;
        start_.assign(static_cast<std::size_t>(columns_) * rows_ + 1, 0);
        for (const int a : atoms) ++start_[bucket(points[static_cast<std::size_t>(a)]) + 1];
        for (std::size_t b = 1; b < start_.size(); ++b) start_[b] += start_[b - 1];
        members_.resize(atoms.size());
        std::vector<int> fill(start_.begin(), start_.end() - 1);
        for (const int a : atoms) members_[static_cast<std::size_t>(fill[bucket(points[static_cast<std::size_t>(a)])]++)] = a;
    }

    // Whether an atom other than `own` lies strictly nearer to (x, y) than
    // the distance d.
    bool nearer_than(double x, double y, double d, int own) const
    {
        if (columns_ == 0) return false;
        const int c1 = std::max(0, static_cast<int>(std::floor((x - d - low_x_) / cell_)));
        const int c2 = std::min(columns_ - 1, static_cast<int>(std::floor((x + d - low_x_) / cell_)));
        const int r1 = std::max(0, static_cast<int>(std::floor((y - d - low_y_) / cell_)));
        const int r2 = std::min(rows_ - 1, static_cast<int>(std::floor((y + d - low_y_) / cell_)));
        const double d2 = d * d;
        for (int r = r1; r <= r2; ++r)
            for (int c = c1; c <= c2; ++c) {
                const std::size_t b = static_cast<std::size_t>(r) * columns_ + c;
                for (int m = start_[b]; m < start_[b + 1]; ++m) {
                    const int a = members_[static_cast<std::size_t>(m)];
                    if (a == own) continue;
                    const PixelPoint p = points_[static_cast<std::size_t>(a)];
                    const double dx = p.x - x, dy = p.y - y;
                    if (dx * dx + dy * dy < d2) return true;
                }
            }
        return false;
    }

private:
    std::size_t bucket(PixelPoint p) const
    {
        return static_cast<std::size_t>((p.y - low_y_) / cell_) * columns_ + (p.x - low_x_) / cell_;
    }

    const std::vector<PixelPoint>& points_;
    int cell_;
    int low_x_ = std::numeric_limits<int>::max(), low_y_ = std::numeric_limits<int>::max();
    int high_x_ = std::numeric_limits<int>::min(), high_y_ = std::numeric_limits<int>::min();
    int columns_ = 0, rows_ = 0;
    std::vector<int> start_, members_;
};

// Costs, in units of one pixel of figure covered: a free place always wins
// over any covered one within the candidates' reach, a label over another
// label costs more than one over the figure, and a label nearer another
// atom is taken only when nothing else is left.
constexpr double FigureCost = 100;
constexpr double LabelCost = 300;
constexpr double OutsideCost = 200;
constexpr double NearerOtherCost = 1e7;
constexpr double RingCost = 3;
constexpr double SideCost = 1; // the upper right is the favoured side

constexpr int Directions = 16;
constexpr int Rings = 7; // from the outline out to three label heights
constexpr int Gap = 2;   // pixels between an outline and its label

struct Candidate {
    Box box;
    double cost = 0; // without the other labels
};

struct Label {
    int atom = 0;
    std::vector<Candidate> candidates;
    std::vector<int> neighbours; // labels whose candidates may meet this one's
    int chosen = 0;
};

Box box_at(double cx, double cy, int w, int h)
{
    const int x1 = static_cast<int>(std::lround(cx - w / 2.0));
    const int y1 = static_cast<int>(std::lround(cy - h / 2.0));
    return {x1, y1, x1 + w, y1 + h};
}

double label_overlap_cost(const std::vector<Label>& labels, const Label& label, const Box& box)
{
    double cost = 0;
    for (const int other : label.neighbours) {
        const Label& o = labels[static_cast<std::size_t>(other)];
        cost += LabelCost * static_cast<double>(overlap(box, o.candidates[static_cast<std::size_t>(o.chosen)].box));
    }
    return cost;
}

// The pixel position of every viewed atom, and the atoms the picture draws
// (the parts shown), in number order.
struct DrawnAtoms {
    std::vector<PixelPoint> pixel;
    std::vector<int> drawn;

    DrawnAtoms(const StructureModel& model, const DrawingState& state)
    {
        const int n = std::min(model.generated.count(), state.view.atoms);
        const MajorParts majors(model);
        pixel.resize(static_cast<std::size_t>(n) + 1);
        for (int i = 1; i <= n; ++i) {
            pixel[static_cast<std::size_t>(i)] = point_pixel(state, i);
            if (atom_drawn(model, majors, i)) drawn.push_back(i);
        }
    }
};

// An offset as the .kes file keeps it, to 0.001 A, and never 0: a label
// counts as moved only when both its offsets are not 0, so a placed label
// must stay moved when the file is saved and opened again.
double stored_offset(double offset)
{
    const double step = 0.001;
    const double rounded = std::round(offset / step) * step;
    if (rounded != 0) return rounded;
    return offset < 0 ? -step : step;
}

} // namespace

void place_labels(StructureModel& model, DrawingState& state, Canvas& metrics, AutoLabels which)
{
    const int width = metrics.width(), height = metrics.height();
    const Coverage coverage(model, state, width, height); // also sets the label font of the state
    metrics.set_font(state.label_font);

    const DrawnAtoms atoms(model, state);
    const std::vector<PixelPoint>& pixel = atoms.pixel;
    const std::vector<int>& drawn = atoms.drawn;

    if (which == AutoLabels::Labelled &&
        std::none_of(drawn.begin(), drawn.end(), [&](int i) { return model.generated[i].labelled != 0; }))
        which = AutoLabels::All;

    std::vector<Label> labels;
    int reach = 1;
    for (const int i : drawn) {
        AtomRecord& atom = model.generated[i];
        const bool was_labelled = atom.labelled != 0;
        atom.labelled = 0;
        if (which == AutoLabels::NoHydrogen && is_hydrogen(atom)) continue;
        if (which == AutoLabels::Labelled && !was_labelled) continue;
        Label label;
        label.atom = i;
        labels.push_back(label);
    }
    const AtomBuckets buckets(pixel, drawn, 32);

    for (Label& label : labels) {
        const int i = label.atom;
        const std::string text(model.display_labels[i].view());
        const int w = std::max(1, metrics.text_width(text)), h = std::max(1, metrics.text_height(text));
        const EllipsoidData& data = state.ellipsoids[i];
        double radius = 0;
        for (int j = 0; j < state.circle.points; ++j)
            radius = std::max(radius, outline_radius(data, state.circle.cos[static_cast<std::size_t>(j)],
                                                     state.circle.sin[static_cast<std::size_t>(j)]));
        radius = std::isfinite(radius) ? std::min(radius * state.screen.s, 2.0 * (width + height)) : 0;
        const PixelPoint p = pixel[static_cast<std::size_t>(i)];
        label.candidates.reserve(Directions * Rings);
        for (int ring = 0; ring < Rings; ++ring) {
            const double d = radius + Gap + ring * h / 2.0;
            for (int k = 0; k < Directions; ++k) {
                const double angle = 2 * 3.14159265358979 * k / Directions;
                const double ux = std::cos(angle), uy = -std::sin(angle); // pixel rows grow downward
                // From the box's centre to its edge along u, so that the
                // box's nearest edge stands at d from the atom.
                const double to_edge = std::min(std::abs(ux) > 1e-9 ? w / 2.0 / std::abs(ux) : 1e18,
                                                std::abs(uy) > 1e-9 ? h / 2.0 / std::abs(uy) : 1e18);
                const double cx = p.x + (d + to_edge) * ux, cy = p.y + (d + to_edge) * uy;
                Candidate c;
                c.box = box_at(cx, cy, w, h);
                const double own = std::hypot(cx - p.x, cy - p.y);
                c.cost = FigureCost * static_cast<double>(coverage.covered(c.box)) +
                         OutsideCost * static_cast<double>(coverage.outside(c.box)) + RingCost * ring +
                         SideCost * (1 - std::cos(angle - 3.14159265358979 / 6)) +
                         (buckets.nearer_than(cx, cy, own, i) ? NearerOtherCost : 0);
                label.candidates.push_back(c);
            }
        }
        reach = std::max(reach, static_cast<int>(radius) + Gap + Rings * h / 2 + w + h);
    }

    // Labels that may meet: atoms within twice the longest reach, found by
    // a sweep over the atoms sorted by column.
    {
        std::vector<int> by_column(labels.size());
        for (std::size_t k = 0; k < labels.size(); ++k) by_column[k] = static_cast<int>(k);
        const auto x_of = [&](int k) { return pixel[static_cast<std::size_t>(labels[static_cast<std::size_t>(k)].atom)].x; };
        std::stable_sort(by_column.begin(), by_column.end(), [&](int a, int b) { return x_of(a) < x_of(b); });
        for (std::size_t a = 0; a < by_column.size(); ++a) {
            const int k = by_column[a];
            const PixelPoint p = pixel[static_cast<std::size_t>(labels[static_cast<std::size_t>(k)].atom)];
            for (std::size_t b = a + 1; b < by_column.size() && x_of(by_column[b]) - p.x <= 2 * reach; ++b) {
                const int m = by_column[b];
                const PixelPoint q = pixel[static_cast<std::size_t>(labels[static_cast<std::size_t>(m)].atom)];
                if (std::abs(p.y - q.y) > 2 * reach) continue;
                labels[static_cast<std::size_t>(k)].neighbours.push_back(m);
                labels[static_cast<std::size_t>(m)].neighbours.push_back(k);
            }
        }
        // In label order, so that the costs add up in one order whatever the sweep.
        for (Label& label : labels) std::sort(label.neighbours.begin(), label.neighbours.end());
    }

    // Greedy: the label with the fewest good places first.
    std::vector<int> order(labels.size());
    std::vector<int> good(labels.size(), 0);
    for (std::size_t k = 0; k < labels.size(); ++k) {
        order[k] = static_cast<int>(k);
        for (const Candidate& c : labels[k].candidates) good[k] += c.cost < FigureCost ? 1 : 0;
    }
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return good[static_cast<std::size_t>(a)] < good[static_cast<std::size_t>(b)];
    });
    std::vector<bool> placed(labels.size(), false);
    const auto best_for = [&](std::size_t k, bool all_placed) {
        const Label& label = labels[k];
        int best = 0;
        double best_cost = std::numeric_limits<double>::infinity();
        for (std::size_t c = 0; c < label.candidates.size(); ++c) {
            double cost = label.candidates[c].cost;
            for (const int other : label.neighbours) {
                if (!all_placed && !placed[static_cast<std::size_t>(other)]) continue;
                const Label& o = labels[static_cast<std::size_t>(other)];
                cost += LabelCost * static_cast<double>(overlap(label.candidates[c].box,
                                                                o.candidates[static_cast<std::size_t>(o.chosen)].box));
                if (cost >= best_cost) break;
            }
            if (cost < best_cost) {
                best_cost = cost;
                best = static_cast<int>(c);
            }
        }
        return std::pair{best, best_cost};
    };
    for (const int k : order) {
        labels[static_cast<std::size_t>(k)].chosen = best_for(static_cast<std::size_t>(k), false).first;
        placed[static_cast<std::size_t>(k)] = true;
    }
    // Descent: every label to its best place given the others, until none moves.
    for (int pass = 0; pass < 20; ++pass) {
        bool moved = false;
        for (std::size_t k = 0; k < labels.size(); ++k) {
            Label& label = labels[k];
            const Candidate& now = label.candidates[static_cast<std::size_t>(label.chosen)];
            const double current = now.cost + label_overlap_cost(labels, label, now.box);
            const auto [best, cost] = best_for(k, true);
            if (cost < current - 1e-9) {
                label.chosen = best;
                moved = true;
            }
        }
        if (!moved) break;
    }

    // The chosen boxes as moved labels: the anchor is the left end of the
    // text at half its height, as the labels are drawn.
    const ScreenMap& screen = state.screen;
    for (const Label& label : labels) {
        const Box& box = label.candidates[static_cast<std::size_t>(label.chosen)].box;
        const int ax = box.x1, ay = box.y1 + (box.y2 - box.y1) / 2;
        AtomRecord& atom = model.generated[label.atom];
        double dx = state.view.X[label.atom] - (ax - screen.x0) / screen.s;
        double dy = state.view.Y[label.atom] - (screen.y0 - ay) / screen.s;
        atom.label_dx = stored_offset(dx);
        atom.label_dy = stored_offset(dy);
        atom.labelled = 1;
    }
    model.drawing.labels_off_centre = 1;
    model.drawing.labels_centre = 0;
}

LabelQuality label_quality(const StructureModel& model, DrawingState& state, Canvas& metrics, int centred_size)
{
    const int width = metrics.width(), height = metrics.height();
    const Coverage coverage(model, state, width, height);
    const DrawnAtoms atoms(model, state);
    const std::vector<PixelPoint>& pixel = atoms.pixel;
    const std::vector<int>& drawn = atoms.drawn;
    const AtomBuckets buckets(pixel, drawn, 32);
    FontSpec centred;
    centred.size = centred_size;

    std::vector<Box> boxes;
    LabelQuality quality;
    long long area = 0, inked = 0;
    for (const int i : drawn) {
        const AtomRecord& atom = model.generated[i];
        if (!atom.labelled || !(model.drawing.labels_centre || model.drawing.labels_off_centre)) continue;
        const bool moved = atom.label_dx != 0 && atom.label_dy != 0;
        const bool centre = atom.label_dx == 0 && atom.label_dy == 0;
        Box box;
        if (moved) {
            metrics.set_font(state.label_font);
            const std::string text(model.display_labels[i].view());
            const PixelPoint anchor =
                to_pixel(state.screen, state.view.X[i] - atom.label_dx, state.view.Y[i] - atom.label_dy);
            const int w = metrics.text_width(text), h = metrics.text_height(text);
            box = {anchor.x, anchor.y - h / 2, anchor.x + w, anchor.y - h / 2 + h};
        } else if (centre) {
            metrics.set_font(centred);
            const std::string text = centred_label_text(model, i);
            const PixelPoint p = pixel[static_cast<std::size_t>(i)];
            const int w = metrics.text_width(text), h = metrics.text_height(text);
            box = {p.x - w / 2, p.y - h / 2, p.x - w / 2 + w, p.y - h / 2 + h};
        } else {
            continue;
        }
        ++quality.labels;
        area += box.area();
        inked += coverage.covered(box);
        const PixelPoint p = pixel[static_cast<std::size_t>(i)];
        const double cx = (box.x1 + box.x2) / 2.0, cy = (box.y1 + box.y2) / 2.0;
        if (buckets.nearer_than(cx, cy, std::hypot(cx - p.x, cy - p.y), i)) ++quality.nearer_other;
        for (const Box& other : boxes) quality.overlapping_pairs += overlap(box, other) > 0 ? 1 : 0;
        boxes.push_back(box);
    }
    quality.ink_on_figure = area > 0 ? static_cast<double>(inked) / static_cast<double>(area) : 0;
    return quality;
}

} // namespace kestro

#include "forms/enclosure.h"

#include "model/fields.h"
#include "model/numbers.h"
#include "model/text.h"

namespace kestro {
namespace {

// One field: empty gives "0"; the value must be a number (and not negative
// when it is a length).
bool read_field(std::string& text, double& member, bool length)
{
    if (trim(text).empty()) text = "0";
    const std::optional<double> value = parse_real(trim(text));
    if (!value || (length && *value < 0)) return false;
    member = *value;
    return true;
}

void store_cut(int& flag, CutChoice cut)
{
    if (cut == CutChoice::Yes) flag = 1;
    if (cut == CutChoice::No) flag = 0;
}

} // namespace

std::vector<std::string> enclosure_atom_lines(const StructureModel& model)
{
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(model.asym.count()));
    for (const AtomRecord& atom : model.asym) {
        std::string line = atom.label.str() + " ";
        if (line.size() > 5) line.resize(5);
        line += fmt_real(atom.xyz[0], 8, 4) + fmt_real(atom.xyz[1], 8, 4) + fmt_real(atom.xyz[2], 8, 4);
        lines.push_back(line);
    }
    return lines;
}

bool centre_from_atom(const StructureModel& model, int atom, std::array<std::string, 3>& centre)
{
    if (atom < 1 || atom > model.asym.count()) return false;
    const Vec3& xyz = model.asym[atom].xyz;
    centre = {" " + trim(fmt_real(xyz[0], 8, 4)), " " + trim(fmt_real(xyz[1], 8, 4)),
              " " + trim(fmt_real(xyz[2], 8, 4))};
    return true;
}

} // namespace kestro

namespace kestro::boite {

BoxFields box_fields(const StructureModel& model)
{
    const GenerationOptions& g = model.generation;
    BoxFields fields;
    fields.edges = {fmt_real(g.box_size[0], 7, 3), fmt_real(g.box_size[1], 7, 3), fmt_real(g.box_size[2], 7, 3)};
    fields.centre = {fmt_real(g.centre[0], 7, 4), fmt_real(g.centre[1], 7, 4), fmt_real(g.centre[2], 7, 4)};
    return fields;
}

int Lecture_limites(StructureModel& model, BoxFields& fields, Messages& messages)
{
    GenerationOptions& g = model.generation;
    std::array<double*, 6> members{&g.box_size[0], &g.box_size[1], &g.box_size[2],
                                   &g.centre[0],   &g.centre[1],   &g.centre[2]};
    for (int i = 0; i < 6; ++i) {
        std::string& text = i < 3 ? fields.edges[static_cast<std::size_t>(i)]
                                  : fields.centre[static_cast<std::size_t>(i - 3)];
        if (!read_field(text, *members[static_cast<std::size_t>(i)], i < 3)) {
            messages.beep();
            return i;
        }
    }
    store_cut(g.box_reduce, fields.cut);
    return -1;
}

void annule_box(StructureModel& model) { model.generation.box = 0; }

} // namespace kestro::boite

namespace kestro::sphere {

SphereFields sphere_fields(const StructureModel& model)
{
    const GenerationOptions& g = model.generation;
    SphereFields fields;
    fields.radius = fmt_real(g.sphere_radius, 6, 3);
    fields.centre = {fmt_real(g.centre[0], 7, 4), fmt_real(g.centre[1], 7, 4), fmt_real(g.centre[2], 7, 4)};
    return fields;
}

int read_sphere_fields(StructureModel& model, SphereFields& fields, Messages& messages)
{
    GenerationOptions& g = model.generation;
    if (!read_field(fields.radius, g.sphere_radius, true)) {
        messages.beep();
        return 0;
    }
    std::array<double*, 3> members{&g.centre[0], &g.centre[1], &g.centre[2]};
    for (std::size_t i = 0; i < 3; ++i)
        if (!read_field(fields.centre[i], *members[i], false)) {
            messages.beep();
            return static_cast<int>(i) + 1;
        }
    store_cut(g.sphere_reduce, fields.cut);
    return -1;
}

void annule_sphere(StructureModel& model) { model.generation.sphere = 0; }

} // namespace kestro::sphere

#include "generation_groups.h"

#include <cmath>
#include <sstream>

#include "crystal/oemath.h"
#include "crystal/operators.h"
#include "recording_messages.h"

using namespace kestro;

const std::vector<GroupSpec>& test_groups()
{
    static const std::vector<GroupSpec> groups = {
        {"P-1", "TRIC", {"-X,-Y,-Z"}, {}},
        {"P21/c", "MONO", {"-X,Y+1/2,-Z+1/2", "-X,-Y,-Z"}, {}},
        {"C2/m", "MONO", {"-X,Y,-Z", "-X,-Y,-Z"}, {{0.5, 0.5, 0}}},
        {"P212121", "ORTH", {"-X+1/2,-Y,Z+1/2", "-X,Y+1/2,-Z+1/2"}, {}},
        {"Cmcm", "ORTH", {"-X,-Y,Z+1/2", "-X,Y,-Z+1/2", "-X,-Y,-Z"}, {{0.5, 0.5, 0}}},
        {"P4/mmm", "TETR", {"-Y,X,Z", "X,-Y,-Z", "-X,-Y,-Z"}, {}},
        {"I41/a", "TETR", {"-Y+3/4,X+1/4,Z+1/4", "-X,-Y,-Z"}, {{0.5, 0.5, 0.5}}},
        {"P63/mmc", "HEXA", {"X-Y,X,Z+1/2", "Y,X,-Z", "-X,-Y,-Z"}, {}},
        {"R-3 (hexagonal axes)", "HEXA", {"-Y,X-Y,Z", "-X,-Y,-Z"}, {{2.0 / 3, 1.0 / 3, 1.0 / 3}}},
        {"R-3m (rhombohedral axes)", "RHOM", {"Z,X,Y", "-Y,-X,-Z", "-X,-Y,-Z"}, {}},
        {"Pm-3m", "CUBI", {"Z,X,Y", "-Y,X,Z", "-X,-Y,-Z"}, {}},
        {"Fm-3m", "CUBI", {"Z,X,Y", "-Y,X,Z", "-X,-Y,-Z"}, {{0, 0.5, 0.5}, {0.5, 0, 0.5}}},
    };
    return groups;
}

SymmetryOperator parse_operator(const std::string& text)
{
    SymmetryOperator op;
    std::stringstream in(text);
    std::string part;
    for (int r = 0; r < 3 && std::getline(in, part, ','); ++r) read_catalogue_component(part, op.rows[r]);
    return op;
}

namespace {

double wrap(double t) { return t - std::floor(t + 1e-9); }

SymmetryOperator compose(const SymmetryOperator& a, const SymmetryOperator& b)
{
    SymmetryOperator c;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            double s = 0;
            for (int k = 0; k < 3; ++k) s += a.rows[i][k] * b.rows[k][j];
            c.rows[i][j] = s;
        }
        double t = a.rows[i][3];
        for (int k = 0; k < 3; ++k) t += a.rows[i][k] * b.rows[k][3];
        c.rows[i][3] = wrap(t);
    }
    return c;
}

} // namespace

std::vector<SymmetryOperator> close_group(const GroupSpec& group)
{
    std::vector<SymmetryOperator> ops{SymmetryOperator::identity()};
    std::vector<SymmetryOperator> gens;
    for (const std::string& g : group.generators) gens.push_back(parse_operator(g));
    for (const Vec3& t : group.centring) {
        SymmetryOperator op = SymmetryOperator::identity();
        for (int i = 0; i < 3; ++i) op.rows[i][3] = t[i];
        gens.push_back(op);
    }
    const auto add = [&](const SymmetryOperator& op) {
        for (const SymmetryOperator& o : ops)
            if (same_operator(o, op)) return;
        ops.push_back(op);
    };
    for (const SymmetryOperator& g : gens) add(g);
    for (std::size_t i = 0; i < ops.size(); ++i)
        for (std::size_t j = 0; j < gens.size(); ++j) add(compose(ops[i], gens[j]));
    return ops;
}

void random_cell(StructureModel& model, const char* system, std::mt19937& rng)
{
    std::uniform_real_distribution<double> length(3.5, 14.0), angle(75.0, 105.0);
    const std::string s = system;
    CrystalCell& c = model.cell;
    c.a = length(rng), c.b = length(rng), c.c = length(rng);
    c.alpha = c.beta = c.gamma = 90;
    if (s == "TRIC") c.alpha = angle(rng), c.beta = angle(rng), c.gamma = angle(rng);
    if (s == "MONO") c.beta = 95 + 20 * std::uniform_real_distribution<double>(0, 1)(rng);
    if (s == "TETR") c.b = c.a;
    if (s == "HEXA") c.b = c.a, c.gamma = 120;
    if (s == "RHOM") c.b = c.c = c.a, c.alpha = c.beta = c.gamma = 55 + 45 * std::uniform_real_distribution<double>(0, 1)(rng);
    if (s == "CUBI") c.b = c.c = c.a;
    RecordingMessages messages;
    cell_metric(model, messages);
    set_crystal_system(model);
}

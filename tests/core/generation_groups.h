#pragma once
// Space-group operator lists built by closure from a few generators, and
// random structures on them, for the generation tests.

#include <random>
#include <string>
#include <vector>

#include "model/structure_model.h"

struct GroupSpec {
    const char* name;
    const char* system; // cell kind: "TRIC", "MONO", "ORTH", "TETR", "HEXA", "RHOM", "CUBI"
    std::vector<std::string> generators; // "X,Y+1/2,-Z"
    std::vector<kestro::Vec3> centring;  // translations besides (0, 0, 0)
};

const std::vector<GroupSpec>& test_groups();
// "X,Y+1/2,-Z" as an operator.
kestro::SymmetryOperator parse_operator(const std::string& text);
// Every product of the generators and centring translations, translations
// reduced into [0, 1), the identity first.
std::vector<kestro::SymmetryOperator> close_group(const GroupSpec& group);
// A cell of the given kind, loaded into model with its metric computed.
void random_cell(kestro::StructureModel& model, const char* system, std::mt19937& rng);

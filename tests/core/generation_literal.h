#pragma once
// The generation done the plain way, every pair compared: the reference the
// fast stages are held against.

#include <vector>

#include "model/structure_model.h"

struct LiteralGeneration {
    std::vector<kestro::AtomRecord> atoms;
    bool too_many = false;
};

// The whole run on model (which is not changed): candidates, duplicates,
// fragment passes, box, sphere and cell contents, each step as it reads.
LiteralGeneration literal_generation(const kestro::StructureModel& model);

struct LiteralFragments {
    std::vector<kestro::AtomRecord> atoms;
    int fragments = 0;
    bool overflow = false;
};
LiteralFragments literal_asym_fragments(const kestro::StructureModel& model, const std::vector<kestro::AtomRecord>& atoms);
LiteralFragments literal_generated_fragments(const kestro::StructureModel& model,
                                             const std::vector<kestro::AtomRecord>& atoms);

#pragma once
// Labels that place themselves: each label of the picture beside its own
// atom, clear of the other labels, the atoms' outlines and the bond bands
// where a free place exists, nearer its own atom than any other. The result
// is the moved labels of the labelling tools (label_dx, label_dy,
// labelled), drawn, printed, exported and saved like labels moved by hand.

#include "drawing/canvas.h"
#include "model/structure_model.h"

namespace kestro {

struct DrawingState;

// Which atoms get a label: every drawn atom, all but hydrogen, or those
// labelled now (every drawn atom when none is).
enum class AutoLabels { All, NoHydrogen, Labelled };

// Places the labels of the drawn atoms chosen by `which` on the
// picture `state` is prepared for, in the label font as `metrics` measures
// it; the atoms left out get no label. "Labels off centre" is set and
// "Labels in centre" cleared. Deterministic: the same picture gives the
// same offsets.
void place_labels(StructureModel& model, DrawingState& state, Canvas& metrics, AutoLabels which);

// How readable the labels of a picture are, as drawn (moved labels in the
// label font, centred ones in the centred font of `centred_size` points).
struct LabelQuality {
    int labels = 0;
    int overlapping_pairs = 0; // pairs of labels whose boxes intersect
    double ink_on_figure = 0;  // share of the labels' box area on atoms or bonds
    int nearer_other = 0;      // labels whose centre is nearer another atom than their own
};
LabelQuality label_quality(const StructureModel& model, DrawingState& state, Canvas& metrics,
                           int centred_size = 7);

} // namespace kestro

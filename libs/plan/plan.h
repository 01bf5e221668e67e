#pragma once
// The mean-plane library: reads "plan.dat" (title, cell, atoms with
// fractional coordinates, planes as lists of atom numbers) and writes
// "plan.sor": for each plane its equation in crystal and Cartesian
// coordinates, the deviation of each atom, the rms deviation and the
// angles to the planes before it. The last line is "Normal end" when every
// plane was computed, or names the plane whose atoms are aligned.
//
// Result: 0 when "plan.sor" was written with "Normal end", 1 when it was
// written ending on a plane that could not be fitted (aligned atoms, too
// few atoms, an atom number out of range), 2 when "plan.dat" could not be
// read or understood, 3 when "plan.sor" could not be written.

#ifdef __cplusplus
extern "C" {
#endif

// Works in directory (the current one when null or empty).
int plan_compute(const char* directory);

#ifdef __cplusplus
}
#endif

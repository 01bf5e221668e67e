#pragma once
// The miraldo library: the equivalent positions of a space-group setting,
// named by its Hermann-Mauguin symbol, written into "scfs.dat".
//
// codes16 holds 16 character codes of the symbol, padded with 32 (blank).
// The symbol is compared without blanks and case with the compact symbols
// of the settings table ("P121/c1", "Fd-3m:2", "R-3c:H"); a short standard
// symbol ("P21/c") names the standard setting of its group. The file gets a
// title line, then one line per position: r11 r12 r13 t1 r21 r22 r23 t2
// r31 r32 r33 t3. The inversion is included for a centrosymmetric group,
// the lattice-centring copies are not.
//
// Result: 0 when the file was written, 1 for an unknown symbol (no file is
// written), 2 when the file could not be written.

#ifdef __cplusplus
extern "C" {
#endif

// Writes "scfs.dat" in the current directory.
int miraldo_positions(const int* codes16);
// Writes "scfs.dat" in directory (the current one when null or empty).
int miraldo_positions_to(const int* codes16, const char* directory);

#ifdef __cplusplus
}
#endif

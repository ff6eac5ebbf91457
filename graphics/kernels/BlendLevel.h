// The two process-wide blend settings that the row kernels read: the blend level (SetAlphaParam)
// and the double-alpha weight table (SetDoubleAlphaParam).
//
// A caller sets a level, then runs a kernel on every row; two such sequences must not interleave.
// The library draws only under its callers' redraw lock, which serialises them.
#pragma once

#include <cstdint>

// Clamps level to 0..128 (128 = all of the second source) and makes it the blend level.
void SetAlphaParam(int level);
// The blend level, 0 at start.
int AlphaParam();

// Clamps level to 0..128 and selects the weight table T[a] = floor(a x level / 255): a prebuilt
// table for multiples of 16, else the work table, refilled only when the level changed.
void SetDoubleAlphaParam(int level);
// The selected 256-entry weight table; at start the work table, all zero.
const std::uint8_t* DoubleAlphaTable();
// The level the selected table was built for (0 at start, whose all-zero table is level 0's), so
// that vector kernels can compute T[a] instead of looking it up.
int DoubleAlphaLevel();

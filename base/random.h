// The one random-number rule of the game: the C runtime's rand() modulo the
// range size, plus lo; both ends included.  rand is seeded once at start-up.
#pragma once

int Random(int lo, int hi);

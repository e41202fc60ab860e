#pragma once
// The program's pseudo-random numbers: one linear congruential generator for
// the whole process, seeded 0 at start and never reseeded by the program, so
// that a run always draws the same sequence.
#include <QtGlobal>

namespace fc {
// Advances the seed (seed * 134775813 + 1, modulo 2^32) and answers the high
// 32 bits of seed * Range: an integer from 0 to Range - 1. A Range of 0 or
// less answers 0 (the seed still advances).
int Random(int Range);
quint32 RandSeed();
// For tests that need the sequence from a known point.
void SetRandSeed(quint32 Seed);
} // namespace fc

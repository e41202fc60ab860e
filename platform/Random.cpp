#include "Random.h"

namespace fc {

namespace {
quint32 gSeed = 0;
}

int Random(int Range)
{
    gSeed = gSeed * 134775813u + 1u;
    if (Range <= 0)
        return 0;
    return int((quint64(gSeed) * quint64(quint32(Range))) >> 32);
}

quint32 RandSeed() { return gSeed; }

void SetRandSeed(quint32 Seed) { gSeed = Seed; }

} // namespace fc

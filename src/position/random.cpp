#include "position/random.h"

namespace {
uint32_t RandomState = 1;
}

void SeedRandom(uint32_t seed) {
    RandomState = seed;
}

uint32_t Random15() {
    RandomState = RandomState * 214013u + 2531011u;
    return (RandomState >> 16) & RandomMax;
}

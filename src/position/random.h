#pragma once
// The engine's pseudo-random generator: the classic 15-bit linear congruential
// generator, so that every run draws the same kind of values on every platform.
// The hash keys and the book choice draw from it. Tests seed it themselves.

#include <cstdint>

constexpr uint32_t RandomMax = 0x7FFF;

void SeedRandom(uint32_t seed);
uint32_t Random15();  // 0..32767

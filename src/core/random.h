// The system's pseudo-random generator: a 32-bit linear congruential generator.
//
// Each call advances the state to state * 134775813 + 1 (mod 2^32) and returns the high 32 bits of
// the unsigned 64-bit product state * n, a number from 0 to n - 1. Random(0) returns 0 and still
// advances. The show's random choices and the random transition styles depend on this exact
// sequence, so golden frames can be reproduced from a seed.
#pragma once

#include <cstdint>

namespace tovrin {

class TRandom {
 public:
  explicit TRandom(uint32_t seed = 0) : FSeed(seed) {}

  uint32_t Seed() const { return FSeed; }
  void SetSeed(uint32_t seed) { FSeed = seed; }

  // Advances the state and returns a number from 0 to n - 1 (0 when n is 0). A negative n is taken
  // as its unsigned 32-bit pattern, as the original arithmetic does.
  int32_t Next(int32_t n) {
    FSeed = FSeed * 134775813u + 1u;
    return static_cast<int32_t>((static_cast<uint64_t>(FSeed) * static_cast<uint32_t>(n)) >> 32);
  }

 private:
  uint32_t FSeed;
};

// The one process-wide generator. The scheduler, the sound playlist and the random styles all draw
// from it, in the GUI thread only.
TRandom& ProcessRandom();

// Draws from the process-wide generator.
inline int32_t Random(int32_t n) {
  return ProcessRandom().Next(n);
}

// The start-up seed for a time of day: ((hour * 60 + minute) * 60 + second) * 1000 + millisecond.
uint32_t TimeOfDaySeed(int hour, int minute, int second, int millisecond);

// Seeds the process-wide generator once from the current UTC time of day.
void RandomizeFromTimeOfDay();

}  // namespace tovrin

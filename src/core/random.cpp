#include "core/random.h"

#include <chrono>

namespace tovrin {

TRandom& ProcessRandom() {
  static TRandom generator;
  return generator;
}

uint32_t TimeOfDaySeed(int hour, int minute, int second, int millisecond) {
  return static_cast<uint32_t>(((hour * 60 + minute) * 60 + second) * 1000 + millisecond);
}

void RandomizeFromTimeOfDay() {
  using namespace std::chrono;
  // The system time of day (UTC, as GetSystemTime reports it), to the millisecond.
  const auto now = system_clock::now();
  const auto sinceMidnight = duration_cast<milliseconds>(now - floor<days>(now)).count();
  const int ms = static_cast<int>(sinceMidnight % 1000);
  const int totalSeconds = static_cast<int>(sinceMidnight / 1000);
  ProcessRandom().SetSeed(
      TimeOfDaySeed(totalSeconds / 3600, totalSeconds / 60 % 60, totalSeconds % 60, ms));
}

}  // namespace tovrin

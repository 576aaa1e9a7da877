// TShuffleOrder: the pictures of a show in rounds, each picture once per round, each round in a
// fresh random order drawn from the process-wide generator; the last picture of a round is never
// the first of the next (unless it is the only one left).
//
// A round is drawn when its first picture is asked for, from the pictures not excluded at that
// moment (the show excludes pictures that failed to read), so a failed picture costs nothing in
// later rounds.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace tovrin {

class TShuffleOrder {
 public:
  // Pictures 0 to count - 1.
  explicit TShuffleOrder(int32_t count) : FCount(count) {}

  // The next picture, or -1 when every picture is excluded. excluded(i) tells whether picture i
  // is to be left out; it is asked only when a round is drawn and for the pictures of the round
  // already drawn as they come up.
  int32_t Next(const std::function<bool(int32_t)>& excluded);

  // True when no picture of the current round is left to give but excluded ones (and at the
  // start). The excluded ones it meets are passed over for good, so asking after every picture
  // costs no more than giving them.
  bool RoundDone(const std::function<bool(int32_t)>& excluded);
  // Rounds drawn so far.
  int64_t Rounds() const { return FRounds; }

 private:
  void DrawRound(const std::function<bool(int32_t)>& excluded);

  int32_t FCount;
  std::vector<int32_t> FRound;
  size_t FPosition = 0;
  int32_t FLast = -1;
  int64_t FRounds = 0;
};

}  // namespace tovrin

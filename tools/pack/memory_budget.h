// Working memory shared by the pictures a build converts at once.
//
//   budget 2 GiB      [ A: 700 MB ][ B: 900 MB ]......      A and B run together
//   C asks 600 MB     waits: 700 + 900 + 600 > 2 GiB
//   D asks 100 MB     waits behind C (first asked, first served), though it would fit
//   A ends            C runs beside B; D follows when it fits
//
// Each conversion reserves an estimate of what it will hold before it decodes its picture and
// gives it back when it ends, however it ends, so a build of huge photographs converts fewer at a
// time instead of running out of memory. One request larger than the whole budget is granted
// when nothing else is reserved: that picture is converted alone.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>

namespace tovrin {

class TMemoryBudget {
 public:
  // Bytes reserved by one conversion, given back when destroyed.
  class TReservation {
   public:
    TReservation() = default;
    TReservation(TReservation&& other) noexcept;
    TReservation& operator=(TReservation&& other) noexcept;
    TReservation(const TReservation&) = delete;
    TReservation& operator=(const TReservation&) = delete;
    ~TReservation();

    int64_t Bytes() const { return FBytes; }

   private:
    friend class TMemoryBudget;
    TReservation(TMemoryBudget& budget, int64_t bytes) : FBudget(&budget), FBytes(bytes) {}
    void Release();

    TMemoryBudget* FBudget = nullptr;  // not owned; the budget outlives its reservations
    int64_t FBytes = 0;
  };

  explicit TMemoryBudget(int64_t total) : FTotal(total) {}
  TMemoryBudget(const TMemoryBudget&) = delete;
  TMemoryBudget& operator=(const TMemoryBudget&) = delete;

  // Waits until `bytes` fit beside what is reserved (or, for a request larger than the whole
  // budget, until nothing is), in the order the requests came, and reserves them. Negative
  // requests count as 0.
  TReservation Reserve(int64_t bytes);

  int64_t Total() const { return FTotal; }
  // What the granted reservations hold now, and how many requests wait. Both are settled when
  // Reserve starts waiting and when a reservation's release returns: requests are granted by
  // whoever changes the budget, not when their threads wake.
  int64_t Reserved() const;
  size_t Waiting() const;

 private:
  // A request in line; lives on its waiting thread's stack.
  struct TRequest {
    int64_t Bytes = 0;
    bool Granted = false;
  };

  void Release(int64_t bytes);
  // Grants the requests at the head of the line while they fit. Called with FLock held.
  void GrantWhatFits();

  const int64_t FTotal;
  mutable std::mutex FLock;
  std::condition_variable FGranted;
  int64_t FReserved = 0;
  std::deque<TRequest*> FLine;  // not owned
};

}  // namespace tovrin

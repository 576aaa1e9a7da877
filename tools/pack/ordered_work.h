// Work on a sequence of items done ahead on other threads, its results taken in order.
//
//   items      0   1   2   3   4   5 ...
//   running   [0] [1] [2]                 up to `ahead` at once
//   Next()     -> 0, then 3 starts; -> 1, then 4 starts; ...
//
// The building of a screen saver converts pictures this way while it writes the ones before
// them, so converting many photographs uses the machine's cores. Results (and exceptions, which
// Next() raises again) come back in item order. Destroying the object waits for the work still
// running.
#pragma once

#include <algorithm>
#include <cstddef>
#include <deque>
#include <functional>
#include <future>
#include <thread>

namespace tovrin {

template <class T>
class TOrderedWork {
 public:
  // work(i) makes item i's result; it runs on other threads and must not touch what the caller
  // changes meanwhile.
  TOrderedWork(size_t count, size_t ahead, std::function<T(size_t)> work)
      : FCount(count), FAhead(std::max<size_t>(ahead, 1)), FWork(std::move(work)) {
    while (FStarted < FCount && FRunning.size() < FAhead) Start();
  }
  ~TOrderedWork() = default;  // each std::async future waits for its work
  TOrderedWork(const TOrderedWork&) = delete;
  TOrderedWork& operator=(const TOrderedWork&) = delete;

  // The result of the next item, in order; call it `count` times at most.
  T Next() {
    std::future<T> next = std::move(FRunning.front());
    FRunning.pop_front();
    if (FStarted < FCount) Start();
    return next.get();
  }

  // How many items to work on at once on this machine: its cores, at most `limit`.
  static size_t Threads(size_t limit) {
    return std::clamp<size_t>(std::thread::hardware_concurrency(), 1, limit);
  }

 private:
  void Start() {
    FRunning.push_back(std::async(std::launch::async, FWork, FStarted));
    ++FStarted;
  }

  size_t FCount;
  size_t FAhead;
  std::function<T(size_t)> FWork;
  size_t FStarted = 0;
  std::deque<std::future<T>> FRunning;
};

}  // namespace tovrin

// A form that writes down every event a back end's window gives it, one line each ("show",
// "activate", "key 88", "down 1 200,50" for button 1 at 200,50, "move 3,4", "user 1026",
// "close"), for tests that drive a real window with real input and check what arrived.
#pragma once

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/form_window.h"

namespace tovrin::testing {

class TFormEventLog final : public TFormEvents {
 public:
  void FormShow() override { Log.push_back("show"); }
  void FormActivate() override {
    Log.push_back("activate");
    ++FDepth;
    MaxDepth = std::max(MaxDepth, FDepth);
    if (OnActivate) {
      auto handler = std::move(OnActivate);  // once: a handler may activate again
      handler();
    }
    --FDepth;
  }
  void FormKeyDown(uint16_t key, TShiftState) override {
    Log.push_back("key " + std::to_string(key));
    if (ThrowOnKey) throw std::runtime_error("handler failed");
  }
  void FormMouseDown(TMouseButton button, TShiftState, int32_t x, int32_t y) override {
    Log.push_back("down " + std::to_string(static_cast<int>(button)) + " " + std::to_string(x) +
                  "," + std::to_string(y));
  }
  void FormMouseMove(TShiftState, int32_t x, int32_t y) override {
    Log.push_back("move " + std::to_string(x) + "," + std::to_string(y));
  }
  void FormUserMessage(uint32_t message) override {
    Log.push_back("user " + std::to_string(message));
  }
  void FormCloseRequest() override { Log.push_back("close"); }

  bool Has(const std::string& entry) const {
    return std::find(Log.begin(), Log.end(), entry) != Log.end();
  }

  std::vector<std::string> Log;
  // Runs inside the next FormActivate only.
  std::function<void()> OnActivate;
  // FormKeyDown throws after logging (a handler that fails).
  bool ThrowOnKey = false;
  // The deepest FormActivate ran inside another.
  int MaxDepth = 0;

 private:
  int FDepth = 0;
};

}  // namespace tovrin::testing

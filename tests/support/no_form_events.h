// A form that ignores every event: for driving a back end's window where only its drawing counts.
#pragma once

#include "platform/form_window.h"

namespace tovrin::testing {

class TNoFormEvents final : public TFormEvents {
 public:
  void FormShow() override {}
  void FormActivate() override {}
  void FormKeyDown(uint16_t, TShiftState) override {}
  void FormMouseDown(TMouseButton, TShiftState, int32_t, int32_t) override {}
  void FormMouseMove(TShiftState, int32_t, int32_t) override {}
  void FormUserMessage(uint32_t) override {}
  void FormCloseRequest() override {}
};

}  // namespace tovrin::testing

// TGdiObject: owns one GDI object (font, brush, bitmap, region) and deletes it when it goes.
#pragma once

#include "platform/win32/win32_api.h"

#include <utility>

namespace tovrin {

template <typename THandle>
class TGdiObject {
 public:
  TGdiObject() = default;
  explicit TGdiObject(THandle handle) : FHandle(handle) {}
  ~TGdiObject() { Reset(); }
  TGdiObject(TGdiObject&& other) noexcept : FHandle(std::exchange(other.FHandle, nullptr)) {}
  TGdiObject& operator=(TGdiObject&& other) noexcept {
    if (this != &other) {
      Reset();
      FHandle = std::exchange(other.FHandle, nullptr);
    }
    return *this;
  }
  TGdiObject(const TGdiObject&) = delete;
  TGdiObject& operator=(const TGdiObject&) = delete;

  THandle Get() const { return FHandle; }

 private:
  void Reset() {
    if (FHandle) DeleteObject(FHandle);
    FHandle = nullptr;
  }
  THandle FHandle = nullptr;
};

}  // namespace tovrin

// TComPtr: an owning COM interface pointer (Release on destruction), the one RAII holder the
// back end's ActiveX code uses.
#pragma once

#include "platform/win32/win32_api.h"

#include <unknwn.h>

#include <utility>

namespace tovrin {

template <typename T>
class TComPtr {
 public:
  TComPtr() = default;
  ~TComPtr() { Reset(); }
  TComPtr(const TComPtr& other) : FPtr(other.FPtr) {
    if (FPtr) FPtr->AddRef();
  }
  TComPtr(TComPtr&& other) noexcept : FPtr(std::exchange(other.FPtr, nullptr)) {}
  TComPtr& operator=(TComPtr other) noexcept {
    std::swap(FPtr, other.FPtr);
    return *this;
  }

  T* Get() const { return FPtr; }
  T* operator->() const { return FPtr; }
  explicit operator bool() const { return FPtr != nullptr; }
  // For out-parameters: releases what is held and hands out the slot.
  T** Put() {
    Reset();
    return &FPtr;
  }
  void** PutVoid() { return reinterpret_cast<void**>(Put()); }
  void Reset() {
    if (FPtr) FPtr->Release();
    FPtr = nullptr;
  }

 private:
  T* FPtr = nullptr;
};

}  // namespace tovrin

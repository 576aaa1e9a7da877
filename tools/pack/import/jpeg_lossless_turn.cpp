#include "jpeg_lossless_turn.h"

#include <memory>

#include <turbojpeg.h>

#include "exif_orientation.h"

namespace tovrin {

namespace {

// The transform for each EXIF orientation (index 0 unused).
constexpr int kTransforms[9] = {
    TJXOP_NONE,      TJXOP_NONE,  TJXOP_HFLIP,      TJXOP_ROT180, TJXOP_VFLIP,
    TJXOP_TRANSPOSE, TJXOP_ROT90, TJXOP_TRANSVERSE, TJXOP_ROT270,
};

struct THandleCloser {
  void operator()(void* handle) const { tjDestroy(handle); }
};
struct TBufferFreer {
  void operator()(unsigned char* buffer) const { tjFree(buffer); }
};

}  // namespace

TLosslessTurn TurnJpegLossless(std::span<const uint8_t> jpeg, int orientation) {
  TLosslessTurn result;
  if (orientation < 2 || orientation > 8) {
    result.Refusal = "orientation " + std::to_string(orientation) + " needs no turn";
    return result;
  }
  const std::unique_ptr<void, THandleCloser> handle(tjInitTransform());
  if (!handle) {
    result.Refusal = "TurboJPEG could not be started";
    return result;
  }
  tjtransform transform{};
  transform.op = kTransforms[orientation];
  transform.options = TJXOPT_PERFECT;
  unsigned char* out = nullptr;
  unsigned long outSize = 0;
  const int status =
      tjTransform(handle.get(), jpeg.data(), static_cast<unsigned long>(jpeg.size()), 1, &out,
                  &outSize, &transform, TJFLAG_LIMITSCANS | TJFLAG_STOPONWARNING);
  const std::unique_ptr<unsigned char, TBufferFreer> owned(out);
  if (status != 0 || out == nullptr) {
    result.Refusal = tjGetErrorStr2(handle.get());
    if (result.Refusal.empty()) result.Refusal = "the transform failed";
    return result;
  }
  result.Jpeg.assign(out, out + outSize);
  ClearExifOrientation(result.Jpeg);
  return result;
}

}  // namespace tovrin

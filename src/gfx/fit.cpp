#include "gfx/fit.h"

#include <cstdint>

#include "gfx/muldiv.h"

namespace tovrin {

TRect FitRect(const TRect& source, const TRect& target) {
  const int32_t sw = source.Width();
  const int32_t sh = source.Height();
  const int32_t tw = target.Width();
  const int32_t th = target.Height();
  int32_t w = 0;
  int32_t h = 0;
  if (sw > 0 && sh > 0) {
    // th / sh > tw / sw, compared exactly: both sides multiplied by the positive sh * sw. For
    // every size a picture can have this is the same answer the floating-point quotients give,
    // and it does not depend on the machine's floating-point precision.
    if (static_cast<int64_t>(th) * sw > static_cast<int64_t>(tw) * sh) {
      w = tw;
      h = MulDiv(sh, tw, sw);
    } else {
      w = MulDiv(sw, th, sh);
      h = th;
    }
  }
  // A source without width or height has no aspect ratio: it fits as an empty rectangle at the
  // target's centre rather than as the -1 sizes a division by zero would give.
  TRect r{0, 0, w, h};
  r.Offset(target.Left + HalfTrunc(tw - w), target.Top + HalfTrunc(th - h));
  return r;
}

}  // namespace tovrin

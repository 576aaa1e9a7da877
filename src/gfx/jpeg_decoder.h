// JPEG decoding to a bitmap, through libjpeg, from bytes held in memory.
#pragma once

#include <cstddef>
#include <cstdint>

#include "gfx/bitmap.h"
#include "gfx/rect.h"

namespace tovrin {

// Decodes the JPEG data[0, size) at full size with the floating-point inverse DCT and block
// smoothing; a progressive file is decoded in one pass.
//   colour (YCbCr, RGB, CMYK, YCCK) -> pf24bit; CMYK as written by Adobe applications (inverted
//                                      values) is recognised by its Adobe marker
//   grey-scale                       -> pf8bit, quantised to at most 236 grey levels, with the
//                                      matching grey palette
// Fails with EInvalidGraphic carrying libjpeg's message when the data is not a JPEG or is corrupt
// beyond decoding, and with EOutOfResources when the picture is larger than a bitmap may be
// (checked from the header, before the pixel store is allocated). A file that merely ends early
// is decoded as far as it goes (libjpeg fills the rest, it is not an error).
TBitmap DecodeJPEG(const uint8_t* data, size_t size);

// As above; *warnings receives the number of problems libjpeg recovered from (corrupt data, a
// premature end of the file), 0 for a clean file.
TBitmap DecodeJPEG(const uint8_t* data, size_t size, int* warnings);

// As DecodeJPEG, at the smallest of the decoder's reduced sizes (M/8 of the picture, M = 1 to 8,
// rounded up) that still covers width x height; at full size when none smaller does, or when
// width or height is 0. For pictures that are drawn scaled down: decoding a large photograph
// at half or a quarter of its size is several times faster and needs as much less memory. The
// reduced decodings use libjpeg's scaled inverse transforms, not the floating-point one.
TBitmap DecodeJPEGCovering(const uint8_t* data, size_t size, int32_t width, int32_t height,
                           int* warnings = nullptr);

// The pixels of the picture inside part (clipped to the picture; an empty bitmap when nothing is
// left), at full size: the same pixels as DecodeJPEG's in that rectangle, for a picture drawn at
// its own size and cut off by the screen. A colour picture is decoded only as far as the part
// needs: the rows above it and the columns beside it skip the inverse transform and the colour
// conversion, and decoding stops after its last row. A grey-scale picture (whose quantising
// dithers across neighbours) is decoded whole and cut. Fails as DecodeJPEG.
TBitmap DecodeJPEGPart(const uint8_t* data, size_t size, const TRect& part);

// As DecodeJPEGCovering, for a picture that is to be filtered down and encoded again
// (tovrin-pack), where the same file must always give the same pixels:
//   - only the reduced sizes 1/2, 1/4 and 1/8 are taken (the smallest that covers width x height),
//     libjpeg's fastest ones;
//   - the accurate integer inverse DCT, whose results do not depend on the machine's floating
//     point;
//   - at a reduced size, plain doubling of the chroma instead of libjpeg's smoothed upsampling
//     (the picture is filtered down further anyway);
//   - grey-scale -> pf8bit with all 256 levels kept and the ordered grey palette (entry i = i, i,
//     i), not quantised.
// width and height are in the stored picture's orientation (turn them for an EXIF-rotated
// picture before asking). Fails as DecodeJPEG.
TBitmap DecodeJPEGForReencoding(const uint8_t* data, size_t size, int32_t width, int32_t height,
                                int* warnings = nullptr);

struct TDecodedSize {
  int32_t Width = 0;
  int32_t Height = 0;
};

// The size of the bitmap DecodeJPEGForReencoding gives for a width x height picture asked to
// cover coverWidth x coverHeight, known before decoding (to reserve the memory a decoding takes).
TDecodedSize JPEGReencodingSize(int32_t width, int32_t height, int32_t coverWidth,
                                int32_t coverHeight);

}  // namespace tovrin

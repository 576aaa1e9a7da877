// Pixel styles: the cross-fade and the swing-in, written pixel by pixel into the target.
//
// Cross-fade. Every byte of a row gets the same formula, so a row is blended as a plain byte
// array, 16 or 32 bytes at a time on 16-bit lanes:
//
//   t[i] = (t[i] * ShareFactor(keep)) >> 16  +  (q[i] * ShareFactor(take)) >> 16
//
// each product formed by one high-half multiply, and the sum (at most 255) packed back to bytes.
//
// Swing-in. Along a row, u and v are rounded values of dx * cos - dy * sin and dx * sin + dy * cos
// with dy fixed, so each is monotone in x (rounding to nearest and adding a constant keep the order
// of their arguments, and dx * c is monotone for a fixed c). The columns whose source pixel lies in
// the picture therefore form one run, found by binary search with the very same arithmetic; inside
// the run no pixel needs a bounds check, and the source offsets are computed several at a time:
//
//   row y:  | kept ... kept | copied from (u, v) ... copied | kept ... kept |
//                           x0                              x1
#include "picshow/styles/pixel_drawing.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <numbers>
#include <utility>
#include <vector>

#include "picshow/styles/style_table.h"

#if defined(__SSE2__)
#include <immintrin.h>
#define TOVRIN_PIXEL_SSE2 1
// AVX2 is chosen at run time where the processor has it. Not on Windows: GCC there cannot align
// the stack for 32-byte spills (the x64 ABI gives it 16), which would fault on an aligned spill.
#if (defined(__GNUC__) || defined(__clang__)) && defined(__x86_64__) && !defined(_WIN32)
#define TOVRIN_PIXEL_AVX2 1
#endif
#endif

namespace tovrin {

namespace {

bool BothTrueColour(const TBitmap& a, const TBitmap& b) {
  return a.PixelFormat() == TPixelFormat::pf24bit && b.PixelFormat() == TPixelFormat::pf24bit;
}

#if defined(TOVRIN_PIXEL_AVX2)
bool HasAvx2() {
  return __builtin_cpu_supports("avx2");
}
#endif

// ---- Cross-fade ---------------------------------------------------------------------------------

struct TBlendWeights {
  uint16_t Keep;        // 100 - P, for the target's byte
  uint16_t Take;        // P, for the picture's byte
  uint16_t KeepFactor;  // ShareFactor(Keep)
  uint16_t TakeFactor;  // ShareFactor(Take)
};

// out[i] from t[i] and q[i]; out may be t.
void BlendBytes(uint8_t* out, const uint8_t* t, const uint8_t* q, size_t from, size_t bytes,
                const TBlendWeights& w) {
  for (size_t i = from; i < bytes; ++i) {
    out[i] = static_cast<uint8_t>(Div100(static_cast<uint16_t>(t[i] * w.Keep)) +
                                  Div100(static_cast<uint16_t>(q[i] * w.Take)));
  }
}

#if defined(TOVRIN_PIXEL_SSE2)
// Blends whole blocks of 16 bytes; returns how many bytes it did.
size_t BlendBlocksSse2(uint8_t* out, const uint8_t* t, const uint8_t* q, size_t bytes,
                       const TBlendWeights& w) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i keep = _mm_set1_epi16(static_cast<int16_t>(w.KeepFactor));
  const __m128i take = _mm_set1_epi16(static_cast<int16_t>(w.TakeFactor));
  size_t i = 0;
  for (; i + 16 <= bytes; i += 16) {
    const __m128i m = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i));
    const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q + i));
    const __m128i lo = _mm_add_epi16(_mm_mulhi_epu16(_mm_unpacklo_epi8(m, zero), keep),
                                     _mm_mulhi_epu16(_mm_unpacklo_epi8(p, zero), take));
    const __m128i hi = _mm_add_epi16(_mm_mulhi_epu16(_mm_unpackhi_epi8(m, zero), keep),
                                     _mm_mulhi_epu16(_mm_unpackhi_epi8(p, zero), take));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(lo, hi));
  }
  return i;
}
#endif

#if defined(TOVRIN_PIXEL_AVX2)
// The same on 32-byte blocks. Unpacking and packing both work within each 16-byte half, so the
// bytes come back in their places.
__attribute__((target("avx2"))) size_t BlendBlocksAvx2(uint8_t* out, const uint8_t* t,
                                                       const uint8_t* q, size_t bytes,
                                                       const TBlendWeights& w) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i keep = _mm256_set1_epi16(static_cast<int16_t>(w.KeepFactor));
  const __m256i take = _mm256_set1_epi16(static_cast<int16_t>(w.TakeFactor));
  size_t i = 0;
  for (; i + 32 <= bytes; i += 32) {
    const __m256i m = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(t + i));
    const __m256i p = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(q + i));
    const __m256i lo = _mm256_add_epi16(_mm256_mulhi_epu16(_mm256_unpacklo_epi8(m, zero), keep),
                                        _mm256_mulhi_epu16(_mm256_unpacklo_epi8(p, zero), take));
    const __m256i hi = _mm256_add_epi16(_mm256_mulhi_epu16(_mm256_unpackhi_epi8(m, zero), keep),
                                        _mm256_mulhi_epu16(_mm256_unpackhi_epi8(p, zero), take));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm256_packus_epi16(lo, hi));
  }
  return i;
}
#endif

// ---- Swing-in -----------------------------------------------------------------------------------

// Rounds to the nearest integer, halves to even, as nearbyint does in the default rounding mode,
// without a library call per pixel. Adding 1.5 * 2^52 moves any |v| < 2^51 into the range where a
// double's last bit is worth 1, so the addition itself rounds v to an integer (to even on a tie),
// and the low 52 bits of the sum then hold 2^51 + that integer. The rotation's values stay below
// 2^34 in magnitude (differences of 32-bit coordinates, times a sine or cosine, summed).
constexpr double kRoundShift = 6755399441055744.0;  // 1.5 * 2^52

inline int64_t RoundHalfEven(double v) {
  const double shifted = v + kRoundShift;
  uint64_t bits;
  std::memcpy(&bits, &shifted, sizeof bits);
  return static_cast<int64_t>(bits & ((uint64_t{1} << 52) - 1)) - (int64_t{1} << 51);
}

// What stays fixed along one target row of the rotation. dx * cos and dx * sin come from tables
// made once per frame: each is the product a per-pixel evaluation would form, as are dy * sin and
// dy * cos made once per row, so the sums and their rounding are exactly the per-pixel ones.
struct TRotationRow {
  const double* DxCos;
  const double* DxSin;
  double DySin;
  double DyCos;
  int64_t Cx;
  int64_t Cy;

  int64_t U(int32_t x) const { return RoundHalfEven(DxCos[x] - DySin) + Cx; }
  int64_t V(int32_t x) const { return RoundHalfEven(DxSin[x] + DyCos) + Cy; }
};

// The columns [first, last) of 0..width-1 where `holds` is true, for a condition whose columns are
// a prefix or a suffix of the row (it changes at most once along the row). The change is searched
// for outwards from `hint` in doubling steps, then by halving: from one row to the next it moves
// little, so the previous row's change (written back to hint) makes a few tests suffice.
template <class Condition>
std::pair<int32_t, int32_t> ColumnsWhere(int32_t width, Condition holds, int32_t& hint) {
  const bool atStart = holds(0);
  if (atStart == holds(width - 1)) return atStart ? std::pair{0, width} : std::pair{0, 0};
  // Invariant: same < changed, holds(same) == atStart, holds(changed) != atStart.
  int32_t same = 0, changed = width - 1;
  const int32_t from = std::clamp(hint, 1, std::max(1, width - 2));
  if (holds(from) == atStart) {
    same = from;
    for (int32_t step = 1; changed - same > step; step *= 2) {
      if (holds(same + step) != atStart) {
        changed = same + step;
        break;
      }
      same += step;
    }
  } else {
    changed = from;
    for (int32_t step = 1; changed - same > step; step *= 2) {
      if (holds(changed - step) == atStart) {
        same = changed - step;
        break;
      }
      changed -= step;
    }
  }
  while (changed - same > 1) {
    const int32_t mid = same + (changed - same) / 2;
    (holds(mid) == atStart ? same : changed) = mid;
  }
  hint = changed;
  return atStart ? std::pair{0, changed} : std::pair{changed, width};
}

// Where each of the four bounds last changed along a row, as hints for the next row.
using TRunHints = std::array<int32_t, 4>;

// The run of columns whose source pixel lies inside width x height. u and v are each monotone
// along the row, so each bound holds on a prefix or a suffix, and their intersection is one run.
std::pair<int32_t, int32_t> InsideRun(const TRotationRow& r, int32_t width, int32_t height,
                                      TRunHints& hints) {
  int32_t first = 0, last = width;
  const auto narrow = [&](auto holds, int32_t& hint) {
    const auto [from, to] = ColumnsWhere(width, holds, hint);
    first = std::max(first, from);
    last = std::min(last, to);
  };
  narrow([&](int32_t x) { return r.U(x) >= 0; }, hints[0]);
  if (first < last) narrow([&](int32_t x) { return r.U(x) < width; }, hints[1]);
  if (first < last) narrow([&](int32_t x) { return r.V(x) >= 0; }, hints[2]);
  if (first < last) narrow([&](int32_t x) { return r.V(x) < height; }, hints[3]);
  return {first, std::max(first, last)};
}

// The width of the column strips the rotation is done in (see RotateFrame).
constexpr int32_t kStrip = 512;

// Source offsets v * stride + 3 * u for columns x .. x + n - 1, all inside the picture. The sums
// are the scalar ones; only the low 32 bits of each rounded value are kept, which hold u - cx and
// v - cy modulo 2^32, and every offset is below 2^30 (the largest bitmap). highest is raised to
// the largest offset written.
void SourceOffsetsScalar(const TRotationRow& r, int32_t x, int32_t n, uint32_t stride,
                         uint32_t* out, uint32_t& highest) {
  for (int32_t k = 0; k < n; ++k) {
    out[k] = static_cast<uint32_t>(r.V(x + k)) * stride + 3 * static_cast<uint32_t>(r.U(x + k));
    highest = std::max(highest, out[k]);
  }
}

#if defined(TOVRIN_PIXEL_SSE2)
uint32_t HighestLane(const __m128i lanes) {
  std::array<uint32_t, 4> values;
  _mm_storeu_si128(reinterpret_cast<__m128i*>(values.data()), lanes);
  return *std::max_element(values.begin(), values.end());
}

// Two columns a step on SSE2's two double lanes; returns how many columns it did.
int32_t SourceOffsetsSse2(const TRotationRow& r, int32_t x, int32_t n, uint32_t stride,
                          uint32_t* out, uint32_t& highest) {
  const __m128d shift = _mm_set1_pd(kRoundShift);
  const __m128d dySin = _mm_set1_pd(r.DySin);
  const __m128d dyCos = _mm_set1_pd(r.DyCos);
  const __m128i cx = _mm_set1_epi64x(static_cast<uint32_t>(r.Cx));
  const __m128i cy = _mm_set1_epi64x(static_cast<uint32_t>(r.Cy));
  const __m128i strides = _mm_set1_epi64x(stride);
  __m128i most = _mm_setzero_si128();
  int32_t k = 0;
  for (; k + 2 <= n; k += 2) {
    const __m128d u = _mm_add_pd(_mm_sub_pd(_mm_loadu_pd(r.DxCos + x + k), dySin), shift);
    const __m128d v = _mm_add_pd(_mm_add_pd(_mm_loadu_pd(r.DxSin + x + k), dyCos), shift);
    const __m128i ui = _mm_add_epi32(_mm_castpd_si128(u), cx);
    const __m128i vi = _mm_add_epi32(_mm_castpd_si128(v), cy);
    // The low 32 bits of each 64-bit lane hold the offset; gather them into the first 8 bytes.
    const __m128i offset =
        _mm_add_epi32(_mm_mul_epu32(vi, strides), _mm_add_epi32(ui, _mm_add_epi32(ui, ui)));
    const __m128i packed = _mm_shuffle_epi32(offset, _MM_SHUFFLE(2, 0, 2, 0));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + k), packed);
    // Offsets are below 2^31, so the signed comparison orders them.
    const __m128i less = _mm_cmpgt_epi32(packed, most);
    most = _mm_or_si128(_mm_and_si128(less, packed), _mm_andnot_si128(less, most));
  }
  highest = std::max(highest, HighestLane(most));
  return k;
}
#endif

#if defined(TOVRIN_PIXEL_AVX2)
// Four columns a step on AVX2's four double lanes.
__attribute__((target("avx2"))) int32_t SourceOffsetsAvx2(const TRotationRow& r, int32_t x,
                                                          int32_t n, uint32_t stride, uint32_t* out,
                                                          uint32_t& highest) {
  const __m256d shift = _mm256_set1_pd(kRoundShift);
  const __m256d dySin = _mm256_set1_pd(r.DySin);
  const __m256d dyCos = _mm256_set1_pd(r.DyCos);
  const __m256i cx = _mm256_set1_epi64x(static_cast<uint32_t>(r.Cx));
  const __m256i cy = _mm256_set1_epi64x(static_cast<uint32_t>(r.Cy));
  const __m256i strides = _mm256_set1_epi64x(stride);
  const __m256i lowHalves = _mm256_setr_epi32(0, 2, 4, 6, 0, 2, 4, 6);
  __m128i most = _mm_setzero_si128();
  int32_t k = 0;
  for (; k + 4 <= n; k += 4) {
    const __m256d u = _mm256_add_pd(_mm256_sub_pd(_mm256_loadu_pd(r.DxCos + x + k), dySin), shift);
    const __m256d v = _mm256_add_pd(_mm256_add_pd(_mm256_loadu_pd(r.DxSin + x + k), dyCos), shift);
    const __m256i ui = _mm256_add_epi32(_mm256_castpd_si256(u), cx);
    const __m256i vi = _mm256_add_epi32(_mm256_castpd_si256(v), cy);
    const __m256i offset = _mm256_add_epi32(_mm256_mul_epu32(vi, strides),
                                            _mm256_add_epi32(ui, _mm256_add_epi32(ui, ui)));
    const __m128i packed = _mm256_castsi256_si128(_mm256_permutevar8x32_epi32(offset, lowHalves));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), packed);
    most = _mm_max_epu32(most, packed);
  }
  highest = std::max(highest, HighestLane(most));
  return k;
}
#endif

// Everything one frame of the rotation needs.
struct TRotation {
  const double* DxCos;  // (x - cx) * cos for every column x
  const double* DxSin;  // (x - cx) * sin
  double SinT;
  double CosT;
  int64_t Cx;
  int64_t Cy;
  const uint8_t* Source;  // the picture's store
  uint32_t Stride;        // the picture's row stride
  uint32_t LastWide;      // the last source offset with 4 bytes of the store from it
  bool Avx2 = false;

  TRotationRow Row(int32_t y) const {
    const double dy = static_cast<double>(int64_t{y} - Cy);
    return TRotationRow{DxCos, DxSin, dy * SinT, dy * CosT, Cx, Cy};
  }
};

// Copies the source pixels of columns from .. to - 1 of target row y, all inside the picture;
// runLast is the end of the row's whole run.
void CopySegment(const TRotation& rotation, uint8_t* row, int32_t y, int32_t from, int32_t to,
                 int32_t runLast) {
  const TRotationRow r = rotation.Row(y);
  std::array<uint32_t, kStrip> offsets;
  const int32_t n = to - from;
  uint32_t highest = 0;
  int32_t done = 0;
#if defined(TOVRIN_PIXEL_AVX2)
  if (rotation.Avx2) {
    done = SourceOffsetsAvx2(r, from, n, rotation.Stride, offsets.data(), highest);
  }
#endif
#if defined(TOVRIN_PIXEL_SSE2)
  done +=
      SourceOffsetsSse2(r, from + done, n - done, rotation.Stride, offsets.data() + done, highest);
#endif
  SourceOffsetsScalar(r, from + done, n - done, rotation.Stride, offsets.data() + done, highest);
  // Each pixel but the run's last is written as 4 bytes: the 4th lands on the next pixel of the
  // run, which is written after it (in this segment or the next strip's).
  uint8_t* out = row + 3 * static_cast<size_t>(from);
  const int32_t wide = to < runLast ? n : n - 1;
  const uint8_t* source = rotation.Source;
  int32_t k = 0;
  if (highest <= rotation.LastWide) {
    // Every source pixel has a 4th byte inside the store: no check per pixel.
    for (; k + 4 <= wide; k += 4, out += 12) {
      std::memcpy(out, source + offsets[static_cast<size_t>(k)], 4);
      std::memcpy(out + 3, source + offsets[static_cast<size_t>(k + 1)], 4);
      std::memcpy(out + 6, source + offsets[static_cast<size_t>(k + 2)], 4);
      std::memcpy(out + 9, source + offsets[static_cast<size_t>(k + 3)], 4);
    }
  }
  for (; k < wide; ++k, out += 3) {
    const uint32_t at = offsets[static_cast<size_t>(k)];
    if (at <= rotation.LastWide) {
      std::memcpy(out, source + at, 4);
    } else {
      std::memcpy(out, source + at, 3);
    }
  }
  if (wide < n) std::memcpy(out, source + offsets[static_cast<size_t>(wide)], 3);
}

}  // namespace

void BlendFrame(TBitmap& target, const TBitmap& picture, int32_t p) {
  BlendFrame(target, target, picture, p);
}

void BlendFrame(TBitmap& target, const TBitmap& from, const TBitmap& picture, int32_t p) {
  if (!BothTrueColour(target, picture) || !BothTrueColour(target, from)) return;
  if (&target == &picture || &from == &picture) {
    // The row loop assumes the picture's rows are not written while it reads them.
    const TBitmap copy = picture;
    BlendFrame(target, from, copy, p);
    return;
  }
  p = std::clamp(p, 0, 100);
  const int32_t width = std::min({target.Width(), from.Width(), picture.Width()});
  const int32_t height = std::min({target.Height(), from.Height(), picture.Height()});
  if (width <= 0 || height <= 0) return;
  const size_t bytes = static_cast<size_t>(width) * 3;
  if (p == 0 || p == 100) {
    // At 0 every byte keeps all of itself, at 100 it takes all of the picture's.
    const TBitmap& source = p == 0 ? from : picture;
    if (&source == &target) return;
    for (int32_t y = 0; y < height; ++y) std::memcpy(target.ScanLine(y), source.ScanLine(y), bytes);
    return;
  }
  const uint16_t keep = static_cast<uint16_t>(100 - p);
  const uint16_t take = static_cast<uint16_t>(p);
  const TBlendWeights w{keep, take, ShareFactor(keep), ShareFactor(take)};
#if defined(TOVRIN_PIXEL_AVX2)
  const bool avx2 = HasAvx2();
#endif
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* out = target.ScanLine(y);
    const uint8_t* t = from.ScanLine(y);
    const uint8_t* q = picture.ScanLine(y);
    size_t done = 0;
#if defined(TOVRIN_PIXEL_AVX2)
    if (avx2) done = BlendBlocksAvx2(out, t, q, bytes, w);
#endif
#if defined(TOVRIN_PIXEL_SSE2)
    done += BlendBlocksSse2(out + done, t + done, q + done, bytes - done, w);
#endif
    BlendBytes(out, t, q, done, bytes, w);
  }
}

void RotateFrame(TBitmap& target, const TBitmap& picture, int32_t cx, int32_t cy, double theta) {
  if (!BothTrueColour(target, picture)) return;
  if (&target == &picture) {
    // Turning a picture within itself would read pixels already overwritten.
    const TBitmap copy = picture;
    RotateFrame(target, copy, cx, cy, theta);
    return;
  }
  const int32_t width = std::min(target.Width(), picture.Width());
  const int32_t height = std::min(target.Height(), picture.Height());
  if (width <= 0 || height <= 0) return;
  const double sinT = std::sin(theta);
  const double cosT = std::cos(theta);
  std::vector<double> dxCos(static_cast<size_t>(width));
  std::vector<double> dxSin(static_cast<size_t>(width));
  for (int32_t x = 0; x < width; ++x) {
    const double dx = static_cast<double>(int64_t{x} - cx);
    dxCos[static_cast<size_t>(x)] = dx * cosT;
    dxSin[static_cast<size_t>(x)] = dx * sinT;
  }
  const TRotation rotation {
    .DxCos = dxCos.data(), .DxSin = dxSin.data(), .SinT = sinT, .CosT = cosT, .Cx = cx, .Cy = cy,
    .Source = picture.Bits(), .Stride = static_cast<uint32_t>(picture.Stride()),
    .LastWide = static_cast<uint32_t>(picture.Stride() * picture.Height() - 4),
#if defined(TOVRIN_PIXEL_AVX2)
    .Avx2 = HasAvx2(),
#endif
  };
  std::vector<std::pair<int32_t, int32_t>> runs(static_cast<size_t>(height));
  TRunHints hints{};
  for (int32_t y = 0; y < height; ++y) {
    runs[static_cast<size_t>(y)] = InsideRun(rotation.Row(y), width, height, hints);
  }
  // The columns are done in strips, each strip top to bottom. Along a target row the source is
  // read on a slanted line that crosses up to one source row per pixel; a whole 4K row would cross
  // thousands of rows, and their memory pages, before the next target row comes back to them.
  // A strip's rows cross at most kStrip of them, which stay cached from one row to the next.
  for (int32_t strip = 0; strip < width; strip += kStrip) {
    const int32_t stripEnd = std::min(width, strip + kStrip);
    for (int32_t y = 0; y < height; ++y) {
      const auto [first, last] = runs[static_cast<size_t>(y)];
      const int32_t from = std::max(first, strip), to = std::min(last, stripEnd);
      if (from < to) CopySegment(rotation, target.ScanLine(y), y, from, to, last);
    }
  }
}

double SwingInAngle(int32_t p) {
  const long double turn = static_cast<long double>(100 - p) * std::numbers::pi_v<long double>;
  return static_cast<double>(turn / 200.0L);
}

void ComposePixelStyle(int style, TBitmap& media, const TBitmap& newPic, const TFrameExtents& e) {
  switch (style) {
    case CrossFadeStyle:
      BlendFrame(media, newPic, e.Progress);
      break;
    // Pivots one pixel outside the top-left, bottom-left, top-right and bottom-right corners.
    case 119:
      RotateFrame(media, newPic, -1, -1, SwingInAngle(e.Progress));
      break;
    case 120:
      RotateFrame(media, newPic, -1, e.H, SwingInAngle(e.Progress));
      break;
    case 121:
      RotateFrame(media, newPic, e.W, -1, SwingInAngle(e.Progress));
      break;
    case 122:
      RotateFrame(media, newPic, e.W, e.H, SwingInAngle(e.Progress));
      break;
    default:
      break;
  }
}

// Styles 118 to 122 as the style table runs them. A pending OldPic is laid before the swing-in
// turns NewPic over it; the cross-fade reads OldPic where it is instead.
void ComposePixelStyleFrame(TStyleFrame& frame) {
  const TComposeFrameArgs& a = frame.Args;
  if (frame.OldPicPending && a.Style == CrossFadeStyle && a.Progress != 0) {
    // The cross-fade writes every pixel from OldPic and NewPic (at 100 the finishing step does).
    if (a.Progress != 100) BlendFrame(a.Media, a.OldPic, a.NewPic, a.Progress);
    frame.OldPicPending = false;
    return;
  }
  frame.DrawPendingOldPic();
  ComposePixelStyle(a.Style, a.Media, a.NewPic, frame.Extents);
}

}  // namespace tovrin

// DecodeJPEG: libjpeg from memory into a TBitmap.
//
// libjpeg reports fatal errors by calling error_exit, which must not return; ours
// (gfx/libjpeg_error.h) longjmps back into Decode(), the one function that calls setjmp. Nothing
// with a destructor is alive in that function's frame, and only C code (libjpeg) runs between
// setjmp and longjmp, so the jump skips no destructor. The libjpeg state lives in a holder owned by
// DecodeJPEG, whose destructor calls jpeg_destroy_decompress on every path (success, libjpeg error,
// or a C++ exception from the bitmap allocation, which is thrown outside libjpeg's frames).
#include "gfx/jpeg_decoder.h"

#include <algorithm>
#include <csetjmp>
#include <optional>
#include <string>

#include "core/errors.h"
#include "gfx/libjpeg_error.h"

namespace tovrin {

namespace {

// A progressive file may hold any number of scans; each makes libjpeg pass over the whole
// coefficient buffer. Real pictures have a dozen or so; a crafted file with thousands would take
// minutes to decode, so it is refused.
constexpr int kMaxScans = 1000;
// Memory libjpeg may take for its own buffers (a progressive picture keeps all of its
// coefficients, about 6 bytes a pixel); beyond it libjpeg fails cleanly instead of allocating.
constexpr long kMaxDecoderMemory = 1L << 30;
// Grey-scale pictures are quantised to this many levels.
constexpr int kGreyLevels = 236;

extern "C" void OnProgress(j_common_ptr cinfo) {
  if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans) {
    FailJpeg(cinfo, "JPEG file has too many scans");
  }
}

// How one decoding is done: the size it must still cover (0 x 0: full size) and what it is for.
struct TDecodeSettings {
  int32_t CoverWidth = 0;
  int32_t CoverHeight = 0;
  bool ForReencoding = false;
  // Only this part of the picture, at full size (a non-empty rectangle inside the picture).
  std::optional<TRect> Part;
};

// The smallest of libjpeg's scales M/8 whose result still covers the wanted size: a picture
// shown much smaller than it is skips most of the inverse transform's work. Re-encoding takes
// only the power-of-two reductions (M = 1, 2, 4).
unsigned ScaleEighths(uint64_t width, uint64_t height, const TDecodeSettings& settings) {
  if (settings.CoverWidth <= 0 || settings.CoverHeight <= 0) return 8;
  const auto covers = [&](unsigned m) {
    return (width * m + 7) / 8 >= static_cast<uint64_t>(settings.CoverWidth) &&
           (height * m + 7) / 8 >= static_cast<uint64_t>(settings.CoverHeight);
  };
  for (unsigned m = 1; m < 8; m = settings.ForReencoding ? 2 * m : m + 1) {
    if (covers(m)) return m;
  }
  return 8;
}

// What Decode() needs from the C++ side: a pixel store once the header says how large the
// picture is. Called outside libjpeg's frames; it may throw.
struct TTarget {
  TBitmap Bitmap;
  // The part of the picture asked for, inside the picture (DecodeJPEGPart).
  std::optional<TRect> Part;
};

void AllocateTarget(TTarget& target, JDIMENSION w, JDIMENSION h, bool grey, bool greyRamp) {
  const TPixelFormat format = grey ? TPixelFormat::pf8bit : TPixelFormat::pf24bit;
  if (w > 0x7FFFFFFFu || h > 0x7FFFFFFFu ||
      !TBitmap::SizeAllowed(static_cast<int32_t>(w), static_cast<int32_t>(h), format)) {
    throw EOutOfResources("JPEG picture of " + std::to_string(w) + " x " + std::to_string(h) +
                          " pixels is too large");
  }
  // Decode writes every row or fails, and a failed decode's bitmap is thrown away.
  target.Bitmap = TBitmap::ForOverwrite(static_cast<int32_t>(w), static_cast<int32_t>(h), format);
  if (greyRamp) {
    for (int i = 0; i < 256; ++i) {
      const auto v = static_cast<uint8_t>(i);
      target.Bitmap.Palette()[static_cast<size_t>(i)] = TPaletteEntry{v, v, v};
    }
  }
}

// Converts one row of CMYK samples to B, G, R. Adobe applications write the samples inverted
// (0 = full ink); other writers store plain ink amounts.
void CmykRowToBgr(const JSAMPLE* in, uint8_t* out, JDIMENSION width, bool inverted) {
  for (JDIMENSION x = 0; x < width; ++x, in += 4, out += 3) {
    const unsigned c = inverted ? in[0] : 255u - in[0];
    const unsigned m = inverted ? in[1] : 255u - in[1];
    const unsigned y = inverted ? in[2] : 255u - in[2];
    const unsigned k = inverted ? in[3] : 255u - in[3];
    out[0] = static_cast<uint8_t>((y * k + 127) / 255);
    out[1] = static_cast<uint8_t>((m * k + 127) / 255);
    out[2] = static_cast<uint8_t>((c * k + 127) / 255);
  }
}

// Decodes the rows and columns of part into the target, which is part's size; called by Decode
// once the output is set up, and as Decode holds no object with a destructor. The columns left
// and right of the part are cut away by libjpeg (whole iMCU columns: no inverse transform, no
// upsampling, no colour conversion) and the rows above are skipped without those; decoding stops
// after the part's last row. Upsampled chroma at the edge of what libjpeg decodes is smoothed
// against a copy of the edge rather than the real neighbour, so one iMCU more is decoded on
// each side and thrown away: the part's pixels are those of the whole picture's decoding.
bool DecodePart(j_decompress_ptr cinfo, const TRect& part, bool cmyk, TTarget& target) {
  AllocateTarget(target, static_cast<JDIMENSION>(part.Width()),
                 static_cast<JDIMENSION>(part.Height()), false, false);
  jpeg_start_decompress(cinfo);
  const int components = cmyk ? 4 : 3;
  if (cinfo->output_components != components) {
    FailJpeg(reinterpret_cast<j_common_ptr>(cinfo), "Unsupported JPEG colour format");
  }
  const auto left = static_cast<JDIMENSION>(part.Left);
  const auto top = static_cast<JDIMENSION>(part.Top);
  const auto right = static_cast<JDIMENSION>(part.Right);
  const auto bottom = static_cast<JDIMENSION>(part.Bottom);
  const auto marginX = static_cast<JDIMENSION>(cinfo->max_h_samp_factor * DCTSIZE);
  const auto marginY = static_cast<JDIMENSION>(cinfo->max_v_samp_factor * DCTSIZE);
  // jpeg_crop_scanline moves the start left to an iMCU boundary and widens to match.
  JDIMENSION x = left > marginX ? left - marginX : 0;
  JDIMENSION width = std::min(cinfo->output_width, right + marginX) - x;
  if (x > 0 || width < cinfo->output_width) jpeg_crop_scanline(cinfo, &x, &width);
  const JDIMENSION firstRow = top > marginY ? top - marginY : 0;
  if (firstRow > 0) jpeg_skip_scanlines(cinfo, firstRow);

  JSAMPARRAY row = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                               width * static_cast<JDIMENSION>(components), 1);
  const JDIMENSION skip = (left - x) * static_cast<JDIMENSION>(components);
  const auto rowBytes = static_cast<size_t>(part.Width()) * 3;
  while (cinfo->output_scanline < bottom) {
    const JDIMENSION y = cinfo->output_scanline;
    jpeg_read_scanlines(cinfo, row, 1);
    if (y < top) continue;
    uint8_t* out = target.Bitmap.ScanLine(static_cast<int32_t>(y - top));
    if (cmyk) {
      CmykRowToBgr(row[0] + skip, out, static_cast<JDIMENSION>(part.Width()),
                   cinfo->saw_Adobe_marker != 0);
    } else {
      std::copy_n(row[0] + skip, rowBytes, out);
    }
  }
  // The rest of the picture is not needed: the decompressor is aborted when it is destroyed.
  return true;
}

// Reads the header, allocates the target and decodes every row. Returns false after a libjpeg
// error (message in err.Message). Must hold no object with a destructor: see the file comment.
bool Decode(j_decompress_ptr cinfo, TJpegErrorManager& err, const uint8_t* data, size_t size,
            const TDecodeSettings& settings, TTarget& target) {
  if (setjmp(err.Jump) != 0) return false;

  jpeg_mem_src(cinfo, data, static_cast<unsigned long>(size));
  jpeg_read_header(cinfo, TRUE);

  const bool grey = cinfo->jpeg_color_space == JCS_GRAYSCALE;
  const bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
  const bool reencode = settings.ForReencoding;
  const unsigned eighths = ScaleEighths(cinfo->image_width, cinfo->image_height, settings);
  cinfo->scale_num = eighths;
  cinfo->scale_denom = 8;
  cinfo->dct_method = reencode ? JDCT_ISLOW : JDCT_FLOAT;
  cinfo->do_block_smoothing = TRUE;
  cinfo->buffered_image = FALSE;
  // A reduced picture for re-encoding is filtered down further anyway: the plain doubling of
  // the chroma is as good there as the smoothed one, and cheaper.
  if (reencode && eighths < 8) cinfo->do_fancy_upsampling = FALSE;
  if (grey) {
    cinfo->out_color_space = JCS_GRAYSCALE;
    // For re-encoding every level is kept and read through the grey ramp.
    if (!reencode) {
      cinfo->quantize_colors = TRUE;
      cinfo->desired_number_of_colors = kGreyLevels;
    }
  } else if (cmyk) {
    cinfo->out_color_space = JCS_CMYK;
  } else {
    cinfo->out_color_space = JCS_EXT_BGR;
  }
  jpeg_calc_output_dimensions(cinfo);

  if (settings.Part) {
    const TRect& part = *settings.Part;
    const auto w = static_cast<int32_t>(std::min<JDIMENSION>(cinfo->output_width, 0x7FFFFFFF));
    const auto h = static_cast<int32_t>(std::min<JDIMENSION>(cinfo->output_height, 0x7FFFFFFF));
    target.Part = TRect{std::max(part.Left, 0), std::max(part.Top, 0), std::min(part.Right, w),
                        std::min(part.Bottom, h)};
    if (target.Part->IsEmpty()) return true;
    // A grey-scale picture is quantised with dithering, which carries each pixel's error on to
    // its neighbours: it is decoded whole, and so is a part that is the whole picture; the
    // caller cuts the part out.
    if (!grey && *target.Part != TRect{0, 0, w, h}) {
      return DecodePart(cinfo, *target.Part, cmyk, target);
    }
  }

  // may throw; libjpeg is not running here
  AllocateTarget(target, cinfo->output_width, cinfo->output_height, grey, grey && reencode);

  jpeg_start_decompress(cinfo);
  const int expected = grey ? 1 : (cmyk ? 4 : 3);
  if (cinfo->output_components != expected ||
      cinfo->output_width != static_cast<JDIMENSION>(target.Bitmap.Width()) ||
      cinfo->output_height != static_cast<JDIMENSION>(target.Bitmap.Height())) {
    FailJpeg(reinterpret_cast<j_common_ptr>(cinfo), "Unsupported JPEG colour format");
  }

  JSAMPARRAY cmykRow = nullptr;
  if (cmyk) {
    cmykRow = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                          cinfo->output_width * 4, 1);
  }
  while (cinfo->output_scanline < cinfo->output_height) {
    uint8_t* row = target.Bitmap.ScanLine(static_cast<int32_t>(cinfo->output_scanline));
    if (cmyk) {
      jpeg_read_scanlines(cinfo, cmykRow, 1);
      CmykRowToBgr(cmykRow[0], row, cinfo->output_width, cinfo->saw_Adobe_marker != 0);
    } else {
      JSAMPROW rows[1] = {row};
      jpeg_read_scanlines(cinfo, rows, 1);
    }
  }

  if (grey && !reencode) {
    auto& palette = target.Bitmap.Palette();
    const int count = std::min(cinfo->actual_number_of_colors, 256);
    for (int i = 0; i < count; ++i) {
      const uint8_t v = cinfo->colormap[0][i];
      palette[static_cast<size_t>(i)] = TPaletteEntry{v, v, v};
    }
  }
  jpeg_finish_decompress(cinfo);
  return true;
}

// Owns the libjpeg decompressor for the length of one decode.
class TDecompressor {
 public:
  TDecompressor() {
    FInfo.err = InstallJpegErrorManager(FErr);
    // jpeg_create_decompress can fail only by running out of memory, which error_exit reports
    // with a longjmp; set a landing point for it too.
    if (setjmp(FErr.Jump) != 0) {
      FCreated = false;
      return;
    }
    jpeg_create_decompress(&FInfo);
    FInfo.mem->max_memory_to_use = kMaxDecoderMemory;
    FProgress.progress_monitor = OnProgress;
    FInfo.progress = &FProgress;
    FCreated = true;
  }
  ~TDecompressor() {
    if (FCreated) jpeg_destroy_decompress(&FInfo);
  }
  TDecompressor(const TDecompressor&) = delete;
  TDecompressor& operator=(const TDecompressor&) = delete;

  bool Created() const { return FCreated; }
  j_decompress_ptr Info() { return &FInfo; }
  TJpegErrorManager& Errors() { return FErr; }

 private:
  jpeg_decompress_struct FInfo{};
  TJpegErrorManager FErr{};
  jpeg_progress_mgr FProgress{};
  bool FCreated = false;
};

TBitmap DecodeWith(const uint8_t* data, size_t size, const TDecodeSettings& settings,
                   int* warnings) {
  TDecompressor decompressor;
  if (!decompressor.Created()) throw EInvalidGraphic(decompressor.Errors().Message);
  TTarget target;
  if (!Decode(decompressor.Info(), decompressor.Errors(), data, size, settings, target)) {
    throw EInvalidGraphic(decompressor.Errors().Message);
  }
  if (warnings != nullptr) *warnings = decompressor.Errors().Warnings;
  if (target.Part) {
    if (target.Part->IsEmpty()) return TBitmap();
    if (target.Bitmap.Width() != target.Part->Width() ||
        target.Bitmap.Height() != target.Part->Height()) {
      return target.Bitmap.Part(*target.Part);
    }
  }
  return std::move(target.Bitmap);
}

}  // namespace

TBitmap DecodeJPEG(const uint8_t* data, size_t size) {
  return DecodeJPEG(data, size, nullptr);
}

TBitmap DecodeJPEG(const uint8_t* data, size_t size, int* warnings) {
  return DecodeJPEGCovering(data, size, 0, 0, warnings);
}

TBitmap DecodeJPEGCovering(const uint8_t* data, size_t size, int32_t width, int32_t height,
                           int* warnings) {
  return DecodeWith(data, size, TDecodeSettings{width, height, false, std::nullopt}, warnings);
}

TBitmap DecodeJPEGPart(const uint8_t* data, size_t size, const TRect& part) {
  TDecodeSettings settings;
  settings.Part = part;
  return DecodeWith(data, size, settings, nullptr);
}

TBitmap DecodeJPEGForReencoding(const uint8_t* data, size_t size, int32_t width, int32_t height,
                                int* warnings) {
  return DecodeWith(data, size, TDecodeSettings{width, height, true, std::nullopt}, warnings);
}

TDecodedSize JPEGReencodingSize(int32_t width, int32_t height, int32_t coverWidth,
                                int32_t coverHeight) {
  if (width <= 0 || height <= 0) return {0, 0};
  const auto w = static_cast<uint64_t>(width), h = static_cast<uint64_t>(height);
  const unsigned m =
      ScaleEighths(w, h, TDecodeSettings{coverWidth, coverHeight, true, std::nullopt});
  // libjpeg rounds a scaled side up, as ScaleEighths counts it.
  return {static_cast<int32_t>((w * m + 7) / 8), static_cast<int32_t>((h * m + 7) / 8)};
}

}  // namespace tovrin

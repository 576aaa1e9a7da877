#include "jpeg_scaled_decode.h"

#include <string>

#include "core/errors.h"
#include "libjpeg_error.h"

namespace tovrin {

namespace {

// The same limits as the engine's decoder: a crafted progressive file with thousands of scans,
// or one that needs more than this much of libjpeg's own memory, is refused.
constexpr int kMaxScans = 1000;
constexpr long kMaxDecoderMemory = 1L << 30;

extern "C" void OnDecodeProgress(j_common_ptr cinfo) {
  if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans) {
    FailJpeg(cinfo, "JPEG file has too many scans");
  }
}

// Converts one row of CMYK samples to B, G, R. Adobe applications write the samples inverted
// (0 = full ink), which their marker tells; other writers store plain ink amounts.
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

void AllocateFor(TBitmap& bitmap, j_decompress_ptr cinfo, bool grey) {
  const TPixelFormat format = grey ? TPixelFormat::pf8bit : TPixelFormat::pf24bit;
  const JDIMENSION w = cinfo->output_width, h = cinfo->output_height;
  if (w > 0x7FFFFFFFu || h > 0x7FFFFFFFu ||
      !TBitmap::SizeAllowed(static_cast<int32_t>(w), static_cast<int32_t>(h), format)) {
    throw EOutOfResources("JPEG picture of " + std::to_string(w) + " x " + std::to_string(h) +
                          " pixels is too large");
  }
  bitmap = TBitmap(static_cast<int32_t>(w), static_cast<int32_t>(h), format);
  if (grey) {
    for (int i = 0; i < 256; ++i) {
      const auto v = static_cast<uint8_t>(i);
      bitmap.Palette()[static_cast<size_t>(i)] = TPaletteEntry{v, v, v};
    }
  }
}

// Drives libjpeg; returns false after a libjpeg error (message in err.Message). Holds no object
// with a destructor (see libjpeg_error.h).
bool Decode(j_decompress_ptr cinfo, TJpegErrorManager& err, std::span<const uint8_t> jpeg,
            int scale, TBitmap& bitmap) {
  if (setjmp(err.Jump) != 0) return false;
  jpeg_mem_src(cinfo, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
  jpeg_read_header(cinfo, TRUE);
  const bool grey = cinfo->jpeg_color_space == JCS_GRAYSCALE;
  const bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
  cinfo->scale_num = 1;
  cinfo->scale_denom = static_cast<unsigned>(scale);
  cinfo->dct_method = JDCT_ISLOW;
  // A reduced picture is filtered down further anyway: the plain doubling of the chroma is as
  // good there as the smoothed one, and cheaper.
  cinfo->do_fancy_upsampling = scale > 1 ? FALSE : TRUE;
  cinfo->out_color_space = grey ? JCS_GRAYSCALE : (cmyk ? JCS_CMYK : JCS_EXT_BGR);
  jpeg_calc_output_dimensions(cinfo);
  AllocateFor(bitmap, cinfo, grey);  // may throw; libjpeg is not running here

  jpeg_start_decompress(cinfo);
  if (cinfo->output_components != (grey ? 1 : (cmyk ? 4 : 3)) ||
      cinfo->output_width != static_cast<JDIMENSION>(bitmap.Width()) ||
      cinfo->output_height != static_cast<JDIMENSION>(bitmap.Height())) {
    FailJpeg(reinterpret_cast<j_common_ptr>(cinfo), "Unsupported JPEG colour format");
  }
  JSAMPARRAY cmykRow = nullptr;
  if (cmyk) {
    cmykRow = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                          cinfo->output_width * 4, 1);
  }
  while (cinfo->output_scanline < cinfo->output_height) {
    uint8_t* row = bitmap.ScanLine(static_cast<int32_t>(cinfo->output_scanline));
    if (cmyk) {
      jpeg_read_scanlines(cinfo, cmykRow, 1);
      CmykRowToBgr(cmykRow[0], row, cinfo->output_width, cinfo->saw_Adobe_marker != 0);
    } else {
      JSAMPROW rows[1] = {row};
      jpeg_read_scanlines(cinfo, rows, 1);
    }
  }
  jpeg_finish_decompress(cinfo);
  return true;
}

// Owns libjpeg's decompressor for one decode.
class TDecompressor {
 public:
  TDecompressor() {
    FInfo.err = InstallJpegErrorManager(FErr);
    // jpeg_create_decompress fails only when out of memory, through error_exit.
    if (setjmp(FErr.Jump) != 0) return;
    jpeg_create_decompress(&FInfo);
    FInfo.mem->max_memory_to_use = kMaxDecoderMemory;
    FProgress.progress_monitor = OnDecodeProgress;
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

}  // namespace

int DecodeScaleFor(int32_t width, int32_t height, int32_t minWidth, int32_t minHeight) {
  for (int scale = 8; scale > 1; scale /= 2) {
    if ((width + scale - 1) / scale >= minWidth && (height + scale - 1) / scale >= minHeight) {
      return scale;
    }
  }
  return 1;
}

TBitmap DecodeJpegScaled(std::span<const uint8_t> jpeg, int scale, int* warnings) {
  TDecompressor decompressor;
  if (!decompressor.Created()) throw EInvalidGraphic(decompressor.Errors().Message);
  TBitmap bitmap;
  if (!Decode(decompressor.Info(), decompressor.Errors(), jpeg, scale, bitmap)) {
    throw EInvalidGraphic(decompressor.Errors().Message);
  }
  if (warnings != nullptr) *warnings = decompressor.Errors().Warnings;
  return bitmap;
}

}  // namespace tovrin

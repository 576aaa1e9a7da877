#include "jpeg_encode.h"

#include <cstdlib>
#include <vector>

#include "core/errors.h"
#include "gfx/libjpeg_error.h"

namespace tovrin {

namespace {

// Owns libjpeg's compressor and the memory its in-memory destination allocates.
class TCompressor {
 public:
  TCompressor() {
    FInfo.err = InstallJpegErrorManager(FErr);
    if (setjmp(FErr.Jump) != 0) return;
    jpeg_create_compress(&FInfo);
    FCreated = true;
  }
  ~TCompressor() {
    if (FCreated) jpeg_destroy_compress(&FInfo);
    std::free(FBuffer);  // allocated by jpeg_mem_dest with malloc
  }
  TCompressor(const TCompressor&) = delete;
  TCompressor& operator=(const TCompressor&) = delete;

  bool Created() const { return FCreated; }
  j_compress_ptr Info() { return &FInfo; }
  TJpegErrorManager& Errors() { return FErr; }
  unsigned char** Buffer() { return &FBuffer; }
  unsigned long* Size() { return &FSize; }
  std::vector<uint8_t> Bytes() const { return std::vector<uint8_t>(FBuffer, FBuffer + FSize); }

 private:
  jpeg_compress_struct FInfo{};
  TJpegErrorManager FErr{};
  unsigned char* FBuffer = nullptr;
  unsigned long FSize = 0;
  bool FCreated = false;
};

// Rows handed to libjpeg: the bitmap's own rows, or pf8bit rows resolved through the palette
// into `expanded` first. Built before libjpeg runs, so nothing is allocated inside its frames.
struct TSourceRows {
  std::vector<JSAMPROW> Rows;
  std::vector<uint8_t> Expanded;
};

TSourceRows RowsOf(const TBitmap& bitmap, bool grey) {
  TSourceRows source;
  const auto w = static_cast<size_t>(bitmap.Width());
  const auto h = static_cast<size_t>(bitmap.Height());
  source.Rows.resize(h);
  const bool expand = bitmap.PixelFormat() == TPixelFormat::pf8bit && !grey;
  if (expand) source.Expanded.resize(w * 3 * h);
  for (size_t y = 0; y < h; ++y) {
    const uint8_t* in = bitmap.ScanLine(static_cast<int32_t>(y));
    if (!expand) {
      source.Rows[y] = const_cast<JSAMPROW>(in);  // libjpeg only reads input rows
      continue;
    }
    uint8_t* out = source.Expanded.data() + w * 3 * y;
    for (size_t x = 0; x < w; ++x) {
      const TPaletteEntry& e = bitmap.Palette()[in[x]];
      out[3 * x] = e.Blue;
      out[3 * x + 1] = e.Green;
      out[3 * x + 2] = e.Red;
    }
    source.Rows[y] = out;
  }
  return source;
}

// Drives libjpeg; returns false after a libjpeg error. Holds no object with a destructor (see
// gfx/libjpeg_error.h).
bool Encode(TCompressor& c, const TSourceRows& source, uint32_t width, uint32_t height, bool grey,
            int quality) {
  if (setjmp(c.Errors().Jump) != 0) return false;
  j_compress_ptr cinfo = c.Info();
  jpeg_mem_dest(cinfo, c.Buffer(), c.Size());
  cinfo->image_width = width;
  cinfo->image_height = height;
  cinfo->input_components = grey ? 1 : 3;
  cinfo->in_color_space = grey ? JCS_GRAYSCALE : JCS_EXT_BGR;
  jpeg_set_defaults(cinfo);
  jpeg_set_quality(cinfo, quality, TRUE);
  cinfo->dct_method = JDCT_ISLOW;
  cinfo->optimize_coding = TRUE;
  jpeg_start_compress(cinfo, TRUE);
  while (cinfo->next_scanline < cinfo->image_height) {
    JSAMPROW rows[1] = {source.Rows[cinfo->next_scanline]};
    jpeg_write_scanlines(cinfo, rows, 1);
  }
  jpeg_finish_compress(cinfo);
  return true;
}

}  // namespace

bool HasGreyRamp(const TBitmap& bitmap) {
  if (bitmap.PixelFormat() != TPixelFormat::pf8bit) return false;
  for (int i = 0; i < 256; ++i) {
    const auto v = static_cast<uint8_t>(i);
    if (!(bitmap.Palette()[static_cast<size_t>(i)] == TPaletteEntry{v, v, v})) return false;
  }
  return true;
}

std::vector<uint8_t> EncodeJpeg(const TBitmap& bitmap, int quality) {
  if (bitmap.Empty()) throw EWriteError("Cannot write an empty picture as JPEG");
  const bool grey = HasGreyRamp(bitmap);
  const TSourceRows source = RowsOf(bitmap, grey);
  TCompressor compressor;
  if (!compressor.Created() || !Encode(compressor, source, static_cast<uint32_t>(bitmap.Width()),
                                       static_cast<uint32_t>(bitmap.Height()), grey, quality)) {
    throw EWriteError(std::string("JPEG encoding failed: ") + compressor.Errors().Message);
  }
  return compressor.Bytes();
}

}  // namespace tovrin

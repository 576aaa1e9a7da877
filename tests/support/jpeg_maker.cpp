#include "jpeg_maker.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include <jpeglib.h>

namespace tovrin::testing {

namespace {

extern "C" void OnCompressError(j_common_ptr cinfo) {
  char message[JMSG_LENGTH_MAX];
  (*cinfo->err->format_message)(cinfo, message);
  // Test helper only: the compressor is never fed bad parameters, so this is a programming
  // error; abort rather than unwind through libjpeg.
  std::fprintf(stderr, "libjpeg compressor: %s\n", message);
  std::abort();
}

}  // namespace

std::vector<uint8_t> MakeJpeg(int width, int height, TJpegKind kind, const TPixelSource& source,
                              int quality) {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr err{};
  cinfo.err = jpeg_std_error(&err);
  err.error_exit = OnCompressError;
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);

  const bool grey = kind == TJpegKind::Grey || kind == TJpegKind::GreyProgressive;
  const bool cmyk = kind == TJpegKind::CmykAdobe || kind == TJpegKind::CmykPlain;
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = grey ? 1 : (cmyk ? 4 : 3);
  cinfo.in_color_space = grey ? JCS_GRAYSCALE : (cmyk ? JCS_CMYK : JCS_RGB);
  jpeg_set_defaults(&cinfo);
  if (cmyk) {
    jpeg_set_colorspace(&cinfo, JCS_CMYK);
    cinfo.write_Adobe_marker = kind == TJpegKind::CmykAdobe;
  }
  jpeg_set_quality(&cinfo, quality, TRUE);
  if (kind == TJpegKind::Progressive || kind == TJpegKind::GreyProgressive) {
    jpeg_simple_progression(&cinfo);
  }
  jpeg_start_compress(&cinfo, TRUE);

  std::vector<JSAMPLE> row(static_cast<size_t>(width) * cinfo.input_components);
  while (cinfo.next_scanline < cinfo.image_height) {
    const int y = static_cast<int>(cinfo.next_scanline);
    for (int x = 0; x < width; ++x) {
      const uint32_t rgb = source(x, y);
      const int r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
      JSAMPLE* p = row.data() + static_cast<size_t>(x) * cinfo.input_components;
      if (grey) {
        p[0] = static_cast<JSAMPLE>(g);
      } else if (cmyk) {
        // Ink amounts for the colour: K from the brightest channel, C/M/Y relative to it.
        const int mx = std::max(r, std::max(g, b));
        const int k = 255 - mx;
        const auto ink = [&](int v) { return mx == 0 ? 0 : 255 - (v * 255 + mx / 2) / mx; };
        const int inks[4] = {ink(r), ink(g), ink(b), k};
        for (int i = 0; i < 4; ++i) {
          p[i] = static_cast<JSAMPLE>(kind == TJpegKind::CmykAdobe ? 255 - inks[i] : inks[i]);
        }
      } else {
        p[0] = static_cast<JSAMPLE>(r);
        p[1] = static_cast<JSAMPLE>(g);
        p[2] = static_cast<JSAMPLE>(b);
      }
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  std::vector<uint8_t> out(buffer, buffer + size);
  jpeg_destroy_compress(&cinfo);
  std::free(buffer);
  return out;
}

}  // namespace tovrin::testing

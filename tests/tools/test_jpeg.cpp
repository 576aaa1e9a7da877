#include "test_jpeg.h"

#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace tovrin::test {

std::vector<uint8_t> MakeJpeg(const TJpegParams& params) {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr jerr{};
  cinfo.err = jpeg_std_error(&jerr);  // the parameters are fixed and valid; errors would exit
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  const int components = params.Grayscale ? 1 : 3;
  cinfo.image_width = static_cast<JDIMENSION>(params.Width);
  cinfo.image_height = static_cast<JDIMENSION>(params.Height);
  cinfo.input_components = components;
  cinfo.in_color_space = params.Grayscale ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 90, TRUE);
  if (params.Progressive) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<JSAMPLE> row(static_cast<size_t>(params.Width * components));
  while (cinfo.next_scanline < cinfo.image_height) {
    for (size_t i = 0; i < row.size(); ++i) {
      row[i] = static_cast<JSAMPLE>((i * 37 + cinfo.next_scanline * 11 + params.Seed * 53) & 0xFF);
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  std::vector<uint8_t> bytes(buffer, buffer + size);
  jpeg_destroy_compress(&cinfo);
  std::free(buffer);
  return bytes;
}

}  // namespace tovrin::test

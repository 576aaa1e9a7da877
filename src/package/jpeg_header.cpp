#include "package/jpeg_header.h"

#include <csetjmp>
#include <cstring>
#include <string>

#include "core/errors.h"
#include "gfx/libjpeg_error.h"

namespace tovrin {

namespace {

// libjpeg reports errors through error_exit, which must not return: it jumps back to the
// setjmp in ParseHeader (gfx/libjpeg_error.h). Only plain C data lives in that function, so the
// jump skips no destructor.
bool ParseHeader(const uint8_t* data, size_t size, TJPEGHeader* header, char* message) {
  jpeg_decompress_struct cinfo;
  TJpegErrorManager jerr;
  std::memset(&cinfo, 0, sizeof cinfo);
  std::memset(&jerr, 0, sizeof jerr);
  cinfo.err = InstallJpegErrorManager(jerr);
  if (setjmp(jerr.Jump) != 0) {
    std::memcpy(message, jerr.Message, JMSG_LENGTH_MAX);
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
  jpeg_read_header(&cinfo, TRUE);
  header->Width = static_cast<int32_t>(cinfo.image_width);
  header->Height = static_cast<int32_t>(cinfo.image_height);
  header->Grayscale = cinfo.jpeg_color_space == JCS_GRAYSCALE;
  header->Progressive = cinfo.progressive_mode != 0;
  jpeg_destroy_decompress(&cinfo);
  return true;
}

}  // namespace

TJPEGHeader ReadJPEGHeader(const uint8_t* data, size_t size) {
  TJPEGHeader header;
  char message[JMSG_LENGTH_MAX] = {};
  if (size == 0 || size > 0x7FFFFFFF) throw EInvalidGraphic("JPEG error: no picture data");
  if (!ParseHeader(data, size, &header, message)) {
    throw EInvalidGraphic(std::string("JPEG error: ") + message);
  }
  return header;
}

}  // namespace tovrin

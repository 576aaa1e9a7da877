#include "package/jpeg_header.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string>

// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>

#include "core/errors.h"

namespace tovrin {

namespace {

// libjpeg reports errors through error_exit, which must not return: it jumps back to the
// setjmp in ParseHeader. Only plain C data lives in that function, so the jump skips no
// destructor.
struct TJpegErrorManager {
  jpeg_error_mgr Pub;
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
};

extern "C" void JpegErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<TJpegErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->Message);
  std::longjmp(err->Jump, 1);
}

// Warnings (corrupt data libjpeg can read past) are not printed.
extern "C" void JpegOutputMessage(j_common_ptr) {}

bool ParseHeader(const uint8_t* data, size_t size, TJPEGHeader* header, char* message) {
  jpeg_decompress_struct cinfo;
  TJpegErrorManager jerr;
  std::memset(&cinfo, 0, sizeof cinfo);
  std::memset(&jerr, 0, sizeof jerr);
  cinfo.err = jpeg_std_error(&jerr.Pub);
  jerr.Pub.error_exit = JpegErrorExit;
  jerr.Pub.output_message = JpegOutputMessage;
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

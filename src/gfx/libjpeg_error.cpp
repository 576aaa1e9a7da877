#include "gfx/libjpeg_error.h"

#include <cstdlib>

namespace tovrin {

namespace {

extern "C" void OnJpegErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<TJpegErrorManager*>(cinfo->err);
  if (err->OwnMessage != nullptr) {
    std::snprintf(err->Message, sizeof err->Message, "%s", err->OwnMessage);
  } else {
    (*cinfo->err->format_message)(cinfo, err->Message);
  }
  std::longjmp(err->Jump, 1);
}

extern "C" void OnJpegMessage(j_common_ptr cinfo, int msgLevel) {
  if (msgLevel < 0) ++reinterpret_cast<TJpegErrorManager*>(cinfo->err)->Warnings;
}

}  // namespace

jpeg_error_mgr* InstallJpegErrorManager(TJpegErrorManager& err) {
  jpeg_std_error(&err.Pub);
  err.Pub.error_exit = OnJpegErrorExit;
  err.Pub.emit_message = OnJpegMessage;
  err.Message[0] = '\0';
  err.OwnMessage = nullptr;
  err.Warnings = 0;
  return &err.Pub;
}

void FailJpeg(j_common_ptr cinfo, const char* message) {
  reinterpret_cast<TJpegErrorManager*>(cinfo->err)->OwnMessage = message;
  (*cinfo->err->error_exit)(cinfo);
  std::abort();  // error_exit never returns; this only tells the compiler so
}

}  // namespace tovrin

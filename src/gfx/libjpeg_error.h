// The error manager that every libjpeg call of ours (decoding, header reading, encoding) uses.
//
// libjpeg reports a fatal error by calling error_exit, which must not return: ours longjmps to
// the setjmp of the one function that drives libjpeg. That function holds no object with a
// destructor, and only libjpeg's C code runs between setjmp and longjmp, so the jump skips no
// destructor. Warnings (msg_level -1: corrupt data, a premature end of the file, which libjpeg
// recovers from) are counted; trace messages are dropped; nothing is ever written to stderr.
#pragma once

#include <csetjmp>
#include <cstddef>
#include <cstdio>

// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>

namespace tovrin {

struct TJpegErrorManager {
  jpeg_error_mgr Pub;  // first member: libjpeg hands back a pointer to it
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
  const char* OwnMessage;  // set for failures found by our code rather than by libjpeg
  int Warnings;
};

// Fills `err` with libjpeg's defaults and our handlers; returns the pointer for cinfo.err.
jpeg_error_mgr* InstallJpegErrorManager(TJpegErrorManager& err);

// Ends a libjpeg run with our own message: records it and calls error_exit (never returns).
[[noreturn]] void FailJpeg(j_common_ptr cinfo, const char* message);

}  // namespace tovrin

// Error classes. Every failure the system reports is an exception derived from Exception, which
// carries the message text; messages the system defines ("Stream read error", "Index is out of
// bounds", ...) are passed in exactly as written. The code that can decide what to do catches them.
#pragma once

#include <stdexcept>
#include <string>

namespace tovrin {

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};

// Stream and file errors.
class EStreamError : public Exception {
  using Exception::Exception;
};
class EReadError : public EStreamError {  // "Stream read error", bad property values
  using EStreamError::EStreamError;
};
class EFilerError : public EStreamError {  // "Invalid stream format", "Class %s not found"
  using EStreamError::EStreamError;
};
class EFOpenError : public EStreamError {  // "Cannot open file %s"
  using EStreamError::EStreamError;
};
class EFCreateError : public EStreamError {  // "Cannot create file %s"
  using EStreamError::EStreamError;
};
class EWriteError : public EStreamError {  // "Stream write error"
  using EStreamError::EStreamError;
};
// A list accessed outside its entries ("Index is out of bounds").
class EListError : public Exception {
  using Exception::Exception;
};
// A text that a strict conversion cannot read as a number.
class EConvertError : public Exception {
  using Exception::Exception;
};
// A picture that cannot be read or decoded (JPEG errors carry libjpeg's message).
class EInvalidGraphic : public Exception {
  using Exception::Exception;
};
// A size that would need more memory than a bitmap may have.
class EOutOfResources : public Exception {
  using Exception::Exception;
};
// A package whose content would be unsafe to act on (a media name that is a path, nesting too
// deep).
class EUnsafeContent : public Exception {
  using Exception::Exception;
};

}  // namespace tovrin

// The one error type of the studio's session: a request it cannot do, with the kind of fault (so
// the HTTP layer picks the status) and a sentence that says what to do.
#pragma once

#include "core/errors.h"

namespace tovrin {

enum class TStudioFault {
  sfBadRequest,  // a value the studio cannot take; the message names the field
  sfOutside,     // a path outside the folders the user gave
  sfUnknown,     // no photo, sound, style or build of that id
  sfUnreadable,  // a photo the studio cannot decode
  sfTooLarge,    // an upload over the limit
};

class EStudioError : public Exception {
 public:
  EStudioError(TStudioFault fault, const std::string& message)
      : Exception(message), FFault(fault) {}
  TStudioFault Fault() const { return FFault; }

 private:
  TStudioFault FFault;
};

}  // namespace tovrin

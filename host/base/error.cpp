// SPDX-License-Identifier: MIT
#include "host/base/error.h"

namespace glimmer {

std::string_view Describe(Error e) {
  switch (e) {
    case Error::InvalidProcedureCall:
      return "Invalid procedure call or argument";
    case Error::Overflow:
      return "Overflow";
    case Error::OutOfMemory:
      return "Out of memory";
    case Error::SubscriptOutOfRange:
      return "Subscript out of range";
    case Error::TypeMismatch:
      return "Type mismatch";
    case Error::InvalidPropertyValue:
      return "Invalid property value";
    case Error::ObjectRequired:
      return "Object required";
    case Error::MemberNotFound:
      return "Object doesn't support this property or method";
    case Error::WrongArguments:
      return "Wrong number of arguments or invalid property assignment";
    case Error::OperationFailed:
      return "Container operation failed";
  }
  return "Unknown error";
}

}  // namespace glimmer

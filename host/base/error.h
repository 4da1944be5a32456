// SPDX-License-Identifier: MIT
// Run-time error codes and the result types that carry them.
//
// No exception crosses an interface in this project: every operation that can fail returns a Status or a
// Result<T>. The codes keep the numbers of the classic run-time errors that hosts of this kind of control
// know, so that a host can show them the way it always has.
#pragma once

#include <cstdint>
#include <string_view>

#include <glimmer/host/base/expected.h>

namespace glimmer {

enum class Error : std::int32_t {
  InvalidProcedureCall = 5,
  Overflow = 6,
  OutOfMemory = 7,
  SubscriptOutOfRange = 9,
  TypeMismatch = 13,
  InvalidPropertyValue = 380,
  ObjectRequired = 424,
  MemberNotFound = 438,
  WrongArguments = 450,
  OperationFailed = 5000,  // a container operation that failed for a reason of its own (tests inject these)
};

template <class T>
using Result = Expected<T, Error>;
using Status = Expected<void, Error>;

[[nodiscard]] inline Unexpected<Error> Fail(Error e) {
  return Unexpected<Error>(e);
}

// A one-line English description of an error, for messages.
[[nodiscard]] std::string_view Describe(Error e);

}  // namespace glimmer

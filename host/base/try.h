// SPDX-License-Identifier: MIT
// TRY(expr): the value of a Result, or a return of its error from the calling function.
//
// It replaces the two-line ladder `auto x = f(); if (!x) return Fail(x.error());` with `auto x = TRY(f());`.
// The error returned is of the expression's own error type (an Error, or a richer error such as a file's).
// It is a GNU statement expression (g++ and clang both have them), so it is for this project's own sources:
// no installed header includes it. A Status gives no value: `TRY(SetSomething());` as a statement.
#pragma once

#include <type_traits>
#include <utility>

#include <glimmer/host/base/error.h>

namespace glimmer::detail {

// The value of a Result that holds one, moved out; nothing for a Status.
template <class R>
typename std::remove_cvref_t<R>::value_type TakeValue(R&& r) {
  if constexpr (!std::is_void_v<typename std::remove_cvref_t<R>::value_type>) return std::move(*r);
}

}  // namespace glimmer::detail

#define GLIMMER_TRY_CONCAT_(a, b) a##b
#define GLIMMER_TRY_NAME_(n) GLIMMER_TRY_CONCAT_(glimmer_try_result_, n)
#define GLIMMER_TRY_(name, ...)                                                                             \
  __extension__({                                                                                           \
    auto name = (__VA_ARGS__);                                                                              \
    if (!name)                                                                                              \
      return ::glimmer::Unexpected<typename std::remove_cvref_t<decltype(name)>::error_type>(name.error()); \
    ::glimmer::detail::TakeValue(std::move(name));                                                          \
  })
#define TRY(...) GLIMMER_TRY_(GLIMMER_TRY_NAME_(__COUNTER__), __VA_ARGS__)

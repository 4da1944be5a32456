// SPDX-License-Identifier: MIT
// Expected<T, E> and Unexpected<E>: std::expected where the standard library has it, and otherwise a small
// stand-in with the same interface for what this project uses.
//
// Clang 14, which builds the fuzzing and sanitizer builds, cannot compile libstdc++ 12's <expected> (that
// header needs conditionally trivial special members, which clang 14 lacks), so it gets the stand-in. The
// stand-in lives in namespace fallback whatever the compiler, so that one test can hold both to the same
// behaviour.
#pragma once

#include <cstdlib>
#include <optional>
#include <type_traits>
#include <utility>
#include <variant>
#include <version>

#if defined(__cpp_lib_expected) && __cpp_lib_expected >= 202202L
#include <expected>
#define GLIMMER_STD_EXPECTED 1
#else
#define GLIMMER_STD_EXPECTED 0
#endif

// An installed Glimmer says which of the two it was built with: a program that includes these headers must
// get the same one, or it and the libraries would disagree about every Status they pass.
#if defined(GLIMMER_BUILT_WITH_STD_EXPECTED) && GLIMMER_BUILT_WITH_STD_EXPECTED != GLIMMER_STD_EXPECTED
#error \
    "Glimmer was built with the other Expected: use the compiler and standard library it was built with, in C++23"
#endif

namespace glimmer::fallback {

template <class E>
class Unexpected {
 public:
  constexpr explicit Unexpected(E error) : error_(std::move(error)) {}
  [[nodiscard]] constexpr const E& error() const noexcept { return error_; }
  friend constexpr bool operator==(const Unexpected&, const Unexpected&) = default;

 private:
  E error_;
};

template <class T, class E>
class Expected;

template <class X>
inline constexpr bool kIsExpected = false;
template <class T, class E>
inline constexpr bool kIsExpected<Expected<T, E>> = true;
template <class X>
inline constexpr bool kIsUnexpected = false;
template <class E>
inline constexpr bool kIsUnexpected<Unexpected<E>> = true;

// A value or an error. Reading the value of an error (or the error of a value) is a programming error: it
// aborts, where std::expected would throw or be undefined.
template <class T, class E>
class Expected {
 public:
  using value_type = T;
  using error_type = E;

  constexpr Expected() requires std::is_default_constructible_v<T> : v_(std::in_place_index<0>) {}
  template <class U = T>
  requires(std::is_constructible_v<T, U> && !kIsExpected<std::remove_cvref_t<U>> &&
           !kIsUnexpected<std::remove_cvref_t<U>>) constexpr explicit(!std::is_convertible_v<U, T>)
      Expected(U&& value)
      : v_(std::in_place_index<0>, std::forward<U>(value)) {}
  template <class G>
  constexpr Expected(const Unexpected<G>& u) : v_(std::in_place_index<1>, u.error()) {}

  [[nodiscard]] constexpr bool has_value() const noexcept { return v_.index() == 0; }
  constexpr explicit operator bool() const noexcept { return has_value(); }

  [[nodiscard]] constexpr T& value() & { return *Checked(this); }
  [[nodiscard]] constexpr const T& value() const& { return *Checked(this); }
  [[nodiscard]] constexpr T&& value() && { return std::move(*Checked(this)); }
  constexpr T& operator*() & { return value(); }
  constexpr const T& operator*() const& { return value(); }
  constexpr T&& operator*() && { return std::move(*this).value(); }
  constexpr T* operator->() { return &value(); }
  constexpr const T* operator->() const { return &value(); }

  [[nodiscard]] constexpr const E& error() const& {
    if (has_value()) std::abort();
    return std::get<1>(v_);
  }

  template <class U>
  [[nodiscard]] constexpr T value_or(U&& fallback) const& {
    return has_value() ? std::get<0>(v_) : static_cast<T>(std::forward<U>(fallback));
  }

  friend constexpr bool operator==(const Expected& a, const Expected& b) { return a.v_ == b.v_; }
  template <class U>
  requires(!kIsExpected<U> && !kIsUnexpected<U>) friend constexpr bool operator==(const Expected& a,
                                                                                  const U& v) {
    return a.has_value() && *a == v;
  }
  template <class G>
  friend constexpr bool operator==(const Expected& a, const Unexpected<G>& u) {
    return !a.has_value() && a.error() == u.error();
  }

 private:
  template <class Self>
  static constexpr auto* Checked(Self* self) {
    if (!self->has_value()) std::abort();
    return &std::get<0>(self->v_);
  }

  std::variant<T, E> v_;
};

template <class E>
class Expected<void, E> {
 public:
  using value_type = void;
  using error_type = E;

  constexpr Expected() = default;
  template <class G>
  constexpr Expected(const Unexpected<G>& u) : error_(u.error()) {}

  [[nodiscard]] constexpr bool has_value() const noexcept { return !error_.has_value(); }
  constexpr explicit operator bool() const noexcept { return has_value(); }
  constexpr void value() const {
    if (!has_value()) std::abort();
  }
  constexpr void operator*() const noexcept {}

  [[nodiscard]] constexpr const E& error() const& {
    if (has_value()) std::abort();
    return *error_;
  }

  friend constexpr bool operator==(const Expected&, const Expected&) = default;
  template <class G>
  friend constexpr bool operator==(const Expected& a, const Unexpected<G>& u) {
    return !a.has_value() && a.error() == u.error();
  }

 private:
  std::optional<E> error_;
};

}  // namespace glimmer::fallback

namespace glimmer {

#if GLIMMER_STD_EXPECTED
template <class T, class E>
using Expected = std::expected<T, E>;
template <class E>
using Unexpected = std::unexpected<E>;
#else
template <class T, class E>
using Expected = fallback::Expected<T, E>;
template <class E>
using Unexpected = fallback::Unexpected<E>;
#endif

}  // namespace glimmer

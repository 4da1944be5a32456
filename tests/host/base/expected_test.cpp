// SPDX-License-Identifier: MIT
// The stand-in for std::expected that clang 14 builds use must behave like std::expected wherever this
// project relies on it; it is compiled and tested by every compiler.
#include "host/base/expected.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "host/base/error.h"
#include "host/base/try.h"

namespace glimmer {
namespace {

using fallback::Expected;
using fallback::Unexpected;

struct Base {
  virtual ~Base() = default;
};
struct Derived : Base {};

TEST(FallbackExpected, HoldsAValueOrAnError) {
  Expected<std::string, Error> value = std::string("text");
  Expected<std::string, Error> error = Unexpected<Error>(Error::Overflow);
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(*value, "text");
  EXPECT_EQ(value->size(), 4u);
  ASSERT_FALSE(error);
  EXPECT_EQ(error.error(), Error::Overflow);
  EXPECT_EQ(value.value_or("fallback"), "text");
  EXPECT_EQ(error.value_or("fallback"), "fallback");
  EXPECT_EQ((Expected<int, Error>()), 0);  // a default-constructed one holds a default value
}

TEST(FallbackExpected, ComparesLikeStdExpected) {
  const Expected<int, Error> three = 3;
  const Expected<int, Error> overflow = Unexpected<Error>(Error::Overflow);
  EXPECT_EQ(three, 3);
  EXPECT_NE(three, 4);
  EXPECT_NE(overflow, 0);  // an error never equals a value
  EXPECT_EQ(overflow, Unexpected<Error>(Error::Overflow));
  EXPECT_NE(overflow, Unexpected<Error>(Error::TypeMismatch));
  EXPECT_NE(three, Unexpected<Error>(Error::Overflow));
  EXPECT_EQ(three, (Expected<int, Error>(3)));
  EXPECT_NE(three, overflow);
}

TEST(FallbackExpected, ConvertsValuesAndMovesOnlyTypes) {
  Derived d;
  const Expected<Base*, Error> pointer = &d;
  EXPECT_EQ(*pointer, &d);
  Expected<std::unique_ptr<int>, Error> owned = std::make_unique<int>(7);
  const std::unique_ptr<int> taken = *std::move(owned);
  EXPECT_EQ(*taken, 7);
}

TEST(FallbackExpected, VoidHoldsSuccessOrAnError) {
  const Expected<void, Error> ok;
  const Expected<void, Error> failed = Unexpected<Error>(Error::ObjectRequired);
  EXPECT_TRUE(ok);
  ASSERT_FALSE(failed);
  EXPECT_EQ(failed.error(), Error::ObjectRequired);
  EXPECT_EQ(failed, Unexpected<Error>(Error::ObjectRequired));
  EXPECT_NE(ok, failed);
}

TEST(FallbackExpectedDeathTest, ReadingTheWrongSideAborts) {
  const Expected<int, Error> overflow = Unexpected<Error>(Error::Overflow);
  const Expected<int, Error> three = 3;
  EXPECT_DEATH((void)*overflow, "");
  EXPECT_DEATH((void)three.error(), "");
}

TEST(ProjectResult, IsStdExpectedWhereTheLibraryHasIt) {
#if GLIMMER_STD_EXPECTED
  EXPECT_TRUE((std::is_same_v<Status, std::expected<void, Error>>));
#else
  EXPECT_TRUE((std::is_same_v<Status, fallback::Expected<void, Error>>));
#endif
}

}  // namespace
}  // namespace glimmer

namespace try_macro {

using glimmer::Error;
using glimmer::Fail;
using glimmer::Result;
using glimmer::Status;

Result<int> Half(int v) {
  if (v % 2 != 0) return Fail(Error::InvalidPropertyValue);
  return v / 2;
}

Status Check(bool ok) {
  if (!ok) return Fail(Error::Overflow);
  return {};
}

// Two TRYs in one function, one of a Status: the first error returns, values flow on.
Result<int> Quarter(int v, bool ok) {
  TRY(Check(ok));
  const int half = TRY(Half(v));
  return TRY(Half(half));
}

// An error of another type than Error returns as itself.
glimmer::Expected<int, std::string> Next(glimmer::Expected<int, std::string> v) {
  return TRY(v) + 1;
}

TEST(TryMacro, GivesTheValueOrReturnsTheFirstError) {
  EXPECT_EQ(Quarter(12, true), Result<int>(3));
  EXPECT_EQ(Quarter(6, true).error(), Error::InvalidPropertyValue);
  EXPECT_EQ(Quarter(12, false).error(), Error::Overflow);
  EXPECT_EQ(Next(1), 2);
  EXPECT_EQ(Next(glimmer::Unexpected<std::string>("no file")).error(), "no file");
}

}  // namespace try_macro

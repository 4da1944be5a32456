// SPDX-License-Identifier: MIT
// The terminal mode's refusals, before it touches the terminal: a terminal type it cannot look up.
#include "demo/terminal/terminal_opener.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>

#include "demo/exit_status.h"
#include "demo/form/built_in_form.h"
#include "demo/form/form_file.h"

namespace glimmer {
namespace {

struct TermCase {
  const char* term;  // TERM, or none
  std::string says;
};
void PrintTo(const TermCase& c, std::ostream* os) {
  *os << "TERM=" << (c.term != nullptr ? c.term : "(unset)");
}

class UnknownTerminal : public ::testing::TestWithParam<TermCase> {
 protected:
  void SetUp() override {
    if (const char* term = std::getenv("TERM")) saved_ = term;
  }
  void TearDown() override {
    if (saved_)
      ::setenv("TERM", saved_->c_str(), 1);
    else
      ::unsetenv("TERM");
  }
  std::optional<std::string> saved_;
};

TEST_P(UnknownTerminal, IsRefusedWithAMessage) {
  if (GetParam().term != nullptr)
    ::setenv("TERM", GetParam().term, 1);
  else
    ::unsetenv("TERM");
  const auto form = ParseFormDescription(BuiltInFormText(), kBuiltInFormSource);
  ASSERT_TRUE(form);
  std::ostringstream err;
  EXPECT_EQ(RunInTerminal(*form, {}, err), kExitFailure);
  EXPECT_EQ(err.str(), "glimmer: cannot show the sign in this terminal: " + GetParam().says + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Terms, UnknownTerminal,
    ::testing::Values(TermCase{nullptr, "TERM is not set, so the terminal's control sequences are unknown"},
                      TermCase{"no-such-terminal",
                               "the terminal type 'no-such-terminal' is not in the terminfo database"},
                      TermCase{"dumb", "the terminal 'dumb' cannot move its cursor"}));

}  // namespace
}  // namespace glimmer

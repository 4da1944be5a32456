// SPDX-License-Identifier: MIT
#include "tests/control/fault_matrix/fault_tally.h"

#include <string>

#include "host/gdi/gdi_host.h"
#include "tests/support/report.h"

namespace glimmer::testing {

void FaultTally::Injected(bool hit) {
  EXPECT_TRUE(hit) << "an injected fault was never reached";
  ++injected_;
}

void FaultTally::Report() {
  gdi::ResetFaults();
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::string name = std::string(info->test_suite_name()) + "." + info->name();
  testing::Report("faults.txt", name + " " + std::to_string(injected_));
}

}  // namespace glimmer::testing

// SPDX-License-Identifier: MIT
// The fault matrix's fixtures count every fault they inject (and made sure was hit) and report the count
// per test, as "<test> <count>" lines of faults.txt (see tests/support/report.h).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

namespace glimmer::testing {

class FaultTally {
 protected:
  // Counts one injected fault; `hit` says whether the control reached it, which every matrix entry must.
  void Injected(bool hit);
  // Resets the drawing layer's faults and reports the count.
  void Report();

 private:
  std::int64_t injected_ = 0;
};

class FaultMatrixTest : public ::testing::Test, protected FaultTally {
 protected:
  void TearDown() override { Report(); }
};

template <class Param>
class FaultMatrixParamTest : public ::testing::TestWithParam<Param>, protected FaultTally {
 protected:
  void TearDown() override { Report(); }
};

}  // namespace glimmer::testing

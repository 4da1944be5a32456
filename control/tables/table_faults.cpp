// SPDX-License-Identifier: MIT
#include "control/tables/table_faults.h"

namespace glimmer::table_faults {
namespace {
bool pending[2] = {false, false};
}

void FailNextAssembly(Table table) {
  pending[static_cast<int>(table)] = true;
}

bool Consume(Table table) {
  bool& p = pending[static_cast<int>(table)];
  const bool was = p;
  p = false;
  return was;
}

}  // namespace glimmer::table_faults

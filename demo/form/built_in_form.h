// SPDX-License-Identifier: MIT
// The form description the program opens without --form: demo/FormGlimmer.toml, compiled in, so that the
// program runs from anywhere.
#pragma once

#include <string_view>

namespace glimmer {

// How messages name it.
inline constexpr std::string_view kBuiltInFormSource = "FormGlimmer.toml (built in)";

[[nodiscard]] std::string_view BuiltInFormText();

}  // namespace glimmer

// Replaces a file as a whole or not at all: the text goes to a temporary file in the same folder, which is
// flushed to disk and then renamed over the target. A failure at any step removes the temporary file and
// leaves an existing target as it was.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "host/expected.h"

namespace glimmer {

// On failure, why (with the path), for a message.
[[nodiscard]] Expected<void, std::string> WriteFileAtomically(const std::filesystem::path& path,
                                                              std::string_view contents);

}  // namespace glimmer

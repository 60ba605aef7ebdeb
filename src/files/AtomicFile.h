#pragma once
// Replacing a file so that readers see either the old or the whole new content.
#include <span>
#include <string>

namespace zorvek {

// Writes `content` to a temporary file in the target's folder, flushes it to
// disk and renames it over `path`. true on success; false with `error` set otherwise,
// and then `path` is as it was and no temporary file is left behind.
bool ReplaceFileContent(const std::string& path, std::span<const char> content, std::string* error = nullptr);

}  // namespace zorvek

#pragma once
// Replacing a file so that readers see either the old or the whole new content.
#include <span>
#include <string>

namespace zorvek {

// Permission bits for a file written in place of `path`: those of the file there,
// else 0666 less the process's umask (read without changing it, which would race
// with other threads creating files).
unsigned NewFilePermissions(const std::string& path);

// Writes `content` to a temporary file in the target's folder, flushes it to
// disk and renames it over `path`. true on success; false with `error` set otherwise,
// and then `path` is as it was and no temporary file is left behind.
bool ReplaceFileContent(const std::string& path, std::span<const char> content, std::string* error = nullptr);

}  // namespace zorvek

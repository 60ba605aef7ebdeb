#pragma once
// File access that a hostile file or a hostile neighbour on the same machine
// cannot turn against the user: only regular files are read (a FIFO would
// hang the program, /dev/zero would exhaust its memory), reads are capped at
// what the format can hold, and work folders are private to this user and
// never reached through a symbolic link.
#include <cstdint>
#include <string>
#include <vector>

namespace zorvek {

// A descriptor of `path` opened for reading, or -1 with `error` set. Refuses
// anything but a regular file (a FIFO is not waited on) and a file larger than
// `maxBytes`; `size` gets its size.
int OpenRegularFile(const std::string& path, uint64_t maxBytes, std::string* error, uint64_t* size = nullptr);

// The whole of a regular file of at most `maxBytes`. false with `error` set otherwise.
bool ReadRegularFile(const std::string& path, uint64_t maxBytes, std::vector<uint8_t>& out, std::string* error);

// A descriptor of `path` for appending, made with `mode` when missing; -1 with
// `error` set when it cannot be opened or is not a regular file.
int OpenRegularForAppend(const std::string& path, unsigned mode, std::string* error);

// Why `path` cannot be replaced by a written file: empty when it does not exist
// or is a regular file (or a link to one), else a sentence naming what it is.
std::string ReplaceProblem(const std::string& path);

// A descriptor of `path` when it is a real folder (not a link) owned by this
// user with mode 0700, -1 otherwise: only such a folder is safe for files with
// fixed names.
int OpenPrivateFolder(const std::string& path);

// A fresh folder (mode 0700) below `parent` named `prefix` and six random
// characters, ending in '/'; empty when none can be made.
std::string MakePrivateFolder(const std::string& parent, const std::string& prefix);

// $TMPDIR when it is absolute, else /tmp.
std::string TemporaryFolder();

// Removes a folder made by MakePrivateFolder and everything in it. A link in it
// (or the folder itself replaced by a link) is removed as a link: what it points
// to is never touched.
void RemovePrivateFolder(const std::string& path);

// Creates a new file for writing (mode 0600): O_CREAT | O_EXCL | O_NOFOLLOW, so
// an existing file or a planted link is never written through. -1 on failure.
int CreateNewFile(const std::string& path);

// `name` shortened, if needed, so that `name` + `extra` characters still fit in
// one file name (255 bytes); the cut keeps whole UTF-8 characters.
std::string NameWithRoom(const std::string& name, size_t extra);

// Size caps of the formats read.
inline constexpr uint64_t kMaxJobFileBytes = 1u << 20;  // 32 lines of paths
inline constexpr uint64_t kMaxHexFileBytes = 4u << 20;  // 8 KiB of firmware, one record per byte at most

}  // namespace zorvek

#pragma once
// Where one run's temporary audio files live. The file names are fixed, so two
// runs (two windows, several command-line runs) must not share a folder at the
// same time: the shared folder is locked for as long as this object lives, and
// a run that finds it locked works in a private folder that goes with it.
#include <memory>
#include <string>

#include "job/JobState.h"

namespace zorvek {

// The shared working folder, ending in '/': $XDG_CACHE_HOME/Zorvek (or
// ~/.cache/Zorvek), never the program's folder; empty without a home, where
// every run works in a fresh private folder. Not created here.
std::string AudioWorkFolder(const JobState& job);

class AudioWorkspace {
public:
    // The shared folder when it is this user's alone (a real folder, mode 0700)
    // and free, else a fresh private folder; null when no folder can be made.
    static std::unique_ptr<AudioWorkspace> Acquire(const JobState& job);
    // The shared folder, locked, or null when another run holds it or it is
    // not this user's private folder.
    static std::unique_ptr<AudioWorkspace> TryShared(const JobState& job);
    ~AudioWorkspace();
    AudioWorkspace(const AudioWorkspace&) = delete;
    AudioWorkspace& operator=(const AudioWorkspace&) = delete;

    // Absolute folder ending in '/'.
    const std::string& Folder() const { return folder_; }
    std::string PathOf(const std::string& name) const { return folder_ + name; }
    bool IsPrivate() const { return private_; }
    bool IsLocked() const { return lockFd_ >= 0; }

private:
    AudioWorkspace() = default;
    std::string folder_;
    int lockFd_ = -1;
    bool private_ = false;
};

}  // namespace zorvek

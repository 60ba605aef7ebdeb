// Every test executable links this: recovery files, work files, settings and
// simulated sirens of the default folders stay out of the real home folder, and
// no two runs (nor two executables run at once) share a folder.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

namespace {

class PrivateUserFolders : public ::testing::Environment {
public:
    // Set before main, so a QApplication made there sees the private folders too.
    PrivateUserFolders() {
        std::string pattern = (std::filesystem::temp_directory_path() / "zorvek-home-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();  // running in the real home is worse than not running
        folder_ = pattern;
        ::setenv("HOME", folder_.c_str(), 1);
        for (const auto& [name, sub] : {std::pair{"XDG_DATA_HOME", "data"},
                                        {"XDG_CACHE_HOME", "cache"},
                                        {"XDG_CONFIG_HOME", "config"},
                                        {"XDG_STATE_HOME", "state"}})
            ::setenv(name, (folder_ / sub).c_str(), 1);
    }
    ~PrivateUserFolders() override {
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }

private:
    std::filesystem::path folder_;
};

[[maybe_unused]] ::testing::Environment* const kPrivateUserFolders =
    ::testing::AddGlobalTestEnvironment(new PrivateUserFolders);

}  // namespace

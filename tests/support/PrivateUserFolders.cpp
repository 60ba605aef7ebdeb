// Every test binary that links the support files keeps recovery files, work files
// and simulated sirens of the default folders out of the real home folder.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

namespace {

class PrivateUserFolders : public ::testing::Environment {
public:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "zorvek-home-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) return;
        folder_ = pattern;
        ::setenv("XDG_DATA_HOME", (folder_ / "data").c_str(), 1);
        ::setenv("XDG_CACHE_HOME", (folder_ / "cache").c_str(), 1);
    }
    void TearDown() override {
        std::error_code ec;
        if (!folder_.empty()) std::filesystem::remove_all(folder_, ec);
    }

private:
    std::filesystem::path folder_;
};

[[maybe_unused]] ::testing::Environment* const kPrivateUserFolders =
    ::testing::AddGlobalTestEnvironment(new PrivateUserFolders);

}  // namespace

// Hostile files and a hostile neighbour: work folders no one else can plant in,
// removal that never follows a link, only regular files read, names up to the
// file system's limit, and text that cannot drive a terminal.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include "ScriptedUserPort.h"
#include "TestFiles.h"
#include "audio/AudioWorkspace.h"
#include "audio/WaveWriter.h"
#include "files/AtomicFile.h"
#include "files/ConfigFile.h"
#include "files/FirmwareRecoveryFile.h"
#include "files/ProductionLog.h"
#include "files/SirenImageFile.h"
#include "image/FirmwareHexLoader.h"
#include "job/SafeFiles.h"
#include "job/TextFormat.h"

namespace zorvek {
namespace {

namespace fs = std::filesystem;
using test::ScratchFolder;

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Sets (or, with nullopt, unsets) a variable for the test's lifetime.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
    }
    ~ScopedEnv() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> old_;
};

// Without a home, work files once went to a shared /tmp/Zorvek that anyone could
// make first, full of links to the victim's files.
TEST(WorkFolder, WithoutAHomeEveryRunWorksInAFreshPrivateFolder) {
    ScratchFolder tmp;
    const std::string victim = tmp.write("victim", "private");
    fs::create_directory(tmp.path() / "Zorvek");
    fs::permissions(tmp.path() / "Zorvek", fs::perms::all);
    fs::create_symlink(victim, tmp.path() / "Zorvek" / "No BCast input0.wav");
    ScopedEnv home("HOME", std::nullopt), cache("XDG_CACHE_HOME", std::nullopt), dir("TMPDIR", tmp.path().string());

    const JobState job;
    auto first = AudioWorkspace::Acquire(job);
    auto second = AudioWorkspace::Acquire(job);
    ASSERT_TRUE(first && second);
    EXPECT_TRUE(first->IsPrivate());
    EXPECT_NE(first->Folder(), second->Folder());
    EXPECT_EQ(fs::path(first->Folder()).parent_path().parent_path(), tmp.path());
    struct stat st {};
    ASSERT_EQ(::stat(first->Folder().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    WaveWriter writer;
    ASSERT_TRUE(writer.Create(first->PathOf("No BCast input0.wav"), nullptr, 16));
    writer.Close();
    EXPECT_EQ(Slurp(victim), "private");
}

// The shared cache folder is used only when it is this user's alone.
TEST(WorkFolder, AFolderOthersCanWriteToOrReachThroughALinkIsNotUsed) {
    ScratchFolder cache;
    ScopedEnv env("XDG_CACHE_HOME", cache.path().string()), dir("TMPDIR", cache.path().string());
    const fs::path shared = cache.path() / "Zorvek";
    const JobState job;
    const auto sharedUsed = [&] {
        auto space = AudioWorkspace::Acquire(job);
        return space && !space->IsPrivate();
    };
    EXPECT_TRUE(sharedUsed());  // made here, 0700

    fs::permissions(shared, fs::perms::owner_all | fs::perms::group_all | fs::perms::others_all);
    EXPECT_FALSE(sharedUsed());

    fs::remove(shared);
    fs::create_directory(cache.path() / "elsewhere");
    fs::permissions(cache.path() / "elsewhere", fs::perms::owner_all);
    fs::create_directory_symlink(cache.path() / "elsewhere", shared);
    EXPECT_FALSE(sharedUsed());

    // Another user's folder, private to them: possible to arrange only as root.
    fs::remove(shared);
    fs::create_directory(shared);
    fs::permissions(shared, fs::perms::owner_all);
    if (::geteuid() != 0 || ::chown(shared.c_str(), 65534, 65534) != 0)
        GTEST_SKIP() << "a folder of another user needs root";
    EXPECT_FALSE(sharedUsed());
}

// A private folder swapped for a link (or holding one) must not cost what the link points to.
TEST(WorkFolder, RemovalNeverFollowsALink) {
    ScratchFolder tmp;
    ScopedEnv home("HOME", std::nullopt), cache("XDG_CACHE_HOME", std::nullopt), dir("TMPDIR", tmp.path().string());
    fs::create_directory(tmp.path() / "victim");
    const std::string kept = tmp.write("victim/kept", "mine");

    auto swapped = AudioWorkspace::Acquire(JobState{});
    ASSERT_TRUE(swapped);
    const fs::path folder = fs::path(swapped->Folder()).parent_path();
    fs::rename(folder, tmp.path() / "moved");
    fs::create_directory_symlink(tmp.path() / "victim", folder);
    swapped.reset();
    EXPECT_EQ(Slurp(kept), "mine");
    EXPECT_FALSE(fs::exists(fs::symlink_status(folder)));

    auto holding = AudioWorkspace::Acquire(JobState{});
    ASSERT_TRUE(holding);
    fs::create_directory_symlink(tmp.path() / "victim", holding->PathOf("link"));
    fs::create_directory(holding->PathOf("sub"));
    holding.reset();
    EXPECT_EQ(Slurp(kept), "mine");
}

// A FIFO would hang a reader, /dev/zero would exhaust its memory: every reader refuses both.
TEST(RegularFiles, EveryReaderRefusesFifosAndDevicesWithAMessage) {
    ScratchFolder dir;
    const std::string fifo = dir.file("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, std::string("/dev/zero")}) {
        SCOPED_TRACE(path);
        const std::string kind = path == fifo ? "a FIFO" : "a device";
        std::string error;
        std::vector<uint8_t> bytes;
        EXPECT_FALSE(ReadWholeFile(path, bytes, &error));
        EXPECT_NE(error.find(kind), std::string::npos) << error;
        bool restErased = false;
        EXPECT_FALSE(ReadImageHead(path, 4096, bytes, restErased, &error));
        JobState job;
        EXPECT_FALSE(ReadConfigFile(path, job, &error));
        EXPECT_NE(error.find(kind), std::string::npos) << error;
        FirmwareRecovery recovery;
        EXPECT_FALSE(ReadFirmwareRecovery(path, recovery, &error));
        job.firmwarePath = path;
        test::ScriptedUserPort port;
        std::vector<uint8_t> image(0x3000, 0xFF);
        EXPECT_EQ(LoadFirmwareHex(job, port, image), kHexInvalid);
        EXPECT_TRUE(port.SawContaining(kind));
        EXPECT_FALSE(ReplaceFileContent(path, std::string("x"), &error));
        EXPECT_NE(error.find(kind), std::string::npos) << error;
    }
    std::string error;
    EXPECT_FALSE(AppendProductionLogLine(fifo, "{}", &error));
    EXPECT_NE(error.find("a FIFO"), std::string::npos) << error;
    // Longer than the format allows: refused before it is read.
    const std::string big = dir.file("big.zfg");
    fs::resize_file(dir.write("big.zfg", ""), kMaxJobFileBytes + 1);
    JobState job;
    EXPECT_FALSE(ReadConfigFile(big, job, &error));
}

// A name the file system takes must work, though the temporary name beside it is longer.
TEST(LongNames, UpToTheFileSystemsLimitTheyWork) {
    ScratchFolder dir;
    for (const size_t length : {size_t{240}, size_t{252}, size_t{255}}) {
        SCOPED_TRACE(length);
        const std::string name = dir.file(std::string(length - 4, 'n') + ".zmg");
        std::string error;
        EXPECT_TRUE(ReplaceFileContent(name, std::string("a"), &error)) << error;
        StagedFileWriter staged;
        ASSERT_TRUE(staged.Open(name, &error)) << error;
        const uint8_t byte = 'b';
        ASSERT_TRUE(staged.Write(&byte, 1, &error));
        ASSERT_TRUE(staged.CommitTo(PartialImagePath(name), &error)) << error;
        EXPECT_EQ(Slurp(PartialImagePath(name)), "b");
        EXPECT_EQ(Slurp(name), "a");
    }
    // A cut never splits a UTF-8 character.
    EXPECT_EQ(NameWithRoom(std::string(254, 'x') + "\xC3\xA9", 1), std::string(254, 'x'));
}

TEST(TextFormat, ControlCharactersAreShownNotObeyed) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"/jobs/a.wav", "/jobs/a.wav"},
        {"line\nnext\ttab", "line\nnext\ttab"},
        {"\x1b]0;title\x07.wav", "\\x1B]0;title\\x07.wav"},
        {"\x1b[31mred\r\x7f", "\\x1B[31mred\\x0D\\x7F"},
        {"\xC2\x9B"
         "2J caf\xC3\xA9",
         "\\x9B2J caf\xC3\xA9"},  // C1 CSI in UTF-8; é stays
    };
    for (const auto& c : cases) EXPECT_EQ(EscapeControlCharacters(c.in), c.out);
}

}  // namespace
}  // namespace zorvek

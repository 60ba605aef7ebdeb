// Configuration files (.zfg) and the Save/Load Configuration commands.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "ScriptedUserPort.h"
#include "TestFiles.h"
#include "WavTestSupport.h"
#include "files/AtomicFile.h"
#include "files/ConfigFile.h"
#include "files/SirenImageFile.h"
#include "job/Paths.h"
#include "operations/ConfigCommands.h"
#include "operations/SirenOperations.h"

namespace zorvek {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

JobState SampleJob() {
    JobState job;
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        job.slot(slot).wavPath = slot == 3 ? "" : "/sounds/msg " + std::to_string(slot) + ".wav";
        job.slot(slot).toneIndex = slot * 9;
        job.slot(slot).beaconIndex = slot % 4;
        job.slot(slot).volumeIndex = slot;
    }
    job.firmwarePath = "/fw/siren.hex";
    job.firmwareUpdate = 1;
    job.verify = 1;
    job.dip32Tone = 0;
    return job;
}

void ExpectSameConfig(const JobState& a, const JobState& b) {
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        EXPECT_EQ(a.slot(slot).wavPath, b.slot(slot).wavPath) << slot;
        EXPECT_EQ(a.slot(slot).toneIndex, b.slot(slot).toneIndex) << slot;
        EXPECT_EQ(a.slot(slot).beaconIndex, b.slot(slot).beaconIndex) << slot;
        EXPECT_EQ(a.slot(slot).volumeIndex, b.slot(slot).volumeIndex) << slot;
    }
    EXPECT_EQ(a.firmwarePath, b.firmwarePath);
    EXPECT_EQ(a.firmwareUpdate, b.firmwareUpdate);
    EXPECT_EQ(a.verify, b.verify);
    EXPECT_EQ(a.dip32Tone, b.dip32Tone);
}

TEST(ConfigFormat, WritesThirtyTwoCrLfLinesWithVolumesInRowOrder) {
    JobState job = SampleJob();
    job.slot(7).volumeIndex = 8;
    job.slot(1).volumeIndex = 0;
    job.slot(2).toneIndex = -1;
    const std::string expected =
        "/sounds/msg 1.wav\r\n9\r\n1\r\n"
        "/sounds/msg 2.wav\r\n-1\r\n2\r\n"
        "\r\n27\r\n3\r\n"
        "/sounds/msg 4.wav\r\n36\r\n0\r\n"
        "/sounds/msg 5.wav\r\n45\r\n1\r\n"
        "/sounds/msg 6.wav\r\n54\r\n2\r\n"
        "/sounds/msg 7.wav\r\n63\r\n3\r\n"
        "/fw/siren.hex\r\n1\r\n1\r\n0\r\n"
        "8\r\n0\r\n2\r\n3\r\n4\r\n5\r\n6\r\n";
    EXPECT_EQ(FormatConfig(job), expected);
}

TEST(ConfigParse, ReadsWhatWasWrittenAndLeavesOtherFieldsAlone) {
    JobState saved = SampleJob();
    saved.slot(4).toneIndex = -7;
    JobState loaded;
    loaded.usage = IndustrialAc;
    loaded.verbose = 1;
    loaded.compression = 1;
    loaded.configFolder = "/keep/";
    ParseConfig(FormatConfig(saved), loaded);
    ExpectSameConfig(saved, loaded);
    EXPECT_EQ(loaded.usage, IndustrialAc);
    EXPECT_EQ(loaded.verbose, 1);
    EXPECT_EQ(loaded.compression, 1);
    EXPECT_EQ(loaded.configFolder, "/keep/");
}

TEST(ConfigParse, VolumeLinesStartWithTheTopRow) {
    std::string text;
    for (int line = 1; line <= 25; ++line) text += "\r\n";
    text += "8\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n";
    JobState job;
    ParseConfig(text, job);
    EXPECT_EQ(job.slot(7).volumeIndex, 8);
    for (int slot = 1; slot <= 6; ++slot) EXPECT_EQ(job.slot(slot).volumeIndex, slot) << slot;
}

TEST(ConfigParse, LineEndsShortFilesAndLongLines) {
    JobState job = SampleJob();
    // "\n" alone ends a line; only a "\r" right before it is dropped.
    ParseConfig(std::string_view("/a.wav\n5\r\n2\n/b\r.wav\r\r\n7"), job);
    EXPECT_EQ(job.slot(1).wavPath, "/a.wav");
    EXPECT_EQ(job.slot(1).toneIndex, 5);
    EXPECT_EQ(job.slot(1).beaconIndex, 2);
    EXPECT_EQ(job.slot(2).wavPath, "/b\r.wav\r");
    EXPECT_EQ(job.slot(2).toneIndex, 7);
    // Everything after the end of a short file reads as empty.
    EXPECT_EQ(job.slot(2).beaconIndex, 0);
    EXPECT_EQ(job.slot(7).wavPath, "");
    EXPECT_EQ(job.firmwarePath, "");
    EXPECT_EQ(job.firmwareUpdate, 0);
    EXPECT_EQ(job.verify, 0);
    for (int slot = 1; slot <= kSlotCount; ++slot) EXPECT_EQ(job.slot(slot).volumeIndex, 0);

    JobState empty = SampleJob();
    ParseConfig(std::string_view(""), empty);
    ExpectSameConfig(empty, JobState{});

    JobState longPaths = SampleJob();
    longPaths.slot(5).wavPath = "/" + std::string(100000, 'x') + ".wav";
    longPaths.firmwarePath = std::string(5000, 'f');
    JobState back;
    ParseConfig(FormatConfig(longPaths), back);
    ExpectSameConfig(longPaths, back);
}

TEST(ConfigParse, NumbersReadLikeTheCLibrary) {
    EXPECT_EQ(ConfigNumber("12abc"), 12);
    EXPECT_EQ(ConfigNumber(""), 0);
    EXPECT_EQ(ConfigNumber("abc"), 0);
    EXPECT_EQ(ConfigNumber("  \t-3"), -3);
    EXPECT_EQ(ConfigNumber("+4"), 4);
    EXPECT_EQ(ConfigNumber("- 4"), 0);
    EXPECT_EQ(ConfigNumber("007"), 7);
    EXPECT_EQ(ConfigNumber("2147483647"), 2147483647);
    EXPECT_EQ(ConfigNumber("-2147483648"), INT32_MIN);
    EXPECT_EQ(ConfigNumber("99999999999999999999999"), INT32_MAX);
    EXPECT_EQ(ConfigNumber("-99999999999999999999999"), INT32_MIN);
    EXPECT_EQ(ConfigNumber(std::string(300, ' ') + "42"), 42);
}

// The firmware path too: the window and the command line then program the same firmware.
TEST(ConfigParse, RelativeWavAndFirmwarePathsAreTakenFromTheFilesFolder) {
    std::string text = FormatConfig(SampleJob());
    JobState job;
    JobState edited = SampleJob();
    edited.slot(1).wavPath = "sounds/one.wav";
    edited.slot(2).wavPath = "../shared/two.wav";
    edited.slot(4).wavPath = "C:\\Sounds\\four.wav";
    edited.firmwarePath = "fw.hex";
    ParseConfig(FormatConfig(edited), job, "/jobs/site A");
    EXPECT_EQ(job.slot(1).wavPath, "/jobs/site A/sounds/one.wav");
    EXPECT_EQ(job.slot(2).wavPath, "/jobs/shared/two.wav");
    EXPECT_EQ(job.slot(3).wavPath, "");
    EXPECT_EQ(job.slot(4).wavPath, "C:\\Sounds\\four.wav");
    EXPECT_EQ(job.slot(5).wavPath, "/sounds/msg 5.wav");
    EXPECT_EQ(job.firmwarePath, "/jobs/site A/fw.hex");
}

class ConfigCommandTest : public ::testing::Test {
protected:
    void SetUp() override { dir_ = scratch_.path(); }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    size_t FilesInDir() const {
        size_t n = 0;
        for ([[maybe_unused]] auto& e : fs::directory_iterator(dir_)) ++n;
        return n;
    }

    test::ScratchFolder scratch_;
    fs::path dir_;
    test::ScriptedUserPort port_;
};

TEST_F(ConfigCommandTest, SaveWritesTheFileAndRemembersItsFolder) {
    JobState job = SampleJob();
    job.configFolder = "/start/";
    port_.fileAnswers.push_back(Path("job.zfg"));
    SaveConfig(job, port_);
    ASSERT_EQ(port_.saveDialogs.size(), 1u);
    const FileDialogOptions& dialog = port_.saveDialogs[0];
    EXPECT_EQ(dialog.filter, "ZFG Files (*.zfg)|*.zfg|All Files (*.*)|*.*||");
    EXPECT_EQ(dialog.defaultExtension, "zfg");
    EXPECT_EQ(dialog.initialName, "*.zfg");
    EXPECT_EQ(dialog.initialFolder, "/start/");
    EXPECT_TRUE(dialog.overwritePrompt);
    EXPECT_EQ(Slurp(Path("job.zfg")), FormatConfig(job));
    EXPECT_EQ(job.configFolder, dir_.string() + "/");
    EXPECT_TRUE(port_.messages.empty());
    EXPECT_EQ(port_.exchanges, 1);
    EXPECT_EQ(FilesInDir(), 1u);  // no temporary file left
}

TEST_F(ConfigCommandTest, SaveCancelledOrEmptyWritesNothing) {
    JobState job = SampleJob();
    job.configFolder = "/start/";
    SaveConfig(job, port_);
    ASSERT_EQ(port_.messages.size(), 1u);
    EXPECT_EQ(port_.messages[0].text, "Save cancelled by user.");
    EXPECT_EQ(port_.messages[0].caption, "Caution!");
    EXPECT_EQ(port_.messages[0].icon, MessageIcon::Stop);
    EXPECT_EQ(job.configFolder, "/start/");
    EXPECT_EQ(port_.exchanges, 0);

    port_.fileAnswers.push_back(std::string());
    SaveConfig(job, port_);
    EXPECT_EQ(port_.Texts().back(), "No file selected!");
    EXPECT_EQ(job.configFolder, "");
    EXPECT_EQ(port_.exchanges, 1);
    EXPECT_EQ(FilesInDir(), 0u);
}

TEST_F(ConfigCommandTest, FailedSaveIsReportedAndKeepsTheOldFile) {
    JobState job = SampleJob();
    // The target's folder does not exist.
    port_.fileAnswers.push_back(Path("missing/job.zfg"));
    SaveConfig(job, port_);
    ASSERT_EQ(port_.messages.size(), 1u);
    EXPECT_EQ(port_.messages[0].text.rfind("The configuration was not saved.\n", 0), 0u);
    EXPECT_EQ(port_.messages[0].caption, kProgramTitle);

    // The rename fails (a folder stands where the file would go): the folder and
    // its content are untouched and no temporary file stays behind.
    fs::create_directories(dir_ / "taken.zfg");
    std::ofstream(dir_ / "taken.zfg" / "inside") << "keep";
    port_.fileAnswers.push_back(Path("taken.zfg"));
    SaveConfig(job, port_);
    EXPECT_EQ(port_.messages.size(), 2u);
    EXPECT_EQ(Slurp(dir_ / "taken.zfg" / "inside"), "keep");
    EXPECT_EQ(FilesInDir(), 1u);
}

TEST_F(ConfigCommandTest, SaveRefusesALineBreakInAPathAndKeepsTheOldFile) {
    std::ofstream(Path("job.zfg")) << "old";
    for (const char* bad : {"/snd/a\nb.wav", "/snd/a\r"}) {
        JobState job = SampleJob();
        job.slot(7).wavPath = bad;
        port_.fileAnswers.push_back(Path("job.zfg"));
        SaveConfig(job, port_);
        EXPECT_EQ(port_.Texts().back(),
                  "The configuration was not saved.\nThe WAV file path of message 1 contains a line break, which a "
                  "job file cannot hold.");
    }
    JobState job = SampleJob();
    job.firmwarePath = "/fw/\n.hex";
    EXPECT_EQ(WriteConfigFile(Path("job.zfg"), job), 0);
    EXPECT_EQ(Slurp(Path("job.zfg")), "old");
    EXPECT_EQ(FilesInDir(), 1u);
}

TEST(ConfigCheck, AWholeJobHasThirtyTwoLinesWithWholeNumbersOnItsNumberLines) {
    const std::string good = FormatConfig(SampleJob());
    EXPECT_EQ(ConfigTextProblem(good), "");
    EXPECT_EQ(ConfigTextProblem(good.substr(0, good.size() - 2)), "");  // last line without its end
    EXPECT_EQ(ConfigTextProblem(""), "it has 0 lines; a job file has 32");
    EXPECT_EQ(ConfigTextProblem("a.wav\r\n3\r\n"), "it has 2 lines; a job file has 32");
    EXPECT_EQ(ConfigTextProblem(good + "\r\n"), "it has 33 lines; a job file has 32");
    // Line 24 is Verify, line 2 the first tone; paths (1, 22) may hold anything.
    const auto withLine = [&](int number, const std::string& text) {
        std::istringstream in(good);
        std::string out, line;
        for (int n = 1; std::getline(in, line); ++n) out += (n == number ? text + "\r" : line) + "\n";
        return out;
    };
    EXPECT_EQ(ConfigTextProblem(withLine(24, "verify-yes")), "line 24 is \"verify-yes\", not a whole number");
    EXPECT_EQ(ConfigTextProblem(withLine(2, "abc")), "line 2 is \"abc\", not a whole number");
    EXPECT_EQ(ConfigTextProblem(withLine(32, "")), "line 32 is \"\", not a whole number");
    EXPECT_EQ(ConfigTextProblem(withLine(3, "99999999999")), "line 3 is \"99999999999\", not a whole number");
    EXPECT_EQ(ConfigTextProblem(withLine(5, " -1 ")), "");
    EXPECT_EQ(ConfigTextProblem(withLine(5, "+-1")), "line 5 is \"+-1\", not a whole number");
    EXPECT_EQ(ConfigTextProblem(withLine(22, "12")), "");
}

TEST_F(ConfigCommandTest, SaveReplacesAnExistingFileWhole) {
    std::ofstream(Path("job.zfg")) << std::string(5000, 'o');
    fs::permissions(Path("job.zfg"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    JobState job = SampleJob();
    port_.fileAnswers.push_back(Path("job.zfg"));
    SaveConfig(job, port_);
    EXPECT_EQ(Slurp(Path("job.zfg")), FormatConfig(job));
    EXPECT_EQ(fs::status(Path("job.zfg")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(FilesInDir(), 1u);
}

TEST_F(ConfigCommandTest, SaveThroughALinkReplacesTheLinkedFile) {
    fs::create_directories(dir_ / "real");
    std::ofstream(dir_ / "real" / "job.zfg") << "old";
    fs::create_symlink(dir_ / "real" / "job.zfg", dir_ / "link.zfg");
    JobState job = SampleJob();
    ASSERT_TRUE(WriteConfigFile(Path("link.zfg"), job));
    EXPECT_TRUE(fs::is_symlink(dir_ / "link.zfg"));
    EXPECT_EQ(Slurp(dir_ / "real" / "job.zfg"), FormatConfig(job));
}

TEST_F(ConfigCommandTest, LoadRoundTripBannerStatusLineAndIndicator) {
    JobState saved = SampleJob();
    saved.dip32Tone = 1;
    ASSERT_TRUE(WriteConfigFile(Path("job.zfg"), saved));

    JobState job;
    job.usage = Fire;
    port_.fileAnswers.push_back(Path("job.zfg"));
    LoadConfig(job, port_);
    ASSERT_EQ(port_.openDialogs.size(), 1u);
    EXPECT_TRUE(port_.openDialogs[0].mustExist);
    EXPECT_EQ(port_.openDialogs[0].filter, kConfigFilter);
    ExpectSameConfig(saved, job);
    EXPECT_EQ(job.usage, Fire);
    EXPECT_EQ(job.configFolder, dir_.string() + "/");
    EXPECT_TRUE(port_.firmwareBanner);
    EXPECT_EQ(job.statusLineText, "/fw/siren.hex");
    EXPECT_TRUE(port_.dip32Indicator);
    EXPECT_EQ(port_.exchanges, 1);
    // A job that switches the firmware update on asks first, as the menu item does.
    EXPECT_EQ(port_.Texts(), std::vector<std::string>{kMsgFirmwareWarning});

    // Yes (abort) loads the job with the firmware update off.
    port_.yesNoAnswers.push_back(true);
    port_.fileAnswers.push_back(Path("job.zfg"));
    LoadConfig(job, port_);
    EXPECT_EQ(job.firmwareUpdate, 0);
    EXPECT_FALSE(port_.firmwareBanner);
    EXPECT_EQ(job.statusLineText, "");

    // Flag 0 hides the banner and empties the status line although a path is named.
    saved.firmwareUpdate = 0;
    saved.dip32Tone = 0;
    ASSERT_TRUE(WriteConfigFile(Path("job.zfg"), saved));
    port_.fileAnswers.push_back(Path("job.zfg"));
    LoadConfig(job, port_);
    EXPECT_FALSE(port_.firmwareBanner);
    EXPECT_EQ(job.statusLineText, "");
    EXPECT_EQ(job.firmwarePath, "/fw/siren.hex");
    EXPECT_FALSE(port_.dip32Indicator);
}

TEST_F(ConfigCommandTest, LoadedValuesPassThroughTheControls) {
    std::string text;
    for (int slot = 1; slot <= kSlotCount; ++slot) text += "x.wav\r\n70\r\n-2\r\n";
    text += "\r\n2\r\n5\r\n3\r\n9\r\n-1\r\n8\r\n";
    std::ofstream(Path("odd.zfg"), std::ios::binary) << text;
    JobState job;
    port_.fileAnswers.push_back(Path("odd.zfg"));
    LoadConfig(job, port_);
    EXPECT_EQ(job.slot(1).wavPath, dir_.string() + "/x.wav");
    EXPECT_EQ(job.slot(1).toneIndex, -1);
    EXPECT_EQ(job.slot(1).beaconIndex, -1);
    EXPECT_EQ(job.slot(7).volumeIndex, -1);  // 9 has no entry
    EXPECT_EQ(job.slot(1).volumeIndex, -1);
    EXPECT_EQ(job.slot(2).volumeIndex, 8);
    EXPECT_EQ(job.firmwareUpdate, 1);
    EXPECT_EQ(job.verify, 1);
    EXPECT_EQ(job.dip32Tone, 1);
    EXPECT_TRUE(port_.firmwareBanner);
    EXPECT_EQ(job.statusLineText, "");  // line 22 is empty
}

TEST_F(ConfigCommandTest, LoadCancelledOrFailingLeavesTheJob) {
    JobState job = SampleJob();
    job.dip32Tone = 1;
    job.configFolder = "/start/";
    const JobState before = job;
    LoadConfig(job, port_);
    EXPECT_EQ(port_.Texts(), std::vector<std::string>{"Load cancelled by user."});
    EXPECT_EQ(job.configFolder, "/start/");
    EXPECT_TRUE(port_.dip32Indicator);  // refreshed even so
    ExpectSameConfig(job, before);
    EXPECT_EQ(port_.exchanges, 0);

    port_.dip32Indicator = false;
    port_.fileAnswers.push_back(Path("absent.zfg"));
    LoadConfig(job, port_);
    EXPECT_EQ(port_.Texts().back(), "Error trying to open config.");
    EXPECT_EQ(job.configFolder, dir_.string() + "/");
    EXPECT_FALSE(port_.dip32Indicator);  // nothing else is refreshed
    EXPECT_EQ(port_.exchanges, 0);
    EXPECT_EQ(job.slot(1).wavPath, "/sounds/msg 1.wav");

    // A folder opens as a stream on this system but is no configuration.
    fs::create_directories(dir_ / "folder.zfg");
    port_.fileAnswers.push_back(Path("folder.zfg"));
    LoadConfig(job, port_);
    EXPECT_EQ(port_.Texts().back(), "Error trying to open config.");
    EXPECT_EQ(job.slot(1).wavPath, "/sounds/msg 1.wav");

    port_.fileAnswers.push_back(std::string());
    LoadConfig(job, port_);
    EXPECT_EQ(port_.Texts().back(), "No file selected!");
    EXPECT_EQ(job.slot(1).wavPath, "/sounds/msg 1.wav");
    EXPECT_EQ(port_.exchanges, 1);
    EXPECT_TRUE(port_.dip32Indicator);
}

TEST(NewFiles, TakeTheUmasksPermissionsAndReplacedOnesKeepTheirs) {
    test::ScratchFolder dir;
    const mode_t previous = ::umask(027);
    ASSERT_EQ(ReplaceFileContent(dir.file("job.zfg"), std::string("x")), 1);
    StagedFileWriter image;
    ASSERT_EQ(image.Open(dir.file("siren.zmg"), nullptr), 1);
    ASSERT_EQ(image.Commit(nullptr), 1);
    ::umask(previous);
    const auto mode = [&](const char* name) { return fs::status(dir.file(name)).permissions() & fs::perms::all; };
    const auto expected = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    EXPECT_EQ(mode("job.zfg"), expected);
    EXPECT_EQ(mode("siren.zmg"), expected);
    fs::permissions(dir.file("siren.zmg"), fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_EQ(image.Open(dir.file("siren.zmg"), nullptr), 1);
    ASSERT_EQ(image.Commit(nullptr), 1);
    EXPECT_EQ(mode("siren.zmg"), fs::perms::owner_read | fs::perms::owner_write);
}

TEST(FolderMemory, CutsAtTheLastSeparator) {
    EXPECT_EQ(FolderOfChosenFile("/a/b/job.zfg"), "/a/b/");
    EXPECT_EQ(FolderOfChosenFile("/a/job.zfg/job.zfg"), "/a/job.zfg/");
    EXPECT_EQ(FolderOfChosenFile("job.zfg"), "");
}

}  // namespace
}  // namespace zorvek

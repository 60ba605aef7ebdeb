// zorvek-cli run as a separate process on a simulated siren kept in a file:
// what it programs, reads, decodes and unpacks, and every exit status.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <regex>
#include <sstream>
#include <thread>

#include "audio/Resampler.h"
#include "audio/WaveFile.h"
#include "cli/CliOptions.h"
#include "cli/ProductionLoop.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<uint8_t> ReadBytes(const fs::path& path) {
    const std::string text = ReadText(path);
    return {text.begin(), text.end()};
}

void Shell(const std::string& command) {
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

// 16-bit mono samples of a WAV file.
std::vector<int16_t> WaveSamples(const fs::path& path) {
    zorvek::CWaveFile wave;
    if (!wave.Open(path.string()) || !wave.Parse() || !wave.ReadData()) return {};
    EXPECT_EQ(wave.Format().channels(), 1);
    EXPECT_EQ(wave.Format().bitsPerSample(), 16);
    std::vector<int16_t> out(wave.DataSize() / 2);
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<int16_t>(wave.Samples()[2 * i] | (wave.Samples()[2 * i + 1] << 8));
    return out;
}

// What the siren keeps of 22010 samples/s 16-bit audio: 12-bit precision, whole pairs.
std::vector<int16_t> Reduced(std::vector<int16_t> samples) {
    for (auto& s : samples) s = static_cast<int16_t>(s >= 32759 ? 32752 : ((s + 8) & ~15));
    if (samples.size() % 2) samples.pop_back();
    return samples;
}

class Cli : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string pattern = (fs::temp_directory_path() / ("zorvek-cli-" + std::string(info->name()) + "-XXXXXX"));
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir = pattern;
        fs::create_directories(dir / "job");
        siren = dir / "siren.bin";
    }
    void TearDown() override {
        if (!HasFailure()) fs::remove_all(dir);
    }

    std::vector<std::string> Environment() const {
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e) {
            std::string entry(*e);
            if (entry.rfind("ZORVEK_", 0) == 0 || entry.rfind("HOME=", 0) == 0 || entry.rfind("XDG_", 0) == 0) continue;
            env.push_back(entry);
        }
        env.push_back("HOME=" + dir.string());
        for (const auto& [key, value] : extraEnv) env.push_back(key + "=" + value);
        return env;
    }

    pid_t Start(const std::vector<std::string>& args, const std::string& input = "/dev/null") {
        std::vector<std::string> argv = {ZORVEK_CLI_PATH};
        argv.insert(argv.end(), args.begin(), args.end());
        std::vector<char*> cargv;
        for (auto& a : argv) cargv.push_back(a.data());
        cargv.push_back(nullptr);
        auto env = Environment();
        std::vector<char*> cenv;
        for (auto& e : env) cenv.push_back(e.data());
        cenv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, input.c_str(), O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, (dir / "stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, (dir / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        pid_t pid = -1;
        EXPECT_EQ(posix_spawn(&pid, ZORVEK_CLI_PATH, &actions, nullptr, cargv.data(), cenv.data()), 0);
        posix_spawn_file_actions_destroy(&actions);
        return pid;
    }

    // A command that hangs fails its test rather than the whole run's time limit.
    Result Wait(pid_t pid) {
        int raw = 0;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
        while (waitpid(pid, &raw, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                ADD_FAILURE() << "zorvek-cli did not end within two minutes";
                kill(pid, SIGKILL);
                waitpid(pid, &raw, 0);
                // A loop that printed on and on: its first lines say enough.
                for (const char* name : {"stdout", "stderr"})
                    if (fs::file_size(dir / name) > (1u << 16)) fs::resize_file(dir / name, 1u << 16);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        Result r;
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
        r.out = ReadText(dir / "stdout");
        r.err = ReadText(dir / "stderr");
        return r;
    }

    Result Run(const std::vector<std::string>& args, const std::string& input = "/dev/null") {
        return Wait(Start(args, input));
    }

    // The simulated siren in this test's folder.
    Result Siren(std::vector<std::string> args) {
        args.insert(args.begin(), {"--adapter", "simulator", "--simulator-file", siren.string()});
        return Run(args);
    }

    // A job file of 32 lines; `slots` maps slot number to "path,tone,beacon,volume".
    fs::path Job(const std::map<int, std::tuple<std::string, int, int, int>>& slots, int verify = 0,
                 const std::string& name = "job.zfg") {
        std::string text;
        auto line = [&](const std::string& s) { text += s + "\r\n"; };
        for (int s = 1; s <= 7; ++s) {
            auto it = slots.find(s);
            line(it == slots.end() ? "" : std::get<0>(it->second));
            line(std::to_string(it == slots.end() ? 0 : std::get<1>(it->second)));
            line(std::to_string(it == slots.end() ? 0 : std::get<2>(it->second)));
        }
        line("");
        line("0");
        line(std::to_string(verify));
        line("0");
        for (int s : {7, 1, 2, 3, 4, 5, 6}) {
            auto it = slots.find(s);
            line(std::to_string(it == slots.end() ? 0 : std::get<3>(it->second)));
        }
        const fs::path path = dir / "job" / name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    // Sound files beside the job: at the siren's rate, speech at 22050, stereo at 44100.
    void MakeSounds() {
        const std::string j = (dir / "job").string();
        Shell("sox -q -R -n -r 22010 -b 16 -c 1 '" + j + "/noise.wav' synth 1.3 pinknoise vol 0.6");
        Shell("espeak-ng -w '" + j + "/speech.wav' 'Evacuate now.'");
        Shell("sox -q -n -r 44100 -b 16 -c 2 '" + j + "/stereo.wav' synth 0.7 sine 500 sine 700 vol 0.5");
    }

    fs::path dir;
    fs::path siren;
    std::map<std::string, std::string> extraEnv;
};

TEST_F(Cli, ProgramThenReadBackMatchesImageAndUnpacksToWhatWentIn) {
    MakeSounds();
    // Relative paths: taken from the job file's folder, not from where the tool runs.
    const fs::path job = Job({{7, {"noise.wav", 49, 2, 0}},
                              {1, {"speech.wav", 12, 0, 3}},
                              {2, {"stereo.wav", 0, 3, 8}},
                              {3, {"noise.wav", 5, 1, 1}}});

    Result r = Siren({"--stats", "program", job.string(), "--verify"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("Round trips: "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Modelled time: "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Programming... "), std::string::npos) << r.err;

    r = Siren({"read", (dir / "read.zmg").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    r = Run({"image", job.string(), "-o", (dir / "image.bin").string()});
    ASSERT_EQ(r.status, 0) << r.err;

    const auto flash = ReadBytes(dir / "read.zmg");
    const auto image = ReadBytes(dir / "image.bin");
    ASSERT_EQ(flash.size(), 2u << 20);
    ASSERT_GT(image.size(), 0x2100u);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), flash.begin()));
    EXPECT_TRUE(std::all_of(flash.begin() + static_cast<std::ptrdiff_t>(image.size()), flash.end(),
                            [](uint8_t b) { return b == 0xFF; }));

    // Message 1 is slot 7: the 22010 samples/s file, kept sample for sample at 12 bits.
    const auto noise = Reduced(WaveSamples(dir / "job" / "noise.wav"));
    ASSERT_GT(noise.size(), 20000u);
    r = Run({"extract", (dir / "read.zmg").string(), "--message", "1", "-o", (dir / "m1.wav").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(WaveSamples(dir / "m1.wav"), noise);
    zorvek::CWaveFile format;
    ASSERT_TRUE(format.Open((dir / "m1.wav").string()) && format.Parse());
    EXPECT_EQ(format.SampleRate(), 22010u);

    // Message 2 is slot 1: speech, resampled to 22010 samples/s on the way in.
    ASSERT_EQ(zorvek::ResampleWaveFile((dir / "job" / "speech.wav").string(), (dir / "speech-22010.wav").string()),
              zorvek::ResampleOk);
    r = Run({"extract", (dir / "read.zmg").string(), "--message=2", "-o", (dir / "m2.wav").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(WaveSamples(dir / "m2.wav"), Reduced(WaveSamples(dir / "speech-22010.wav")));

    r = Run({"info", (dir / "read.zmg").string(), "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string m1 = "{\"message\":1,\"slot\":7,\"start\":";
    EXPECT_NE(r.out.find(m1), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"samples\":" + std::to_string(noise.size()) + ","), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"wholeFlash\":true"), std::string::npos);
    EXPECT_NE(r.out.find("\"sharesAudioWith\":4"), std::string::npos);  // slot 3 names the same file
    EXPECT_NE(r.out.find("\"audioEnd\":" + std::to_string(image.size()) + ","), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"problems\":[]"), std::string::npos);

    r = Run({"info", (dir / "image.bin").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Free space:"), std::string::npos);
    EXPECT_NE(r.out.find("Double"), std::string::npos);

    // The clone goes into a second, erased siren and reads back the same.
    siren = dir / "second.bin";
    r = Siren({"write", (dir / "read.zmg").string(), "--verify"});
    ASSERT_EQ(r.status, 0) << r.err;
    r = Siren({"read", (dir / "again.zmg").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadBytes(dir / "again.zmg"), flash);
}

TEST_F(Cli, UsageErrorsExitTwo) {
    const fs::path job = Job({});
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"frobnicate"},
        {"--frobnicate", "identify"},
        {"program"},
        {"program", job.string(), "extra.zfg"},
        {"program", job.string(), "--verify", "--no-verify"},
        {"read", "x.zmg", "--verify"},
        {"info", "x.bin", "--yes"},
        {"identify", "file"},
        {"image", job.string()},
        {"extract", "x.zmg", "-o", "x.wav"},
        {"extract", "x.zmg", "--message", "8", "-o", "x.wav"},
        {"extract", "x.zmg", "--message", "one", "-o", "x.wav"},
        {"--adapter", "parallel", "identify"},
        {"--adapter"},
        {"--quiet", "--verbose", "identify"},
        {"--simulator-size", "3M", "identify"},
        {"--stats=yes", "identify"},
        {"program", job.string(), "--erase", "fast"},
        {"program", job.string(), "--write", "some"},
        {"identify", "--spi-clock", "50"},
        {"identify", "--spi-clock", "1.2.3M"},
        {"identify", "--spi-clock", "200M"},
        {"info", "x.bin", "--spi-clock", "6M"},
        {"identify", "--repeat"},
        {"--device", "A", "--device", "B", "identify"},
        {"--device", "all", "--device", "B", "program", job.string()},
        {"program", job.string(), "--repeat", "--no-verify"},
    };
    for (const auto& args : bad) {
        const Result r = Run(args);
        std::string joined;
        for (const auto& a : args) joined += a + " ";
        EXPECT_EQ(r.status, 2) << joined << r.err;
        EXPECT_NE(r.err.find("zorvek-cli: "), std::string::npos) << joined;
    }
    EXPECT_FALSE(fs::exists(siren));

    Result r = Run({"--help"});
    EXPECT_EQ(r.status, 0);
    for (const char* text :
         {"program JOB.zfg", "extract FILE --message N", "--device SERIAL", "Exit status:", "5  no adapter found"})
        EXPECT_NE(r.out.find(text), std::string::npos) << text;
    r = Run({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("zorvek-cli ", 0), 0u) << r.out;
}

TEST_F(Cli, BadJobsAndFilesFailWithoutTouchingTheSiren) {
    // A programmed siren to keep intact.
    ASSERT_EQ(Siren({"-q", "program", Job({}).string()}).status, 0);
    const auto before = ReadBytes(siren);

    Result r = Siren({"program", (dir / "job" / "missing.zfg").string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("does not exist"), std::string::npos) << r.err;

    r = Siren({"program", (dir / "job").string()});  // a folder
    EXPECT_EQ(r.status, 1) << r.err;

    // A tone the siren cannot store, from a hand-edited file.
    const fs::path odd = Job({{7, {"", 99, 0, 0}}}, 0, "odd.zfg");
    r = Siren({"program", odd.string()});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("Siren has NOT been programmed."), std::string::npos) << r.err;
    r = Run({"image", odd.string(), "-o", (dir / "odd.bin").string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(fs::exists(dir / "odd.bin"));

    // A WAV path that names nothing, and a file that is no WAV.
    std::ofstream(dir / "job" / "text.wav") << "not a wave file";
    for (const char* wav : {"nowhere.wav", "text.wav"}) {
        r = Siren({"program", Job({{1, {wav, 0, 0, 0}}}, 0, "bad.zfg").string()});
        EXPECT_EQ(r.status, 1) << wav << r.err;
    }
    // Binary junk as a job file: empty paths and zero values at worst, or a refusal.
    std::string junk(3000, '\0');
    std::mt19937 rng(5);
    for (auto& c : junk) c = static_cast<char>(rng());
    std::ofstream(dir / "job" / "junk.zfg", std::ios::binary) << junk;
    r = Siren({"program", (dir / "job" / "junk.zfg").string()});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(ReadBytes(siren), before);

    // Files that are too short to be images, or missing.
    std::ofstream(dir / "short.bin") << "tiny";
    r = Run({"info", (dir / "short.bin").string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("too short"), std::string::npos) << r.err;
    EXPECT_EQ(Run({"info", (dir / "none.bin").string()}).status, 1);
    EXPECT_EQ(Run({"extract", (dir / "short.bin").string(), "--message", "1", "-o", (dir / "x.wav").string()}).status,
              1);
    EXPECT_FALSE(fs::exists(dir / "x.wav"));
    // An erased siren decodes, and says it holds nothing.
    std::ofstream(dir / "erased.zmg", std::ios::binary) << std::string(0x40000, '\xFF');
    r = Run({"info", (dir / "erased.zmg").string()});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("erased"), std::string::npos) << r.out;
}

TEST_F(Cli, ImageRefusesAJobTooBigForTheFlash) {
    Shell("sox -q -R -n -r 22010 -b 16 -c 1 '" + (dir / "job" / "long.wav").string() + "' synth 10 whitenoise vol 0.3");
    const fs::path job = Job({{1, {"long.wav", 0, 0, 0}}});
    Result r = Run({"--simulator-size", "256K", "image", job.string(), "-o", (dir / "big.bin").string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Chosen files too big for flash chip"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir / "big.bin"));
    r = Run({"image", job.string(), "-o", (dir / "big.bin").string()});  // 2 MiB by default
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_GT(fs::file_size(dir / "big.bin"), 0x40000u);
}

TEST_F(Cli, VerificationDifferenceExitsFour) {
    // A bit that never programs to 0, in the audio of an empty job (0x00 0x88 0x00).
    extraEnv["ZORVEK_SIMULATOR_FAULTS"] = "weak-bit=0x2100:0";
    Result r = Siren({"program", Job({}).string(), "--verify"});
    EXPECT_EQ(r.status, 4) << r.err;
    EXPECT_NE(r.err.find("Error verifying!"), std::string::npos) << r.err;
    r = Siren({"program", Job({}, 1).string()});  // the job's own Verify line
    EXPECT_EQ(r.status, 4) << r.err;
    r = Siren({"program", Job({}, 1).string(), "--no-verify"});
    EXPECT_EQ(r.status, 0) << r.err;
}

TEST_F(Cli, DamagedJobsAndEmptyImagesAreRefusedAndWritesVerify) {
    const auto withText = [&](const std::string& name, const std::string& text) {
        std::ofstream(dir / "job" / name, std::ios::binary) << text;
        return (dir / "job" / name).string();
    };
    std::string verifyYes = ReadText(Job({}, 1));
    verifyYes.replace(verifyYes.find("\r\n1\r\n0\r\n") + 2, 1, "verify-yes");
    for (const auto& [job, named] :
         {std::pair{withText("empty.zfg", ""), "0 lines"}, std::pair{withText("two.zfg", "\r\n3\r\n"), "2 lines"},
          std::pair{withText("yes.zfg", verifyYes), "line 24 is \"verify-yes\""}}) {
        const Result r = Siren({"program", job});
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_NE(r.err.find(named), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(siren)) << "the siren was touched";
    }
    // Loaded as the window loads it: the 2-line job is an empty job.
    ASSERT_EQ(Siren({"-q", "program", (dir / "job" / "two.zfg").string(), "--lenient"}).status, 0);
    const auto programmed = ReadBytes(siren);

    std::ofstream(dir / "empty.zmg").close();
    Result r = Siren({"write", (dir / "empty.zmg").string()});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("empty"), std::string::npos) << r.err;
    EXPECT_EQ(ReadBytes(siren), programmed);

    // Writes verify unless told not to; a read that fails while verifying is a failed run.
    std::ofstream(dir / "in.zmg", std::ios::binary) << std::string(0x3000, '\x5A');
    extraEnv["ZORVEK_SIMULATOR_FAULTS"] = "weak-bit=0x2000:0";
    EXPECT_EQ(Siren({"write", (dir / "in.zmg").string()}).status, 4);
    EXPECT_EQ(Siren({"write", (dir / "in.zmg").string(), "--no-verify"}).status, 0);
    extraEnv["ZORVEK_SIMULATOR_FAULTS"] = "read-error-at=0x1000";
    r = Siren({"write", (dir / "in.zmg").string(), "--write", "all"});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("could not be verified: the siren or the adapter stopped answering"), std::string::npos)
        << r.err;

    // Written once, the same file again changes nothing; the simulated FT2232D keeps 6 MHz.
    extraEnv.erase("ZORVEK_SIMULATOR_FAULTS");
    EXPECT_EQ(Siren({"write", (dir / "in.zmg").string()}).status, 0);
    r = Siren({"write", (dir / "in.zmg").string(), "--stats", "--spi-clock", "30M"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("Sectors erased: 0\nPages written: 0\n"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("SPI clock: 6.00 MHz"), std::string::npos) << r.err;
}

TEST_F(Cli, ABrokenWriteExitsWithItsOwnStatusAndWords) {
    std::ofstream(dir / "in.zmg", std::ios::binary) << std::string(0x3000, '\x5A');
    const std::string in = (dir / "in.zmg").string();
    // The described procedure: every step of a full write, each fault meets.
    Result r = Siren({"--stats", "write", in, "--write", "all"});
    ASSERT_EQ(r.status, 0) << r.err;
    const long calls = std::stol(r.err.substr(r.err.find("Adapter calls: ") + 15));
    struct Case {
        std::string faults;
        int status;
        const char* words;
    };
    std::vector<Case> cases = {{"unplug-after=0", 5, "No siren programmer found"},
                               {"open-fails", 5, "Could not open device"},
                               {"stuck-busy-after=0", 1, "still busy"},
                               {"stuck-busy-after=20", 1, "still busy"},
                               {"read-error-at=0x2000", 1, "could not be verified"},
                               {"weak-bit=0x2000:0", 4, "Error verifying"}};
    for (long at : {3L, calls / 4, calls / 2, calls - 4})
        cases.push_back({"unplug-after=" + std::to_string(at), 1, "Check connections"});
    for (const Case& c : cases) {
        extraEnv["ZORVEK_SIMULATOR_FAULTS"] = c.faults;
        r = Siren({"write", in, "--write", "all"});
        EXPECT_EQ(r.status, c.status) << c.faults << "\n" << r.err;
        EXPECT_NE(r.err.find(c.words), std::string::npos) << c.faults << "\n" << r.err;
    }
}

TEST_F(Cli, AnInterruptedFirmwareUpdateIsRestoredByTheNextOne) {
    ASSERT_EQ(Siren({"-q", "program", Job({}).string()}).status, 0);
    std::ofstream(dir / "fw.hex") << ":04E000000102030412\r\n:00000001FF\r\n";
    const std::string hex = (dir / "fw.hex").string();
    const auto before = ReadBytes(siren);
    // Count the adapter calls of a clean update on a copy, then unplug near its end.
    fs::copy_file(siren, dir / "copy.bin");
    Result r = Run({"--adapter", "simulator", "--simulator-file", (dir / "copy.bin").string(), "--stats", "firmware",
                    hex, "--yes"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto updated = ReadBytes(dir / "copy.bin");
    const long calls = std::stol(r.err.substr(r.err.find("Adapter calls: ") + 15));
    const fs::path recoveryFolder = dir / ".local" / "share" / "Zorvek";
    EXPECT_FALSE(fs::exists(recoveryFolder) && !fs::is_empty(recoveryFolder)) << "recovery file left";

    extraEnv["ZORVEK_SIMULATOR_FAULTS"] = "unplug-after=" + std::to_string(calls - 40);
    r = Siren({"firmware", hex, "--yes"});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find(recoveryFolder.string()), std::string::npos) << r.err;
    extraEnv.clear();
    // Another siren's copy, named explicitly, is refused.
    const fs::path recovery = fs::directory_iterator(recoveryFolder)->path();
    std::string foreign = ReadText(recovery);
    std::fill(foreign.begin() + 16, foreign.end(), '\x33');
    std::ofstream(dir / "foreign.bin", std::ios::binary) << foreign;
    r = Siren({"firmware", hex, "--yes", "--restore-from", (dir / "foreign.bin").string()});
    EXPECT_EQ(r.status, 1) << r.err;

    r = Siren({"firmware", hex, "--yes", "--restore-from", recovery.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("restored from it"), std::string::npos) << r.err;
    EXPECT_EQ(ReadBytes(siren), updated);
    EXPECT_NE(ReadBytes(siren), before);
}

TEST_F(Cli, NoAdapterExitsFiveWithAdvice) {
    Result r = Siren({"--device", "FT0042", "identify"});
    EXPECT_EQ(r.status, 5) << r.err;
    r = Siren({"--device", "SIM0001", "identify"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Highest address: 0x1FFFFF"), std::string::npos) << r.out;
    r = Siren({"--simulator-size", "512K", "identify"});
    EXPECT_NE(r.out.find("Highest address: 0x7FFFF"), std::string::npos) << r.out;

    extraEnv["ZORVEK_SIMULATOR_FAULTS"] = "no-device";
    r = Siren({"read", (dir / "out.zmg").string()});
    EXPECT_EQ(r.status, 5);
    EXPECT_NE(r.err.find("No siren programmer found."), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir / "out.zmg"));
    extraEnv["ZORVEK_SIMULATOR_FAULTS"] = "open-fails";
    r = Siren({"program", Job({}).string()});
    EXPECT_EQ(r.status, 5);
    EXPECT_NE(r.err.find("Could not open device."), std::string::npos) << r.err;
}

TEST_F(Cli, SeveralAdaptersAreListedAndOneMustBeChosen) {
    extraEnv["ZORVEK_SIMULATOR_COUNT"] = "3";
    Result r = Siren({"adapters", "--json"});
    EXPECT_EQ(r.status, 0) << r.err;
    for (const char* serial : {"\"SIM0001\"", "\"SIM0002\"", "\"SIM0003\""})
        EXPECT_NE(r.out.find(serial), std::string::npos) << r.out;
    r = Siren({"identify"});
    EXPECT_EQ(r.status, 5);
    EXPECT_NE(r.err.find("SIM0001, SIM0002 and SIM0003"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("--device"), std::string::npos) << r.err;
    // Each simulated adapter keeps its own flash.
    r = Siren({"--device", "SIM0002", "program", Job({}).string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::exists(dir / "siren-SIM0002.bin"));
    EXPECT_FALSE(fs::exists(siren));
    EXPECT_EQ(Siren({"--device", "SIM0004", "identify"}).status, 5);
    EXPECT_EQ(Siren({"--device", "SIM0001", "--device", "SIM0002", "identify"}).status, 2);
}

TEST_F(Cli, SelfTestRoundTripOnTheSimulatedSiren) {
    Result r = Siren({"--simulator-size", "256K", "selftest", "-o", (dir / "backup.zmg").string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("SIM0001"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Result: PASSED"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("KiB/s"), std::string::npos) << r.out;
    EXPECT_TRUE(fs::exists(dir / "backup.zmg"));
}

TEST_F(Cli, FirmwareAsksFirstAndGoesAheadWithYes) {
    ASSERT_EQ(Siren({"-q", "program", Job({}).string()}).status, 0);
    const auto before = ReadBytes(siren);
    std::vector<uint8_t> firmware(0x200);
    std::mt19937 rng(9);
    for (auto& b : firmware) b = static_cast<uint8_t>(rng());
    std::ofstream(dir / "fw.bin", std::ios::binary).write(reinterpret_cast<const char*>(firmware.data()), 0x200);
    Shell("srec_cat '" + (dir / "fw.bin").string() + "' -binary -offset 0xE000 -o '" + (dir / "fw.hex").string() +
          "' -intel");

    // No terminal to ask on: refused, nothing touched.
    Result r = Siren({"firmware", (dir / "fw.hex").string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--yes"), std::string::npos) << r.err;
    EXPECT_EQ(ReadBytes(siren), before);
    EXPECT_EQ(Siren({"firmware", (dir / "none.hex").string(), "--yes"}).status, 1);

    r = Siren({"firmware", (dir / "fw.hex").string(), "--yes"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto after = ReadBytes(siren);
    EXPECT_TRUE(std::equal(firmware.begin(), firmware.end(), after.begin() + 0x100));
    EXPECT_TRUE(std::equal(before.begin() + 0x10000, before.end(), after.begin() + 0x10000));
    EXPECT_TRUE(std::equal(before.begin(), before.begin() + 0x100, after.begin()));
}

TEST_F(Cli, CtrlCDuringProgrammingCancels) {
    MakeSounds();
    const fs::path job = Job({{7, {"noise.wav", 0, 0, 0}}, {1, {"speech.wav", 0, 0, 0}}});
    // Every answer of the siren takes a millisecond, so programming lasts seconds.
    extraEnv["ZORVEK_SIMULATOR_FAULTS"] = "slow=1000";
    const pid_t pid = Start({"--adapter", "simulator", "--simulator-file", siren.string(), "program", job.string()});
    bool programming = false;
    for (int i = 0; i < 3000 && !programming; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        programming = ReadText(dir / "stderr").find("Programming... ") != std::string::npos;
    }
    ASSERT_TRUE(programming) << ReadText(dir / "stderr");
    ASSERT_EQ(kill(pid, SIGINT), 0);
    const Result r = Wait(pid);
    EXPECT_EQ(r.status, 3) << r.err;
    EXPECT_NE(r.err.find("cancelled"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("Programming stopped because"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("siren programmed"), std::string::npos) << r.err;
    // What the cut left: the table is there, the audio after the cut is erased flash.
    const Result info = Run({"info", siren.string()});
    EXPECT_NE(info.out.find("audio erased from 0x"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("(an interrupted programming?)"), std::string::npos) << info.out;
}

TEST_F(Cli, ProgressLinesTellElapsedTimeTimeLeftAndSpeed) {
    // 18 s of sound, each answer of the siren a millisecond: programming takes seconds.
    Shell("sox -q -R -n -r 22010 -b 16 -c 1 '" + (dir / "job" / "long.wav").string() + "' synth 18 pinknoise vol 0.6");
    const fs::path job = Job({{7, {"long.wav", 0, 0, 0}}});
    extraEnv["ZORVEK_SIMULATOR_FAULTS"] = "slow=1000";
    const Result r = Siren({"program", job.string(), "--write", "all"});
    ASSERT_EQ(r.status, 0) << r.err;
    // Not a terminal: plain lines, one per tenth, each with the figures known by then.
    EXPECT_NE(r.err.find("Programming... 0%, 0:0"), std::string::npos) << r.err;
    EXPECT_TRUE(std::regex_search(r.err, std::regex("Programming\\.\\.\\. [0-9]+%, [0-9]+:[0-9]{2} elapsed, "
                                                    "about [0-9]+ s left, [0-9.]+ KiB/s\\n")))
        << r.err;
}

// Production runs. Lines of the log, as written.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST_F(Cli, RepeatProgramsSirenAfterSirenLogsEachAndSumsUp) {
    std::ofstream(dir / "zero.zmg", std::ios::binary) << std::string(70000, '\0');
    // Three sirens come and go; the second has a bit that never programs.
    extraEnv["ZORVEK_SIMULATOR_FAULTS"] = "sirens=3,weak-siren=2,weak-bit=0x100:0";
    const fs::path log = dir / "log.jsonl";
    const pid_t pid = Start({"--adapter", "simulator", "--simulator-file", siren.string(), "write",
                             (dir / "zero.zmg").string(), "--repeat", "--log", log.string(), "--erase", "auto"});
    for (int i = 0; i < 1500 && Lines(ReadText(dir / "stdout")).size() < 3; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_EQ(kill(pid, SIGINT), 0);
    const Result r = Wait(pid);
    EXPECT_EQ(r.status, 4) << r.err;  // the worst siren: a difference
    const auto out = Lines(r.out);
    ASSERT_EQ(out.size(), 4u) << r.out;
    EXPECT_NE(out[0].find("SIM0001: siren 1 PASS"), std::string::npos) << out[0];
    EXPECT_NE(out[1].find("SIM0001: siren 2 FAIL"), std::string::npos) << out[1];
    EXPECT_NE(out[1].find("Location 256."), std::string::npos) << out[1];
    EXPECT_NE(out[2].find("siren 3 PASS"), std::string::npos) << out[2];
    EXPECT_EQ(out[3].rfind("Total: 3 sirens, 2 passed, 1 failed, mean ", 0), 0u) << out[3];

    const auto lines = Lines(ReadText(log));
    ASSERT_EQ(lines.size(), 3u);
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& l = lines[i];
        EXPECT_EQ(l.front(), '{');
        EXPECT_EQ(l.back(), '}');
        for (const char* field : {"\"time\":\"", "\"adapter\":\"SIM0001\"", "\"signature\":\"0x14\"", "\"crc32\":\"",
                                  "\"erase\":\"auto\"", "\"seconds\":", "\"roundTrips\":"})
            EXPECT_NE(l.find(field), std::string::npos) << field << " in " << l;
        EXPECT_NE(l.find(i == 1 ? "\"outcome\":\"fail\"" : "\"outcome\":\"pass\""), std::string::npos) << l;
    }
    EXPECT_NE(lines[1].find("\"failure\":\"Error verifying!"), std::string::npos) << lines[1];
    EXPECT_NE(lines[0].find("\"failure\":\"\"}"), std::string::npos) << lines[0];
}

TEST_F(Cli, CtrlCMidSirenEndsItsReportAndTheLoop) {
    std::ofstream(dir / "zero.zmg", std::ios::binary) << std::string(70000, '\0');
    extraEnv["ZORVEK_SIMULATOR_FAULTS"] = "sirens=2,slow=1000";
    const fs::path log = dir / "log.jsonl";
    const pid_t pid = Start({"--adapter", "simulator", "--simulator-file", siren.string(), "write",
                             (dir / "zero.zmg").string(), "--repeat", "--log", log.string(), "--write", "all"});
    bool erasing = false;  // each of its polls takes a millisecond: seconds in all
    for (int i = 0; i < 3000 && !erasing; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        erasing = ReadText(dir / "stderr").find("Erasing... ") != std::string::npos;
    }
    ASSERT_TRUE(erasing) << ReadText(dir / "stderr");
    ASSERT_EQ(kill(pid, SIGINT), 0);
    const Result r = Wait(pid);
    EXPECT_EQ(r.status, 3) << r.err;
    const auto out = Lines(r.out);
    ASSERT_EQ(out.size(), 2u) << r.out;
    EXPECT_NE(out[0].find("siren 1 FAIL"), std::string::npos) << out[0];
    EXPECT_NE(out[0].find(": cancelled"), std::string::npos) << out[0];
    EXPECT_EQ(out[1].rfind("Total: 1 siren, 0 passed, 1 failed", 0), 0u) << out[1];
    const auto lines = Lines(ReadText(log));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("\"outcome\":\"cancelled\""), std::string::npos) << lines[0];
}

TEST_F(Cli, AProductionRunThatCannotGoOnSaysWhyAndExitsWithTheWorst) {
    std::ofstream(dir / "zero.zmg", std::ios::binary) << std::string(70000, '\0');
    const std::string in = (dir / "zero.zmg").string(), log = (dir / "log.jsonl").string();
    struct Case {
        std::vector<std::string> args;
        std::map<std::string, std::string> env;
        int status;
        const char* words;
    };
    const Case cases[] = {
        {{"--log", log}, {{"ZORVEK_SIMULATOR_FAULTS", "signature=0xFF"}}, 1, "no siren answers (signature 0xFF)"},
        {{"--log", log}, {{"ZORVEK_SIMULATOR_FAULTS", "unplug-after=5"}}, 5, "the adapter stopped answering"},
        // Lost while the loop waits for a siren: the loop ends, it does not wait on.
        {{"--repeat"}, {{"ZORVEK_SIMULATOR_FAULTS", "unplug-after=5"}}, 5, "the adapter stopped answering"},
        // Every siren passed, but one that cannot be logged stops its adapter's loop.
        {{"--device", "all", "--log", "/proc/no-log.jsonl"}, {{"ZORVEK_SIMULATOR_COUNT", "2"}}, 1, "; stopping."},
    };
    for (const Case& c : cases) {
        extraEnv = c.env;
        std::vector<std::string> args = {"write", in};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const Result r = Siren(args);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_NE(r.err.find(c.words), std::string::npos) << r.err;
    }
    // A difference is milder than a failure, which is milder than no adapter; a cancel mildest.
    using namespace zorvek::cli;
    EXPECT_EQ(WorseExitStatus(kExitVerify, kExitFailed), kExitFailed);
    EXPECT_EQ(WorseExitStatus(kExitFailed, kExitVerify), kExitFailed);
    EXPECT_EQ(WorseExitStatus(kExitCancelled, kExitVerify), kExitVerify);
    EXPECT_EQ(WorseExitStatus(kExitNoAdapter, kExitFailed), kExitNoAdapter);
    EXPECT_EQ(WorseExitStatus(kExitSuccess, kExitCancelled), kExitCancelled);
}

TEST_F(Cli, GangProgramsTheSameImageIntoEveryAdapter) {
    MakeSounds();
    const fs::path job = Job({{7, {"noise.wav", 0, 0, 0}}, {1, {"speech.wav", 0, 0, 0}}});
    ASSERT_EQ(Run({"image", job.string(), "-o", (dir / "image.bin").string()}).status, 0);
    extraEnv["ZORVEK_SIMULATOR_COUNT"] = "3";
    Result r = Siren({"program", job.string(), "--device", "all"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Total: 3 sirens, 3 passed, 0 failed"), std::string::npos) << r.out;
    const auto image = ReadBytes(dir / "image.bin");
    for (const char* file : {"siren.bin", "siren-SIM0002.bin", "siren-SIM0003.bin"}) {
        const auto flash = ReadBytes(dir / file);
        ASSERT_EQ(flash.size(), 2u << 20) << file;
        EXPECT_TRUE(std::equal(image.begin(), image.end(), flash.begin())) << file;
    }
    // The worst result decides: an adapter that is not there.
    r = Siren({"program", job.string(), "--device", "SIM0002", "--device", "SIM0009"});
    EXPECT_EQ(r.status, 5) << r.err;
    EXPECT_NE(r.out.find("SIM0002: siren 1 PASS"), std::string::npos) << r.out;
}

}  // namespace

// Crafted input ends in a message and a failure status: never a crash, a hang,
// a lost file, a firmware update nobody asked for or a terminal taken over.
TEST_F(Cli, HostileInputIsRefusedWithAMessage) {
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    ASSERT_EQ(Run({"image", Job({}).string(), "-o", (dir / "image.bin").string()}).status, 0);
    fs::create_directory(dir / "empty");
    const struct {
        std::vector<std::string> args;
        int status;
        std::string said;
    } cases[] = {
        {{"info", "/dev/zero"}, 1, "is a device"},
        {{"program", "/dev/zero"}, 1, "is a device"},
        {{"info", (dir / "fifo").string()}, 1, "is a FIFO"},
        {{"extract", (dir / "image.bin").string(), "--message", "1", "-o", (dir / "fifo").string()}, 1, "is a FIFO"},
        {{"extract", (dir / "image.bin").string(), "--message", "1", "-o", (dir / "empty").string()}, 1, "a folder"},
    };
    for (const auto& c : cases) {
        const Result r = Run(c.args);
        EXPECT_EQ(r.status, c.status) << c.args[0] << " " << c.args[1] << "\n" << r.err;
        EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
    }
    EXPECT_TRUE(fs::is_directory(dir / "empty"));

    // A job that turns the firmware update on: said, and refused without --yes.
    std::istringstream lines(ReadText(Job({})));
    std::string text, line;
    for (int number = 1; std::getline(lines, line); ++number)
        text += (number == 22 ? "fw.hex\r" : number == 23 ? "1\r" : line) + "\n";
    std::ofstream(dir / "job" / "firmware.zfg", std::ios::binary) << text;
    Result r = Siren({"program", (dir / "job" / "firmware.zfg").string()});
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_NE(r.err.find((dir / "job" / "fw.hex").string() + ". Nothing was done; add --yes"), std::string::npos)
        << r.err;
    EXPECT_FALSE(fs::exists(siren));

    // Escape sequences in a job's path reach the terminal as text.
    r = Siren({"program", Job({{1, {"\x1b]0;taken\x07\x1b[31m.wav", 0, 0, 0}}}).string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.find('\x1b'), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("\\x1B]0;taken\\x07"), std::string::npos) << r.err;

    // The simulated siren's flash that cannot be kept fails the run.
    std::ofstream(dir / "not-a-folder") << "x";
    r = Run({"--adapter", "simulator", "--simulator-file", (dir / "not-a-folder" / "siren.bin").string(), "program",
             Job({}).string()});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("could not be saved"), std::string::npos) << r.err;
}

TEST_F(Cli, TheBusIsReleasedAfterEveryCommandAndRealChipsAreNamed) {
    std::ofstream(dir / "fw.hex") << ":04E000000102030412\r\n:00000001FF\r\n";
    const std::string image = (dir / "siren.zmg").string();
    extraEnv["ZORVEK_SIMULATOR_FAULTS"] = "chip=W25Q16JV,protect=0x1C";
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"program", Job({}).string()}, {"read", image}, {"write", image},
          {"firmware", (dir / "fw.hex").string(), "--yes"}, {"identify"}}) {
        std::vector<std::string> withStats = args;
        withStats.insert(withStats.begin(), "--stats");
        Result r = Siren(withStats);
        EXPECT_EQ(r.status, 0) << args[0] << r.err;
        EXPECT_NE(r.err.find("Bus released at close: yes"), std::string::npos) << args[0] << r.err;
    }
    Result r = Siren({"identify", "--json"});
    EXPECT_NE(r.out.find("\"maker\":\"Winbond\",\"part\":\"W25Q16JV\",\"jedecId\":\"EF 40 15\""), std::string::npos)
        << r.out;
    extraEnv["ZORVEK_SIMULATOR_FAULTS"] = "stuck-busy-after=2";
    r = Siren({"--stats", "program", Job({}).string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Bus released at close: yes"), std::string::npos) << r.err;
}

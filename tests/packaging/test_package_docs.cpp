// SPDX-License-Identifier: MIT
// Checks what the package carries beside the programs: the manual pages against
// `zorvek-cli --help`, their lint, the compressed files, the metainfo, and the
// built .deb under lintian.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path kSourceDir = ZORVEK_SOURCE_DIR;
const fs::path kBinaryDir = ZORVEK_BINARY_DIR;
const fs::path kDocsDir = ZORVEK_DOCS_BINARY_DIR;  // the built man pages and changelog
const std::string kVersion = ZORVEK_PROJECT_VERSION;
const std::string kPackage = ZORVEK_PACKAGE_NAME;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

struct Output {
    int status = -1;
    std::string text;  // standard output, then standard error
};

Output Shell(const std::string& command) {
    Output out;
    if (FILE* pipe = popen((command + " 2>&1").c_str(), "r")) {
        char buffer[4096];
        for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.text.append(buffer, n);
        const int status = pclose(pipe);
        out.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return out;
}

bool Have(const std::string& tool) {
    return Shell("command -v " + Quote(tool)).status == 0;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::set<std::string> Matches(const std::string& text, const std::regex& pattern, int group = 1) {
    std::set<std::string> found;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern); it != std::sregex_iterator(); ++it)
        found.insert((*it)[group].str());
    return found;
}

// Options as they are written in running text: "-v", "--simulator-file", not "12-bit".
const std::regex kOptionPattern(R"((?:^|[\s\[|(,])(--?[A-Za-z][A-Za-z0-9-]*))");

// ---------------------------------------------------------------------------
// What `zorvek-cli --help` lists.

struct HelpFacts {
    std::set<std::string> commands;  // "  name ..." lines under "Commands:"
    std::set<std::string> options;
    std::set<std::string> variables;  // $NAME
    std::set<std::string> exitStatuses;
};

HelpFacts ParseHelp(const std::string& help) {
    HelpFacts facts;
    std::string section;
    for (const std::string& line : Lines(help)) {
        if (!line.empty() && line[0] != ' ') section = line;
        std::smatch m;
        if (section == "Commands:" && std::regex_search(line, m, std::regex(R"(^  ([a-z][a-z0-9-]*)\b)")))
            facts.commands.insert(m[1]);
        if (section == "Exit status:" && std::regex_search(line, m, std::regex(R"(^\s+([0-9]+)\s)")))
            facts.exitStatuses.insert(m[1]);
        facts.options.merge(Matches(" " + line, kOptionPattern));
        facts.variables.merge(Matches(line, std::regex(R"(\$([A-Z][A-Z0-9_]+))")));
    }
    return facts;
}

// ---------------------------------------------------------------------------
// A man(7) page's tagged paragraphs: the line after each .TP, as plain text, by section.

std::vector<std::string> MacroArguments(const std::string& rest) {
    std::vector<std::string> args;
    std::string arg;
    bool quoted = false, inArg = false;
    for (char c : rest) {
        if (c == '"') {
            quoted = !quoted;
            inArg = true;
        } else if (c == ' ' && !quoted) {
            if (inArg) args.push_back(arg);
            arg.clear();
            inArg = false;
        } else {
            arg += c;
            inArg = true;
        }
    }
    if (inArg) args.push_back(arg);
    return args;
}

std::string PlainText(const std::string& roffLine) {
    std::string text = roffLine;
    if (!text.empty() && text[0] == '.') {
        const size_t space = text.find(' ');
        const std::string macro = text.substr(1, space == std::string::npos ? std::string::npos : space - 1);
        const auto args = MacroArguments(space == std::string::npos ? "" : text.substr(space + 1));
        // .BR, .IR, ... alternate fonts between words written without a space.
        static const std::set<std::string> alternating = {"BR", "RB", "BI", "IB", "IR", "RI"};
        const std::string separator = alternating.count(macro) ? "" : " ";
        text.clear();
        for (size_t i = 0; i < args.size(); ++i) text += (i ? separator : "") + args[i];
    }
    text = std::regex_replace(text, std::regex(R"(\\f(\[[^\]]*\]|\(..|.))"), "");
    text = std::regex_replace(text, std::regex(R"(\\\(dq)"), "\"");
    text = std::regex_replace(text, std::regex(R"(\\[&%])"), "");
    return std::regex_replace(text, std::regex(R"(\\-)"), "-");
}

std::map<std::string, std::vector<std::string>> TagsBySection(const std::string& roff) {
    std::map<std::string, std::vector<std::string>> tags;
    std::string section;
    bool tagNext = false;
    for (const std::string& line : Lines(roff)) {
        if (line.rfind(".SH ", 0) == 0) {
            section = PlainText(line);
        } else if (line == ".TP") {
            tagNext = true;
        } else if (tagNext) {
            tags[section].push_back(PlainText(line));
            tagNext = false;
        }
    }
    return tags;
}

#ifdef ZORVEK_CLI_PATH
TEST(ZorvekCliManPage, DescribesWhatHelpListsAndNothingElse) {
    const Output help = Shell(Quote(ZORVEK_CLI_PATH) + " --help");
    ASSERT_EQ(help.status, 0) << help.text;
    const HelpFacts facts = ParseHelp(help.text);
    ASSERT_GE(facts.commands.size(), 5u) << "cannot read the commands from --help:\n" << help.text;
    ASSERT_GE(facts.options.size(), 10u) << help.text;

    const std::string pageName = "packaging/man/zorvek-cli.1";
    auto tags = TagsBySection(ReadFile(kSourceDir / pageName));
    std::set<std::string> commands, options, variables, statuses;
    for (const auto& tag : tags["COMMANDS"]) commands.insert(tag.substr(0, tag.find(' ')));
    for (const auto& tag : tags["OPTIONS"]) options.merge(Matches(" " + tag, kOptionPattern));
    for (const auto& tag : tags["ENVIRONMENT"]) variables.merge(Matches(tag, std::regex(R"(([A-Z][A-Z0-9_]+))")));
    for (const auto& tag : tags["EXIT STATUS"]) statuses.insert(tag);

    const auto compare = [&](const char* what, const std::set<std::string>& inHelp, const std::set<std::string>& inPage,
                             const char* section, bool pageMayHaveMore) {
        for (const auto& item : inHelp)
            EXPECT_TRUE(inPage.count(item)) << "zorvek-cli --help lists the " << what << " " << item << ", but "
                                            << pageName << " has no .TP entry for it under " << section;
        if (pageMayHaveMore) return;
        for (const auto& item : inPage)
            EXPECT_TRUE(inHelp.count(item)) << pageName << " describes the " << what << " " << item << " under "
                                            << section << ", but zorvek-cli --help does not list it";
    };
    compare("command", facts.commands, commands, "COMMANDS", false);
    compare("option", facts.options, options, "OPTIONS", false);
    compare("exit status", facts.exitStatuses, statuses, "EXIT STATUS", false);
    // The page also names variables that --help leaves to the window's documentation.
    compare("environment variable", facts.variables, variables, "ENVIRONMENT", true);
}
#endif

std::vector<fs::path> BuiltManPages() {
    std::vector<fs::path> pages;
    for (const auto& entry : fs::directory_iterator(kDocsDir / "man"))
        if (entry.path().extension() == ".1") pages.push_back(entry.path());
    return pages;
}

TEST(ManPages, LintClean) {
    const bool mandoc = Have("mandoc"), groff = Have("groff");
    if (!mandoc && !groff) GTEST_SKIP() << "neither mandoc nor groff is installed";
    const auto pages = BuiltManPages();
    ASSERT_FALSE(pages.empty());
    for (const auto& page : pages) {
        SCOPED_TRACE(page.string());
        if (mandoc) {
            // Style hints included: they are what lintian and Debian's reviewers see.
            const Output lint = Shell("mandoc -T lint -W style " + Quote(page.string()));
            EXPECT_EQ(lint.text, "");
        }
        if (groff) {
            const Output lint = Shell("groff -ww -z -man -Tutf8 " + Quote(page.string()));
            EXPECT_EQ(lint.status, 0);
            EXPECT_EQ(lint.text, "");
        }
    }
}

// gzip -9n: no file name or time stamp in the header, so rebuilds give the same bytes.
TEST(CompressedDocs, CarryNoNameOrTimeAndDecompress) {
    std::vector<fs::path> files = {kDocsDir / "doc" / "changelog.gz"};
    for (const auto& page : BuiltManPages()) files.push_back(page.string() + ".gz");
    for (const auto& file : files) {
        SCOPED_TRACE(file.string());
        const std::string bytes = ReadFile(file);
        ASSERT_GE(bytes.size(), 18u);
        EXPECT_EQ(bytes.substr(0, 3), std::string("\x1f\x8b\x08", 3));
        EXPECT_EQ(bytes[3] & 0x08, 0) << "the header names the file";
        EXPECT_EQ(bytes.substr(4, 4), std::string(4, '\0')) << "the header has a time stamp";
        EXPECT_EQ(bytes[8], 2) << "not compressed with -9";
        EXPECT_EQ(Shell("gzip -t " + Quote(file.string())).status, 0);
    }
}

// The newest "## VERSION - DATE" of CHANGELOG.md.
std::pair<std::string, std::string> NewestChangelogRelease() {
    std::smatch m;
    const std::string text = ReadFile(kSourceDir / "CHANGELOG.md");
    std::regex_search(text, m, std::regex(R"(\n## (\S+) - (\d{4}-\d{2}-\d{2})\n)"));
    return {m[1], m[2]};
}

TEST(Changelog, IsADebianChangelogOfThisVersion) {
    if (!Have("dpkg-parsechangelog")) GTEST_SKIP() << "dpkg-dev is not installed";
    const Output parsed =
        Shell("echo; zcat " + Quote((kDocsDir / "doc" / "changelog.gz").string()) + " | dpkg-parsechangelog -l -");
    ASSERT_EQ(parsed.status, 0) << parsed.text;
    EXPECT_EQ(parsed.text.find("warning"), std::string::npos) << parsed.text;
    EXPECT_NE(parsed.text.find("\nSource: " + kPackage + "\n"), std::string::npos) << parsed.text;
    EXPECT_NE(parsed.text.find("\nVersion: " + kVersion + "\n"), std::string::npos) << parsed.text;
    EXPECT_EQ(NewestChangelogRelease().first, kVersion);
}

TEST(Metainfo, ValidatesAndNamesThisReleaseAndTheMenuEntry) {
    const fs::path metainfo = kSourceDir / "packaging" / "com.zorvek.SirenProgrammer.metainfo.xml";
    const std::string xml = ReadFile(metainfo);
    const auto [version, date] = NewestChangelogRelease();
    EXPECT_NE(xml.find("<release version=\"" + version + "\" date=\"" + date + "\""), std::string::npos)
        << "the newest <release> must be CHANGELOG.md's " << version << " of " << date;
    std::smatch m;
    ASSERT_TRUE(std::regex_search(xml, m, std::regex(R"(<launchable type="desktop-id">([^<]+)<)")));
    EXPECT_TRUE(fs::exists(kSourceDir / "packaging" / m[1].str())) << m[1];

    if (!Have("appstreamcli")) GTEST_SKIP() << "appstream is not installed";
    const Output result = Shell("appstreamcli validate --no-net " + Quote(metainfo.string()));
    EXPECT_EQ(result.status, 0) << result.text;
    for (const auto& line : Lines(result.text))  // errors and warnings; info and pedantic notes may stay
        EXPECT_FALSE(line.rfind("E:", 0) == 0 || line.rfind("W:", 0) == 0) << line;
}

// ---------------------------------------------------------------------------
// The .deb as Debian's own checker sees it.

TEST(DebianPackage, HasItsDocumentationAndLintianFindsNoErrorOrWarning) {
#ifdef ZORVEK_INSTRUMENTED_BUILD
    GTEST_SKIP() << "a sanitizer or fuzzing build is not packaged";
#endif
    if (!Have("lintian") || !Have("dpkg-deb")) GTEST_SKIP() << "lintian is not installed";
    std::string pattern = (fs::temp_directory_path() / "zorvek-deb-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const fs::path out = pattern;
    struct Cleanup {
        fs::path path;
        ~Cleanup() {
            std::error_code ignored;
            fs::remove_all(path, ignored);
        }
    } cleanup{out};

    const Output cpack = Shell("cd " + Quote(kBinaryDir.string()) + " && " + Quote(ZORVEK_CPACK_COMMAND) +
                             " -G DEB -B " + Quote(out.string()));
    ASSERT_EQ(cpack.status, 0) << cpack.text;
    fs::path deb;
    for (const auto& entry : fs::directory_iterator(out))
        if (entry.path().extension() == ".deb") deb = entry.path();
    ASSERT_FALSE(deb.empty()) << cpack.text;

    const Output contents = Shell("dpkg-deb -c " + Quote(deb.string()));
    const std::string doc = "./usr/share/doc/" + kPackage + "/";
    for (const std::string& file :
         {doc + "copyright", doc + "changelog.gz", std::string("./usr/share/man/man1/zorvek-cli.1.gz"),
          std::string("./usr/share/bash-completion/completions/zorvek-cli"),
          std::string("./usr/share/metainfo/com.zorvek.SirenProgrammer.metainfo.xml")}) {
#ifndef ZORVEK_CLI_PATH
        if (file.find("zorvek-cli") != std::string::npos) continue;
#endif
        EXPECT_NE(contents.text.find(" " + file + "\n"), std::string::npos) << file << " is not in the package";
    }

    // Listen needs a sound server that Qt Multimedia can play through.
    EXPECT_NE(Shell("dpkg-deb -f " + Quote(deb.string()) + " Recommends").text.find("pipewire-pulse | pulseaudio"),
              std::string::npos);

    // Informational tags may stay; errors and warnings fail.
    const Output lintian = Shell("lintian --info --tag-display-limit 0 " + Quote(deb.string()));
    int tags = 0;
    for (const auto& line : Lines(lintian.text)) {
        // The hardening tags are informational, but the build is meant to have none.
        if (line.rfind("E: ", 0) == 0 || line.rfind("W: ", 0) == 0 || line.find(" hardening-") != std::string::npos) {
            ADD_FAILURE() << line;
            ++tags;
        }
    }
    if (tags) std::printf("%s", lintian.text.c_str());
}

}  // namespace

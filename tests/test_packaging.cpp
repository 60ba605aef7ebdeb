// Checks the files that integrate the program with a Linux desktop: the udev rule,
// the desktop entry and icon, the help page and the install layout that the
// program's help lookup relies on.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "spi/OpenFailure.h"

namespace fs = std::filesystem;

namespace {

const fs::path kSourceDir = ZORVEK_SOURCE_DIR;
const fs::path kBinaryDir = ZORVEK_BINARY_DIR;
const fs::path kRuleFile = kSourceDir / "packaging" / "70-zorvek-siren-programmer.rules";
const fs::path kDesktopFile = kSourceDir / "packaging" / "com.zorvek.SirenProgrammer.desktop";
const fs::path kHelpPage = kSourceDir / "help" / "ZorvekHelp" / "helphtml.htm";
// The id given to QGuiApplication::setDesktopFileName; the desktop file must carry it.
const std::string kAppId = "com.zorvek.SirenProgrammer";

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string shellQuote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

struct CommandResult {
    int exitCode = -1;
    std::string output;  // standard output and standard error
};

CommandResult run(const std::string& command) {
    CommandResult result;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return result;
    std::array<char, 4096> buffer{};
    size_t n = 0;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) result.output.append(buffer.data(), n);
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

bool haveTool(const std::string& name) {
    return run("command -v " + shellQuote(name)).exitCode == 0;
}

// ---------------------------------------------------------------------------
// udev rules: a small parser for the subset of the syntax that a rule file uses.

struct UdevToken {
    std::string key;        // SUBSYSTEM, ATTR, ENV, TAG, ...
    std::string attribute;  // the part in braces, if any
    std::string op;         // ==, !=, =, +=, -=, :=
    std::string value;
};

struct UdevRule {
    int line = 0;
    std::vector<UdevToken> tokens;

    std::optional<UdevToken> find(const std::string& key, const std::string& attribute = "") const {
        for (const auto& token : tokens)
            if (token.key == key && token.attribute == attribute) return token;
        return std::nullopt;
    }
};

struct UdevParse {
    std::vector<UdevRule> rules;
    std::vector<std::string> errors;
};

bool isMatchOp(const std::string& op) {
    return op == "==" || op == "!=";
}

// Keys that may only be compared, and keys that may only be assigned.
const std::set<std::string> kMatchOnlyKeys = {"ACTION",     "DEVPATH", "KERNEL",  "KERNELS", "SUBSYSTEM",
                                              "SUBSYSTEMS", "DRIVER",  "DRIVERS", "ATTRS",   "TAGS",
                                              "TEST",       "PROGRAM", "RESULT",  "DEVTYPE", "CONST"};
const std::set<std::string> kAssignOnlyKeys = {"MODE", "OWNER", "GROUP", "RUN", "LABEL", "GOTO", "IMPORT", "OPTIONS"};
const std::set<std::string> kEitherKeys = {"ATTR", "ENV", "TAG", "NAME", "SYMLINK", "SYSCTL", "SECLABEL"};

UdevParse parseUdevRules(const std::string& text) {
    UdevParse parse;
    std::istringstream in(text);
    std::string physical;
    std::string logical;
    int lineNumber = 0;
    int ruleLine = 0;
    static const std::regex token(R"(^\s*([A-Z_]+)(\{([^}]+)\})?\s*(==|!=|\+=|-=|:=|=)\s*\"([^\"]*)\"\s*(,|$))");
    while (std::getline(in, physical)) {
        ++lineNumber;
        if (logical.empty()) ruleLine = lineNumber;
        if (!physical.empty() && physical.back() == '\\') {
            logical += physical.substr(0, physical.size() - 1);
            continue;
        }
        logical += physical;
        const auto first = logical.find_first_not_of(" \t");
        if (first == std::string::npos || logical[first] == '#') {
            logical.clear();
            continue;
        }
        UdevRule rule;
        rule.line = ruleLine;
        std::string rest = logical.substr(first);
        std::smatch m;
        while (!rest.empty()) {
            if (!std::regex_search(rest, m, token)) {
                parse.errors.push_back("line " + std::to_string(ruleLine) + ": cannot parse '" + rest + "'");
                break;
            }
            UdevToken t{m[1].str(), m[3].str(), m[4].str(), m[5].str()};
            const bool known = kMatchOnlyKeys.count(t.key) || kAssignOnlyKeys.count(t.key) || kEitherKeys.count(t.key);
            if (!known) parse.errors.push_back("line " + std::to_string(ruleLine) + ": unknown key " + t.key);
            if (kMatchOnlyKeys.count(t.key) && !isMatchOp(t.op))
                parse.errors.push_back("line " + std::to_string(ruleLine) + ": " + t.key + " can only be compared");
            if (kAssignOnlyKeys.count(t.key) && isMatchOp(t.op))
                parse.errors.push_back("line " + std::to_string(ruleLine) + ": " + t.key + " can only be assigned");
            rule.tokens.push_back(t);
            rest = m.suffix().str();
            if (rest.find_first_not_of(" \t") == std::string::npos) break;
        }
        parse.rules.push_back(rule);
        logical.clear();
    }
    if (!logical.empty()) parse.errors.push_back("file ends inside a continued line");
    return parse;
}

TEST(UdevRuleParser, RejectsMalformedRules) {
    EXPECT_TRUE(parseUdevRules("# comment\n\nSUBSYSTEM==\"usb\", TAG+=\"uaccess\"\n").errors.empty());
    EXPECT_EQ(parseUdevRules("SUBSYSTEM==\"usb\", \\\n  TAG+=\"uaccess\"\n").rules.at(0).tokens.size(), 2u);
    EXPECT_FALSE(parseUdevRules("SUBSYSTEM=\"usb\", TAG+=\"uaccess\"\n").errors.empty());  // assigns a match key
    EXPECT_FALSE(parseUdevRules("SUBSYSTEM==\"usb\" TAG+=\"uaccess\"\n").errors.empty());  // missing comma
    EXPECT_FALSE(parseUdevRules("SUBSYSTEM==\"usb, TAG+=\"uaccess\"\n").errors.empty());   // unbalanced quote
    EXPECT_FALSE(parseUdevRules("MODE==\"0660\"\n").errors.empty());                       // compares an assignment
    EXPECT_FALSE(parseUdevRules("SUBSYSTEM==\"usb\", \\\n").errors.empty());               // dangling continuation
}

TEST(UdevRule, GivesTheSeatUserEachSupportedAdapter) {
    ASSERT_TRUE(fs::exists(kRuleFile)) << kRuleFile;
    const UdevParse parse = parseUdevRules(readFile(kRuleFile));
    for (const auto& error : parse.errors) ADD_FAILURE() << error;
    ASSERT_FALSE(parse.rules.empty());

    std::set<std::string> products;
    for (const auto& rule : parse.rules) {
        SCOPED_TRACE("rule at line " + std::to_string(rule.line));
        const auto subsystem = rule.find("SUBSYSTEM");
        ASSERT_TRUE(subsystem.has_value());
        EXPECT_EQ(subsystem->op, "==");
        EXPECT_EQ(subsystem->value, "usb");
        // Only the USB device node, not its interfaces, carries the permission.
        const auto devtype = rule.find("ENV", "DEVTYPE");
        ASSERT_TRUE(devtype.has_value());
        EXPECT_EQ(devtype->value, "usb_device");
        const auto vendor = rule.find("ATTR", "idVendor");
        const auto product = rule.find("ATTR", "idProduct");
        ASSERT_TRUE(vendor.has_value() && product.has_value());
        EXPECT_EQ(vendor->op, "==");
        EXPECT_EQ(vendor->value, "0403");
        EXPECT_EQ(product->op, "==");
        products.insert(product->value);
        const auto tag = rule.find("TAG");
        ASSERT_TRUE(tag.has_value());
        EXPECT_EQ(tag->op, "+=");  // "=" would drop tags other rules set
        EXPECT_EQ(tag->value, "uaccess");
        // Access goes to the seat's user only: no world- or group-wide grant.
        EXPECT_FALSE(rule.find("MODE").has_value());
        EXPECT_FALSE(rule.find("GROUP").has_value());
        EXPECT_FALSE(rule.find("ACTION").has_value());
    }
    // The chips the program can use; the FT4232H (6011) is listed but never opened.
    EXPECT_EQ(products, (std::set<std::string>{"6010", "6014"}));
}

TEST(UdevRule, FileNameSortsBeforeTheSeatRules) {
    // uaccess is applied by 73-seat-late.rules; udev reads rule files in lexical order of their names.
    const std::string name = kRuleFile.filename().string();
    EXPECT_TRUE(std::regex_match(name, std::regex(R"([0-9]{2}-[a-z0-9-]+\.rules)"))) << name;
    EXPECT_LT(name, std::string("73-seat-late.rules"));
}

TEST(UdevRule, PassesUdevadmVerifyWhereAvailable) {
    if (!haveTool("udevadm") || run("udevadm verify --help").exitCode != 0)
        GTEST_SKIP() << "this udevadm has no verify command";
    const CommandResult result = run("udevadm verify " + shellQuote(kRuleFile.string()));
    EXPECT_EQ(result.exitCode, 0) << result.output;
}

// ---------------------------------------------------------------------------
// Desktop entry and icon.

std::map<std::string, std::string> desktopEntryKeys(const std::string& text) {
    std::map<std::string, std::string> keys;
    std::istringstream in(text);
    std::string line;
    bool inMainGroup = false;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[') {
            inMainGroup = (line == "[Desktop Entry]");
            continue;
        }
        const auto eq = line.find('=');
        if (inMainGroup && eq != std::string::npos) keys[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return keys;
}

TEST(DesktopEntry, StartsTheProgramWithItsIdAndIcon) {
    ASSERT_TRUE(fs::exists(kDesktopFile)) << kDesktopFile;
    EXPECT_EQ(kDesktopFile.stem().string(), kAppId);
    auto keys = desktopEntryKeys(readFile(kDesktopFile));
    EXPECT_EQ(keys["Type"], "Application");
    EXPECT_EQ(keys["Name"], "Zorvek USB Siren Programmer");
    EXPECT_EQ(keys["Exec"], "zorvek-programmer");  // the program takes no arguments
    EXPECT_EQ(keys["Terminal"], "false");
    EXPECT_EQ(keys["Icon"], kAppId);
    const fs::path icons = kSourceDir / "packaging" / "icons";
    EXPECT_TRUE(fs::exists(icons / "scalable" / "apps" / (kAppId + ".svg")));
    for (const char* size : {"16x16", "32x32", "48x48", "256x256"})
        EXPECT_TRUE(fs::exists(icons / size / "apps" / (kAppId + ".png"))) << size;
}

TEST(DesktopEntry, PassesDesktopFileValidate) {
    if (!haveTool("desktop-file-validate")) GTEST_SKIP() << "desktop-file-validate is not installed";
    const CommandResult result = run("desktop-file-validate " + shellQuote(kDesktopFile.string()));
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(result.output, "");  // hints and warnings count too
}

TEST(DesktopEntry, IconIsWellFormedSvg) {
    if (!haveTool("xmllint")) GTEST_SKIP() << "xmllint is not installed";
    const fs::path svg = kSourceDir / "packaging" / "icons" / "scalable" / "apps" / (kAppId + ".svg");
    const CommandResult result = run("xmllint --noout " + shellQuote(svg.string()));
    EXPECT_EQ(result.exitCode, 0) << result.output;
}

// ---------------------------------------------------------------------------
// Help page.

TEST(HelpPage, LinksResolveAndNothingIsFetchedFromOutside) {
    ASSERT_TRUE(fs::exists(kHelpPage)) << kHelpPage;
    const std::string html = readFile(kHelpPage);
    std::set<std::string> ids;
    static const std::regex idPattern(R"re(\sid="([^"]+)")re");
    for (auto it = std::sregex_iterator(html.begin(), html.end(), idPattern); it != std::sregex_iterator(); ++it) {
        EXPECT_TRUE(ids.insert((*it)[1].str()).second) << "duplicate id " << (*it)[1].str();
    }
    static const std::regex anchorPattern(R"re(href="#([^"]*)")re");
    int anchors = 0;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), anchorPattern); it != std::sregex_iterator();
         ++it, ++anchors) {
        EXPECT_TRUE(ids.count((*it)[1].str())) << "link to missing section #" << (*it)[1].str();
    }
    EXPECT_GT(anchors, 20);
    // The page must work offline and from any folder: no remote or relative resources.
    static const std::regex resourcePattern(R"re((src|href)="(?!#)([^"]*)")re");
    std::smatch m;
    EXPECT_FALSE(std::regex_search(html, m, resourcePattern)) << "external resource " << m[0].str();
    EXPECT_EQ(html.find("url("), std::string::npos);
}

TEST(HelpPage, IsWellFormed) {
    if (!haveTool("xmllint")) GTEST_SKIP() << "xmllint is not installed";
    // The page is kept well-formed XML as well as HTML, so a strict parser catches broken markup.
    const CommandResult result = run("xmllint --noout " + shellQuote(kHelpPage.string()));
    EXPECT_EQ(result.exitCode, 0) << result.output;
}

// ---------------------------------------------------------------------------
// Install layout and maintainer scripts.

std::string cmakeFromCache() {
    const std::string cache = readFile(kBinaryDir / "CMakeCache.txt");
    std::smatch m;
    if (std::regex_search(cache, m, std::regex(R"(CMAKE_COMMAND:INTERNAL=([^\n]+))"))) return m[1].str();
    return "";
}

class TempDir {
public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "zorvek-packaging-XXXXXX").string();
        path_ = mkdtemp(pattern.data()) ? fs::path(pattern) : fs::path();
    }
    ~TempDir() {
        std::error_code ignored;
        if (!path_.empty()) fs::remove_all(path_, ignored);
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

TEST(InstallLayout, HelpPageIsFoundFromTheProgramFolder) {
    const std::string cmake = cmakeFromCache();
    if (cmake.empty() || !fs::exists(kBinaryDir / "cmake_install.cmake")) GTEST_SKIP() << "no configured build tree";
    TempDir root;
    ASSERT_FALSE(root.path().empty());
    // The udev rule may go to an absolute folder (where udev reads rules), so the
    // install is staged below DESTDIR rather than into this machine.
    const fs::path prefix = root.path() / "usr" / "local";
    const CommandResult result =
        run("DESTDIR=" + shellQuote(root.path().string()) + " " + shellQuote(cmake) + " --install " +
            shellQuote(kBinaryDir.string()) + " --component data --prefix " + shellQuote("/usr/local"));
    ASSERT_EQ(result.exitCode, 0) << result.output;

    // The program looks for <program folder>/../share/zorvek-siren-programmer/ZorvekHelp/helphtml.htm.
    const fs::path programFolder = prefix / "bin";
    fs::create_directories(programFolder);  // holds the programs, which this component does not install
    EXPECT_TRUE(fs::exists(programFolder / ".." / "share" / "zorvek-siren-programmer" / "ZorvekHelp" / "helphtml.htm"));
    EXPECT_TRUE(fs::exists(prefix / "share" / "applications" / (kAppId + ".desktop")));
    EXPECT_TRUE(fs::exists(prefix / "share" / "icons" / "hicolor" / "scalable" / "apps" / (kAppId + ".svg")));
    EXPECT_TRUE(fs::exists(prefix / "share" / "icons" / "hicolor" / "48x48" / "apps" / (kAppId + ".png")));
    std::smatch rules;
    const std::string cache = readFile(kBinaryDir / "CMakeCache.txt");
    ASSERT_TRUE(std::regex_search(cache, rules, std::regex(R"(ZORVEK_UDEV_RULES_INSTALL_DIR:STRING=([^\n]+))")));
    const fs::path rulesDir = rules[1].str();
    EXPECT_TRUE(fs::exists((rulesDir.is_absolute() ? root.path() / rulesDir.relative_path() : prefix / rulesDir) /
                           "70-zorvek-siren-programmer.rules"));
    // The access-denied advice names that same file.
    if (rulesDir.is_absolute()) {
        EXPECT_EQ(std::string(zorvek::kUdevRulePath), (rulesDir / "70-zorvek-siren-programmer.rules").string());
    }
    EXPECT_EQ(readFile(prefix / "share" / "zorvek-siren-programmer" / "ZorvekHelp" / "helphtml.htm"),
              readFile(kHelpPage));
}

TEST(MaintainerScripts, ParseAndLeaveAnOfflineRootAlone) {
    for (const char* name : {"postinst", "postrm"}) {
        SCOPED_TRACE(name);
        const fs::path script = kSourceDir / "packaging" / "deb" / name;
        ASSERT_TRUE(fs::exists(script));
        EXPECT_EQ(run("sh -n " + shellQuote(script.string())).exitCode, 0);
        // With DPKG_ROOT set (installing into another root) udev of this machine is not touched.
        TempDir root;
        const std::string action = std::string(name) == "postinst" ? "configure" : "purge";
        const CommandResult ok = run("env DPKG_ROOT=" + shellQuote(root.path().string()) + " sh " +
                                     shellQuote(script.string()) + " " + action);
        EXPECT_EQ(ok.exitCode, 0) << ok.output;
        EXPECT_EQ(ok.output, "");
        EXPECT_NE(run("sh " + shellQuote(script.string()) + " no-such-action").exitCode, 0);
    }
}

}  // namespace

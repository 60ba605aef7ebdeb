// The catalogues in the tree: complete, and every translated format takes the
// same arguments in the same order as its English text (a wrong one would
// print garbage or crash when the numbers go in).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace {

std::string Conversions(const std::string& text) {
    static const std::regex conversion("%[-+ #0]*[0-9]*(\\.[0-9]+)?(hh|h|ll|l|z)?[diouxXfeEgGcsp%]|%[0-9]");
    std::string out;
    for (std::sregex_iterator it(text.begin(), text.end(), conversion), end; it != end; ++it) {
        std::string c = it->str();
        c.erase(1, c.find_first_not_of("-+ #0123456789.", 1) - 1);  // flags and widths may differ
        out += c;
    }
    return out;
}

}  // namespace

TEST(TranslationCatalogues, CompleteAndTheirFormatsMatchTheEnglish) {
    for (const char* language : {"de", "fr"}) {
        const std::filesystem::path ts =
            std::filesystem::path(ZORVEK_SOURCE_DIR) / "translations" / (std::string("zorvek_") + language + ".ts");
        std::ifstream in(ts);
        ASSERT_TRUE(in) << ts;
        std::stringstream buffer;
        buffer << in.rdbuf();
        const std::string text = buffer.str();
        EXPECT_EQ(text.find("type=\"unfinished\""), std::string::npos) << ts << " has untranslated texts";
        static const std::regex message("<source>([^<]*)</source>\\s*<translation>([^<]*)</translation>");
        int count = 0;
        for (std::sregex_iterator it(text.begin(), text.end(), message), end; it != end; ++it, ++count)
            EXPECT_EQ(Conversions((*it)[2]), Conversions((*it)[1])) << language << ": " << (*it)[1];
        EXPECT_GT(count, 200) << ts;
    }
}

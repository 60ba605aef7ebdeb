#include "job/Translate.h"

#include <mutex>
#include <vector>

namespace zorvek {
namespace {

// Workers of a production station show texts from their own threads.
std::mutex g_lock;
TextTranslator g_translator;

}  // namespace

void SetTextTranslator(TextTranslator translator) {
    std::lock_guard<std::mutex> hold(g_lock);
    g_translator = std::move(translator);
}

bool HasTextTranslator() {
    std::lock_guard<std::mutex> hold(g_lock);
    return static_cast<bool>(g_translator);
}

std::string Translated(std::string_view english) {
    std::lock_guard<std::mutex> hold(g_lock);
    if (!g_translator || english.empty()) return std::string(english);
    std::optional<std::string> translation = g_translator(english);
    return translation && !translation->empty() ? *translation : std::string(english);
}

std::string TranslatedLines(std::string_view text) {
    if (!HasTextTranslator()) return std::string(text);
    std::vector<std::string_view> lines;
    for (size_t start = 0;;) {
        const size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    // A marked text may itself span lines: the longest run of lines that is one
    // marked text is translated as a whole, else the line alone.
    std::string out;
    for (size_t i = 0; i < lines.size();) {
        size_t taken = 1;
        std::string piece(lines[i]);
        for (size_t j = lines.size(); j > i + 1; --j) {
            const char* from = lines[i].data();
            const std::string_view run(from, static_cast<size_t>(lines[j - 1].data() + lines[j - 1].size() - from));
            const std::string translated = Translated(run);
            if (translated != run) {
                piece = translated;
                taken = j - i;
                break;
            }
        }
        if (taken == 1) piece = Translated(lines[i]);
        if (i > 0) out += '\n';
        out += piece;
        i += taken;
    }
    return out;
}

}  // namespace zorvek

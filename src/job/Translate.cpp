#include "job/Translate.h"

#include <mutex>

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
    std::string out;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find('\n', start);
        out += Translated(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) break;
        out += '\n';
        start = end + 1;
    }
    return out;
}

}  // namespace zorvek

#include "job/TextFormat.h"

#include <cstdarg>
#include <cstdio>

#include "job/Translate.h"

namespace zorvek {

std::string Format(const char* english, ...) {
    // A marked format is put in the user's language before the numbers go in.
    const std::string translated = HasTextTranslator() ? Translated(english) : std::string();
    const char* format = translated.empty() ? english : translated.c_str();
    va_list args;
    va_start(args, english);
    va_list again;
    va_copy(again, args);
    const int n = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string text;
    if (n > 0) {
        text.resize(static_cast<size_t>(n) + 1);
        std::vsnprintf(text.data(), text.size(), format, again);
        text.resize(static_cast<size_t>(n));
    }
    va_end(again);
    return text;
}

std::string JsonQuoted(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20) {
                    out += Format("\\u%04x", c);
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out + "\"";
}

}  // namespace zorvek

namespace zorvek {

std::string EscapeControlCharacters(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        // C1 controls arrive in UTF-8 as 0xC2 0x80-0x9F; raw they would be CSI and friends.
        const bool c1 = c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                        static_cast<unsigned char>(text[i + 1]) <= 0x9F;
        if (c1) {
            out += Format("\\x%02X", static_cast<unsigned char>(text[++i]));
        } else if ((c < 0x20 && c != '\n' && c != '\t') || c == 0x7F) {
            out += Format("\\x%02X", c);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

}  // namespace zorvek

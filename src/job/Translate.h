#pragma once
// The user's language for the core's texts, without Qt. The core marks a text
// it shows with ZT (lupdate is told: -tr-function-alias QT_TR_NOOP+=ZT); a
// front end installs a translator from its catalogues, and its ports put each
// line of a message, caption or progress text into the user's language. Format
// strings are put in the language before the numbers (Format does it), so a
// translation may move words around them.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Marks a user-visible English text; the text itself, usable in constants.
#define ZT(text) text

namespace zorvek {

// The translation of one whole English text, or nothing when there is none.
using TextTranslator = std::function<std::optional<std::string>(std::string_view english)>;

// Installed once by a front end before any text is shown (none: English).
void SetTextTranslator(TextTranslator translator);
bool HasTextTranslator();

// `english` in the user's language, or as it is when it has no translation.
std::string Translated(std::string_view english);
// Each line of `text` translated on its own: messages are marked lines joined
// with paths and details that stay as they are.
std::string TranslatedLines(std::string_view text);

}  // namespace zorvek

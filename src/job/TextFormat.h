#pragma once
// printf-style formatting into a std::string, for messages and reports.
#include <cstddef>
#include <string>
#include <string_view>

namespace zorvek {

// The whole text, however long; empty if the format itself is bad. A format
// marked with ZT comes out in the user's language (job/Translate.h).
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// What a table in an enum's order holds for `value`; `fallback` past its end.
template <typename Enum, typename Value, size_t N>
constexpr Value EnumLookup(Enum value, const Value (&table)[N], Value fallback) {
    const auto index = static_cast<size_t>(value);
    return index < N ? table[index] : fallback;
}

// `s` as a JSON string literal, quotes included.
std::string JsonQuoted(const std::string& s);

// `text` fit for a terminal: control characters (but line breaks and tabs),
// as a file name in a job file may carry, shown as \xNN instead of acting as
// escape sequences that recolour the terminal or retitle its window.
std::string EscapeControlCharacters(std::string_view text);

}  // namespace zorvek

#pragma once
// printf-style formatting into a std::string, for messages and reports.
#include <cstddef>
#include <string>

namespace zorvek {

// The whole text, however long; empty if the format itself is bad.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// What a table in an enum's order holds for `value`; `fallback` past its end.
template <typename Enum, typename Value, size_t N>
constexpr Value EnumLookup(Enum value, const Value (&table)[N], Value fallback) {
    const auto index = static_cast<size_t>(value);
    return index < N ? table[index] : fallback;
}

// `s` as a JSON string literal, quotes included.
std::string JsonQuoted(const std::string& s);

}  // namespace zorvek

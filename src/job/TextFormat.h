#pragma once
// printf-style formatting into a std::string, for messages and reports.
#include <string>

namespace zorvek {

// The whole text, however long; empty if the format itself is bad. A format
// marked with ZT comes out in the user's language (job/Translate.h).
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// `s` as a JSON string literal, quotes included.
std::string JsonQuoted(const std::string& s);

}  // namespace zorvek

// Texts for readers that expect UTF-8: the terminal and JSON. The program's texts are bytes:
// Latin-1 from the data files, UTF-8 where the user typed them on a console.
#pragma once

#include <string>
#include <string_view>

namespace ostravel {

// The text in UTF-8: a valid multi-byte UTF-8 sequence stays as it is, every other byte from
// 128 on is a Latin-1 character and is encoded.
std::string ToUtf8(std::string_view text);

// A JSON string literal, quotes included, of the text as ToUtf8 reads it; control characters
// and the C1 range become \u escapes.
std::string JsonString(std::string_view text);

// The shortest number text that reads back as value ("null" for a value that is not finite).
std::string JsonNumber(double value);

}  // namespace ostravel

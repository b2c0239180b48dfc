// Replacing every occurrence of a text in a text.
#pragma once

#include <string>
#include <string_view>

namespace ostravel {

// Replaces every occurrence of find in text by repl, searching again from the start after
// each replacement. An empty find leaves the text unchanged. A repl that holds find is put in
// in one pass. Callers pass a repl shorter than find otherwise: a longer one can grow the
// text on every rescan, without bound in time.
void ReplaceAll(std::string& text, std::string_view find, std::string_view repl);
// Replaces every occurrence in one pass from left to right; the inserted text is never searched.
void ReplaceEachOnce(std::string& text, std::string_view find, std::string_view repl);

}  // namespace ostravel

#include "runtime/replace_all.h"

#include <utility>

namespace ostravel {
namespace {

constexpr char kUnitSeparator = '\x1f';

// Replaces the first occurrence of find, searches the new text again from its start, and so on
// until none is left; repl must not contain find. Instead of restarting the search at the
// start, the text is consumed from the left into out: no occurrence ends inside out, so a
// match at the end of out is always the first occurrence of the whole text. After a match the
// replacement is fed in again ahead of the rest, which finds occurrences formed across its
// seams exactly as a new search from the start would.
void ReplaceRescanning(std::string& text, std::string_view find, std::string_view repl) {
  std::size_t first = text.find(find);
  if (first == std::string::npos) return;
  const std::size_t m = find.size();
  std::string out(text, 0, first);
  out.reserve(text.size());
  std::string pending;  // characters of replacements still to be fed, the next one last
  std::size_t j = first;
  // Number of characters at the end of out copied from text with no match since; once it
  // reaches m - 1, the next occurrence lies wholly in text and a plain search finds it.
  std::size_t fresh = first;

  auto ends_with_find = [&] {
    return out.size() >= m && out.back() == find.back() &&
           std::string_view(out).substr(out.size() - m) == find;
  };
  auto replace_tail = [&] {
    out.resize(out.size() - m);
    pending.append(repl.rbegin(), repl.rend());
    fresh = 0;
  };

  while (!pending.empty() || j < text.size()) {
    if (!pending.empty()) {
      out.push_back(pending.back());
      pending.pop_back();
      fresh = 0;
      if (ends_with_find()) replace_tail();
    } else if (fresh + 1 >= m) {
      const std::size_t k = text.find(find, j + 1 - m);
      if (k == std::string::npos) {
        out.append(text, j, std::string::npos);
        break;
      }
      out.append(text, j, k + m - j);
      j = k + m;
      replace_tail();
    } else {
      out.push_back(text[j++]);
      ++fresh;
      if (ends_with_find()) replace_tail();
    }
  }
  text = std::move(out);
}

}  // namespace

void ReplaceEachOnce(std::string& text, std::string_view find, std::string_view repl) {
  std::size_t p = text.find(find);
  if (p == std::string::npos) return;
  std::string out;
  out.reserve(text.size());
  std::size_t last = 0;
  for (; p != std::string::npos; p = text.find(find, last)) {
    out.append(text, last, p - last);
    out.append(repl);
    last = p + find.size();
  }
  out.append(text, last, std::string::npos);
  text = std::move(out);
}

void ReplaceAll(std::string& text, std::string_view find, std::string_view repl) {
  if (find.empty()) return;
  if (repl.find(find) != std::string_view::npos) {
    // Through the unit separator, so that the search never finds its own output. Every
    // separator already in the text therefore becomes repl as well. The second step is one
    // pass: a one-character search text cannot form across a seam, and a repl that holds the
    // separator itself would otherwise send the same step round for ever.
    if (find.size() != 1 || find[0] != kUnitSeparator) {
      ReplaceRescanning(text, find, std::string_view(&kUnitSeparator, 1));
    }
    ReplaceEachOnce(text, std::string_view(&kUnitSeparator, 1), repl);
    return;
  }
  ReplaceRescanning(text, find, repl);
}

}  // namespace ostravel

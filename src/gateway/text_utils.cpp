#include "gateway/text_utils.h"

#include <cstdio>
#include <utility>

#include "platform/platform.h"
#include "runtime/file_io.h"

namespace ostravel {
namespace {

constexpr char kUnitSeparator = '\x1f';
constexpr std::string_view kMark = "%%";

std::string_view TrimBlanks(std::string_view text) {
  const std::size_t begin = text.find_first_not_of(' ');
  if (begin == std::string_view::npos) return {};
  return text.substr(begin, text.find_last_not_of(' ') - begin + 1);
}

// Replaces every occurrence in one pass from left to right; the inserted text is never searched.
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

// Replaces one character by another; find() skips the long stretches between them quickly.
void ReplaceChar(std::string& text, char from, char to) {
  for (std::size_t p = text.find(from); p != std::string::npos; p = text.find(from, p + 1)) {
    text[p] = to;
  }
}

}  // namespace

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

void HtmlEscape(std::string& text) {
  text = std::string(TrimBlanks(text));
  ReplaceAll(text, "&", "&amp;");
  ReplaceAll(text, "\"", "&quot;");
  ReplaceAll(text, "<", "&lt;");
  ReplaceAll(text, ">", "&gt;");
}

std::string GetRawField(std::string_view list, std::string_view name) {
  // A field starts at the beginning of the list or after a NUL and never holds a NUL itself.
  for (std::size_t start = 0; start <= list.size();) {
    std::size_t end = list.find('\0', start);
    if (end == std::string_view::npos) end = list.size();
    std::string_view field = list.substr(start, end - start);
    if (field.size() > name.size() && field.substr(0, name.size()) == name &&
        field[name.size()] == '=') {
      return std::string(field.substr(name.size() + 1));
    }
    start = end + 1;
  }
  return {};
}

std::string GetField(std::string_view list, std::string_view name) {
  const std::string raw = GetRawField(list, name);
  return std::string(TrimBlanks(raw));
}

std::string UrlDecode(std::string request) {
  ReplaceChar(request, '+', ' ');
  ReplaceAll(request, "?", "?&");
  ReplaceAll(request, "HTTP", "&HTTP=");
  // The fields are split before the escapes are decoded, so that an "&" typed into a field,
  // which a browser sends as %26, stays in its value.
  ReplaceChar(request, '&', '\0');

  auto hex_value = [](char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  };
  // One pass: a decoded character is copied out and never examined again.
  std::string decoded;
  decoded.reserve(request.size());
  std::size_t copied = 0;
  for (std::size_t p = request.find('%'); p != std::string::npos; p = request.find('%', p + 1)) {
    if (p + 2 >= request.size()) break;
    const int high = hex_value(request[p + 1]);
    const int low = hex_value(request[p + 2]);
    if (high < 0 || low < 0 || (high == 0 && low == 0)) continue;
    decoded.append(request, copied, p - copied);
    decoded.push_back(static_cast<char>(high * 16 + low));
    copied = p + 3;
    p += 2;
  }
  decoded.append(request, copied, std::string::npos);

  ReplaceAll(decoded, "\r\n", std::string_view("\0", 1));
  return decoded;
}

std::string FillPattern(std::string_view value, std::string_view pattern) {
  std::string t(TrimBlanks(pattern));
  ReplaceChar(t, '\'', '"');
  if (value.empty()) return t;
  std::string e(value);
  HtmlEscape(e);
  // The search goes on after each inserted value, so this is one pass over the pattern.
  ReplaceEachOnce(t, kMark, e);
  return t;
}

std::string ReadTemplate(Platform& ui, const std::string& fileName, std::string_view fields) {
  std::string file;
  if (!ReadAll(fileName, file)) return {};

  std::string result;
  result.reserve(file.size() + file.size() / 4 + 2);
  std::size_t pos = 0;
  do {
    // A line ends at CR LF, LF or a lone CR; an empty file is read as one empty line.
    std::size_t end = pos;
    while (end < file.size() && file[end] != '\n' && file[end] != '\r')
      ++end;
    const std::string_view line = std::string_view(file).substr(pos, end - pos);
    pos = end;
    if (pos < file.size()) pos += file.compare(pos, 2, "\r\n") == 0 ? 2 : 1;

    std::size_t last = 0;
    for (std::size_t p = line.find(kMark); p != std::string_view::npos;
         p = line.find(kMark, last)) {
      const std::size_t close = line.find(kMark, p + 2);
      if (close == std::string_view::npos) {
        ui.Beep();
        break;
      }
      result.append(line.substr(last, p - last));
      result.append(GetField(fields, line.substr(p + 2, close - p - 2)));
      last = close + 2;
    }
    result.append(line.substr(last));
    result.append("\r\n");
  } while (pos < file.size());
  return result;
}

}  // namespace ostravel

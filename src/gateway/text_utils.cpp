#include "gateway/text_utils.h"

#include <cstdio>
#include <utility>

#include "platform/platform.h"
#include "runtime/file_io.h"
#include "runtime/replace_all.h"

namespace ostravel {
namespace {

constexpr std::string_view kMark = "%%";

std::string_view TrimBlanks(std::string_view text) {
  const std::size_t begin = text.find_first_not_of(' ');
  if (begin == std::string_view::npos) return {};
  return text.substr(begin, text.find_last_not_of(' ') - begin + 1);
}

// Replaces one character by another; find() skips the long stretches between them quickly.
void ReplaceChar(std::string& text, char from, char to) {
  for (std::size_t p = text.find(from); p != std::string::npos; p = text.find(from, p + 1)) {
    text[p] = to;
  }
}

}  // namespace

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

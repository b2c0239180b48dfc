#include "runtime/utf8_output.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "runtime/typed_text.h"

namespace ostravel {
namespace {

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xc0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3f));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xe0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3f));
    out += static_cast<char>(0x80 | (code & 0x3f));
  } else {
    out += static_cast<char>(0xf0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3f));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3f));
    out += static_cast<char>(0x80 | (code & 0x3f));
  }
}

}  // namespace

std::string ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const TypedCharacter c = ReadTypedCharacter(text, at);
    AppendUtf8(out, c.code);
    at += c.length;
  }
  return out;
}

std::string JsonString(std::string_view text) {
  std::string json = "\"";
  json.reserve(text.size() + 2);
  for (std::size_t at = 0; at < text.size();) {
    const TypedCharacter c = ReadTypedCharacter(text, at);
    at += c.length;
    if (c.code == '"' || c.code == '\\') {
      json += '\\';
      json += static_cast<char>(c.code);
    } else if (c.code == '\n') {
      json += "\\n";
    } else if (c.code == '\r') {
      json += "\\r";
    } else if (c.code == '\t') {
      json += "\\t";
    } else if (c.code < 0x20 || (c.code >= 0x7f && c.code < 0xa0)) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c.code));
      json += escape;
    } else {
      AppendUtf8(json, c.code);
    }
  }
  return json + "\"";
}

std::string JsonNumber(double value) {
  if (!std::isfinite(value)) return "null";
  char buffer[32];
  auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
  if (error != std::errc()) return "null";
  return std::string(buffer, end);
}

}  // namespace ostravel

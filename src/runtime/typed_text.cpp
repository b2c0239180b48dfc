#include "runtime/typed_text.h"

namespace ostravel {
namespace {

bool IsContinuation(unsigned char b) {
  return (b & 0xC0) == 0x80;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// What "x 10" or "× 10" stands for, given what the text holds before it (out) and after it
// (from index after). Writes the replacement and returns the index to go on from, or returns
// 0 when the text stays as typed (there is no number before it, so x is the unknown).
std::size_t PowerOfTen(std::string_view text, std::size_t after, std::string& out) {
  std::size_t back = out.find_last_not_of(' ');
  if (back == std::string::npos) return 0;
  const char before = out[back];
  const bool afterNumber = IsDigit(before) || before == '.';
  if (!afterNumber && before != ')') return 0;
  const char next = after < text.size() ? text[after] : '\0';
  if (next == '^' || next == '-' || next == '+') {
    // 1.5 x 10^-3 is 1.5E-3; after a group, (1+2) x 10^3 is (1+2)*1E3.
    out += afterNumber ? "E" : "*1E";
    return next == '^' ? after + 1 : after;
  }
  out += "*10";  // 4 x 10 is 40, 2 x 105 is 210
  return after;
}

// True when the x at index at stands between a number (or a group) and a number: the
// multiplication sign people type (2 x 3, 2x3, (1+2) x 3), not the unknown, which would give
// 2*x*3, that is 0 before any result. A capital X counts only with blanks on both sides, since
// a radical may be called X (C6H4X2).
bool IsTimesSign(std::string_view text, std::size_t at, const std::string& out) {
  const std::size_t back = out.find_last_not_of(' ');
  if (back == std::string::npos) return false;
  const char before = out[back];
  if (!IsDigit(before) && before != '.' && before != ')') return false;
  std::size_t next = at + 1;
  while (next < text.size() && text[next] == ' ')
    ++next;
  if (next >= text.size() || !(IsDigit(text[next]) || text[next] == '.')) return false;
  return text[at] == 'x' || (at > 0 && text[at - 1] == ' ' && text[at + 1] == ' ');
}

// The plain character of a superscript digit or sign (¹³, ²⁻), 0 for any other character.
char SuperscriptCharacter(char32_t code) {
  switch (code) {
    case 0xB9:
      return '1';
    case 0xB2:
      return '2';
    case 0xB3:
      return '3';
    case 0x2070:
      return '0';
    case 0x207A:
      return '+';
    case 0x207B:
      return '-';
    default:
      return code >= 0x2074 && code <= 0x2079 ? static_cast<char>('4' + (code - 0x2074)) : '\0';
  }
}

}  // namespace

TypedCharacter ReadTypedCharacter(std::string_view text, std::size_t at) {
  const auto b = static_cast<unsigned char>(text[at]);
  if (b < 0x80) return {b, 1};
  std::size_t length = 0;
  if (b >= 0xC2 && b <= 0xDF) length = 2;
  if (b >= 0xE0 && b <= 0xEF) length = 3;
  if (b >= 0xF0 && b <= 0xF4) length = 4;
  if (length == 0 || at + length > text.size()) return {b, 1};
  char32_t code = b & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) {
    const auto c = static_cast<unsigned char>(text[at + k]);
    if (!IsContinuation(c)) return {b, 1};
    code = code << 6 | (c & 0x3F);
  }
  // Overlong forms, surrogates and code points beyond Unicode are no UTF-8.
  const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
  if (overlong || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return {b, 1};
  return {code, length};
}

std::string PlainEntryText(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 8);
  // A run of superscript characters is written after one caret: ¹³C is ^13C, SO₄²⁻ is
  // SO4^2-, x² is x^2.
  bool inSuperscript = false;
  bool inConstant = false;
  for (std::size_t i = 0; i < text.size();) {
    const char ch = text[i];
    if (static_cast<unsigned char>(ch) >= 0x80) {
      const TypedCharacter c = ReadTypedCharacter(text, i);
      if (const char plain = SuperscriptCharacter(c.code)) {
        if (!inSuperscript) out += '^';
        out += plain;
        inSuperscript = true;
        i += c.length;
        continue;
      }
    }
    inSuperscript = false;
    if (ch == '<' || ch == '>') inConstant = ch == '<';  // a constant's name stays as typed
    if ((ch == 'x' || ch == 'X') && !inConstant && IsTimesSign(text, i, out)) {
      std::size_t ten = i + 1;
      while (ten < text.size() && text[ten] == ' ')
        ++ten;
      std::size_t next = 0;
      if (text.substr(ten, 2) == "10") next = PowerOfTen(text, ten + 2, out);
      if (next == 0) {
        out += '*';
        next = i + 1;
      }
      i = next;
      continue;
    }
    if (static_cast<unsigned char>(ch) < 0x80) {
      out += ch;
      ++i;
      continue;
    }
    const TypedCharacter c = ReadTypedCharacter(text, i);
    const std::size_t after = i + c.length;
    i = after;
    if (c.code >= 0x2080 && c.code <= 0x2089) {
      out += static_cast<char>('0' + (c.code - 0x2080));  // subscript digits: H₂O
    } else if (c.code == 0xD7) {                          // ×
      std::size_t ten = after;
      while (ten < text.size() && text[ten] == ' ')
        ++ten;
      if (text.substr(ten, 2) == "10") {
        if (std::size_t next = PowerOfTen(text, ten + 2, out)) {
          i = next;
          continue;
        }
      }
      out += '*';
    } else if (c.code == 0xF7) {
      out += '/';
    } else if (c.code == 0x2212) {
      out += '-';
    } else if (c.code == 0xB7 || c.code == 0x22C5 || c.code == 0x2219 || c.code == 0x2022) {
      out += "(.)";  // CuSO4·5H2O
    } else if (c.code == 0xA0) {
      out += ' ';
    } else {
      out.append(text.substr(after - c.length, c.length));
    }
  }
  return out;
}

}  // namespace ostravel

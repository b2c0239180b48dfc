#include "database/entry_rules.h"

#include "database/ini_access.h"

namespace ostravel {
namespace {

// Characters that end or change a calculation before a constant's name is looked up, and
// what each one does there.
struct Unusable {
  char c;
  const char* does;
};

constexpr Unusable kUnusableInConstants[] = {
    {' ', "blanks are dropped from calculations"},
    {';', "\";\" separates calculations"},
    {'\'', "\"'\" starts a comment"},
    {'#', "\"#\" sets the significant digits"},
    {'<', "\"<\" and \">\" enclose the name"},
    {'>', "\"<\" and \">\" enclose the name"},
    {'|', "\"|\" separates a value from its description"},
    {'[', "brackets are read as parentheses"},
    {']', "brackets are read as parentheses"},
    {'{', "braces are read as parentheses"},
    {'}', "braces are read as parentheses"},
};

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

bool HasControlCharacter(std::string_view text) {
  for (char c : text) {
    const auto code = static_cast<unsigned char>(c);
    if (code < 32 || code == 127) return true;
  }
  return false;
}

}  // namespace

std::string KeyProblem(std::string_view type, std::string_view key) {
  const std::string cannot = "The abbreviation " + Quoted(key) + " cannot be stored: ";
  if (HasControlCharacter(key)) return cannot + "it holds a control character.";
  if (key.find('=') != std::string_view::npos)
    return cannot + "\"=\" separates a key from its value in the database file.";
  if (key.starts_with(';')) return cannot + "a line starting with \";\" is a comment.";
  if (key.starts_with('[')) return cannot + "a line starting with \"[\" opens a section.";
  if (type != "Constants") return {};
  for (const Unusable& u : kUnusableInConstants) {
    if (key.find(u.c) != std::string_view::npos) {
      return "The abbreviation " + Quoted(key) +
             " cannot be used: a constant is typed as <NAME>, and " + u.does + ".";
    }
  }
  return {};
}

std::string EntryProblem(std::string_view value, std::string_view description) {
  if (HasControlCharacter(value) || HasControlCharacter(description))
    return "A value or description cannot hold control characters such as tabs.";
  if (value.find('|') != std::string_view::npos) {
    return "A value cannot contain \"|\": it separates the value from its description. "
           "Type the description in the Description field.";
  }
  const std::size_t length = value.size() + (description.empty() ? 0 : 1 + description.size());
  if (length > kMaxEntryLength) {
    return "This entry has " + std::to_string(length) +
           " characters (value, \"|\" and description); an entry can hold at most " +
           std::to_string(kMaxEntryLength) + ".";
  }
  return {};
}

}  // namespace ostravel

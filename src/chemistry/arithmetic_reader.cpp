#include "chemistry/arithmetic_reader.h"

#include <algorithm>
#include <cstdio>

#include "chemistry/element_lookup.h"
#include "chemistry/formula_composition.h"
#include "runtime/conversions.h"
#include "runtime/failure.h"
#include "runtime/typed_text.h"
#include "session/session.h"

namespace ostravel {
namespace {

constexpr std::string_view kFunctions[] = {"SQRT", "SQR", "LOG", "LN", "EXP", "PH"};

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsUpper(char c) {
  return c >= 'A' && c <= 'Z';
}
bool IsLower(char c) {
  return c >= 'a' && c <= 'z';
}
bool IsLetter(char c) {
  return IsUpper(c) || IsLower(c);
}
char Upper(char c) {
  return IsLower(c) ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

// True when the text at pos spells word (upper case) without regard to case.
bool WordAt(std::string_view text, std::size_t pos, std::string_view word) {
  if (text.size() - pos < word.size()) return false;
  for (std::size_t j = 0; j < word.size(); ++j) {
    if (Upper(text[pos + j]) != word[j]) return false;
  }
  return true;
}

std::size_t FunctionAt(std::string_view text, std::size_t pos) {
  for (std::string_view word : kFunctions) {
    if (WordAt(text, pos, word)) return word.size();
  }
  return 0;
}

// Length of the radical name that begins the text, 0 when none does.
std::size_t RadicalAt(const Session& s, std::string_view text) {
  std::string_view keys = s.lists.RadicalKeys;
  std::size_t longest = 0;
  for (std::size_t begin = 0; begin < keys.size();) {
    std::size_t end = keys.find('\0', begin);
    if (end == std::string_view::npos) end = keys.size();
    std::string_view name = keys.substr(begin, end - begin);
    if (!name.empty() && name.size() > longest && text.substr(0, name.size()) == name) {
      longest = name.size();
    }
    begin = end + 1;
  }
  return longest;
}

// True when the text is written like a molecular formula: element symbols (or radical names)
// with counts and parentheses.
bool LooksLikeFormula(const Session& s, std::string_view text) {
  bool symbols = false;
  for (std::size_t k = 0; k < text.size();) {
    const char c = text[k];
    if (IsLetter(c)) {
      std::size_t length = 0;
      if (IsUpper(c)) {
        const bool second = k + 1 < text.size() && IsLower(text[k + 1]);
        const std::string slot{c, second ? text[k + 1] : ' '};
        // D and T are hydrogen's isotopes where no element has the symbol.
        const bool hydrogenLetter = !second && (c == 'D' || c == 'T') && AtomicNumber(s, "H ") > 0;
        if (AtomicNumber(s, slot) > 0 || hydrogenLetter) length = second ? 2 : 1;
      }
      if (length == 0) length = RadicalAt(s, text.substr(k));
      if (length == 0) return false;
      symbols = true;
      k += length;
    } else {
      ++k;  // digits, periods and parentheses
    }
  }
  return symbols;
}

// Length of an isotope label ("^13" before a capital) or a charge ("^2-", "^+3") that begins
// the text at a caret (charge tells which); 0 when neither does.
std::size_t CaretLength(std::string_view text, bool& charge) {
  std::size_t digits = 1;
  while (digits < text.size() && digits <= 3 && IsDigit(text[digits]))
    ++digits;
  charge = false;
  if (digits > 1 && digits < text.size() && IsUpper(text[digits])) return digits;
  constexpr std::size_t kLongestCharge = 6;  // "^1234-"
  for (std::size_t length = std::min(text.size(), kLongestCharge); length >= 2; --length) {
    int value = 0;
    charge = ChargeSuffix(text.substr(0, length), value) == 0 && value != 0;
    if (charge) return length;
  }
  return 0;
}

// The formula-like stretch of text that starts at start: letters, digits, periods and whole
// parenthesised groups, widened over parentheses that enclose its beginning, as in (NH4)2SO4.
std::string_view FormulaExtent(std::string_view text, std::size_t start) {
  std::size_t begin = start;
  std::size_t end = start;
  while (true) {
    int depth = 0;
    std::size_t balanced = end;
    for (std::size_t k = end; k < text.size(); ++k) {
      const char c = text[k];
      if (c == '(') {
        ++depth;
      } else if (c == ')') {
        if (depth == 0) break;
        --depth;
      } else if (c == '^') {
        bool charge = false;
        const std::size_t length = CaretLength(text.substr(k), charge);
        if (length == 0) break;
        k += length - 1;
        if (charge) {  // a charge ends the formula
          if (depth == 0) balanced = k + 1;
          break;
        }
      } else if (!IsLetter(c) && !IsDigit(c) && c != '.') {
        break;
      }
      if (depth == 0) balanced = k + 1;
    }
    end = balanced;
    if (begin == 0 || text[begin - 1] != '(' || end >= text.size() || text[end] != ')') break;
    --begin;
    ++end;
  }
  return text.substr(begin, end - begin);
}

// What keeps the memory reference M<digits> from being read: a line that does not exist
// would be read as 0 by the engine. After line 1000 the numbers start again at 1 and the
// old lines up to 1000 stay.
std::string MemoryFault(const Session& s, std::string_view digits) {
  const int count = s.memory.MemoryCount;
  const bool wrapped = static_cast<int>(s.window.memories.Items.size()) > count;
  const int highest = wrapped ? kMaxMemories : count;
  const std::size_t first = std::min(digits.find_first_not_of('0'), digits.size());
  const std::string_view number = digits.substr(first);
  if (!number.empty() && number.size() <= 6 && std::stoi(std::string(number)) <= highest) return "";
  const std::string name = "M" + std::string(digits);
  if (highest == 0) return name + " names no memory line (there are none yet)";
  if (highest == 1) return name + " names no memory line (there is only M1)";
  return name + " names no memory line (the lines are M1 to M" + std::to_string(highest) + ")";
}

// A letter at pos that starts no function, X or memory reference.
std::string WordFault(const Session& s, std::string_view text, std::size_t pos) {
  std::size_t runStart = pos;
  while (runStart > 0 && IsLetter(text[runStart - 1]))
    --runStart;
  std::size_t runEnd = pos;
  while (runEnd < text.size() && IsLetter(text[runEnd]))
    ++runEnd;
  for (std::size_t start : {runStart, pos}) {
    std::string_view formula = FormulaExtent(text, start);
    if (LooksLikeFormula(s, formula)) {
      return "a formula inside a calculation is written MW(" + std::string(formula) + ")";
    }
  }
  const std::string_view run = text.substr(runStart, runEnd - runStart);
  return Quoted(run) +
         " cannot be read (the functions are LOG, LN, EXP, SQRT and PH, a memory is M1, M2, "
         "..., a formula is written MW(formula), a constant <NAME> such as <PI>)";
}

// Reads the number at pos (digits, one decimal point, an exponent with digits); pos moves past
// it. Returns the fault, "" when the number reads.
std::string ReadNumber(std::string_view text, std::size_t& pos) {
  const std::size_t start = pos;
  int digits = 0;
  while (pos < text.size() && IsDigit(text[pos])) {
    ++pos;
    ++digits;
  }
  if (pos < text.size() && text[pos] == '.') {
    ++pos;
    while (pos < text.size() && IsDigit(text[pos])) {
      ++pos;
      ++digits;
    }
  }
  if (digits == 0) return Quoted(text.substr(start, pos - start)) + " is not a number";
  if (pos < text.size() && Upper(text[pos]) == 'E' && !WordAt(text, pos, "EXP")) {
    ++pos;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
    if (pos >= text.size() || !IsDigit(text[pos])) {
      return Quoted(text.substr(start, pos - start)) + ": an exponent needs digits after E";
    }
    while (pos < text.size() && IsDigit(text[pos]))
      ++pos;
    if (pos < text.size() && text[pos] == '.') {
      return Quoted(text.substr(start, pos + 1 - start)) + ": an exponent is a whole number";
    }
  }
  if (pos < text.size() && text[pos] == '.') {
    std::size_t end = pos;
    while (end < text.size() && (IsDigit(text[end]) || text[end] == '.'))
      ++end;
    return Quoted(text.substr(start, end - start)) + " is not a number (more than one point)";
  }
  return {};
}

// The solver options of an equation: X0=number and DX=number, separated by commas.
std::string OptionsFault(std::string_view options) {
  std::size_t begin = 0;
  while (begin <= options.size()) {
    std::size_t end = options.find(',', begin);
    if (end == std::string_view::npos) end = options.size();
    std::string item;
    for (char c : options.substr(begin, end - begin))
      if (c != ' ') item += c;
    double value = 0;
    const bool known = item.size() > 3 && (WordAt(item, 0, "X0=") || WordAt(item, 0, "DX="));
    if (!known || !StrictNumber(std::string_view(item).substr(3), value)) {
      return Quoted(item) + " is not a solver option (X0=number or DX=number)";
    }
    begin = end + 1;
  }
  return {};
}

std::string MissingNumber(std::string_view where, std::string_view token) {
  return "a number is missing " + std::string(where) + " " + Quoted(token);
}

}  // namespace

std::string CharacterFault(std::string_view text, std::size_t at) {
  const TypedCharacter c = ReadTypedCharacter(text, at);
  char code[16];
  std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c.code));
  const bool printable = c.code >= 0x20 && c.code != 0x7F && (c.code < 0x80 || c.code >= 0xA0);
  std::string name = printable ? Quoted(text.substr(at, c.length)) + " (" + code + ")" : code;
  return "the character " + name + " cannot be read";
}

std::string ArithmeticFault(const Session& s, std::string_view text) {
  bool operand = true;  // an operand (number, X, memory, group, function) must come next
  bool opened = false;  // the last token was "("
  bool equation = false;
  int depth = 0;
  std::string_view last;  // the last token read
  std::size_t pos = 0;
  while (pos < text.size()) {
    const char c = text[pos];
    const std::size_t start = pos;
    if (c == ' ') {
      ++pos;
      continue;
    }
    bool isOperand = false;
    if (IsDigit(c) || c == '.') {
      std::string fault = ReadNumber(text, pos);
      if (!fault.empty()) return fault;
      isOperand = true;
    } else if (IsLetter(c)) {
      if (std::size_t length = FunctionAt(text, pos)) {
        pos += length;
        operand = true;
      } else if (Upper(c) == 'X') {
        // 2X3 is no product with the unknown that anyone types (a small x there is read as
        // the multiplication sign before this reading).
        const bool option = text.substr(pos, 3) == "X0=" || text.substr(pos, 3) == "x0=";
        if (!option && pos > 0 && IsDigit(text[pos - 1]) && pos + 1 < text.size() &&
            IsDigit(text[pos + 1]))
          return "\"X\" between two numbers: write 2*3 for a product, or 2*X*3 with the unknown";
        ++pos;
        isOperand = true;
      } else if (Upper(c) == 'M') {
        std::size_t digit = pos + 1;
        while (digit < text.size() && text[digit] == ' ')
          ++digit;
        if (digit >= text.size() || !IsDigit(text[digit])) return WordFault(s, text, pos);
        pos = digit;
        while (pos < text.size() && IsDigit(text[pos]))
          ++pos;
        std::string fault = MemoryFault(s, text.substr(digit, pos - digit));
        if (!fault.empty()) return fault;
        isOperand = true;
      } else {
        return WordFault(s, text, pos);
      }
    } else {
      ++pos;
      const std::string_view token = text.substr(start, 1);
      switch (c) {
        case '+':
        case '-':
          operand = true;  // after an operand a sum, else a sign
          break;
        case '*':
        case '/':
        case '^':
          if (operand && last.empty()) return std::string("Operator ") + c + " not allowed";
          if (operand) return MissingNumber("before", token);
          operand = true;
          break;
        case '(':
          if (text.substr(start, 3) == "(.)") {
            return "the hydrate mark \"(.)\" or \"\xB7\" belongs inside a formula";
          }
          ++depth;
          operand = true;
          break;
        case ')':
          if (depth == 0) return "Unmatched parentheses ()";
          if (operand && opened) return "\"()\" is empty: a number is missing inside";
          if (operand) return MissingNumber("before", token);
          --depth;
          break;
        case '!':
          if (operand) return MissingNumber("before", token);
          break;
        case '%':
          break;
        case '=':
          if (operand) return MissingNumber("before", token);
          equation = true;
          operand = true;
          break;
        case ',': {
          // The first comma of an equation (that does not end in "=") starts its solver options.
          if (!equation || operand || depth != 0) {
            return "a comma cannot stand here: write decimals with a point (2.5, not 2,5)";
          }
          std::string fault = OptionsFault(text.substr(pos));
          if (!fault.empty()) return fault;
          pos = text.size();
          break;
        }
        default:
          return CharacterFault(text, start);
      }
      opened = c == '(';
      last = token;
      continue;
    }
    if (isOperand) operand = false;
    opened = false;
    last = text.substr(start, pos - start);
  }
  if (depth != 0) return "Unmatched parentheses ()";
  if (last.empty()) return "there is nothing to calculate";
  if (operand && last != "=") return MissingNumber("after", last);
  return {};
}

void ReadArithmetic(Session& s, std::string_view text, std::string_view typed) {
  std::string fault = ArithmeticFault(s, text);
  if (fault.empty()) return;
  // A fault that already names the whole piece needs no second mention of it.
  const bool named = typed.empty() || fault.rfind(Quoted(typed), 0) == 0;
  s.engine.EvalError = named ? fault : std::string(typed) + ": " + fault;
  Fail(FailureKind::Calculation);
}

}  // namespace ostravel

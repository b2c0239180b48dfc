// The formula parser and term expansion on any text, against the delivered database with
// constants and radicals that refer to themselves.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <string>
#include <string_view>

#include "chemistry/formula_parser.h"
#include "chemistry/term_expansion.h"
#include "fuzz_support.h"
#include "runtime/failure.h"
#include "session/session.h"
#include "state/chemistry_state.h"

using namespace ostravel;

namespace {

// True for a text holding a character that no formula holds (control characters,
// & $ ? @ _ ~ ` " \ and the others of arithmetic only). The hydrate mark's code is left out:
// it reaches the parser only from the reading before it, which refuses it when typed.
bool HoldsNoFormulaCharacter(const std::string& text) {
  for (unsigned char c : text) {
    if ((c < 0x20 && c != static_cast<unsigned char>(kHydrateMark)) || c == 0x7F ||
        std::string_view("&$?@_~`\"\\*/=<>;,!#").find(static_cast<char>(c)) !=
            std::string_view::npos) {
      return true;
    }
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Session& s = fuzz::StartedSession();
  s.flags.QuietMode = true;
  s.memory.MemoryCount = 0;
  s.window.memories.Items.clear();
  FuzzedDataProvider input(data, size);
  s.flags.ExpandRadicals = input.ConsumeBool();
  s.flags.AbbrevConstants = input.ConsumeBool();
  const int wrapper = input.ConsumeIntegralInRange(0, 3);
  std::string text = input.ConsumeRemainingBytesAsString();
  try {
    if (wrapper == 0) {
      s.calc.CalcKind = CalcKind::Form;
      s.calc.FormulaText = text;
      const double mass = FormulaMass(s, text);
      // A formula read completely has a real, non-negative mass; a text with a character of
      // no formula is never taken for one.
      if (s.calc.CalcKind == CalcKind::Form && !(std::isfinite(mass) && mass >= 0))
        fuzz::PropertyFailed("a formula with the mass " + std::to_string(mass));
      if (s.calc.CalcKind == CalcKind::Form && HoldsNoFormulaCharacter(text))
        fuzz::PropertyFailed("a text with a character of no formula read as a formula");
    } else {
      static const char* const kTerms[] = {"", "MW(", "WT%(", "MOL%("};
      if (wrapper > 0) text = kTerms[wrapper] + text + ")";
      s.calc.ResultLabel = text;
      s.calc.CalcText = text;
      ExpandTerms(s);
      if (CalcKindName(s.calc.CalcKind).empty())
        fuzz::PropertyFailed("term expansion left the kind undecided");
    }
  } catch (const RunFailure&) {
    // A failure of the calculation: the driver reports it.
  }
  return 0;
}

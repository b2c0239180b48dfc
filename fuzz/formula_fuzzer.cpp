// The formula parser and term expansion on any text, against the delivered database with
// constants and radicals that refer to themselves.
#include <fuzzer/FuzzedDataProvider.h>

#include "chemistry/formula_parser.h"
#include "chemistry/term_expansion.h"
#include "fuzz_support.h"
#include "runtime/failure.h"
#include "session/session.h"

using namespace ostravel;

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
      FormulaMass(s, text);
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

// The whole calculation driver on an entry line, as the one-shot command line and the web
// gateway run it, with the delivered database.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <string_view>

#include "calc/calculation_driver.h"
#include "fuzz_support.h"
#include "memory/memories.h"
#include "runtime/text_case.h"
#include "session/session.h"

using namespace ostravel;

namespace {

// True for a one-piece line that holds a character no calculation can hold (control
// characters, & $ ? @ _ ~ ` " \): the reading must refuse it, whatever else it holds. Lines
// with constants, descriptions, comments, directives or several pieces are left out, since
// their text does not all reach the reading.
bool RefusedByGrammar(const std::string& line) {
  if (line.find_first_of("<>|\t';\n\r#") != std::string::npos) return false;
  if (line.find("testing") != std::string::npos) return false;
  for (unsigned char c : line) {
    if (c < 0x20 || c == 0x7F ||
        std::string_view("&$?@_~`\"\\").find(static_cast<char>(c)) != std::string_view::npos) {
      return true;
    }
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Session& s = fuzz::StartedSession();
  FuzzedDataProvider input(data, size);
  // Some memory lines from earlier calculations, which the line may refer to.
  s.memory.MemoryCount = 0;
  s.window.memories.Items.clear();
  const int memories = input.ConsumeIntegralInRange(0, 3);
  for (int i = 0; i < memories; ++i)
    StoreMemory(s, input.ConsumeFloatingPoint<double>(), input.ConsumeRandomLengthString(16),
                false);
  s.flags.QuietMode = input.ConsumeBool();
  s.flags.Unattended = true;
  s.flags.QuickSimplex = true;
  s.flags.ExpandRadicals = input.ConsumeBool();
  s.engine.XValue = input.ConsumeFloatingPoint<double>();
  s.window.entryline.Text = input.ConsumeRemainingBytesAsString();
  const std::string line = s.window.entryline.Text;
  const int before = s.memory.MemoryCount;
  DoCalculations(s);
  if (RefusedByGrammar(line)) {
    const std::string name = TrimBlanks(line);
    for (int n = before + 1; n <= s.memory.MemoryCount; ++n) {
      if (s.memory.MemNames[n] == name) fuzz::PropertyFailed("a result for a refused text");
    }
    if (s.calc.RunErrors == 0) fuzz::PropertyFailed("a refused text ran without an error");
  }
  if (s.calc.Running) fuzz::PropertyFailed("the line is still marked as running");
  if (s.memory.MemoryCount != static_cast<int>(s.window.memories.Items.size()))
    fuzz::PropertyFailed("memory count and memory lines disagree");
  return 0;
}

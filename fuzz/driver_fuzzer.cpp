// The whole calculation driver on an entry line, as the one-shot command line and the web
// gateway run it, with the delivered database.
#include <fuzzer/FuzzedDataProvider.h>

#include "calc/calculation_driver.h"
#include "calc/memories.h"
#include "fuzz_support.h"
#include "session/session.h"

using namespace ostravel;

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
  DoCalculations(s);
  if (s.calc.Running) fuzz::PropertyFailed("the line is still marked as running");
  if (s.memory.MemoryCount != static_cast<int>(s.window.memories.Items.size()))
    fuzz::PropertyFailed("memory count and memory lines disagree");
  return 0;
}

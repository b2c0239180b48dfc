// Answer templates and one-line patterns with any bytes, filled from any field list.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>

#include "fuzz_support.h"
#include "gateway/text_utils.h"

using namespace ostravel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static fuzz::SilentPlatform ui;
  static fuzz::Sandbox sandbox;
  static const std::string file = sandbox.program() + "/fuzzed.ht_";
  FuzzedDataProvider input(data, size);

  const std::string value = input.ConsumeRandomLengthString(64);
  const std::string pattern = input.ConsumeRandomLengthString(128);
  const std::string filled = FillPattern(value, pattern);
  // Inserted values are escaped: every "<" of the result is one of the pattern's.
  if (std::count(filled.begin(), filled.end(), '<') !=
      std::count(pattern.begin(), pattern.end(), '<'))
    fuzz::PropertyFailed("FillPattern inserted a \"<\"");

  const std::string fields = input.ConsumeRandomLengthString(256);
  fuzz::WriteFile(file, input.ConsumeRemainingBytesAsString());
  const std::string page = ReadTemplate(ui, file, fields);
  if (!page.ends_with("\r\n")) fuzz::PropertyFailed("the page does not end in CR LF");
  if (fields.find_first_of("\r\n") == std::string::npos) {
    // With no line break in the fields, every line of the page ends in CR LF.
    for (std::size_t p = page.find_first_of("\r\n"); p != std::string::npos;
         p = page.find_first_of("\r\n", p + 2)) {
      if (page.compare(p, 2, "\r\n") != 0) fuzz::PropertyFailed("a line without CR LF");
    }
  }
  return 0;
}

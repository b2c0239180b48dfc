// Request decoding, field look-up, HTML escaping and the replace-every-occurrence routine on
// any bytes.
#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_support.h"
#include "gateway/text_utils.h"
#include "runtime/replace_all.h"

using namespace ostravel;

namespace {

// Every "&" starts one of the references HtmlEscape writes, and no markup character is left.
bool IsEscaped(const std::string& text) {
  if (text.find_first_of("<>\"") != std::string::npos) return false;
  for (std::size_t p = text.find('&'); p != std::string::npos; p = text.find('&', p + 1)) {
    const std::string_view rest = std::string_view(text).substr(p + 1);
    if (!rest.starts_with("amp;") && !rest.starts_with("quot;") && !rest.starts_with("lt;") &&
        !rest.starts_with("gt;"))
      return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  std::string find = input.ConsumeRandomLengthString(4);
  std::string repl = input.ConsumeRandomLengthString(6);
  std::string request = input.ConsumeRemainingBytesAsString();
  // The program replaces texts by shorter ones, or by texts that hold them (done in one pass).
  // A longer replacement without the search text can double the text on every rescan
  // ("ab" -> "bba" on "aaaabbbb"), so nothing passes one.
  if (repl.size() >= find.size() && repl.find(find) == std::string::npos)
    repl.resize(find.empty() ? 0 : find.size() - 1);

  std::string replaced = request;
  ReplaceAll(replaced, find, repl);
  if (!find.empty() && repl.find(find) == std::string::npos &&
      replaced.find(find) != std::string::npos)
    fuzz::PropertyFailed("ReplaceAll left an occurrence of the search text");

  const std::string fields = UrlDecode(request);
  for (const char* name : {"CALC", "ID", "MODIFY", "x", "NM", "M1", "N1", "HTTP"}) {
    std::string value = GetField(fields, name);
    if (value.find('\0') != std::string::npos) fuzz::PropertyFailed("a field holds a NUL");
    if (!value.empty() && (value.front() == ' ' || value.back() == ' '))
      fuzz::PropertyFailed("a field value is not trimmed");
    HtmlEscape(value);
    if (!IsEscaped(value)) fuzz::PropertyFailed("HtmlEscape left markup: " + value);
  }
  return 0;
}

// Display formatting and the gateway's text routines on realistic inputs.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "gateway/text_utils.h"
#include "platform/platform.h"
#include "quiet_platform.h"
#include "runtime/number_format.h"

namespace ostravel {
namespace {

using namespace std::string_literals;

// A platform that does nothing: the routines measured here only beep.
void BM_FormatSig(benchmark::State& state) {
  NumberFormat format;
  format.SigDigits = 4;
  SetSigFormat(format);
  const double values[] = {1234.6, 18.0153, 0.0012346, -2.5, 6.02214076E23, 9.99996};
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(FormatSig(format, values[i]));
    i = (i + 1) % std::size(values);
  }
}
BENCHMARK(BM_FormatSig);

// A calculation request as the web form sends it: the calculation, the digits and 24
// memory lines with their names, escaped; about 2 KB.
std::string CalculationRequest() {
  std::string request =
      "17 GET /cgi-bin/ostravel-link?CALC=2*MW%28CuSO4%28.%295H2O%29+%2B+%3CR%3E*298.15"
      "%3B+x%5E2%3D4%2C+X0%3D1&nsig=4&nmem=24";
  for (int i = 1; i <= 24; ++i) {
    request += "&M" + std::to_string(i) + "=" + std::to_string(18.0153 * i) + "E-0" +
               std::to_string(i % 10) + "&N" + std::to_string(i) +
               "=MW%28C6H5CH2OH%29+%2B+%3CKA-HAc%3E*" + std::to_string(i) + "%2F%28100%25+w%2Fw%29";
  }
  request += " HTTP/1.0";
  return request;
}

void BM_UrlDecode(benchmark::State& state) {
  const std::string request = CalculationRequest();
  for (auto _ : state)
    benchmark::DoNotOptimize(UrlDecode(request));
  state.counters["bytes"] = static_cast<double>(request.size());
}
BENCHMARK(BM_UrlDecode);

// An answer page of about 5 KB with 30 placeholders, written once to a temporary file.
class TemplateFile {
 public:
  TemplateFile() {
    path_ = std::filesystem::temp_directory_path() /
            ("ostravel-bench-" + std::to_string(getpid()) + ".ht_");
    std::ofstream out(path_, std::ios::binary);
    out << "<!DOCTYPE html>\r\n<html><head><meta charset=\"ISO-8859-1\">\r\n"
           "<title>Ostravel answer %%scalc%%</title></head>\r\n<body>\r\n";
    for (int i = 0; i < 28; ++i) {
      out << "<tr class=\"memory\"><td class=\"number\">M" << i << "</td><td class=\"value\">%%M"
          << i % 10
          << "%%</td><td class=\"name\">a result of the earlier calculation kept here</td>"
             "</tr>\r\n<tr><td colspan=\"3\">&nbsp;</td></tr>\r\n";
    }
    out << "<p>%%err%%</p>\r\n</body></html>\r\n";
  }
  ~TemplateFile() { std::filesystem::remove(path_); }
  std::string path() const { return path_.string(); }
  std::uintmax_t size() const { return std::filesystem::file_size(path_); }

 private:
  std::filesystem::path path_;
};

void BM_ReadTemplate(benchmark::State& state) {
  static const TemplateFile file;
  std::string fields = "\0scalc=2*MW(H2O)\0err=\0nsig=4\0nmem=10"s;
  for (int i = 0; i < 10; ++i) {
    fields += std::string(1, '\0') + "M" + std::to_string(i) + "=<input name=\"M" +
              std::to_string(i) + "\" value=\"" + std::to_string(18.0153 * i) + "\">";
  }
  bench::QuietPlatform ui;
  for (auto _ : state)
    benchmark::DoNotOptimize(ReadTemplate(ui, file.path(), fields));
  state.counters["bytes"] = static_cast<double>(file.size());
}
BENCHMARK(BM_ReadTemplate);

}  // namespace
}  // namespace ostravel

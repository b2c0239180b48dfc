// Speed of a change request of 100 (1,000, 5,000) definition lines, answered as the gateway answers
// it: the password check at its real cost, 200 locked atomic writes, the answer page, the reload of
// the lists and the contributed page, on the delivered database.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "database/key_lists.h"
#include "database/settings.h"
#include "gateway/contributions.h"
#include "gateway/html_pages.h"
#include "gateway/passwords.h"
#include "platform/platform.h"
#include "quiet_platform.h"
#include "session/session.h"

namespace ostravel {
namespace {

void BM_StoreDefinitions(benchmark::State& state) {
  namespace fs = std::filesystem;
  char name[] = "/tmp/ostravel-bench-XXXXXX";
  const fs::path folder = ::mkdtemp(name);
  for (const char* file :
       {"TOLVANE.INI", "TOLVANEC.INI", "tolvanep.ht_", "tolvane1.ht_", "tolvanes.ht_"}) {
    fs::copy_file(fs::path(OSTRAVEL_DATA_DIR) / file, folder / file);
  }
  ostravel::bench::QuietPlatform ui;
  Session s(ui);
  s.db.ProgramFolder = folder.string();
  LoadSettings(s);
  LoadLists(s);
  MakeHtmlPages(s);  // the constants and examples pages are written once a run

  const std::string nul(1, '\0');
  std::string definitions;
  for (int i = 0; i < state.range(0); ++i) {
    definitions += "BENCH" + std::to_string(i) + "=" + std::to_string(i) +
                   ".125E-3|contributed value number " + std::to_string(i) + "\n";
  }
  const std::string fields = "1 POST /calc?" + nul + "MODIFY=" + definitions + nul +
                             "user=bench@example.org" + nul + "name=Bench Mark" + nul +
                             "pass=Bench-Pass-1" + nul + "type=Bench" + nul + "pre=BB" + nul +
                             "GO=Store My Definitions" + nul;
  const std::string answer = (folder / "linkr1.htm").string();
  HandleModifyRequest(s, fields, answer);  // makes the account
  for (auto _ : state) {
    HandleModifyRequest(s, fields, answer);
  }
  if (s.engine.EvalError != "") state.SkipWithError(s.engine.EvalError.c_str());
  fs::remove_all(folder);
}
BENCHMARK(BM_StoreDefinitions)
    ->Name("StoreDefinitions/lines")
    ->Arg(100)
    ->Arg(1000)
    ->Arg(5000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The share of the password check in it.
void BM_CheckPasswordInteractive(benchmark::State& state) {
  const std::string hash = HashPassword("Bench-Pass-1", PasswordCosts{});
  for (auto _ : state) {
    benchmark::DoNotOptimize(CheckPassword(hash, "Bench-Pass-1", PasswordCosts{}));
  }
}
BENCHMARK(BM_CheckPasswordInteractive)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace ostravel

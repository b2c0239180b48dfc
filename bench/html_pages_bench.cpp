// The web gateway's own work: writing the pages of a large database, and answering one
// calculation request (decode, calculate, answer file, notice) without the channel's timer.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "database/key_lists.h"
#include "database/settings.h"
#include "gateway/gateway_requests.h"
#include "gateway/html_pages.h"
#include "platform/platform.h"
#include "quiet_platform.h"
#include "session/session.h"

namespace {

std::filesystem::path NewFolder(const char* name) {
  auto folder =
      std::filesystem::temp_directory_path() / (std::string(name) + std::to_string(::getpid()));
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder;
}

void WriteFile(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

void CopyTemplate(const std::filesystem::path& folder, const char* name) {
  std::filesystem::copy_file(std::string(OSTRAVEL_DATA_DIR) + "/" + name, folder / name,
                             std::filesystem::copy_options::overwrite_existing);
}

// A database of `entries` constants in categories of 100, plus a few examples and
// contributed values; all four pages are written on every iteration.
void BM_MakeHtmlPages(benchmark::State& state) {
  const int entries = static_cast<int>(state.range(0));
  const auto folder = NewFolder("ostravel-pages-bench");
  std::string ini = "[Constants]\r\n";
  const int categories = (entries + 99) / 100;
  for (int c = 0; c < categories; ++c)
    ini += "Cat" + std::to_string(c) + "=\r\n";
  for (int c = 0; c < categories; ++c) {
    ini += "[Constants-Cat" + std::to_string(c) + "]\r\n";
    for (int k = 0; k < 100 && c * 100 + k < entries; ++k) {
      const int n = (c * 100 + k) * 7919 % 100003;  // descriptions in no order
      ini += "K" + std::to_string(n) + "=" + std::to_string(n) + ".5|entry " +
             std::to_string(n * 31 % 1009) + "\r\n";
    }
  }
  ini += "[Examples]\r\nBasic=\r\n[Examples-Basic]\r\nWater=MW(H2O)\r\n";
  WriteFile(folder / "TOLVANE.INI", ini);
  WriteFile(folder / "TOLVANEC.INI",
            "[Contributed]\r\nMine=|a@b.cd\r\n[Contributed-Mine]\r\nk=1\r\n");
  CopyTemplate(folder, "tolvane1.ht_");
  CopyTemplate(folder, "tolvanes.ht_");

  ostravel::bench::QuietPlatform ui;
  ostravel::Session s(ui);
  s.db.ProgramFolder = folder.string();
  ostravel::LoadSettings(s);
  ostravel::LoadLists(s);
  s.flags.QuietMode = true;
  for (auto _ : state) {
    s.gateway.IndexRefsCache.clear();  // write all four pages each time
    ostravel::MakeHtmlPages(s);
  }
  state.SetComplexityN(entries);
  state.counters["page bytes"] =
      static_cast<double>(std::filesystem::file_size(folder / "tolvanec.htm"));
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_MakeHtmlPages)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oNLogN);

// One calculation request with 20 memory lines, from the execute to the notice.
void BM_AnswerOneRequest(benchmark::State& state) {
  const auto folder = NewFolder("ostravel-request-bench");
  WriteFile(folder / "TOLVANE.INI", "[AtomicWeights]\r\nH=1.008\r\nO=15.999\r\n");
  CopyTemplate(folder, "tolvane.ht_");
  ostravel::bench::QuietPlatform ui;
  ostravel::Session s(ui);
  s.db.ProgramFolder = folder.string();
  ostravel::LoadSettings(s);
  ostravel::LoadLists(s);
  ostravel::OpenRegisterFolder(s, (folder / "register").string());
  std::string command = "3 POST /calc?ID=77&CALC=2*MW(H2O)%2BM1&nsig=6&NM=20";
  for (int i = 1; i <= 20; ++i)
    command += "&M" + std::to_string(i) + "=" + std::to_string(i * 1.5) + "&N" + std::to_string(i) +
               "=line" + std::to_string(i);
  command += " HTTP/1.1";
  for (auto _ : state) {
    ostravel::Form_LinkExecute(s, command);
    ostravel::Timer1_Timer(s);
    ostravel::Timer1_Timer(s);  // finds the queue empty
  }
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_AnswerOneRequest)->Unit(benchmark::kMicrosecond);

}  // namespace

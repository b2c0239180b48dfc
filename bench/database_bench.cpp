// Speed of the database access: cached look-ups, writes, loading the lists and reading every
// entry of every category, which must grow linearly with the number of entries.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "database/ini_access.h"
#include "database/key_lists.h"
#include "platform/platform.h"
#include "quiet_platform.h"
#include "session/session.h"

namespace ostravel {
namespace {

// A program folder with a main file of `categories` constant categories holding `entries`
// entries in all, removed again at the end of the benchmark.
class Database {
 public:
  Database(int categories, int entries) {
    char name[] = "/tmp/ostravel-bench-XXXXXX";
    folder_ = ::mkdtemp(name);
    std::string bytes = "; generated for the benchmark\r\n[Constants]\r\n";
    for (int c = 0; c < categories; ++c) {
      bytes +=
          "Category " + std::to_string(c) + "=" + (c % 2 ? "P" + std::to_string(c) : "") + "\r\n";
    }
    bytes += "[Constants-Radicals]\r\nMe=CH3\r\nPh=C6H5\r\n";
    for (int c = 0; c < categories; ++c) {
      bytes += "\r\n[Constants-Category " + std::to_string(c) + "]\r\n";
      for (int e = c; e < entries; e += categories) {
        const std::string key = "KEY" + std::to_string(e);
        keys_.push_back({"Category " + std::to_string(c), key});
        bytes += key + "=" + std::to_string(e) + ".125E-3 (approx)|description of " + key +
                 " (unit)\r\n";
      }
    }
    std::ofstream(MainFile(), std::ios::binary) << bytes;
    session_.db.ProgramFolder = folder_;
    session_.db.MainIniFile = MainFile();
    session_.db.ContribIniFile = folder_ + "/TOLVANEC.INI";
    session_.db.IniFile = session_.db.MainIniFile;
  }
  ~Database() { std::filesystem::remove_all(folder_); }

  std::string MainFile() const { return folder_ + "/TOLVANE.INI"; }
  Session& session() { return session_; }
  struct Key {
    std::string category, key;
  };
  const std::vector<Key>& keys() const { return keys_; }

 private:
  std::string folder_;
  bench::QuietPlatform ui_;
  Session session_{ui_};
  std::vector<Key> keys_;
};

void BM_IniGetEntryCached(benchmark::State& state) {
  Database db(100, 5000);
  Session& s = db.session();
  std::size_t next = 0;
  std::string description;
  for (auto _ : state) {
    const auto& key = db.keys()[next++ % db.keys().size()];
    benchmark::DoNotOptimize(IniGetEntry(s, "Constants", key.category, key.key, &description));
  }
}
BENCHMARK(BM_IniGetEntryCached);

void BM_IniPutEntry(benchmark::State& state) {
  Database db(100, 5000);
  Session& s = db.session();
  std::size_t next = 0;
  for (auto _ : state) {
    const auto& key = db.keys()[next % db.keys().size()];
    IniPutEntry(s, "Constants", key.category, key.key, std::to_string(++next) + "|changed");
  }
}
BENCHMARK(BM_IniPutEntry)->Unit(benchmark::kMillisecond);

void BM_LoadLists(benchmark::State& state) {
  Database db(200, 10000);
  for (auto _ : state)
    LoadLists(db.session());
}
BENCHMARK(BM_LoadLists)->Unit(benchmark::kMicrosecond);

// Every entry of every category, as the page writer and the editor read them.
void BM_ReadAllEntries(benchmark::State& state) {
  const int entries = static_cast<int>(state.range(0));
  Database db(200, entries);
  Session& s = db.session();
  for (auto _ : state) {
    std::string categories = IniGetKeys(s, "Constants") + kNul;
    std::size_t read = 0;
    for (std::string c = PopListItem(categories); !c.empty(); c = PopListItem(categories)) {
      std::string keys = IniGetKeys(s, "Constants-" + c) + kNul;
      for (std::string k = PopListItem(keys); !k.empty(); k = PopListItem(keys)) {
        std::string description;
        benchmark::DoNotOptimize(IniGetEntry(s, "Constants", c, k, &description));
        ++read;
      }
    }
    if (read != static_cast<std::size_t>(entries)) state.SkipWithError("entries missing");
  }
  state.SetComplexityN(entries);
  state.SetItemsProcessed(state.iterations() * entries);
}
BENCHMARK(BM_ReadAllEntries)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(5000)
    ->Arg(10000)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::oN);

// The first read of a file: reading and parsing it whole.
void BM_ParseOnFirstRead(benchmark::State& state) {
  const int entries = static_cast<int>(state.range(0));
  Database db(200, entries);
  for (auto _ : state) {
    ProfileStore fresh;
    benchmark::DoNotOptimize(fresh.Read(db.MainFile()));
  }
  state.SetItemsProcessed(state.iterations() * entries);
}
BENCHMARK(BM_ParseOnFirstRead)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace ostravel

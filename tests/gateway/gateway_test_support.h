// A session on a database in a temporary program folder, for the gateway's tests.
#pragma once

#include <string>

#include "session/session.h"
#include "support/recording_platform.h"
#include "support/temp_dir.h"
#include "support/test_database.h"

namespace ostravel::testing {

// INI text with CR LF line ends from lines joined by "\n".
inline std::string IniText(std::string text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

struct GatewaySession {
  TempDir dir;
  RecordingPlatform ui;
  Session s{ui};

  // Writes the database files and loads them as start-up does.
  void Load(const std::string& mainIni, const std::string& contribIni = "") {
    dir.Write("TOLVANE.INI", IniText(mainIni));
    dir.Write("TOLVANEC.INI", IniText(contribIni));
    LoadProgramFolder(dir, s);
  }
};

}  // namespace ostravel::testing

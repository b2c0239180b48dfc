// Paths of the database files and the file the access routines use at the moment.
#pragma once

#include <string>

#include "profile/profile_store.h"

namespace ostravel {

struct DatabaseState {
  std::string ProgramFolder;   // without a trailing separator
  std::string MainIniFile;     // "TOLVANE.INI"
  std::string ContribIniFile;  // "TOLVANEC.INI"
  std::string PermIniFile;     // "TOLVANEP.INI"
  std::string IniFile;         // the file in use; MainIniFile when at rest
  bool DbChanged = false;      // set by every write
  std::string QuickUrl;        // option QUICKURL, made absolute when it starts with ".."
  ProfileStore Profiles;       // the files as parsed, kept while they do not change on disk
};

}  // namespace ostravel

#include "database/settings.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "database/ini_access.h"
#include "database/isotope_data.h"
#include "runtime/conversions.h"
#include "runtime/failure.h"
#include "runtime/file_io.h"
#include "runtime/number_format.h"
#include "session/session.h"
#include "state/chemistry_state.h"

namespace ostravel {
namespace {

namespace fs = std::filesystem;

std::string WithoutTrailingSlash(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/')
    folder.pop_back();
  return folder;
}

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

std::string HomeFolder() {
  std::string home = Environment("HOME");
  if (home.empty()) {
    if (const passwd* user = ::getpwuid(::getuid()); user != nullptr && user->pw_dir != nullptr) {
      home = user->pw_dir;
    }
  }
  return home;
}

// Creates the folder and its missing parents, owner-only as data folders of a user should be.
void CreateFolder(const std::string& folder) {
  for (auto slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
    const std::string part = folder.substr(0, slash);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return;
    if (slash == std::string::npos) return;
  }
}

// Places a copy of source at target unless target exists, or, with replace, in place of it.
// The copy never replaces a file that appeared meanwhile unless asked, and never shows half
// written. Synced: the copies are the user's database from now on.
void SeedFile(const fs::path& source, const fs::path& target, bool replace = false) {
  struct stat info;
  if (!replace && ::lstat(target.c_str(), &info) == 0) return;
  std::string bytes;
  if (!ReadAll(source.string(), bytes)) return;
  AtomicWrite how(Durability::AtomicSynced);
  how.keepExisting = !replace;
  WriteFileAtomically(target.string(), bytes, how);
}

// The isotope table is program data, not the user's: a delivered one of a higher edition
// replaces the copy in the data folder.
void RefreshIsotopeTable(const std::string& folder, const std::string& defaultsFolder) {
  const fs::path source = fs::path(defaultsFolder) / kIsotopeFileName;
  const fs::path target = fs::path(folder) / kIsotopeFileName;
  const int delivered = IsotopeFileEdition(source.string());
  if (delivered > 0 && delivered > IsotopeFileEdition(target.string())) {
    SeedFile(source, target, true);
  }
}

void SeedFolder(const std::string& folder, const std::string& defaultsFolder) {
  std::error_code error;
  fs::directory_iterator files(defaultsFolder, error);
  if (error) return;
  for (const auto& file : files) {
    if (file.is_regular_file(error))
      SeedFile(file.path(), fs::path(folder) / file.path().filename());
  }
}

// The leading number of a text, 0 where it is beyond the double range.
double LeadingNumberOrZero(std::string_view text) {
  try {
    return LeadingNumber(text);
  } catch (const RunFailure&) {
    return 0;
  }
}

// The user's own data folder: $XDG_DATA_HOME/ostravel, by default ~/.local/share/ostravel.
std::string UserDataFolder() {
  std::string data = Environment("XDG_DATA_HOME");
  if (data.empty() || data.front() != '/') data = HomeFolder() + "/.local/share";
  return WithoutTrailingSlash(data) + "/ostravel";
}

// Where the database was looked for, by the rules of ResolveProgramFolder.
std::string FoldersLookedIn() {
  if (std::string home = Environment("OSTRAVEL_HOME"); !home.empty())
    return "Ostravel looked in " + WithoutTrailingSlash(home) + ", the folder OSTRAVEL_HOME names.";
  std::error_code error;
  const std::string program = fs::read_symlink("/proc/self/exe", error).parent_path().string();
  return "Ostravel looked in the folder of the program file (" + program + ") and then in " +
         UserDataFolder() + ", which it fills from the delivered data.";
}

// Why the main database cannot be used; "" when it can.
std::string MainDatabaseProblem(const Session& s) {
  const std::string& path = s.db.MainIniFile;
  struct stat info;
  if (::stat(path.c_str(), &info) != 0)
    return errno == ENOENT ? "is missing" : std::string("cannot be read: ") + std::strerror(errno);
  if (S_ISDIR(info.st_mode)) return "is a folder, not a file";
  std::string bytes;
  if (!ReadAll(path, bytes)) return std::string("cannot be read: ") + std::strerror(errno);
  if (s.elements.ElementSymbols.size() > 1) return {};
  if (bytes.find_first_not_of(" \t\r\n") == std::string::npos) return "is empty";
  return "holds no atomic weights (no [AtomicWeights] section): it is not Ostravel's database";
}

}  // namespace

void ReportUnusableDatabase(Session& s) {
  const std::string problem = MainDatabaseProblem(s);
  if (problem.empty()) return;
  s.ui.MessageBox("The database " + s.db.MainIniFile + " " + problem + ". " + FoldersLookedIn() +
                      " Formulas, constants and examples need the database; plain arithmetic "
                      "works without it.",
                  MessageIcon::Exclamation, kAppTitle);
}

std::string ResolveProgramFolder(const std::string& executableFolder,
                                 const std::string& defaultsFolder) {
  if (std::string home = Environment("OSTRAVEL_HOME"); !home.empty()) {
    return WithoutTrailingSlash(home);
  }
  struct stat info;
  if (!executableFolder.empty() &&
      ::stat((executableFolder + "/TOLVANE.INI").c_str(), &info) == 0) {
    return WithoutTrailingSlash(executableFolder);
  }
  const std::string folder = UserDataFolder();
  CreateFolder(folder);
  if (!defaultsFolder.empty()) {
    SeedFolder(folder, defaultsFolder);
    RefreshIsotopeTable(folder, defaultsFolder);
  }
  return folder;
}

void LoadSettings(Session& s) {
  auto& db = s.db;
  db.ProgramFolder = WithoutTrailingSlash(db.ProgramFolder);
  db.MainIniFile = db.ProgramFolder + "/TOLVANE.INI";
  db.PermIniFile = db.ProgramFolder + "/TOLVANEP.INI";
  db.ContribIniFile = db.ProgramFolder + "/TOLVANEC.INI";
  db.IniFile = db.MainIniFile;

  SetListTabs(s, s.window.memories, Control::Memories, "70, 75, 80, 85, 90");
  s.flags.QuickSimplex = true;

  db.QuickUrl = IniGetEntry(s, "Options", "", "QUICKURL");
  if (db.QuickUrl.starts_with("..")) db.QuickUrl = db.ProgramFolder + "/" + db.QuickUrl;

  s.flags.ExpandRadicals = true;
  s.flags.AbbrevConstants = true;

  s.window.entryline = TextBoxModel{};
  s.ui.Changed(Control::EntryLine);

  s.calc.TraceFlag = false;
  s.flags.Unattended = false;

  // A count beyond any sensible range is no count: all digits.
  const double digits = RoundHalfEven(
      LeadingNumberOrZero(IniGetEntry(s, "Options", "", "Default Significant Digits")));
  s.format.SigDigits = std::fabs(digits) <= 32767 ? static_cast<int>(digits) : 0;
  SetSigFormat(s.format);

  s.elements = ElementTable{};
  std::string keys = IniGetKeys(s, "AtomicWeights") + kNul;
  for (int z = 1; z <= kMaxElements; ++z) {
    const std::string key = PopListItem(keys);
    if (key.empty()) break;
    s.elements.ElementSymbols += (key + "  ").substr(0, 2);
    s.elements.AtomWeight[z] = LeadingNumberOrZero(IniGetEntry(s, "AtomicWeights", "", key));
  }

  s.memory.MemoryCount = 0;
}

}  // namespace ostravel

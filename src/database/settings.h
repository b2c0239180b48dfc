// Start-up settings: where the database files are, the options and the atomic weights.
#pragma once

#include <string>

namespace ostravel {

class Session;

// The folder that holds the database files and templates: $OSTRAVEL_HOME when set; else
// executableFolder when it holds "TOLVANE.INI" (build tree, portable install); else
// $XDG_DATA_HOME/ostravel (default ~/.local/share/ostravel), created when missing and given
// every file of defaultsFolder that it does not have yet (an existing file is never replaced).
// Returned without a trailing "/".
std::string ResolveProgramFolder(const std::string& executableFolder,
                                 const std::string& defaultsFolder);

// Reads the settings at start-up from the database files in s.db.ProgramFolder: builds the
// paths of the three files, reads the options and the atomic weights (at most kMaxElements;
// further keys are ignored), sets the option switches and resets the run state.
void LoadSettings(Session& s);

// After LoadSettings: when the main database is missing, unreadable, empty or no database of
// Ostravel's (no atomic weights), says so once, naming the folders where it was looked for.
void ReportUnusableDatabase(Session& s);

}  // namespace ostravel

// One profile (INI) file held in memory: parsed into index maps for fast look-ups, and edited
// line by line so that every line an edit does not touch keeps its bytes.
//
// Syntax: "[name]" opens a section; "key=value" is an entry; a line whose first non-blank
// character is ";" is a comment; other lines are kept but mean nothing. Section names and keys
// match with ASCII case folding; where a section or a key occurs twice, the first one counts.
// Keys and values lose their outer blanks; a value enclosed in a pair of single or double
// quotes loses them too. Lines end in LF or CR LF; texts are bytes and are never transcoded.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "runtime/text_case.h"  // ASCII case folding: how names and keys match

namespace ostravel {

class ProfileFile {
 public:
  enum class EditResult { Changed, Unchanged, Refused };

  ProfileFile() = default;  // an empty (or missing) file
  explicit ProfileFile(std::string_view bytes);

  // The value of key in section; nullptr when the section or the key is missing.
  const std::string* Find(std::string_view section, std::string_view key) const;
  // The keys of a section in file order, each once; empty when the section is missing.
  const std::vector<std::string>& Keys(std::string_view section) const;

  // Writes key=value: in place when the key exists, else after the last entry of the section,
  // else in a new section at the end of the file. Refused (nothing changes) when the section
  // name or the key could break the file's structure; CR, LF and NUL in the value become blanks.
  EditResult Set(std::string_view section, std::string_view key, std::string_view value);
  // Removes the key (every line of it in the section that counts).
  EditResult DeleteKey(std::string_view section, std::string_view key);
  // Removes the section with its entries (every section of that name).
  EditResult DeleteSection(std::string_view section);

  // The file's bytes as they are to be written.
  std::string Serialize() const;

  // A key that can be written as one entry line: not empty after trimming, no CR, LF or NUL,
  // no "=", not starting with "[" or ";".
  static bool IsValidKey(std::string_view key);
  // A section name that can be written as one header line: not empty after trimming, no "]",
  // CR, LF or NUL.
  static bool IsValidSection(std::string_view section);

 private:
  struct Section {
    std::string name;
    std::size_t header = 0;           // line of "[name]"
    std::size_t bodyEnd = 0;          // one past the last entry line (header + 1 when none)
    std::size_t end = 0;              // one past the last line before the next header
    std::vector<std::string> keys;    // first occurrences, file order
    std::vector<std::string> values;  // parallel to keys
    // Line of each key, counted from the header, so that a line inserted into or removed
    // from an earlier section moves a section by its header alone.
    std::vector<std::size_t> lines;
    std::unordered_map<std::string, std::size_t> index;  // folded key -> position in keys
  };

  const Section* FindSection(std::string_view section) const;
  // Indexes the whole file; after an edit only the section it touched is indexed again and
  // the sections after it are moved, so that each edit costs in proportion to its section.
  void Reindex();
  void IndexSection(Section& section) const;
  // Adds the entry line of a section to its index; the first line of a key counts.
  static void AddEntry(Section& section, std::string_view key, std::string_view value,
                       std::size_t line);
  // Moves the sections after the one at position by delta lines.
  void ShiftSectionsAfter(std::size_t position, std::ptrdiff_t delta);
  // Line-end bytes for new lines: those of the file's first line end, CR LF when it has none.
  std::string NewLineEnd() const;
  // Gives the line before position at a line end, so that a line can be inserted there.
  void TerminateLineBefore(std::size_t position);
  void RemoveLines(std::size_t first, std::size_t last);

  std::vector<std::string> lines_;  // every line with its own line-end bytes
  std::vector<Section> sections_;   // file order, repeated names included
  std::unordered_map<std::string, std::size_t> sectionIndex_;  // folded name -> first section
};

}  // namespace ostravel

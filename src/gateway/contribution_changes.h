// The changes that one change request makes to the contributed values ("TOLVANEC.INI") and to
// the user's records ("TOLVANEP.INI"): gathered line by line against copies of the two files,
// so that every check sees the lines before it, and then written with one locked atomic
// write per step instead of two writes per line.
#pragma once

#include <string>
#include <vector>

#include "database/ini_access.h"
#include "profile/profile_file.h"

namespace ostravel {

class Session;

class PendingChanges {
 public:
  explicit PendingChanges(Session& s);

  // The entries of the files, with the changes gathered so far; nullptr when missing.
  const std::string* Value(const std::string& section, const std::string& key) const;
  const std::string* Record(const std::string& address, const std::string& recordKey) const;
  const ProfileFile& Contributed() const { return contrib_; }

  // A category entry, a value or a record to write; value NUL deletes the key. False when the
  // files cannot hold it (a name that would break their lines); nothing is gathered then.
  bool PutValue(const std::string& section, const std::string& key, const std::string& value);
  bool PutRecord(const std::string& address, const std::string& recordKey,
                 const std::string& record);

  bool ValuesChanged() const { return !values_.empty(); }

  // Writes the gathered changes: first the records that stay, then the values, then the
  // removal of records, so that a failed write never leaves a value without the record that
  // lets its owner change it. False when a write failed; the later steps are not made.
  bool Commit(Session& s);

 private:
  ProfileFile contrib_, perm_;
  std::vector<IniEdit> values_;   // in the order of the request
  std::vector<IniEdit> records_;  // likewise
};

}  // namespace ostravel

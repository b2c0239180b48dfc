#include "gateway/contribution_changes.h"

#include <unordered_map>

#include "database/ini_file_switch.h"
#include "session/session.h"

namespace ostravel {
namespace {

ProfileFile::EditResult Apply(ProfileFile& file, const IniEdit& edit) {
  return edit.value == kNul ? file.DeleteKey(edit.section, edit.key)
                            : file.Set(edit.section, edit.key, edit.value);
}

bool Gather(ProfileFile& copy, std::vector<IniEdit>& edits, IniEdit edit) {
  if (Apply(copy, edit) == ProfileFile::EditResult::Refused) return false;
  edits.push_back(std::move(edit));
  return true;
}

}  // namespace

PendingChanges::PendingChanges(Session& s)
    : contrib_(*s.db.Profiles.Read(s.db.ContribIniFile)),
      perm_(*s.db.Profiles.Read(s.db.PermIniFile)) {}

const std::string* PendingChanges::Value(const std::string& section, const std::string& key) const {
  return contrib_.Find(section, key);
}

const std::string* PendingChanges::Record(const std::string& address,
                                          const std::string& recordKey) const {
  return perm_.Find(address, recordKey);
}

bool PendingChanges::PutValue(const std::string& section, const std::string& key,
                              const std::string& value) {
  return Gather(contrib_, values_, {section, key, value});
}

bool PendingChanges::PutRecord(const std::string& address, const std::string& recordKey,
                               const std::string& record) {
  return Gather(perm_, records_, {address, recordKey, record});
}

bool PendingChanges::Commit(Session& s) {
  // The last change of each record decides whether it stays or goes; keys match without
  // regard to case, as in the files.
  std::unordered_map<std::string, std::size_t> last;
  for (std::size_t i = 0; i < records_.size(); ++i) {
    last[AsciiLower(records_[i].section) + '\0' + AsciiLower(records_[i].key)] = i;
  }
  std::vector<IniEdit> kept, removed;
  for (std::size_t i = 0; i < records_.size(); ++i) {
    if (last[AsciiLower(records_[i].section) + '\0' + AsciiLower(records_[i].key)] != i) continue;
    (records_[i].value == kNul ? removed : kept).push_back(records_[i]);
  }

  const auto write = [&s](const std::string& file, const std::vector<IniEdit>& edits) {
    if (edits.empty()) return true;
    const IniFileSwitch toFile(s, file);
    return IniPutEntries(s, edits);
  };
  return write(s.db.PermIniFile, kept) && write(s.db.ContribIniFile, values_) &&
         write(s.db.PermIniFile, removed);
}

}  // namespace ostravel

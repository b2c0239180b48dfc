#include "qt/entry_history.h"

namespace ostravel {

void EntryHistory::Add(const QString& line) {
  if (!line.trimmed().isEmpty() && (lines_.isEmpty() || lines_.back() != line)) {
    lines_.append(line);
    if (lines_.size() > kMaxLines) lines_.removeFirst();
  }
  position_ = lines_.size();
  draft_.clear();
}

std::optional<QString> EntryHistory::Older(const QString& shown) {
  if (position_ == 0) return std::nullopt;
  if (position_ == lines_.size()) draft_ = shown;
  return lines_[--position_];
}

std::optional<QString> EntryHistory::Newer(const QString&) {
  if (position_ >= lines_.size()) return std::nullopt;
  ++position_;
  return position_ == lines_.size() ? draft_ : lines_[position_];
}

}  // namespace ostravel

#include "profile/profile_file.h"

#include <algorithm>

namespace ostravel {
namespace {

constexpr std::string_view kBlanks = " \t\r\v\f";

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(kBlanks);
  return text.substr(first, last - first + 1);
}

// A line without its line end (LF or CR LF).
std::string_view Content(std::string_view line) {
  if (!line.empty() && line.back() == '\n') {
    line.remove_suffix(1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  }
  return line;
}

bool IsBlankLine(std::string_view line) {
  return Trim(Content(line)).empty();
}

enum class LineKind { Other, Header, Entry };

struct ParsedLine {
  LineKind kind = LineKind::Other;
  std::string_view name;  // section name or key
  std::string_view value;
};

ParsedLine ParseLine(std::string_view content) {
  ParsedLine parsed;
  const auto first = content.find_first_not_of(kBlanks);
  if (first == std::string_view::npos || content[first] == ';') return parsed;
  if (content[first] == '[') {
    const auto close = content.find(']', first + 1);
    if (close != std::string_view::npos) {
      parsed.kind = LineKind::Header;
      parsed.name = Trim(content.substr(first + 1, close - first - 1));
    }
    return parsed;
  }
  const auto equals = content.find('=', first);
  if (equals == std::string_view::npos) return parsed;
  const auto key = Trim(content.substr(first, equals - first));
  // An empty key would end a NUL-separated key list early; a key holding NUL cannot be listed.
  if (key.empty() || key.find('\0') != std::string_view::npos) return parsed;
  auto value = content.substr(equals + 1);
  value = Trim(value.substr(0, value.find('\0')));  // values are C strings to their readers
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  parsed.kind = LineKind::Entry;
  parsed.name = key;
  parsed.value = value;
  return parsed;
}

// Editors on other systems start UTF-8 files with a byte-order mark; it is no part of the
// first line. The bytes stay in the file as they are.
std::string_view WithoutByteOrderMark(std::string_view line) {
  constexpr std::string_view kMark = "\xEF\xBB\xBF";
  if (line.starts_with(kMark)) line.remove_prefix(kMark.size());
  return line;
}

}  // namespace

ProfileFile::ProfileFile(std::string_view bytes) {
  std::size_t start = 0;
  while (start < bytes.size()) {
    const auto newline = bytes.find('\n', start);
    const auto end = newline == std::string_view::npos ? bytes.size() : newline + 1;
    lines_.emplace_back(bytes.substr(start, end - start));
    start = end;
  }
  Reindex();
}

void ProfileFile::AddEntry(Section& section, std::string_view key, std::string_view value,
                           std::size_t line) {
  section.bodyEnd = line + 1;
  if (section.index.try_emplace(AsciiLower(key), section.keys.size()).second) {
    section.keys.emplace_back(key);
    section.values.emplace_back(value);
    section.lines.push_back(line - section.header);
  }
}

void ProfileFile::Reindex() {
  sections_.clear();
  sectionIndex_.clear();
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    std::string_view content = Content(lines_[i]);
    if (i == 0) content = WithoutByteOrderMark(content);
    const auto parsed = ParseLine(content);
    if (parsed.kind == LineKind::Header) {
      if (!sections_.empty()) sections_.back().end = i;
      Section section;
      section.name = parsed.name;
      section.header = i;
      section.bodyEnd = i + 1;
      sectionIndex_.try_emplace(AsciiLower(parsed.name), sections_.size());
      sections_.push_back(std::move(section));
    } else if (parsed.kind == LineKind::Entry && !sections_.empty()) {
      AddEntry(sections_.back(), parsed.name, parsed.value, i);
    }
  }
  if (!sections_.empty()) sections_.back().end = lines_.size();
}

void ProfileFile::IndexSection(Section& section) const {
  section.bodyEnd = section.header + 1;
  section.keys.clear();
  section.values.clear();
  section.lines.clear();
  section.index.clear();
  for (std::size_t i = section.header + 1; i < section.end; ++i) {
    const auto parsed = ParseLine(Content(lines_[i]));
    if (parsed.kind == LineKind::Entry) AddEntry(section, parsed.name, parsed.value, i);
  }
}

void ProfileFile::ShiftSectionsAfter(std::size_t position, std::ptrdiff_t delta) {
  for (std::size_t i = position + 1; i < sections_.size(); ++i) {
    Section& section = sections_[i];
    section.header += delta;
    section.bodyEnd += delta;
    section.end += delta;
  }
}

const ProfileFile::Section* ProfileFile::FindSection(std::string_view section) const {
  const auto found = sectionIndex_.find(AsciiLower(Trim(section)));
  return found == sectionIndex_.end() ? nullptr : &sections_[found->second];
}

const std::string* ProfileFile::Find(std::string_view section, std::string_view key) const {
  const Section* found = FindSection(section);
  if (found == nullptr) return nullptr;
  const auto entry = found->index.find(AsciiLower(Trim(key)));
  return entry == found->index.end() ? nullptr : &found->values[entry->second];
}

const std::vector<std::string>& ProfileFile::Keys(std::string_view section) const {
  static const std::vector<std::string> kNone;
  const Section* found = FindSection(section);
  return found == nullptr ? kNone : found->keys;
}

bool ProfileFile::IsValidKey(std::string_view key) {
  if (key.find_first_of(std::string_view("\r\n\0=", 4)) != std::string_view::npos) return false;
  const auto trimmed = Trim(key);
  return !trimmed.empty() && trimmed.front() != '[' && trimmed.front() != ';';
}

bool ProfileFile::IsValidSection(std::string_view section) {
  return section.find_first_of(std::string_view("]\r\n\0", 4)) == std::string_view::npos &&
         !Trim(section).empty();
}

std::string ProfileFile::NewLineEnd() const {
  for (const auto& line : lines_) {
    if (!line.empty() && line.back() == '\n') {
      return line.size() >= 2 && line[line.size() - 2] == '\r' ? "\r\n" : "\n";
    }
  }
  return "\r\n";
}

void ProfileFile::TerminateLineBefore(std::size_t position) {
  if (position == 0) return;
  std::string& line = lines_[position - 1];
  if (!line.empty() && line.back() == '\n') return;
  const std::string lineEnd = NewLineEnd();
  if (!line.empty() && line.back() == '\r' && lineEnd == "\r\n") {
    line += '\n';
  } else {
    line += lineEnd;
  }
}

void ProfileFile::RemoveLines(std::size_t first, std::size_t last) {
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(first),
               lines_.begin() + static_cast<std::ptrdiff_t>(last));
}

ProfileFile::EditResult ProfileFile::Set(std::string_view section, std::string_view key,
                                         std::string_view value) {
  if (!IsValidSection(section) || !IsValidKey(key)) return EditResult::Refused;
  const auto name = Trim(section);
  const auto trimmedKey = Trim(key);
  std::string clean(value);
  std::replace_if(
      clean.begin(), clean.end(), [](char c) { return c == '\r' || c == '\n' || c == '\0'; }, ' ');
  const std::string lineEnd = NewLineEnd();

  if (const Section* found = FindSection(name)) {
    const auto at = static_cast<std::size_t>(found - sections_.data());
    Section& target = sections_[at];
    const auto entry = target.index.find(AsciiLower(trimmedKey));
    if (entry != target.index.end()) {
      // Keep the key as the file spells it and the blanks around "=", replace the value.
      std::string& line = lines_[target.header + target.lines[entry->second]];
      const auto content = Content(line);
      auto keep = content.find('=') + 1;
      while (keep < content.size() && (content[keep] == ' ' || content[keep] == '\t'))
        ++keep;
      std::string replaced = std::string(content.substr(0, keep)) + clean;
      replaced += std::string_view(line).substr(content.size());
      if (replaced == line) return EditResult::Unchanged;
      line = std::move(replaced);
      target.values[entry->second] = ParseLine(Content(line)).value;
    } else {
      // After the last entry: blank lines and comments that follow it introduce what comes next.
      const std::size_t position = target.bodyEnd;
      TerminateLineBefore(position);
      lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(position),
                    std::string(trimmedKey) + "=" + clean + lineEnd);
      const auto parsed = ParseLine(Content(lines_[position]));
      ++target.end;
      AddEntry(target, parsed.name, parsed.value, position);
      ShiftSectionsAfter(at, 1);
    }
    return EditResult::Changed;
  }
  TerminateLineBefore(lines_.size());
  if (!lines_.empty() && !IsBlankLine(lines_.back())) lines_.push_back(lineEnd);
  Section added;
  added.header = lines_.size();
  lines_.push_back("[" + std::string(name) + "]" + lineEnd);
  lines_.push_back(std::string(trimmedKey) + "=" + clean + lineEnd);
  added.name = ParseLine(Content(lines_[added.header])).name;
  added.end = lines_.size();
  IndexSection(added);
  if (!sections_.empty()) sections_.back().end = added.header;
  sectionIndex_.try_emplace(AsciiLower(added.name), sections_.size());
  sections_.push_back(std::move(added));
  return EditResult::Changed;
}

ProfileFile::EditResult ProfileFile::DeleteKey(std::string_view section, std::string_view key) {
  const Section* found = FindSection(section);
  if (found == nullptr) return EditResult::Unchanged;
  const std::string folded = AsciiLower(Trim(key));
  // Every line of the key goes, so that a repeated line cannot bring the deleted key back.
  std::vector<std::size_t> doomed;
  for (std::size_t i = found->header + 1; i < found->end; ++i) {
    const auto parsed = ParseLine(Content(lines_[i]));
    if (parsed.kind == LineKind::Entry && AsciiLower(parsed.name) == folded) doomed.push_back(i);
  }
  if (doomed.empty()) return EditResult::Unchanged;
  for (auto it = doomed.rbegin(); it != doomed.rend(); ++it)
    RemoveLines(*it, *it + 1);
  const auto at = static_cast<std::size_t>(found - sections_.data());
  sections_[at].end -= doomed.size();
  IndexSection(sections_[at]);
  ShiftSectionsAfter(at, -static_cast<std::ptrdiff_t>(doomed.size()));
  return EditResult::Changed;
}

ProfileFile::EditResult ProfileFile::DeleteSection(std::string_view section) {
  const std::string folded = AsciiLower(Trim(section));
  bool changed = false;
  for (auto it = sections_.rbegin(); it != sections_.rend(); ++it) {
    if (AsciiLower(it->name) != folded) continue;
    // The header and the entries go with the blank lines after them; comments after the last
    // entry stay, as they introduce what follows.
    std::size_t first = it->header;
    std::size_t last = it->bodyEnd;
    while (last < it->end && last < lines_.size() && IsBlankLine(lines_[last]))
      ++last;
    if (last >= lines_.size()) {
      while (first > 0 && IsBlankLine(lines_[first - 1]))
        --first;
    }
    RemoveLines(first, std::min(last, lines_.size()));
    changed = true;
  }
  if (!changed) return EditResult::Unchanged;
  Reindex();
  return EditResult::Changed;
}

std::string ProfileFile::Serialize() const {
  std::size_t size = 0;
  for (const auto& line : lines_)
    size += line.size();
  std::string bytes;
  bytes.reserve(size);
  for (const auto& line : lines_)
    bytes += line;
  return bytes;
}

}  // namespace ostravel

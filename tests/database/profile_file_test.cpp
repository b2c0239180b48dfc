#include "profile/profile_file.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace ostravel {
namespace {

using namespace std::string_literals;
using Result = ProfileFile::EditResult;

struct ReadRow {
  const char* name;
  std::string bytes;
  const char* section;
  std::string key;
  std::optional<std::string> expected;  // nullopt: not found
};

TEST(ProfileFileRead, FindsValuesAsTheFileSyntaxSays) {
  const ReadRow rows[] = {
      {"sections and keys match without regard to case", "[Consts]\nR=8\n", "CONSTS", "r", "8"},
      {"first of two sections counts", "[A]\nx=1\n[a]\nx=2\ny=3\n", "A", "x", "1"},
      {"keys of a repeated section are not seen", "[A]\nx=1\n[a]\ny=3\n", "A", "y", {}},
      {"first of two keys counts", "[A]\nx=1\nX=2\n", "a", "x", "1"},
      {"blanks around key and value dropped", "[A]\n  key one  =  v a l  \n", "A", "key one",
       "v a l"},
      {"tabs around key and value dropped", "[A]\n\tk\t=\tv\t\n", "A", "k", "v"},
      {"looked-up key is trimmed too", "[A]\nk=v\n", "A", "  k ", "v"},
      {"double quotes removed, inner blanks kept", "[A]\nk=\"  q  \"\n", "A", "k", "  q  "},
      {"single quotes removed", "[A]\nk='x'\n", "A", "k", "x"},
      {"unpaired quotes kept", "[A]\nk=\"x'\n", "A", "k", "\"x'"},
      {"a lone quote is kept", "[A]\nk=\"\n", "A", "k", "\""},
      {"CR LF line ends", "[A]\r\nk=v\r\n", "A", "k", "v"},
      {"last line without line end", "[A]\nk=v", "A", "k", "v"},
      {"last line ending in a lone CR", "[A]\r\nk=v\r", "A", "k", "v"},
      {"comment is no entry", "[A]\n;k=v\n", "A", ";k", {}},
      {"indented comment is no entry", "[A]\n  ;k=v\n", "A", ";k", {}},
      {"line without = is no entry", "[A]\nk\n", "A", "k", {}},
      {"entry before the first section is in none", "k=v\n[A]\n", "A", "k", {}},
      {"blanks inside the brackets dropped", "[ A ]\nk=v\n", "A", "k", "v"},
      {"text after the closing bracket ignored", "[A] ; note\nk=v\n", "A", "k", "v"},
      {"unclosed bracket opens no section", "[A]\nk=1\n[B\nj=2\n", "A", "j", "2"},
      {"only the first = splits", "[A]\nk=a=b\n", "A", "k", "a=b"},
      {"empty value is found", "[A]\nk=\n", "A", "k", ""},
      {"value ends at NUL", "[A]\nk=ab\0cd\n"s, "A", "k", "ab"},
      {"key holding NUL is no entry", "[A]\nk\0x=1\n"s, "A", "k\0x"s, {}},
      {"Latin-1 bytes kept", "[A]\nk=\xB5g\n", "A", "k", "\xB5g"},
      {"case folding is ASCII only", "[A]\n\xC4=1\n", "A", "\xE4", {}},
      {"hyphen and parentheses in section names", "[Constants-F(X)]\nSIN(X)=s\n", "constants-f(x)",
       "sin(x)", "s"},
      {"byte-order mark before the first section", "\xEF\xBB\xBF[A]\r\nk=v\r\n", "A", "k", "v"},
      {"byte-order mark before a comment", "\xEF\xBB\xBF; note\n[A]\nk=v\n", "A", "k", "v"},
      {"byte-order mark only at the start", "[A]\n\xEF\xBB\xBFk=v\n", "A", "k", {}},
      {"missing section", "[A]\nk=v\n", "B", "k", {}},
      {"empty file", "", "A", "k", {}},
  };
  for (const auto& row : rows) {
    const ProfileFile file(row.bytes);
    const std::string* value = file.Find(row.section, row.key);
    if (row.expected) {
      ASSERT_NE(value, nullptr) << row.name;
      EXPECT_EQ(*value, *row.expected) << row.name;
    } else {
      EXPECT_EQ(value, nullptr) << row.name;
    }
  }
}

TEST(ProfileFileRead, ListsKeysInFileOrderOnce) {
  const ProfileFile file(
      "[A]\nzeta=1\n; c=2\nalpha=3\n=4\njunk\nZETA=5\n  mid = 6\n[B]\nb=1\n[a]\nlate=1\n");
  EXPECT_EQ(file.Keys("a"), (std::vector<std::string>{"zeta", "alpha", "mid"}));
  EXPECT_TRUE(file.Keys("missing").empty());
}

struct EditRow {
  const char* name;
  std::string before;
  char op;  // 's' set, 'k' delete key, 'd' delete section
  const char* section;
  const char* key;
  std::string value;
  std::string after;
  Result result;
};

TEST(ProfileFileEdit, ChangesOnlyTheLinesItMust) {
  const EditRow rows[] = {
      {"value replaced in place", "[A]\nx=1\ny=2\n", 's', "A", "x", "9", "[A]\nx=9\ny=2\n",
       Result::Changed},
      {"byte-order mark kept", "\xEF\xBB\xBF[A]\nx=1\n", 's', "A", "x", "9",
       "\xEF\xBB\xBF[A]\nx=9\n", Result::Changed},
      {"key spelling and blanks around = kept", "[A]\nKey = 1\n", 's', "a", "KEY", "2",
       "[A]\nKey = 2\n", Result::Changed},
      {"same value leaves the file alone", "[A]\nx = 1\n", 's', "A", "x", "1", "[A]\nx = 1\n",
       Result::Unchanged},
      {"new key after the last entry, before what introduces the next section",
       "[A]\nx=1\n\n; about B\n[B]\ny=2\n", 's', "A", "z", "3",
       "[A]\nx=1\nz=3\n\n; about B\n[B]\ny=2\n", Result::Changed},
      {"new key into a section without entries", "[A]\n\n[B]\n", 's', "A", "k", "v",
       "[A]\nk=v\n\n[B]\n", Result::Changed},
      {"new key keeps CR LF", "[A]\r\nx=1\r\n", 's', "A", "y", "2", "[A]\r\nx=1\r\ny=2\r\n",
       Result::Changed},
      {"new section at the end after a blank line", "[A]\nx=1\n", 's', "B", "k", "v",
       "[A]\nx=1\n\n[B]\nk=v\n", Result::Changed},
      {"new file is written with CR LF", "", 's', "A", "k", "v", "[A]\r\nk=v\r\n", Result::Changed},
      {"unterminated last line gets the file's line end", "[A]\r\nx=1", 's', "A", "y", "2",
       "[A]\r\nx=1\r\ny=2\r\n", Result::Changed},
      {"unterminated last line before a new section", "[A]\nx=1", 's', "B", "k", "v",
       "[A]\nx=1\n\n[B]\nk=v\n", Result::Changed},
      {"trailing blank line reused before a new section", "[A]\nx=1\n\n", 's', "B", "k", "v",
       "[A]\nx=1\n\n[B]\nk=v\n", Result::Changed},
      {"untouched lines keep every byte",
       "; head  \r\n[A]\r\nx = 1 \r\n  \r\n[B]\n\tq=\"s\"\r\nr=1\r\n", 's', "B", "q", "t",
       "; head  \r\n[A]\r\nx = 1 \r\n  \r\n[B]\n\tq=t\r\nr=1\r\n", Result::Changed},
      {"writes go to the first of two sections", "[A]\nx=1\n[B]\n[A]\ny=2\n", 's', "A", "z", "3",
       "[A]\nx=1\nz=3\n[B]\n[A]\ny=2\n", Result::Changed},
      {"line breaks and NUL in a value become blanks", "[A]\n", 's', "A", "k", "a\r\nb\0c"s,
       "[A]\nk=a  b c\n", Result::Changed},
      {"key written trimmed", "[A]\n", 's', "A", "  k  ", "v", "[A]\nk=v\n", Result::Changed},
      {"key deleted", "[A]\nx=1\ny=2\n", 'k', "A", "x", "", "[A]\ny=2\n", Result::Changed},
      {"key deleted without regard to case, every line of it", "[A]\nx=1\nX=2\ny=3\n", 'k', "a",
       "x", "", "[A]\ny=3\n", Result::Changed},
      {"missing key: nothing to delete", "[A]\nx=1\n", 'k', "A", "y", "", "[A]\nx=1\n",
       Result::Unchanged},
      {"key of a missing section: nothing to delete", "[A]\nx=1\n", 'k', "B", "x", "", "[A]\nx=1\n",
       Result::Unchanged},
      {"section deleted, comment introducing the next kept",
       "[A]\nx=1\n\n[B]\ny=2\n\n; about C\n[C]\nz=3\n", 'd', "b", "", "",
       "[A]\nx=1\n\n; about C\n[C]\nz=3\n", Result::Changed},
      {"last section deleted with the blank line before it", "[A]\nx=1\n\n[B]\ny=2\n", 'd', "B", "",
       "", "[A]\nx=1\n", Result::Changed},
      {"every section of the name deleted", "[A]\nx=1\n[B]\n[a]\ny=2\n", 'd', "A", "", "", "[B]\n",
       Result::Changed},
      {"missing section: nothing to delete", "[A]\nx=1\n", 'd', "B", "", "", "[A]\nx=1\n",
       Result::Unchanged},
  };
  for (const auto& row : rows) {
    ProfileFile file(row.before);
    Result result = Result::Refused;
    if (row.op == 's') result = file.Set(row.section, row.key, row.value);
    if (row.op == 'k') result = file.DeleteKey(row.section, row.key);
    if (row.op == 'd') result = file.DeleteSection(row.section);
    EXPECT_EQ(result, row.result) << row.name;
    EXPECT_EQ(file.Serialize(), row.after) << row.name;
  }
}

TEST(ProfileFileEdit, WrittenEntriesReadBack) {
  ProfileFile file;
  ASSERT_EQ(file.Set("Constants-Acids", "KA1", "7.1E-3|phosphoric acid"), Result::Changed);
  ASSERT_EQ(file.Set("constants-acids", "ka2", "6.3E-8"), Result::Changed);
  const ProfileFile reread(file.Serialize());
  ASSERT_NE(reread.Find("CONSTANTS-ACIDS", "Ka1"), nullptr);
  EXPECT_EQ(*reread.Find("CONSTANTS-ACIDS", "Ka1"), "7.1E-3|phosphoric acid");
  EXPECT_EQ(reread.Keys("Constants-Acids"), (std::vector<std::string>{"KA1", "ka2"}));
}

// After any sequence of edits the file answers as the same bytes read afresh: the index that
// each edit keeps up to date is the one a new parse builds.
TEST(ProfileFileEdit, EditedFileReadsLikeItsBytes) {
  ProfileFile file("; head\n[A]\nx=1\n\n; about B\n[B]\ny=2\n[a]\nlate=1\n[C]\n");
  const char* const sections[] = {"A", "b", "C", "D", "E"};
  const char* const keys[] = {"x", "Y", "z", "k1", "K2", "late"};
  unsigned state = 12345;
  auto next = [&state](unsigned n) {
    state = state * 1103515245 + 12345;
    return (state >> 16) % n;
  };
  for (int step = 0; step < 400; ++step) {
    const char* section = sections[next(5)];
    const char* key = keys[next(6)];
    switch (next(8)) {
      case 0:
        file.DeleteKey(section, key);
        break;
      case 1:
        if (next(4) == 0) file.DeleteSection(section);
        break;
      default:
        file.Set(section, key, "v" + std::to_string(step));
    }
    const ProfileFile reread(file.Serialize());
    for (const char* s : sections) {
      ASSERT_EQ(file.Keys(s), reread.Keys(s)) << "step " << step << ", section " << s;
      for (const char* k : keys) {
        const std::string* edited = file.Find(s, k);
        const std::string* fresh = reread.Find(s, k);
        ASSERT_EQ(edited == nullptr, fresh == nullptr) << "step " << step << " " << s << k;
        if (edited != nullptr) {
          ASSERT_EQ(*edited, *fresh) << "step " << step << " " << s << k;
        }
      }
    }
  }
}

// Counts header and entry lines the way any profile reader would see them.
void CountLines(const std::string& bytes, int& headers, int& entries) {
  headers = entries = 0;
  std::size_t start = 0;
  while (start < bytes.size()) {
    auto end = bytes.find_first_of("\r\n", start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    const auto first = line.find_first_not_of(" \t");
    if (first != std::string::npos && line[first] == '[')
      ++headers;
    else if (first != std::string::npos && line[first] != ';' &&
             line.find('=') != std::string::npos)
      ++entries;
    start = end + 1;
  }
}

TEST(ProfileFileEdit, HostileKeysAndSectionsAreRefused) {
  const std::string before = "[Contributed-Acids]\r\nKA=1\r\n";
  const std::string keys[] = {
      "x\r\n[Permissions]\r\nevil@example.org=pw",
      "x\n[Permissions]",
      "x\rTOLVANE=1",
      "[Permissions]",
      "  [Permissions]",
      ";hidden",
      "a=b",
      "",
      "   ",
      "\t",
      "a\0b"s,
      "x\n",
  };
  for (const auto& key : keys) {
    ProfileFile file(before);
    EXPECT_EQ(file.Set("Contributed-Acids", key, "1"), Result::Refused) << key;
    EXPECT_EQ(file.Serialize(), before) << key;
  }
  const std::string sections[] = {
      "Acids]\r\n[Permissions", "Acids\n", "Acids\rx", "A]", "", "  ", "Acids\0x"s,
  };
  for (const auto& section : sections) {
    ProfileFile file(before);
    EXPECT_EQ(file.Set(section, "K", "1"), Result::Refused) << section;
    EXPECT_EQ(file.Serialize(), before) << section;
  }
}

TEST(ProfileFileEdit, HostileValuesStayOneEntry) {
  const std::string values[] = {
      "1\r\n[Permissions]\r\nevil@example.org=pw",
      "1\n[Permissions]\nevil=pw",
      "1\r[Permissions]",
      "1\0\n[Permissions]\nevil=pw"s,
      "\r\n\r\n",
      "[Permissions]",
      "a=b\nc=d",
  };
  for (const auto& value : values) {
    ProfileFile file;
    ASSERT_EQ(file.Set("Contributed-Acids", "KA", value), Result::Changed) << value;
    const std::string bytes = file.Serialize();
    int headers = 0, entries = 0;
    CountLines(bytes, headers, entries);
    EXPECT_EQ(headers, 1) << bytes;
    EXPECT_EQ(entries, 1) << bytes;
    const ProfileFile reread(bytes);
    EXPECT_EQ(reread.Keys("Contributed-Acids"), (std::vector<std::string>{"KA"}));
    EXPECT_TRUE(reread.Keys("Permissions").empty()) << bytes;
  }
}

}  // namespace
}  // namespace ostravel

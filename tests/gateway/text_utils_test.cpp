#include "gateway/text_utils.h"
#include "runtime/replace_all.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "support/recording_platform.h"
#include "support/temp_dir.h"

namespace ostravel {
namespace {

using namespace std::string_literals;

struct ReplaceRow {
  const char* name;
  std::string text, find, repl, expected;
};

TEST(ReplaceAll, ReplacesEveryOccurrence) {
  const ReplaceRow rows[] = {
      {"replacement holding the search text", "a&b&&c", "&", "&amp", "a&ampb&amp&ampc"},
      {"seam formed by a deletion is deleted too", "aabb", "ab", "", ""},
      {"separator already in the text becomes the replacement", "x\x1fy&", "&", "&amp",
       "x&ampy&amp"},
      {"empty search text leaves the text", "abc", "", "x", "abc"},
      {"no occurrence", "abc", "d", "e", "abc"},
      {"empty text", "", "a", "b", ""},
      {"same length overwrite", "a**b**", "**", "^^", "a^^b^^"},
      {"shorter replacement", "a**b", "**", "^", "a^b"},
      {"odd run of stars", "***", "**", "^", "^*"},
      {"blanks before a parenthesis all go", "x   (y) (", " (", "(", "x(y)("},
      {"seam with the text before", "aab", "ab", "b", "b"},
      {"seam with the text after", "abb", "ab", "a", "a"},
      {"seam across a replacement", "abab", "ab", "a", "aa"},
      {"nested deletions", "aaabbb", "ab", "", ""},
      {"whole text is one occurrence", "abc", "abc", "", ""},
      {"longer replacement without the search text", "a.b.c", ".", "--", "a--b--c"},
      {"separator as search text with itself in the replacement", "a\037b", "\037", "<\037>",
       "a<\037>b"},
      {"replacement holding the search text and the separator", "a&b", "&", "&\037", "a&\037b"},
      {"NUL bytes are ordinary characters", "a\0b\0"s, "\0"s, "|", "a|b|"},
  };
  for (const auto& row : rows) {
    std::string text = row.text;
    ReplaceAll(text, row.find, row.repl);
    EXPECT_EQ(text, row.expected) << row.name;
  }
}

// The definition, written the slow way: replace the first occurrence, search again from the
// start. Returns false when the text grows past a limit (some rules grow it exponentially).
bool ReplaceFromStartEachTime(std::string& text, const std::string& find, const std::string& repl) {
  if (repl.find(find) != std::string::npos) {
    return ReplaceFromStartEachTime(text, find, "\x1f") &&
           ReplaceFromStartEachTime(text, "\x1f", repl);
  }
  for (std::size_t p = text.find(find); p != std::string::npos; p = text.find(find)) {
    text = text.substr(0, p) + repl + text.substr(p + find.size());
    if (text.size() > 4000) return false;
  }
  return true;
}

TEST(ReplaceAll, MatchesTheSearchFromTheStartOnRandomTexts) {
  std::mt19937 random(20240611);
  auto word = [&](std::size_t min, std::size_t max) {
    std::string w(std::uniform_int_distribution<std::size_t>(min, max)(random), ' ');
    for (char& c : w)
      c = "aab"[random() % 3];
    return w;
  };
  int compared = 0;
  for (int i = 0; i < 20000; ++i) {
    const std::string text = word(0, 14), find = word(1, 3), repl = word(0, 4);
    std::string expected = text;
    if (!ReplaceFromStartEachTime(expected, find, repl)) continue;
    std::string actual = text;
    ReplaceAll(actual, find, repl);
    ASSERT_EQ(actual, expected) << "text '" << text << "' find '" << find << "' repl '" << repl
                                << "'";
    ++compared;
  }
  EXPECT_GT(compared, 19000);
}

TEST(ReplaceAll, LongTextsWithManyOccurrencesFinish) {
  std::string text;
  for (int i = 0; i < 200000; ++i)
    text += "x&y";
  ReplaceAll(text, "&", "&amp;");
  EXPECT_EQ(text.size(), 200000u * 7);
  ReplaceAll(text, "&amp;", "");
  EXPECT_EQ(text.size(), 200000u * 2);

  std::string nested = std::string(100000, 'a') + std::string(100000, 'b');
  ReplaceAll(nested, "ab", "");
  EXPECT_EQ(nested, "");
}

TEST(HtmlEscape, TrimsAndWritesCharacterReferences) {
  const struct {
    const char* name;
    const char* text;
    const char* expected;
  } rows[] = {
      {"trimmed, ampersand and angle brackets", "  x<y & z>0  ", "x&lt;y &amp; z&gt;0"},
      {"double quotes", "say \"hi\"", "say &quot;hi&quot;"},
      {"double quote before the letter e", "\"e", "&quot;e"},
      {"single quotes stay", "it's", "it's"},
      {"an existing reference is escaped again", "a&amp;b", "a&amp;amp;b"},
      {"all four, ampersand first", "<>&\"", "&lt;&gt;&amp;&quot;"},
      {"blanks only", "   ", ""},
      {"only blanks are trimmed", "\tx\t", "\tx\t"},
      {"Latin-1 bytes stay", "\xb5g \xe9", "\xb5g \xe9"},
  };
  for (const auto& row : rows) {
    std::string text = row.text;
    HtmlEscape(text);
    EXPECT_EQ(text, row.expected) << row.name;
  }
}

TEST(GetField, ReadsTheFirstTrimmedValue) {
  const struct {
    const char* name;
    std::string list, field, expected;
  } rows[] = {
      {"trimmed value", "ID=5\0CALC= 2+3 "s, "CALC", "2+3"},
      {"names are case-sensitive", "ID=5\0CALC= 2+3 "s, "calc", ""},
      {"name matches only at the start of a field", "ID=5\0CALC= 2+3 "s, "ALC", ""},
      {"first field wins", "x=1\0x=2"s, "x", "1"},
      {"value may hold equals signs and blanks", "a=b = c\0"s, "a", "b = c"},
      {"leading and doubled NULs are harmless", "\0\0a=1\0\0"s, "a", "1"},
      {"longer name with the same start", "ab=1\0a=2"s, "a", "2"},
      {"field without equals sign", "\0name\0"s, "name", ""},
      {"empty value", "a=\0b=2"s, "a", ""},
      {"empty name reads a field that starts with equals", "x\0=v"s, "", "v"},
      {"empty list", "", "a", ""},
      {"name holding a NUL never spans two fields", "a\0b=1"s, "a\0b"s, ""},
      {"only blanks are trimmed", "a=\t1\t"s, "a", "\t1\t"},
      {"bytes above 127", "n=\xe9t\xe9"s, "n", "\xe9t\xe9"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(GetField(row.list, row.field), row.expected) << row.name;
  }
  // The raw value keeps its blanks: a password is taken as typed.
  EXPECT_EQ(GetRawField("ID=5\0pass= secret \0"s, "pass"), " secret ");
  EXPECT_EQ(GetRawField("x=1\0x=2"s, "x"), "1");
  EXPECT_EQ(GetRawField("pass\0"s, "pass"), "");
}

TEST(GetField, FindsAFieldAtTheEndOfAVeryLongList) {
  std::string list;
  for (int i = 0; i < 50000; ++i)
    list += "\0F"s + std::to_string(i) + "=" + std::to_string(i);
  EXPECT_EQ(GetField(list, "F49999"), "49999");
  EXPECT_EQ(GetField(list, "F50000"), "");
}

TEST(UrlDecode, DecodesARequestIntoFields) {
  const struct {
    const char* name;
    std::string request, expected;
  } rows[] = {
      {"decoded, then an incomplete escape", "%41%4", "A%4"},
      {"a decoded percent sign is not decoded again", "%2541", "%41"},
      {"%00 stays", "%00", "%00"},
      {"encoded line break splits fields", "a%0D%0Ab", "a\0b"s},
      {"at sign", "%40", "@"},
      {"blank", "%20", " "},
      {"plus is a blank", "a+b", "a b"},
      {"encoded plus survives", "%2B", "+"},
      {"encoded ampersand stays in its value", "x=a%26b&y=1", "x=a&b\0y=1"s},
      {"raw ampersand splits", "x=a&b", "x=a\0b"s},
      {"request line", "3 GET /calc?CALC=1%2B2&ID=77 HTTP/1.0",
       "3 GET /calc?\0CALC=1+2\0ID=77 \0HTTP=/1.0"s},
      {"lower-case protocol name is text", "http", "http"},
      {"question mark starts a field", "a?b", "a?\0b"s},
      {"lower-case hex digits", "%e9t%E9", "\xe9t\xe9"},
      {"highest code", "%FF", "\xff"},
      {"non-hex digit", "%G1%1G", "%G1%1G"},
      {"percent before an escape", "%%41", "%A"},
      {"percent at the end", "abc%", "abc%"},
      {"percent and one character at the end", "abc%4", "abc%4"},
      {"lone percent", "%", "%"},
      {"lone line feed stays", "a%0Ab", "a\nb"},
      {"raw CR LF splits", "a\r\nb", "a\0b"s},
      {"raw NUL bytes stay", "a\0b"s, "a\0b"s},
      {"raw bytes above 127 stay", "\xb5\xff", "\xb5\xff"},
      {"empty request", "", ""},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(UrlDecode(row.request), row.expected) << row.name;
  }
}

TEST(UrlDecode, HandlesVeryLongRequests) {
  std::string request = "CALC=";
  for (int i = 0; i < 300000; ++i)
    request += "%41+";
  request += "%";
  const std::string fields = UrlDecode(request);
  EXPECT_EQ(fields.size(), 5u + 600000u + 1u);
  EXPECT_EQ(fields.substr(0, 9), "CALC=A A ");
  EXPECT_EQ(GetField(fields, "CALC").back(), '%');
}

TEST(FillPattern, PutsTheEscapedValueAtEveryMark) {
  const struct {
    const char* name;
    const char* value;
    const char* pattern;
    const char* expected;
  } rows[] = {
      {"empty value keeps the marks", "", "<b>%%</b>", "<b>%%</b>"},
      {"a blank fills in nothing", " ", "<b>%%</b>", "<b></b>"},
      {"escaped into both places, quotes turned", "a<b", "<i title='%%'>%%</i>",
       "<i title=\"a&lt;b\">a&lt;b</i>"},
      {"pattern trimmed", "x", "  <b>%%</b>  ", "<b>x</b>"},
      {"value trimmed", "  7  ", "<b>%%</b>", "<b>7</b>"},
      {"inserted marks are not filled again", "50%%", "<b>%%</b>|%%", "<b>50%%</b>|50%%"},
      {"third percent sign stays", "x", "%%%", "x%"},
      {"double quote in the value", "say \"hi\"", "<p>%%</p>", "<p>say &quot;hi&quot;</p>"},
      {"no mark", "x", "<br>", "<br>"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(FillPattern(row.value, row.pattern), row.expected) << row.name;
  }
}

TEST(FillPattern, UnderscoreQuoteUnderscoreBecomesASingleQuoteAfterwards) {
  std::string block = FillPattern("8.314|R", "<input type='radio' onclick='sdo(_'_%%_'_)'>");
  ReplaceAll(block, "_\"_", "'");
  EXPECT_EQ(block, "<input type=\"radio\" onclick=\"sdo('8.314|R')\">");
}

class ReadTemplateTest : public ::testing::Test {
 protected:
  std::string Read(const std::string& bytes, std::string_view fields) {
    return ReadTemplate(ui, dir.Write("t.ht_", bytes), fields);
  }
  testing::TempDir dir;
  testing::RecordingPlatform ui;
};

TEST_F(ReadTemplateTest, FillsPlaceholdersLineByLine) {
  const std::string fields = "\0x=1\0e=\0v=%%x%%\0h=<b>a&b</b>"s;
  const struct {
    const char* name;
    std::string file, expected;
    int beeps;
  } rows[] = {
      {"two placeholders, one empty", "x=%%x%% e=%%e%%", "x=1 e=\r\n", 0},
      {"unclosed mark beeps and keeps the line", "50%% off", "50%% off\r\n", 1},
      {"rest after an unclosed mark", "%%x%% and %%x", "1 and %%x\r\n", 1},
      {"one beep per line", "a%%\nb%%\n", "a%%\r\nb%%\r\n", 2},
      {"empty file gives one line end", "", "\r\n", 0},
      {"LF line ends", "a\nb\n", "a\r\nb\r\n", 0},
      {"CR LF line ends", "a\r\nb\r\n", "a\r\nb\r\n", 0},
      {"no line end at the end", "a\nb", "a\r\nb\r\n", 0},
      {"blank lines kept", "a\n\n\r\nb", "a\r\n\r\n\r\nb\r\n", 0},
      {"lone CR ends a line", "a\rb", "a\r\nb\r\n", 0},
      {"unknown name disappears", "[%%nope%%]", "[]\r\n", 0},
      {"inserted values are not searched", "%%v%%", "%%x%%\r\n", 0},
      {"inserted values are not escaped", "%%h%%", "<b>a&b</b>\r\n", 0},
      {"adjacent placeholders", "%%x%%%%x%%", "11\r\n", 0},
      {"empty name", "%%%%", "\r\n", 0},
      {"NUL and Latin-1 bytes kept", "\xe9\0%%x%%"s,
       "\xe9\0"s
       "1\r\n",
       0},
  };
  for (const auto& row : rows) {
    ui.beeps = 0;
    EXPECT_EQ(Read(row.file, fields), row.expected) << row.name;
    EXPECT_EQ(ui.beeps, row.beeps) << row.name;
  }
}

TEST_F(ReadTemplateTest, MissingOrUnreadableFileGivesEmptyText) {
  EXPECT_EQ(ReadTemplate(ui, dir.File("missing.ht_"), "x=1"), "");
  EXPECT_EQ(ReadTemplate(ui, dir.path().string(), "x=1"), "");  // a folder
  EXPECT_EQ(ReadTemplate(ui, "", "x=1"), "");
  EXPECT_EQ(ui.beeps, 0);
}

TEST_F(ReadTemplateTest, LongLinesWithManyPlaceholders) {
  std::string line;
  for (int i = 0; i < 20000; ++i)
    line += "<td>%%x%%</td>";
  std::string expected;
  for (int i = 0; i < 20000; ++i)
    expected += "<td>1</td>";
  EXPECT_EQ(Read(line + "\n" + line, "x=1"), expected + "\r\n" + expected + "\r\n");
}

}  // namespace
}  // namespace ostravel

#include "gateway/html_pages.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "gateway/gateway_test_support.h"

namespace ostravel::testing {
namespace {

// What a browser makes of HTML text or an attribute value holding character references.
std::string DecodeHtmlText(const std::string& attribute) {
  std::string html;
  for (std::size_t i = 0; i < attribute.size(); ++i) {
    bool replaced = false;
    for (auto [ref, c] : {std::pair{"&amp;", '&'}, {"&quot;", '"'}, {"&lt;", '<'}, {"&gt;", '>'}}) {
      std::string r(ref);
      if (attribute.compare(i, r.size(), r) == 0) {
        html += c;
        i += r.size() - 1;
        replaced = true;
        break;
      }
    }
    if (!replaced) html += attribute[i];
  }
  return html;
}

// What a browser makes of the text between the single quotes of onclick="sdo('...')": the
// attribute's character references first, then the JavaScript string's escapes.
std::string DecodeSdoArgument(const std::string& attribute) {
  const std::string html = DecodeHtmlText(attribute);
  std::string js;
  for (std::size_t i = 0; i < html.size(); ++i) {
    if (html[i] != '\\') {
      js += html[i];
      continue;
    }
    char next = html[++i];
    if (next == 'r')
      js += '\r';
    else if (next == 'n')
      js += '\n';
    else if (next == 'x') {
      js += static_cast<char>(std::stoi(html.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else
      js += next;
  }
  return js;
}

struct RadioLine {
  std::string rawArgument;  // between sdo(' and ')
  std::string rawLabel;     // after the input up to the line end
};

std::vector<RadioLine> RadioLines(const std::string& block) {
  std::vector<RadioLine> lines;
  const std::string open = "<INPUT type=\"radio\" name=\"rad\" onclick=\"sdo('";
  for (std::size_t p = block.find(open); p != std::string::npos; p = block.find(open, p + 1)) {
    std::size_t start = p + open.size();
    std::size_t close = block.find("')\">", start);
    std::size_t end = block.find("\r\n", close);
    lines.push_back({block.substr(start, close - start), block.substr(close + 4, end - close - 4)});
  }
  return lines;
}

struct EntryRow {
  const char* name;
  const char* type;    // "Constants", "Examples" or "Contributed"
  const char* prefix;  // of the category "Cat"
  const char* key;
  const char* entry;     // the text after "key=" in the file
  const char* argument;  // what sdo must receive
  const char* label;     // the text the visitor must read
};

const EntryRow kEntryRows[] = {
    {"plain constant", "Constants", "", "R", "8.314|gas constant", "8.314|R", "R (gas constant)"},
    {"prefixed constant", "Constants", "KSP", "AGCL", "1.8E-10|silver chloride",
     "1.8E-10|<KSPAGCL>", "Cat AGCL (silver chloride)"},
    {"example ignores its prefix", "Examples", "EX", "Water", "MW(H2O)|molar mass", "MW(H2O)|_",
     "Water (molar mass)"},
    {"description equal to key", "Constants", "", "pi", "3.14159|pi", "3.14159|pi", "pi"},
    {"value keeps its trailing blank", "Constants", "", "H", "1.008 | hydrogen", "1.008 |H",
     "H (hydrogen)"},
    {"single quotes", "Contributed", "", "q'k", "1+2'3|it's", "1+2'3|q'k", "q'k (it's)"},
    {"backslashes", "Contributed", "", "b", "4\\5\\|back\\slash", "4\\5\\|b", "b (back\\slash)"},
    {"script closer", "Contributed", "", "s", "</script><script>alert(1)</script>|<b>x</b>",
     "</script><script>alert(1)</script>|s", "s (<b>x</b>)"},
    {"ampersand and double quote", "Contributed", "", "a&b", "x&y\"z|\"q\" & r", "x&y\"z|a&b",
     "a&b (\"q\" & r)"},
    {"hostile prefix", "Contributed", "'\"\\", "k", "1", "1|<'\"\\k>", "Cat k"},
};

class EntryLines : public ::testing::TestWithParam<EntryRow> {};

TEST_P(EntryLines, ReachSdoExactlyAndShowAsText) {
  const EntryRow& row = GetParam();
  GatewaySession g;
  const std::string type = row.type;
  const std::string section = "[" + type + "]\nCat=" + row.prefix + "\n[" + type + "-Cat]\n" +
                              row.key + "=" + row.entry + "\n";
  if (type == "Contributed") {
    g.Load("", section);
    g.s.db.IniFile = g.s.db.ContribIniFile;
  } else {
    g.Load(section);
  }
  const std::string block = MakeCategoryBlock(g.s, type, "Cat");
  const auto lines = RadioLines(block);
  ASSERT_EQ(lines.size(), 1u) << block;
  const std::string& raw = lines[0].rawArgument;
  // Nothing in the attribute can end it, end the JavaScript string or close a script.
  EXPECT_EQ(raw.find('"'), std::string::npos) << raw;
  EXPECT_EQ(raw.find('<'), std::string::npos) << raw;
  for (std::size_t p = raw.find('\''); p != std::string::npos; p = raw.find('\'', p + 1))
    EXPECT_EQ(raw[p - 1], '\\') << raw;
  EXPECT_EQ(DecodeSdoArgument(raw), row.argument);
  EXPECT_EQ(lines[0].rawLabel.find('<'), std::string::npos) << lines[0].rawLabel;
  EXPECT_EQ(DecodeHtmlText(lines[0].rawLabel), row.label);
}

INSTANTIATE_TEST_SUITE_P(Rows, EntryLines, ::testing::ValuesIn(kEntryRows), [](const auto& test) {
  std::string name = test.param.name;
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
});

TEST(EscapeSdoArgument, EscapesForTheStringThenForTheAttribute) {
  struct Row {
    const char* input;
    const char* expected;
  } rows[] = {
      {"a'b", "a\\'b"},
      {"a\\b", "a\\\\b"},
      {"a\r\nb", "a\\r\\nb"},
      {"</x>", "&lt;\\/x&gt;"},
      {"&\"", "&amp;&quot;"},
      {"\x01", "\\x01"},
      {" keep blanks ", " keep blanks "},
  };
  for (const Row& row : rows)
    EXPECT_EQ(EscapeSdoArgument(row.input), row.expected) << row.input;
}

TEST(UrlFragment, EncodesWhatWouldEndOrChangeTheFragment) {
  struct Row {
    const char* name;
    const char* fragment;
  } rows[] = {
      {"Physical", "Physical"},   {"No #1", "No%20%231"},
      {"50% off", "50%25%20off"}, {"A&B <c>", "A&B%20<c>"},  // escaped for the attribute afterwards
      {"\xB5g", "\xB5g"},  // the browser encodes it as the page's text
  };
  for (const Row& row : rows)
    EXPECT_EQ(UrlFragment(row.name), row.fragment) << row.name;
}

TEST(MakeCategoryBlock, OrdersByDescriptionThenKeyWithoutRegardToCase) {
  GatewaySession g;
  g.Load(
      "[Constants]\nCat=\n[Constants-Cat]\n"
      "zeta=1|beta\nAlpha=2|Alpha\nbeta=3\nA=4\ngamma=5|ALPHA\n");
  const auto lines = RadioLines(MakeCategoryBlock(g.s, "Constants", "Cat"));
  std::vector<std::string> keys;
  for (const auto& line : lines)
    keys.push_back(DecodeSdoArgument(line.rawArgument));
  // No description first (A, beta), then by description: Alpha, ALPHA (stable), beta.
  EXPECT_EQ(keys, (std::vector<std::string>{"4|A", "3|beta", "2|Alpha", "5|gamma", "1|zeta"}));
}

TEST(MakeCategoryBlock, EmptyCategoryIsHeadingAndEnd) {
  GatewaySession g;
  g.Load("[Constants]\nA&B=\n");
  EXPECT_EQ(MakeCategoryBlock(g.s, "Constants", "A&B"),
            "<pre><a name=\"A&amp;B\"><h4>A&amp;B</h4></a>\r\n</pre>");
}

class Pages : public ::testing::Test {
 protected:
  void SetUp() override {
    g.Load(
        "[Options]\nQUICKURL=open-browser\n"
        "[Constants]\nPhys=\nA&B=\n[Constants-Phys]\nR=8.314|gas constant\n"
        "[Examples]\nGases=\n[Examples-Gases]\nIdeal=1+1\n",
        "[Contributed]\nMine=|me@example.com\n[Contributed-Mine]\nk=7\n");
    g.dir.Write("tolvanes.ht_", "<head>HEADER</head>");
    g.dir.Write("tolvane1.ht_", "<nav>\r\n%%refs%%\r\n</nav>\r\n");
  }
  GatewaySession g;
};

TEST_F(Pages, WritesFourPagesWithCrLfLines) {
  MakeHtmlPages(g.s);
  for (const char* page : {"tolvane1.htm", "tolvanec.htm", "tolvanee.htm", "tolvanem.htm"}) {
    const std::string text = g.dir.Read(page);
    ASSERT_FALSE(text.empty()) << page;
    for (std::size_t p = text.find('\n'); p != std::string::npos; p = text.find('\n', p + 1))
      ASSERT_EQ(text[p - 1], '\r') << page;
  }
  const std::string constants = g.dir.Read("tolvanec.htm");
  EXPECT_EQ(constants.rfind("<head>HEADER</head>\r\n<BODY><form NAME=\"FORM\"><input "
                            "type=\"hidden\" name=\"SDO\" value=\"_\">\r\n\r\n<pre>",
                            0),
            0u)
      << constants;
  EXPECT_NE(constants.find("sdo('8.314|R')\">R (gas constant)\r\n</pre>"), std::string::npos);
  EXPECT_TRUE(constants.ends_with("</pre>\r\n</form></body>\r\n"));
}

TEST_F(Pages, IndexLinksEveryCategoryInTypeOrder) {
  MakeHtmlPages(g.s);
  EXPECT_EQ(g.dir.Read("tolvane1.htm"),
            "<nav>\r\n"
            "<a name=\"Constants\"><H4>Constants</H4></a>\r\n"
            "<a href=\"tolvanec.htm#Phys\" target=\"QORNE_list\">Phys</a><br>\r\n"
            "<a href=\"tolvanec.htm#A&amp;B\" target=\"QORNE_list\">A&amp;B</a><br>\r\n"
            "<a name=\"Examples\"><H4>Examples</h4></a>\r\n"
            "<a href=\"tolvanee.htm#Gases\" target=\"QORNE_list\">Gases</a><br>\r\n"
            "<a name=\"More\"><H4>Contributed Values</H4></a>\r\n"
            "<a href=\"tolvanem.htm#Mine\" target=\"QORNE_list\">Mine</a><br>\r\n"
            "\r\n</nav>\r\n\r\n");
  EXPECT_NE(g.dir.Read("tolvanec.htm").find("<a name=\"A&amp;B\">"), std::string::npos);
}

TEST_F(Pages, SaysWhereThePagesWentUnlessQuietThenQuickUrl) {
  MakeHtmlPages(g.s);
  EXPECT_TRUE(g.ui.messages.empty());
  EXPECT_EQ(g.ui.statuses,
            std::vector<std::string>{"web pages written to " + g.dir.path().string()});
  EXPECT_EQ(g.ui.started, std::vector<std::string>{"open-browser"});

  g.s.flags.QuietMode = true;
  MakeHtmlPages(g.s);
  EXPECT_TRUE(g.ui.messages.empty());
  EXPECT_EQ(g.ui.statuses.size(), 1u);
  EXPECT_EQ(g.ui.started.size(), 2u);
}

TEST_F(Pages, APageThatCannotBeWrittenIsNamedAndMadeAgainNextTime) {
  const struct {
    const char* name;
    const char* page;
  } rows[] = {{"a list page", "tolvanec.htm"}, {"the index", "tolvane1.htm"}};
  for (const auto& row : rows) {
    // A folder in the page's place: no file can replace it.
    std::filesystem::remove(g.dir.File(row.page));
    std::filesystem::create_directory(g.dir.File(row.page));
    g.dir.Write(std::string(row.page) + "/keep", "x");
    g.ui.messages.clear();
    g.ui.statuses.clear();
    MakeHtmlPages(g.s);
    ASSERT_EQ(g.ui.messages.size(), 1u) << row.name;
    EXPECT_EQ(g.ui.messages[0].text.rfind(
                  "The web pages could not be written: " + g.dir.File(row.page) + " (", 0),
              0u)
        << row.name << ": " << g.ui.messages[0].text;
    EXPECT_EQ(g.ui.messages[0].icon, MessageIcon::Exclamation) << row.name;
    EXPECT_TRUE(g.ui.statuses.empty()) << row.name;

    std::filesystem::remove_all(g.dir.File(row.page));
    MakeHtmlPages(g.s);
    EXPECT_NE(g.dir.Read(row.page).find("Phys"), std::string::npos) << row.name;
  }
}

TEST_F(Pages, SecondCallRewritesOnlyContributedAndIndex) {
  MakeHtmlPages(g.s);
  g.dir.Write("tolvanec.htm", "kept");
  g.dir.Write("tolvanee.htm", "kept");
  g.dir.Write("tolvanem.htm", "old");
  g.dir.Write("tolvane1.htm", "old");
  MakeHtmlPages(g.s);
  EXPECT_EQ(g.dir.Read("tolvanec.htm"), "kept");
  EXPECT_EQ(g.dir.Read("tolvanee.htm"), "kept");
  EXPECT_NE(g.dir.Read("tolvanem.htm").find("sdo('7|k')"), std::string::npos);
  EXPECT_NE(g.dir.Read("tolvane1.htm").find("tolvanec.htm#Phys"), std::string::npos);
}

TEST_F(Pages, MissingTemplatesGiveEmptyHeaderAndIndex) {
  std::filesystem::remove(g.dir.File("tolvanes.ht_"));
  std::filesystem::remove(g.dir.File("tolvane1.ht_"));
  MakeHtmlPages(g.s);
  EXPECT_EQ(g.dir.Read("tolvane1.htm"), "\r\n");
  EXPECT_EQ(g.dir.Read("tolvanec.htm").rfind("\r\n<BODY>", 0), 0u);
  EXPECT_EQ(g.s.db.IniFile, g.s.db.MainIniFile);
}

TEST(DeliveredTemplates, HoldTheirPlaceholdersAndCrLfLines) {
  struct Row {
    const char* file;
    std::vector<const char*> needs;
  } rows[] = {
      {"tolvane1.ht_", {"%%refs%%", "name=\"QORNE_list\"", "name=\"CALC\""}},
      {"tolvanes.ht_", {"function sdo(", "charset=\"ISO-8859-1\""}},
      {"tolvane.ht_",
       {"%%scalc%%", "%%err%%", "%%x%%", "%%e%%", "%%nsig%%", "%%nmem%%", "%%smem%%",
        "name=\"CALC\"", "name=\"x\"", "name=\"nsig\"", "name=\"NM\"", "name=\"ID\""}},
  };
  for (const Row& row : rows) {
    std::ifstream in(std::string(OSTRAVEL_DATA_DIR) + "/" + row.file, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(text.empty()) << row.file;
    for (const char* need : row.needs)
      EXPECT_NE(text.find(need), std::string::npos) << row.file << need;
    for (std::size_t p = text.find('\n'); p != std::string::npos; p = text.find('\n', p + 1))
      ASSERT_EQ(text[p - 1], '\r') << row.file;
  }
}

}  // namespace
}  // namespace ostravel::testing

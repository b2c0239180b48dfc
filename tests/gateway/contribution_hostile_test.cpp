// Requests written to break the files or the pages: none of them may add a section or an
// account, write a key that starts a section or a comment, or put markup of its own on a page.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "gateway/contribution_fixture.h"

namespace ostravel::testing {
namespace {

using HostileContributions = ContributionTest;

const char* const kMarkup[] = {"<script", "<img", "<b>", "<i>"};

struct Row {
  const char* name;
  Request request;     // sent as fields when raw is empty
  std::string raw;     // else this request text, decoded by the gateway first
  const char* err;     // the answer's error field
  const char* inMess;  // a text the report must hold ("" for none)
};

Request With(const char* modify, const char* type = "Mine", const char* pre = "MY") {
  Request r;
  r.modify = modify;
  r.type = type;
  r.pre = pre;
  return r;
}

const char* const kBadCategory =
    "Category type may not contain ':', ']', '=' or control characters, nor begin with '[' or "
    "';'";

TEST_F(HostileContributions, NeitherFilesNorPagesCanBeBroken) {
  Request markupName = With("K7=1");
  markupName.name = "<b>Bob</b>";
  Request markupAddress = With("K1=1");
  markupAddress.user = "<script>@example.org";
  Request markupPassword = With("K9=9");
  markupPassword.pass = "<b>x</b><i>y</i>";
  markupPassword.user = "mallory@example.org";

  const std::string fixed = "&user=alice%40example.org&name=Alice&pass=Apple-Pie-1&GO=Store";
  const Row rows[] = {
      {"first definition creates the category", With("K1=1"), "", "SUCCESS!", "K1=1"},
      {"name opens a section", With("[Permissions]=1"), "", "SUCCESS!",
       "ignoring line (not a usable name): [Permissions]=1"},
      {"name is a comment", With(";x=1"), "", "SUCCESS!",
       "ignoring line (not a usable name): ;x=1"},
      {"lines inject a section", With("K2=2\n[Permissions]\nmallory@example.org=Plain-Evil"), "",
       "SUCCESS!", "ignoring line (no '=' sign): [Permissions]"},
      {"encoded line breaks inject fields",
       {},
       "9 POST /calc?MODIFY=K3%3D3%0D%0A%5BPermissions%5D%0D%0Amallory%40example.org%3Dx"
       "&type=Mine&pre=MY" +
           fixed,
       "SUCCESS!",
       "K3=3"},
      {"script as a name", With("<script>alert(1)</script>=5"), "", "SUCCESS!",
       "ignoring line (not a usable name): &lt;script&gt;alert(1)&lt;/script&gt;=5"},
      {"script as a definition", With("K5=<script>alert(1)</script>"), "", "SUCCESS!",
       "K5=&lt;script&gt;alert(1)&lt;/script&gt;"},
      {"markup in a description", With("K6=1|<img src=x onerror=alert(1)>"), "", "SUCCESS!",
       "K6=1|&lt;img src=x onerror=alert(1)&gt;"},
      {"markup in the user's name", markupName, "", "SUCCESS!", "K7=1"},
      {"semicolon and brackets in a definition", With("K8=1;[x]=2"), "", "SUCCESS!", "K8=1;[x]=2"},
      {"category closes its section", With("K1=1", "Mine]"), "", kBadCategory, ""},
      {"category holds '='", With("K1=1", "a=b"), "", kBadCategory, ""},
      {"category opens a section", With("K1=1", "[x"), "", kBadCategory, ""},
      {"category holds a line break",
       {},
       "9 POST /calc?MODIFY=K1%3D1&type=Mine%0A%5BPermissions&pre=MY" + fixed,
       kBadCategory,
       ""},
      {"markup as a prefix", With("K1=1", "Other", "<i>"), "",
       "A prefix may not contain blanks or any of &lt;&gt;;'&quot;|[]{}=", ""},
      {"a bar in the prefix forges the owner", With("K1=1", "Other", "X|m@example.org"), "",
       "A prefix may not contain blanks or any of &lt;&gt;;'&quot;|[]{}=", ""},
      {"markup as the address", markupAddress, "",
       "This email address cannot be used for an account: it may not hold blanks, control "
       "characters or any of ( ) &lt; &gt; [ ] , ; : \\ &quot; =",
       ""},
      {"markup in the password", markupPassword, "", "SUCCESS!", "K9=9"},
  };

  const std::set<std::string> contribSections = {"Contributed", "Contributed-Mine"};
  const std::set<std::string> permSections = {"Permissions", "alice@example.org",
                                              "mallory@example.org"};
  for (const Row& row : rows) {
    const Answer a = row.raw.empty() ? Send(row.request) : SendRaw(row.raw);
    EXPECT_EQ(a.err, row.err) << row.name;
    EXPECT_NE(a.mess.find(row.inMess), std::string::npos) << row.name << ": " << a.mess;
    for (const char* markup : kMarkup) {
      EXPECT_EQ(a.page.find(markup), std::string::npos) << row.name << ": " << markup;
      for (const char* page : {"tolvanem.htm", "tolvane1.htm"}) {
        EXPECT_EQ(dir.Read(page).find(markup), std::string::npos) << row.name << ": " << page;
      }
    }
    EXPECT_EQ(a.page.find("x</b>"), std::string::npos) << row.name;  // no password shown
    EXPECT_EQ(a.page.find("x&lt;/b&gt;"), std::string::npos) << row.name;

    for (const Section& section : Sections("TOLVANEC.INI")) {
      EXPECT_TRUE(contribSections.contains(section.name)) << row.name << ": " << section.name;
      for (const auto& [key, value] : section.entries) {
        EXPECT_FALSE(key.starts_with("[") || key.starts_with(";")) << row.name << ": " << key;
        if (section.name == "Contributed") {
          EXPECT_EQ(key, "Mine") << row.name;
        }
      }
    }
    for (const Section& section : Sections("TOLVANEP.INI")) {
      EXPECT_TRUE(permSections.contains(section.name)) << row.name << ": " << section.name;
      for (const auto& [key, value] : section.entries) {
        EXPECT_FALSE(key.starts_with("[") || key.starts_with(";")) << row.name << ": " << key;
        if (section.name == "Permissions") {
          EXPECT_TRUE(permSections.contains(key)) << key;
        }
      }
    }
  }

  // The records hold the user's name as sent; the listing shows it as text.
  Request list = markupName;
  list.go = kList;
  const Answer a = Send(list);
  EXPECT_NE(a.mess.find("Mine:K7=1'&lt;b&gt;Bob&lt;/b&gt; "), std::string::npos) << a.mess;
  EXPECT_NE(a.mess.find("Mine:K5=&lt;script&gt;"), std::string::npos) << a.mess;
}

}  // namespace
}  // namespace ostravel::testing

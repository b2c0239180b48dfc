#include "gateway/contributions.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "contribution_fixture.h"
#include "gateway/passwords.h"

namespace ostravel::testing {
namespace {

using Contributions = ContributionTest;

const char* const kIncomplete =
    "Name/User/Password information is not complete. Make sure you use your full email "
    "address, with an '@' sign.";

// As the answer page shows it.
const char* const kUnusableAddress =
    "This email address cannot be used for an account: it may not hold blanks, control "
    "characters or any of ( ) &lt; &gt; [ ] , ; : \\ &quot; =";

TEST(DefinitionLines, SplitAtEveryFormOfLineBreak) {
  struct Row {
    const char* name;
    std::string text;
    std::vector<std::string> lines;
  };
  const Row rows[] = {
      {"one line", "a=1", {"a=1"}},
      {"lone LF as the page sends it", "a=1\nb=2", {"a=1", "b=2"}},
      {"CR LF", "a=1\r\nb=2", {"a=1", "b=2"}},
      {"lone CR", "a=1\rb=2", {"a=1", "b=2"}},
      {"empty line between", "a=1\n\nb=2", {"a=1", "", "b=2"}},
      {"CR LF then LF", "a=1\r\n\nb=2", {"a=1", "", "b=2"}},
      {"line break at the end", "a=1\n", {"a=1", ""}},
      {"empty text", "", {""}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(DefinitionLines(row.text), row.lines) << row.name;
  }
}

TEST(RecordTimestamp, IsLocalDateAndTimeInIsoForm) {
  EXPECT_TRUE(std::regex_match(RecordTimestamp(), std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)")));
}

TEST_F(Contributions, FirstRequestCreatesTheAccountWhateverTheAction) {
  struct Row {
    const char* action;
    const char* user;
    const char* err;
    const char* mess;
  };
  const Row rows[] = {
      {kList, "list@example.org", "You have no contributions to date",
       "Contributions of list@example.org to date include:<p><pre></pre>"},
      {kChange, "change@example.org", "SUCCESS!", "Password was NOT changed"},
      {kStore, "store@example.org", "SUCCESS!", "[Contributed-Mine] &lt;MY...&gt;\r\nK1=1\r\n"},
  };
  for (const Row& row : rows) {
    Request r;
    r.go = row.action;
    r.user = row.user;
    r.modify = "K1=1";
    const Answer a = Send(r);
    EXPECT_EQ(a.err, row.err) << row.action;
    EXPECT_EQ(a.mess, row.mess) << row.action;
    const std::string stored = Value("TOLVANEP.INI", "Permissions", row.user);
    EXPECT_EQ(CheckPassword(stored, r.pass, s.gateway.PasswordHash), PasswordCheck::Right)
        << row.action;
  }
}

TEST_F(Contributions, IncompleteOrUnusableSignInIsRefusedBeforeAnythingIsWritten) {
  struct Row {
    const char* name;
    Request request;
    const char* err;
  };
  auto with = [](auto change) {
    Request r;
    change(r);
    return r;
  };
  const Row rows[] = {
      {"action missing", with([](Request& r) { r.go = ""; }),
       "Transmission difficulties. Try sending less data."},
      {"action missing comes before an incomplete address",
       with([](Request& r) { r.go = "", r.user = "x"; }),
       "Transmission difficulties. Try sending less data."},
      {"no @", with([](Request& r) { r.user = "alice.example.org"; }), kIncomplete},
      {"nine characters", with([](Request& r) { r.user = "ab@cd.org"; }), kIncomplete},
      {"empty password", with([](Request& r) { r.pass = ""; }), kIncomplete},
      {"empty name", with([](Request& r) { r.name = ""; }), kIncomplete},
      {"address with '='", with([](Request& r) { r.user = "a=b@example.org"; }), kUnusableAddress},
      {"address with ']'", with([](Request& r) { r.user = "alice]@example.org"; }),
       kUnusableAddress},
      {"address opening a section", with([](Request& r) { r.user = "[alice@example.org"; }),
       kUnusableAddress},
      {"address with a blank", with([](Request& r) { r.user = "alice smith@example.org"; }),
       kUnusableAddress},
  };
  for (const Row& row : rows) {
    const Answer a = Send(row.request);
    EXPECT_EQ(a.err, row.err) << row.name;
    EXPECT_EQ(a.mess, "") << row.name;
    EXPECT_FALSE(std::filesystem::exists(dir.File("TOLVANEP.INI"))) << row.name;
    EXPECT_FALSE(std::filesystem::exists(dir.File("TOLVANEC.INI"))) << row.name;
  }
  Request tenCharacters;
  tenCharacters.user = "abc@cd.org";
  EXPECT_EQ(Send(tenCharacters).err, "SUCCESS!");
}

TEST_F(Contributions, WrongPasswordChangesNothing) {
  Request r;
  r.modify = "K1=1";
  ASSERT_EQ(Send(r).err, "SUCCESS!");
  const std::string perm = PermFile(), contrib = ContribFile();

  Request wrong = r;
  wrong.pass = "Banana-Split-2=Cherry-Tart-3";
  wrong.modify = "K1=2\nK2=3";
  const Answer a = Send(wrong);
  EXPECT_EQ(a.err, "Invalid password for alice@example.org");
  EXPECT_EQ(a.mess, "");
  EXPECT_EQ(PermFile(), perm);
  EXPECT_EQ(ContribFile(), contrib);
}

TEST_F(Contributions, OldEqualsNewChangesThePasswordOnAnyAction) {
  int n = 0;
  for (const char* action : {kList, kChange, kStore}) {
    Request r;
    r.user = "user" + std::to_string(++n) + "@example.org";
    r.pass = "First-Pass-1";
    r.go = kChange;
    ASSERT_EQ(Send(r).err, "SUCCESS!") << action;

    Request change = r;
    change.go = action;
    change.pass = "First-Pass-1=Second-Pass-2";
    change.modify = "K" + std::to_string(n) + "=1";
    const Answer a = Send(change);
    if (action == kChange) {
      EXPECT_EQ(a.mess, "OK--password changed");
    }
    EXPECT_EQ(CheckPassword(Value("TOLVANEP.INI", "Permissions", r.user), "Second-Pass-2",
                            s.gateway.PasswordHash),
              PasswordCheck::Right)
        << action;

    EXPECT_EQ(Send(r).err, "Invalid password for " + r.user) << action;
  }
}

TEST_F(Contributions, UnchangedPasswordIsNotHashedAgain) {
  struct Row {
    const char* pass;
    const char* mess;
  };
  const Row rows[] = {
      {"Apple-Pie-1", "Password was NOT changed"},
      {"Apple-Pie-1=", "Password was NOT changed"},
      {"Apple-Pie-1=Apple-Pie-1", "Password was NOT changed"},
  };
  Request r;
  r.go = kChange;
  ASSERT_EQ(Send(r).err, "SUCCESS!");
  const std::string perm = PermFile();
  for (const Row& row : rows) {
    r.pass = row.pass;
    const Answer a = Send(r);
    EXPECT_EQ(a.err, "SUCCESS!") << row.pass;
    EXPECT_EQ(a.mess, row.mess) << row.pass;
    EXPECT_EQ(PermFile(), perm) << row.pass;
  }
}

TEST_F(Contributions, LegacyPlainPasswordSignsInOnceAndIsUpgraded) {
  dir.Write("TOLVANEP.INI",
            "[Permissions]\r\nold@example.org=Plain-Pass-9\r\n"
            "[old@example.org]\r\nOld:K9=1'Old Timer 2001-01-01 00:00:00\r\n");
  Request r;
  r.user = "old@example.org";
  r.pass = "Plain-Pass-X";
  r.go = kList;
  EXPECT_EQ(Send(r).err, "Invalid password for old@example.org");
  EXPECT_EQ(Value("TOLVANEP.INI", "Permissions", r.user), "Plain-Pass-9");

  r.pass = "Plain-Pass-9";
  Answer a = Send(r);
  EXPECT_EQ(a.err, "SUCCESS!");
  EXPECT_EQ(a.mess,
            "Contributions of old@example.org to date include:<p><pre>"
            "Old:K9=1'Old Timer 2001-01-01 00:00:00\r\n</pre>");
  const std::string hash = Value("TOLVANEP.INI", "Permissions", r.user);
  EXPECT_EQ(CheckPassword(hash, "Plain-Pass-9", s.gateway.PasswordHash), PasswordCheck::Right);

  EXPECT_EQ(Send(r).err, "SUCCESS!");
  EXPECT_EQ(Value("TOLVANEP.INI", "Permissions", r.user), hash);
}

TEST_F(Contributions, DefinitionsAreStoredWithTheUsersRecord) {
  Request r;
  r.modify = "K 1 = 5|five\nno equals sign here\n\nK2=<R>*2";
  const Answer a = Send(r);
  EXPECT_EQ(a.err, "SUCCESS!");
  EXPECT_EQ(a.mess,
            "[Contributed-Mine] &lt;MY...&gt;\r\n"
            "K1= 5|five\r\n"
            "ignoring line (no '=' sign): no equals sign here\r\n"
            "K2=&lt;R&gt;*2\r\n");
  EXPECT_EQ(Value("TOLVANEC.INI", "Contributed", "Mine"), "MY|alice@example.org");
  EXPECT_EQ(Value("TOLVANEC.INI", "Contributed-Mine", "K1"), " 5|five");  // leading blank kept
  EXPECT_EQ(Value("TOLVANEC.INI", "Contributed-Mine", "K2"), "<R>*2");
  EXPECT_TRUE(
      std::regex_match(Value("TOLVANEP.INI", "alice@example.org", "Mine:K1"),
                       std::regex(R"( 5\|five'Alice Smith \d{4}-\d\d-\d\d \d\d:\d\d:\d\d)")));

  // Lists, menus and the contributed page show the new category at once.
  EXPECT_EQ(s.lists.ContribCategories, std::string("Mine\0\0", 6));
  EXPECT_NE(dir.Read("tolvanem.htm").find("|&lt;MYK1&gt;"), std::string::npos);
  EXPECT_EQ(s.lists.CurType, "Contributed");
  EXPECT_EQ(s.lists.CurCategory, "Mine");
  EXPECT_FALSE(s.window.lstKey.Visible);

  r.go = kList;
  r.modify.clear();
  const Answer list = Send(r);
  EXPECT_EQ(list.err, "SUCCESS!");
  EXPECT_TRUE(std::regex_match(
      list.mess, std::regex("Contributions of alice@example.org to date include:<p><pre>"
                            "Mine:K1=5\r\n"  // the value part of the record: before "|"
                            "Mine:K2=&lt;R&gt;\\*2'Alice Smith [-0-9]+ [:0-9]+\r\n</pre>")))
      << list.mess;
}

TEST_F(Contributions, CategoryNameIsCapitalisedAndRequired) {
  Request r;
  r.type = "mINE sTUFF";
  r.modify = "K1=1";
  EXPECT_EQ(Send(r).err, "SUCCESS!");
  EXPECT_EQ(Value("TOLVANEC.INI", "Contributed-Mine stuff", "K1"), "1");

  r.type = "";
  const Answer a = Send(r);
  EXPECT_EQ(a.err, "Category type is missing");
  EXPECT_EQ(a.mess, "");
}

TEST_F(Contributions, EmptyDefinitionDeletesOnlyTheUsersOwn) {
  Request alice;
  alice.modify = "K1=5\nK2=6";
  ASSERT_EQ(Send(alice).err, "SUCCESS!");
  Request bob;
  bob.user = "bob@example.org";
  bob.name = "Bob";
  bob.pass = "Bob-Pass-77";

  struct Row {
    const char* name;
    Request request;
    const char* err;
    const char* k1;  // K1 in Contributed-Mine afterwards
  };
  Request bobChanges = bob, bobDeletes = bob, aliceDeletes = alice;
  bobChanges.modify = "K1=7";
  bobDeletes.modify = "K1=";
  aliceDeletes.modify = "K1 =  ";
  const Row rows[] = {
      {"another user's value", bobChanges, "permission denied for Mine:K1", "5"},
      {"another user's deletion", bobDeletes, "permission denied for Mine:K1", "5"},
      {"own deletion", aliceDeletes, "SUCCESS!", "(missing)"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Send(row.request).err, row.err) << row.name;
    EXPECT_EQ(Value("TOLVANEC.INI", "Contributed-Mine", "K1"), row.k1) << row.name;
  }
  EXPECT_EQ(Value("TOLVANEP.INI", "alice@example.org", "Mine:K1"), "(missing)");
  EXPECT_NE(Value("TOLVANEP.INI", "alice@example.org", "Mine:K2"), "(missing)");
}

TEST_F(Contributions, SameNameTwiceInOneRequestEndsAsTheLastLineSays) {
  struct Row {
    const char* modify;
    const char* value;   // K1 in Contributed-Mine afterwards
    const char* record;  // the start of the user's record of it
  };
  const Row rows[] = {
      {"K1=5\nK1=", "(missing)", "(missing)"},
      {"K1=5\nK1=\nK1=6", "6", "6'Alice Smith "},
      {"K1=7\nk1=8", "8", "8'Alice Smith "},
  };
  for (const Row& row : rows) {
    Request r;
    r.modify = row.modify;
    EXPECT_EQ(Send(r).err, "SUCCESS!") << row.modify;
    EXPECT_EQ(Value("TOLVANEC.INI", "Contributed-Mine", "K1"), row.value) << row.modify;
    EXPECT_TRUE(Value("TOLVANEP.INI", "alice@example.org", "Mine:K1").starts_with(row.record))
        << row.modify;
  }
}

TEST_F(Contributions, DefinitionWithoutValueStillBelongsToItsOwner) {
  Request alice;
  alice.modify = "K1=|only a description";
  ASSERT_EQ(Send(alice).err, "SUCCESS!");
  Request bob;
  bob.user = "bob@example.org";
  bob.pass = "Bob-Pass-77";
  bob.modify = "K1=9";
  EXPECT_EQ(Send(bob).err, "permission denied for Mine:K1");
  alice.modify = "K1=";
  EXPECT_EQ(Send(alice).err, "SUCCESS!");
  EXPECT_EQ(Value("TOLVANEC.INI", "Contributed-Mine", "K1"), "(missing)");
}

TEST_F(Contributions, PrefixBelongsToTheCategorysOwner) {
  Request alice;
  alice.modify = "K1=1";
  ASSERT_EQ(Send(alice).err, "SUCCESS!");
  Request bob;
  bob.user = "bob@example.org";
  bob.pass = "Bob-Pass-77";

  struct Row {
    const char* name;
    bool byAlice;
    const char* pre;
    const char* modify;
    const char* err;
    const char* category;  // entry of Mine in "Contributed" afterwards
  };
  const Row rows[] = {
      {"second user adds a name", false, "MY", "K2=2", "SUCCESS!", "MY|alice@example.org"},
      {"second user renames", false, "MY=ZZ", "K3=3",
       "Prefix for type Contributed-Mine must be 'MY'", "MY|alice@example.org"},
      {"second user states another prefix", false, "ZZ", "K3=3",
       "Prefix for type Contributed-Mine must be 'MY'", "MY|alice@example.org"},
      {"owner states a wrong prefix", true, "ZZ=NEW", "K3=3",
       "Prefix for type Contributed-Mine must be 'MY'", "MY|alice@example.org"},
      {"owner renames", true, "MY=NEW", "K3=3", "SUCCESS!", "NEW|alice@example.org"},
      {"owner removes the prefix", true, "NEW=none", "", "SUCCESS!", "|alice@example.org"},
      {"empty prefix is called none", false, "MY", "K4=4",
       "Prefix for type Contributed-Mine must be 'none'", "|alice@example.org"},
      {"second user states none", false, "none", "K4=4", "SUCCESS!", "|alice@example.org"},
  };
  for (const Row& row : rows) {
    Request r = row.byAlice ? alice : bob;
    r.pre = row.pre;
    r.modify = row.modify;
    const Answer a = Send(r);
    EXPECT_EQ(a.err, row.err) << row.name;
    if (std::string(row.err) != "SUCCESS!") {
      EXPECT_EQ(a.mess, "") << row.name;
    }
    EXPECT_EQ(Value("TOLVANEC.INI", "Contributed", "Mine"), row.category) << row.name;
  }
  EXPECT_EQ(Value("TOLVANEC.INI", "Contributed-Mine", "K2"), "2");
  EXPECT_EQ(Value("TOLVANEC.INI", "Contributed-Mine", "K3"), "3");
  EXPECT_EQ(Value("TOLVANEC.INI", "Contributed-Mine", "K4"), "4");
}

TEST_F(Contributions, ReservedNamesStopTheWorkAndKeepEarlierLines) {
  struct Row {
    const char* name;
    const char* type;
    const char* pre;
    const char* modify;
    const char* err;
    const char* stored;     // stored before the reserved line
    const char* notStored;  // after it
  };
  const Row rows[] = {
      {"constant without prefix", "Plain", "none", "A1=1\nr=2\nA3=3",
       "&lt;r&gt; is a reserved definition", "A1", "A3"},
      {"constant of a prefixed category", "Salts", "KSP", "B1=1\nAgCl=2\nB3=3",
       "&lt;KSPAgCl&gt; is a reserved definition", "B1", "B3"},
      {"example", "Plain", "none", "C1=1\nideal=2\nC3=3", "&lt;ideal&gt; is a reserved definition",
       "C1", "C3"},
  };
  for (const Row& row : rows) {
    Request r;
    r.type = row.type;
    r.pre = row.pre;
    r.modify = row.modify;
    const Answer a = Send(r);
    EXPECT_EQ(a.err, row.err) << row.name;
    const std::string section = std::string("Contributed-") + row.type;
    EXPECT_NE(Value("TOLVANEC.INI", section, row.stored), "(missing)") << row.name;
    EXPECT_EQ(Value("TOLVANEC.INI", section, row.notStored), "(missing)") << row.name;
    EXPECT_NE(a.mess.find(std::string(row.stored) + "=1"), std::string::npos) << row.name;
  }
}

TEST_F(Contributions, FailedWriteIsNeverReportedAsSuccess) {
  std::filesystem::create_directory(dir.File("TOLVANEC.INI"));
  Request r;
  r.modify = "K1=1";
  const Answer a = Send(r);
  EXPECT_EQ(a.err, "Your definitions could not be stored. Please try again later.");
  EXPECT_EQ(a.mess, "[Contributed-Mine] &lt;MY...&gt;\r\n");
}

TEST_F(Contributions, AnswerComesFromTheTemplateWithCrLf) {
  Request r;
  r.go = kChange;
  const Answer a = Send(r);
  EXPECT_EQ(a.page, "MESS:Password was NOT changed\r\nERR:SUCCESS!\r\n\r\n");
}

}  // namespace
}  // namespace ostravel::testing

#include "gateway/contributions.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "database/key_lists.h"
#include "gateway/contribution_fixture.h"
#include "gateway/full_names.h"
#include "gateway/html_pages.h"
#include "gateway/passwords.h"
#include "gateway/request_limits.h"
#include "state/sign_in_throttle.h"

namespace ostravel::testing {
namespace {

using Contributions = ContributionTest;

const char* const kIncomplete =
    "Name/User/Password information is not complete. Make sure you use your full email "
    "address, with an '@' sign.";

const char* const kOnlyPost =
    "Changes are accepted only as the contribution page sends them (with POST). Nothing was "
    "changed.";
const char* const kNoEqualsHere =
    "A password sent as &quot;old=new&quot; may not contain &quot;=&quot; itself. Please use "
    "the contribution page, which sends the new password in a field of its own, or choose a "
    "password without &quot;=&quot;.";

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
      {"sent with GET", with([](Request& r) { r.method = "GET"; }), kOnlyPost},
      {"sent with HEAD", with([](Request& r) { r.method = "HEAD"; }), kOnlyPost},
      {"address longer than any e-mail address",
       with([](Request& r) { r.user = std::string(250, 'a') + "@example.org"; }),
       "The email address may be at most 254 characters long."},
      {"name over its limit", with([](Request& r) { r.name = std::string(101, 'n'); }),
       "Your name may be at most 100 characters long."},
      {"password over its limit", with([](Request& r) { r.pass = std::string(257, 'p'); }),
       "A password may be at most 256 characters long."},
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
  struct Row {
    const char* user;
    const char* stored;  // kept in plain text by an older version
    const char* wrong;
  };
  const Row rows[] = {
      {"old@example.org", "Plain-Pass-9", "Plain-Pass-X"},
      {"pipe@example.org", "Plain-|Pipe-9", "Plain-"},  // read whole, not cut at "|"
      {"paren@example.org", "Plain- (9)", "Plain-(9)"},
  };
  std::string perm = "[Permissions]\r\n";
  for (const Row& row : rows)
    perm += std::string(row.user) + "=" + row.stored + "\r\n";
  dir.Write("TOLVANEP.INI",
            perm + "[old@example.org]\r\nOld:K9=1'Old Timer 2001-01-01 00:00:00\r\n");
  for (const Row& row : rows) {
    Request r;
    r.user = row.user;
    r.pass = row.wrong;
    r.go = kList;
    EXPECT_EQ(Send(r).err, std::string("Invalid password for ") + row.user);
    EXPECT_EQ(Value("TOLVANEP.INI", "Permissions", r.user), row.stored);

    r.pass = row.stored;
    const Answer a = Send(r);
    EXPECT_NE(a.err, std::string("Invalid password for ") + row.user) << row.stored;
    const std::string hash = Value("TOLVANEP.INI", "Permissions", r.user);
    EXPECT_EQ(CheckPassword(hash, row.stored, s.gateway.PasswordHash), PasswordCheck::Right)
        << row.stored;
    EXPECT_NE(Send(r).err, std::string("Invalid password for ") + row.user);
    EXPECT_EQ(Value("TOLVANEP.INI", "Permissions", r.user), hash) << "signed in without a write";
  }
  Request old;
  old.user = "old@example.org";
  old.pass = "Plain-Pass-9";
  old.go = kList;
  EXPECT_EQ(Send(old).mess,
            "Contributions of old@example.org to date include:<p><pre>"
            "Old:K9=1'Old Timer 2001-01-01 00:00:00\r\n</pre>");
}

TEST_F(Contributions, PasswordsAreTakenExactlyAsTyped) {
  struct Step {
    const char* name;
    const char* user;
    const char* pass;
    std::optional<std::string> newpass;  // sent in a field of its own, as the page sends it
    const char* err;
    const char* right;  // the password that signs in afterwards ("" when no account)
    const char* wrong;  // one that does not
  };
  const Step steps[] = {
      {"'=' in a new password from the page", "eq1@example.org", "Pass=Word-1", "", "SUCCESS!",
       "Pass=Word-1", "Word-1"},
      {"'=' in a new password of the old form is refused", "eq2@example.org", "Pass=Word-2",
       std::nullopt, kNoEqualsHere, "", ""},
      {"blanks at both ends belong to the password", "blank@example.org", "  Blank-Pass-3 ", "",
       "SUCCESS!", "  Blank-Pass-3 ", "Blank-Pass-3"},
      {"sign-up for a change", "eq4@example.org", "Old-Pass-4", "", "SUCCESS!", "Old-Pass-4",
       "Pass-4"},
      {"the page changes to a password with '='", "eq4@example.org", "Old-Pass-4", "New=Pass-4",
       "SUCCESS!", "New=Pass-4", "Old-Pass-4"},
      {"the old form cannot change to a password with '='", "eq4@example.org",
       "New=Pass-4=Newer=Pass-4", std::nullopt, "Invalid password for eq4@example.org",
       "New=Pass-4", "New"},
      {"sign-up of the old form", "eq5@example.org", "Old-Pass-5", std::nullopt, "SUCCESS!",
       "Old-Pass-5", ""},
      {"the old form refuses a new password with '='", "eq5@example.org", "Old-Pass-5=New=Pass-5",
       std::nullopt, kNoEqualsHere, "Old-Pass-5", "New=Pass-5"},
      {"the old form changes a password without '='", "eq5@example.org", "Old-Pass-5=New-Pass-5",
       std::nullopt, "SUCCESS!", "New-Pass-5", "Old-Pass-5"},
  };
  for (const Step& step : steps) {
    Request r;
    r.go = kChange;
    r.user = step.user;
    r.pass = step.pass;
    r.newpass = step.newpass;
    EXPECT_EQ(Send(r).err, step.err) << step.name;
    const std::string stored = Value("TOLVANEP.INI", "Permissions", step.user);
    if (*step.right == '\0') {
      EXPECT_EQ(stored, "(missing)") << step.name;
      continue;
    }
    EXPECT_EQ(CheckPassword(stored, step.right, s.gateway.PasswordHash), PasswordCheck::Right)
        << step.name;
    if (*step.wrong != '\0') {
      EXPECT_EQ(CheckPassword(stored, step.wrong, s.gateway.PasswordHash), PasswordCheck::Wrong)
          << step.name;
    }
  }
}

TEST_F(Contributions, WrongPasswordsMustWaitBeforeTheyAreChecked) {
  Request alice;
  alice.go = kList;
  ASSERT_NE(Send(alice).err, "Invalid password for alice@example.org");
  Request guess = alice;
  guess.pass = "Guess-Pass-0";
  for (int i = 1; i <= SignInThrottle::kFreeAccountFailures; ++i) {
    EXPECT_EQ(Send(guess).err, "Invalid password for alice@example.org") << i;
  }
  const std::string locked =
      "Too many wrong passwords for alice@example.org. Please wait 30 seconds before you try "
      "again.";
  EXPECT_EQ(Send(guess).err, locked);
  EXPECT_EQ(Send(alice).err, locked) << "the right password waits too";
  Request fromElsewhere = alice;
  fromElsewhere.clientAddress = "198.51.100.9";
  EXPECT_EQ(Send(fromElsewhere).err, locked) << "the account waits whatever the address";

  // The address: its failures on several accounts add up to its own, higher limit.
  int failures = SignInThrottle::kFreeAccountFailures;
  for (int account = 1; failures < SignInThrottle::kFreeAddressFailures; ++account) {
    Request other;
    other.user = "user" + std::to_string(account) + "@example.org";
    other.pass = "Right-Pass-1";
    other.go = kList;
    Send(other);
    other.pass = "Guess-Pass-1";
    for (int i = 0; i < 4 && failures < SignInThrottle::kFreeAddressFailures; ++i, ++failures) {
      EXPECT_EQ(Send(other).err, "Invalid password for " + other.user);
    }
  }
  Request newcomer;
  newcomer.user = "newcomer@example.org";
  EXPECT_EQ(Send(newcomer).err,
            "Too many wrong passwords from your network address. Please wait 30 seconds before "
            "you try again.");
  newcomer.clientAddress = "203.0.113.5";
  EXPECT_EQ(Send(newcomer).err, "SUCCESS!");
}

TEST_F(Contributions, AccountsFileIsReadableByItsOwnerOnly) {
  const auto mode = [this] {
    struct stat info {};
    EXPECT_EQ(::stat(dir.File("TOLVANEP.INI").c_str(), &info), 0);
    return info.st_mode & 0777;
  };
  Request r;
  r.go = kChange;
  ASSERT_EQ(Send(r).err, "SUCCESS!");
  EXPECT_EQ(mode(), 0600u) << "made by the first request";

  ::chmod(dir.File("TOLVANEP.INI").c_str(), 0644);  // as an older version left it
  r.go = kList;
  Send(r);
  EXPECT_EQ(mode(), 0600u) << "a request that writes nothing";
  ::chmod(dir.File("TOLVANEP.INI").c_str(), 0644);
  r.go = kChange;
  r.newpass = "Next-Pass-2";
  ASSERT_EQ(Send(r).err, "SUCCESS!");
  EXPECT_EQ(mode(), 0600u) << "rewritten";
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
  const Request bob = Bob();

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
  Request bob = Bob();
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
  Request bob = Bob();

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
      {"example", "Plain", "none", "C1=1\nwater=2\nC3=3", "&lt;water&gt; is a reserved definition",
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

// Every full name, prefix and name, means one value: stores and prefix changes that would give
// a name a second meaning, or put a value where its name never reaches it, are refused.
TEST_F(Contributions, FullNameMeansOneValue) {
  struct Step {
    const char* name;
    const char* user;
    const char* type;
    const char* pre;
    const char* modify;
    const char* err;
  };
  const char* const kMallory = "mallory@example.org";
  const char* const kAlice = "alice@example.org";
  const Step steps[] = {
      {"a squatter takes a prefix first", kMallory, "Squat", "NEW", "XY=666", "SUCCESS!"},
      {"the same prefix in another category", kAlice, "Real", "NEW", "XY=1",
       "Prefix NEW clashes with Contributed-Squat (prefix NEW): a name beginning with both would "
       "be read from one category only"},
      {"a prefix that the squatter's begins", kAlice, "Real", "NEWX", "Y=1",
       "Prefix NEWX clashes with Contributed-Squat (prefix NEW): a name beginning with both "
       "would be read from one category only"},
      {"a prefix of one's own", kAlice, "Real", "AL", "XY=1", "SUCCESS!"},
      {"a rename onto another's prefix", kMallory, "Squat", "NEW=AL", "",
       "Prefix AL clashes with Contributed-Real (prefix AL): a name beginning with both would be "
       "read from one category only"},
      {"a name that another category's prefix takes", kMallory, "Loose", "none", "ALZZ=5",
       "&lt;ALZZ&gt; would be read from Contributed-Real (prefix AL)"},
      {"a full name another value has", kMallory, "Loose", "none", "ALXY=5",
       "&lt;ALXY&gt; is already defined in Contributed-Real"},
      {"a value before a prefix that would take it", kMallory, "Loose", "none", "QQA=5",
       "SUCCESS!"},
      {"the prefix does not take the name from the earlier category", kAlice, "Later", "QQ",
       "B=1\nA=2", "&lt;QQA&gt; is already defined in Contributed-Loose"},
      {"reserved names checked with the prefix they will have", kAlice, "Fake", "ZZ=none", "R=1",
       "&lt;R&gt; is a reserved definition"},
      {"a new prefix is checked for the names the category has", kAlice, "Hold", "HH", "R=5",
       "SUCCESS!"},
      {"... and refused when one would be reserved", kAlice, "Hold", "HH=none", "",
       "Prefix none cannot be used: &lt;R&gt; is a reserved definition"},
      {"a prefix that would hide a later category's name", kAlice, "Loose2", "none", "ZAP=1",
       "SUCCESS!"},
      {"... is refused to the earlier category", kAlice, "Hold", "HH=ZA", "",
       "Prefix ZA would hide &lt;ZAP&gt; of Contributed-Loose2"},
      {"a name holding (X) is read from F(X) only", kAlice, "Real", "AL", "A(X)=1",
       "&lt;ALA(X)&gt; would be read from Contributed-F(X)"},
      {"radicals belong to the site", kMallory, "Radicals", "none", "TM=U",
       "The category Radicals belongs to the site: contributed radicals would change how every "
       "formula is read"},
      {"... whatever their spelling", kMallory, "rADICALS", "none", "TM=U",
       "The category Radicals belongs to the site: contributed radicals would change how every "
       "formula is read"},
      {"':' in a new name", kMallory, "Squat", "NEW", "buffers:acetate=1", "SUCCESS!"},
      {"':' in a new category", kMallory, "Real:buffers", "none", "acetate=1",
       "Category type may not contain ':', ']', '=' or control characters, nor begin with '[' "
       "or ';'"},
  };
  for (const Step& step : steps) {
    Request r;
    r.user = step.user;
    r.pass = std::string(step.user) == kAlice ? "Apple-Pie-1" : "Mallory-Pass-1";
    r.type = step.type;
    r.pre = step.pre;
    r.modify = step.modify;
    EXPECT_EQ(Send(r).err, step.err) << step.name;
  }
  EXPECT_EQ(Value("TOLVANEC.INI", "Contributed", "Squat"), "NEW|mallory@example.org");
  EXPECT_EQ(Value("TOLVANEC.INI", "Contributed-Real", "XY"), "1");
  EXPECT_EQ(Value("TOLVANEC.INI", "Contributed-Later", "B"), "1");
  EXPECT_EQ(Value("TOLVANEC.INI", "Contributed-Later", "A"), "(missing)");
  EXPECT_EQ(Value("TOLVANEC.INI", "Contributed-Fake", "R"), "(missing)");
  EXPECT_EQ(Value("TOLVANEC.INI", "Contributed", "Hold"), "HH|alice@example.org");
  EXPECT_EQ(Value("TOLVANEC.INI", "Contributed-Squat", "buffers:acetate"), "(missing)");
  for (const Section& section : Sections("TOLVANEC.INI")) {
    EXPECT_NE(section.name, "Contributed-Radicals");
    EXPECT_NE(section.name, "Contributed-Real:buffers");
  }
  EXPECT_EQ(NameClashes(s), std::vector<std::string>{});
}

// Records written before ":" was refused in new names: a record "Ph:buffers:acetate" may name
// the value buffers:acetate of Ph or acetate of Ph:buffers, and grants only the one whose value
// it recorded.
TEST_F(Contributions, AmbiguousRecordsGrantNoMoreThanWhenWritten) {
  dir.Write("TOLVANEC.INI",
            "[Contributed]\r\nPh=PH|mallory@example.org\r\nPh:buffers=PB|victim@example.org\r\n"
            "[Contributed-Ph]\r\nbuffers:acetate=666\r\n"
            "[Contributed-Ph:buffers]\r\nacetate=4.76|pKa\r\n");
  dir.Write(
      "TOLVANEP.INI",
      "[Permissions]\r\nmallory@example.org=Plain-Mallory\r\nvictim@example.org=Plain-Victim\r\n"
      "[mallory@example.org]\r\nPh:buffers:acetate=666'Mallory 2001-01-01 00:00:00\r\n"
      "[victim@example.org]\r\nPh:buffers:acetate=4.76|pKa'Victim 2001-01-01 00:00:00\r\n");
  LoadLists(s);
  struct Step {
    const char* name;
    const char* user;
    const char* type;
    const char* pre;
    const char* modify;
    const char* err;
  };
  const Step steps[] = {
      {"another's value through an ambiguous record", "mallory@example.org", "Ph:buffers", "PB",
       "acetate=1", "permission denied for Ph:buffers:acetate"},
      {"another's value deleted through it", "mallory@example.org", "Ph:buffers", "PB",
       "acetate=", "permission denied for Ph:buffers:acetate"},
      {"one's own value through one's own record", "victim@example.org", "Ph:buffers", "PB",
       "acetate=4.75|pKa", "SUCCESS!"},
      {"the other one's own value", "mallory@example.org", "Ph", "PH", "buffers:acetate=667",
       "SUCCESS!"},
  };
  for (const Step& step : steps) {
    Request r;
    r.user = step.user;
    r.pass = std::string(step.user) == "victim@example.org" ? "Plain-Victim" : "Plain-Mallory";
    r.type = step.type;
    r.pre = step.pre;
    r.modify = step.modify;
    EXPECT_EQ(Send(r).err, step.err) << step.name;
  }
  EXPECT_EQ(Value("TOLVANEC.INI", "Contributed-Ph:buffers", "acetate"), "4.75|pKa");
  EXPECT_EQ(Value("TOLVANEC.INI", "Contributed-Ph", "buffers:acetate"), "667");
}

TEST_F(Contributions, ClashesMadeBeforeAreReported) {
  dir.Write("TOLVANEC.INI",
            "[Contributed]\r\nFirst=NE|a@example.org\r\nSecond=NEW|b@example.org\r\n"
            "Third=|c@example.org\r\nFourth=|d@example.org\r\n"
            "[Contributed-First]\r\nWXY=1\r\n[Contributed-Second]\r\nXY=2\r\n"
            "[Contributed-Third]\r\nR=3\r\nSAME=4\r\n[Contributed-Fourth]\r\nSAME=5\r\nFINE=6\r\n");
  LoadLists(s);
  EXPECT_EQ(NameClashes(s), (std::vector<std::string>{
                                "<NEWXY> of Contributed-Second is read from Contributed-First "
                                "(prefix NE)",
                                "<R> of Contributed-Third is hidden by a constant of the main "
                                "database",
                                "<SAME> of Contributed-Fourth is read from Contributed-Third",
                            }));
  s.flags.QuietMode = false;
  MakeHtmlPages(s);
  ASSERT_FALSE(ui.messages.empty());
  EXPECT_NE(ui.messages.back().text.find("<SAME> of Contributed-Fourth"), std::string::npos);
  EXPECT_EQ(ui.messages.back().icon, MessageIcon::Exclamation);
  ui.messages.clear();
}

// Lengths are checked when a request comes, and a request over a limit stores nothing.
TEST_F(Contributions, LimitsAreCheckedAtTheRequest) {
  std::string manyLines;
  for (int i = 0; i <= limits::kDefinitionLines; ++i)
    manyLines += "N" + std::to_string(i) + "=1\n";
  const std::string longest = std::string(limits::kDefinition - 2, '1') + "|d";
  struct Row {
    const char* name;
    std::string type, pre, modify;
    std::string err;
  };
  const Row rows[] = {
      {"a definition as long as allowed", "Mine", "MY", "K1=" + longest + "\nK2=2", "SUCCESS!"},
      {"a definition one character longer", "Mine", "MY", "K3=3\nK4=" + longest + "x",
       "A name may be at most 40 characters long and a definition at most 499: K4. Nothing was "
       "stored."},
      {"a name over its limit", "Mine", "MY", "K5=5\n" + std::string(41, 'N') + "=1",
       "A name may be at most 40 characters long and a definition at most 499: " +
           std::string(41, 'N') + ". Nothing was stored."},
      {"more lines than allowed", "Mine", "MY", manyLines,
       "A request may hold at most 1000 definition lines; this one holds 1001. Nothing was "
       "stored."},
      {"a category name over its limit", std::string(61, 'c'), "none", "K6=6",
       "A category name may be at most 60 characters long"},
      {"a prefix over its limit", "Other", std::string(17, 'P'), "K7=7",
       "A prefix may be at most 16 characters long"},
  };
  for (const Row& row : rows) {
    Request r;
    r.type = row.type;
    r.pre = row.pre;
    r.modify = row.modify;
    EXPECT_EQ(Send(r).err, row.err) << row.name;
  }
  EXPECT_EQ(Value("TOLVANEC.INI", "Contributed-Mine", "K1"), longest);
  s.db.IniFile = s.db.ContribIniFile;
  std::string description;
  EXPECT_EQ(IniGetEntry(s, "Contributed", "Mine", "K1", &description) + "|" + description, longest)
      << "read back whole";
  s.db.IniFile = s.db.MainIniFile;
  for (const char* key : {"K3", "K4", "K5", "N0", "K6", "K7"}) {
    EXPECT_EQ(Value("TOLVANEC.INI", "Contributed-Mine", key), "(missing)") << key;
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

#include "gateway/contribution_fixture.h"

#include "database/ini_access.h"
#include "gateway/contributions.h"
#include "gateway/text_utils.h"
#include "support/test_database.h"

namespace ostravel::testing {
namespace {

// Text between from and the next until (or the end); "" when from does not occur.
std::string Between(const std::string& text, const std::string& from, const std::string& until) {
  const auto start = text.find(from);
  if (start == std::string::npos) return {};
  const auto begin = start + from.size();
  const auto end = text.find(until, begin);
  return text.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

}  // namespace

ContributionTest::ContributionTest() : s(ui) {
  dir.Write("tolvanep.ht_", "MESS:%%mess%%\r\nERR:%%err%%\r\n");
  dir.Write("tolvane1.ht_", "%%refs%%\r\n");
  dir.Write("tolvanes.ht_", "<html>\r\n");
  s.gateway.PasswordHash = {1, 8192};  // libsodium's least costs: the tests stay fast
  TestDatabase().Load(dir, s);
}

ContributionTest::~ContributionTest() {
  const std::string perm = PermFile();
  for (const std::string& password : passwordsSent) {
    EXPECT_EQ(perm.find(password), std::string::npos) << "plain password in TOLVANEP.INI";
  }
  for (const Section& section : Sections("TOLVANEP.INI")) {
    if (section.name != "Permissions") continue;
    for (const auto& [key, value] : section.entries) {
      if (value.starts_with("Plain-")) continue;  // a legacy account that has not signed in
      EXPECT_TRUE(value.starts_with("$argon2id$")) << key << "=" << value;
    }
  }
  EXPECT_TRUE(ui.messages.empty()) << "a change request showed a message box";
}

Answer ContributionTest::Send(const Request& r) {
  const std::string nul(1, '\0');
  std::string fields = "9 " + r.method + " /calc?";
  fields += nul + "ID=1" + nul + "ADDR=" + r.clientAddress;
  fields += nul + "MODIFY=" + r.modify + nul + "user=" + r.user + nul + "name=" + r.name + nul +
            "pass=" + r.pass + nul + "type=" + r.type + nul + "pre=" + r.pre + nul + "GO=" + r.go +
            nul;
  if (r.newpass) {
    fields += "newpass=" + *r.newpass + nul;
    if (!r.newpass->empty()) passwordsSent.insert(*r.newpass);
    if (!r.pass.empty()) passwordsSent.insert(r.pass);
  } else if (!r.pass.empty()) {
    const auto eq = r.pass.find('=');
    passwordsSent.insert(r.pass.substr(0, eq));
    if (eq != std::string::npos && eq + 1 < r.pass.size())
      passwordsSent.insert(r.pass.substr(eq + 1));
  }
  HandleModifyRequest(s, fields, dir.File("linkr9.htm"));
  return ReadAnswer();
}

Answer ContributionTest::SendRaw(const std::string& command) {
  HandleModifyRequest(s, UrlDecode(command), dir.File("linkr9.htm"));
  return ReadAnswer();
}

Answer ContributionTest::ReadAnswer() {
  EXPECT_EQ(s.db.IniFile, s.db.MainIniFile);
  EXPECT_FALSE(s.flags.QuietMode);
  Answer a;
  a.page = dir.Read("linkr9.htm");
  a.mess = Between(a.page, "MESS:", "\r\nERR:");
  a.err = Between(a.page, "ERR:", "\r\n");
  std::remove(dir.File("linkr9.htm").c_str());
  return a;
}

std::vector<Section> ContributionTest::Sections(const std::string& file) const {
  std::vector<Section> sections;
  const std::string text = dir.Read(file);
  std::size_t pos = 0;
  while (pos < text.size()) {
    auto end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    pos = end + 1;
    if (line.starts_with("[")) {
      sections.push_back({line.substr(1, line.find(']') - 1), {}});
    } else if (const auto eq = line.find('='); eq != std::string::npos && !sections.empty()) {
      sections.back().entries.emplace_back(line.substr(0, eq), line.substr(eq + 1));
    }
  }
  return sections;
}

std::string ContributionTest::Value(const std::string& file, const std::string& section,
                                    const std::string& key) const {
  for (const Section& found : Sections(file)) {
    if (found.name != section) continue;
    for (const auto& [k, v] : found.entries) {
      if (k == key) return v;
    }
  }
  return "(missing)";
}

}  // namespace ostravel::testing

// A program folder with a small database and templates, and a way to send change requests to
// it as the gateway hands them on, reading the answer page back.
#pragma once

#include <gtest/gtest.h>

#include <optional>

#include <set>
#include <string>
#include <vector>

#include "session/session.h"
#include "support/recording_platform.h"
#include "support/temp_dir.h"

namespace ostravel::testing {

inline constexpr const char* kList = "List My Contributions";
inline constexpr const char* kChange = "Just Change My Password";
inline constexpr const char* kStore = "Store My Definitions";

// The fields of one request as the form sends them; an empty text stands for a missing field.
struct Request {
  std::string modify;
  std::string user = "alice@example.org";
  std::string name = "Alice Smith";
  std::string pass = "Apple-Pie-1";
  std::string type = "Mine";
  std::string pre = "MY";
  std::string go = kStore;
  std::optional<std::string> newpass;  // the page's field of its own for a new password
  std::string method = "POST";
  std::string clientAddress = "192.0.2.7";  // put in by ostravel-link as "ADDR"
};

// A second web user beside the default one.
inline Request Bob() {
  Request bob;
  bob.user = "bob@example.org";
  bob.name = "Bob";
  bob.pass = "Bob-Pass-77";
  return bob;
}

struct Answer {
  std::string page;  // the whole answer file
  std::string mess;  // the report; "" when none was made
  std::string err;   // "SUCCESS!" or the error text
};

// A section of a profile file with its entries, as written (key and value untrimmed).
struct Section {
  std::string name;
  std::vector<std::pair<std::string, std::string>> entries;
};

class ContributionTest : public ::testing::Test {
 protected:
  ContributionTest();
  ~ContributionTest() override;

  // Sends the request through HandleModifyRequest and reads its answer file.
  Answer Send(const Request& request);
  // Sends a raw request text through the gateway's decoding first.
  Answer SendRaw(const std::string& command);

  std::string PermFile() const { return dir.Read("TOLVANEP.INI"); }
  std::string ContribFile() const { return dir.Read("TOLVANEC.INI"); }
  // The sections of a file of the program folder, in file order.
  std::vector<Section> Sections(const std::string& file) const;
  // The value of key in section of a file as written, or "(missing)".
  std::string Value(const std::string& file, const std::string& section,
                    const std::string& key) const;

  TempDir dir;
  RecordingPlatform ui;
  Session s;
  std::set<std::string> passwordsSent;  // none of them may ever stand in TOLVANEP.INI

 private:
  Answer ReadAnswer();
};

}  // namespace ostravel::testing

// Points the database access routines at another file for a while and always puts the main
// file back, also when a failure leaves the scope.
#pragma once

#include <string>

#include "session/session.h"

namespace ostravel {

class IniFileSwitch {
 public:
  IniFileSwitch(Session& s, const std::string& file) : s_(s) { s_.db.IniFile = file; }
  ~IniFileSwitch() { s_.db.IniFile = s_.db.MainIniFile; }
  IniFileSwitch(const IniFileSwitch&) = delete;
  IniFileSwitch& operator=(const IniFileSwitch&) = delete;

 private:
  Session& s_;
};

}  // namespace ostravel

#include "console/console_balance.h"

#include <iostream>

#include "chemistry/reaction_equation.h"
#include "console/console_platform.h"
#include "database/key_lists.h"
#include "database/settings.h"
#include "runtime/failure.h"
#include "session/session.h"

namespace ostravel {

int RunBalance(const std::string& programFolder, const std::string& equation) {
  ConsolePlatform ui;
  Session s(ui);
  s.db.ProgramFolder = programFolder;
  LoadSettings(s);
  LoadLists(s);  // the radicals, which formulas may name
  try {
    std::cout << BalanceEquation(s, equation) << std::endl;
    return 0;
  } catch (const RunFailure& failure) {
    std::cerr << (s.engine.EvalError.empty() ? failure.what() : s.engine.EvalError) << std::endl;
    return 1;
  }
}

}  // namespace ostravel

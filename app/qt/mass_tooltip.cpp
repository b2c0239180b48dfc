#include "qt/mass_tooltip.h"

#include "chemistry/mass_report.h"
#include "qt/latin1.h"
#include "runtime/failure.h"
#include "runtime/text_case.h"
#include "session/session.h"

namespace ostravel {

QString MassToolTip(Session& s, const std::string& memoryLine) {
  // The formula parser's state belongs to a running calculation.
  if (s.calc.Running) return {};
  const std::size_t tab = memoryLine.find('\t');
  if (tab == std::string::npos) return {};
  const std::string name = memoryLine.substr(tab + 1);
  const std::string head = AsciiUpper(name.substr(0, 3));
  if ((head != "MW(" && head != "EM(" && head != "MZ(") || name.size() < 5 || name.back() != ')')
    return {};
  const std::string formula = name.substr(3, name.size() - 4);
  try {
    return ToQt(name + "\n" + MassReportText(s, formula));
  } catch (const RunFailure&) {
    s.engine.EvalError.clear();
    return {};
  }
}

}  // namespace ostravel

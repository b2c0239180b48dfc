#include "qt/memory_tooltip.h"

#include <QHelpEvent>
#include <QListWidget>
#include <QToolTip>

#include "chemistry/formula_explain.h"
#include "qt/latin1.h"
#include "qt/mass_tooltip.h"
#include "runtime/failure.h"
#include "session/session.h"

namespace ostravel {

QString MolarMassReading(Session& s, const std::string& memoryLine) {
  // The reading uses the formula parser, whose state belongs to a running line.
  if (s.calc.Running) return {};
  const std::size_t tab = memoryLine.find('\t');
  if (tab == std::string::npos) return {};
  const std::string name = memoryLine.substr(tab + 1);
  if (name.rfind("MW(", 0) != 0 || name.back() != ')') return {};
  const std::string error = s.engine.EvalError;
  QString text;
  try {
    text = ToQt(FormulaReadingText(ExplainFormula(s, name)));
  } catch (const RunFailure&) {
    // The database changed since the line was made: no reading to show.
  }
  s.engine.EvalError = error;
  return text;
}

bool ShowMemoryToolTip(Session& s, QListWidget* memories, QHelpEvent* event) {
  const int row = memories->row(memories->itemAt(event->pos()));
  const auto& items = s.window.memories.Items;
  if (row < 0 || static_cast<std::size_t>(row) >= items.size()) return false;
  // A molar mass shows its reading, which ends with the mass report; an exact mass or m/z
  // line shows the report alone.
  QString text = MolarMassReading(s, items[row]);
  if (text.isEmpty()) text = MassToolTip(s, items[row]);
  if (text.isEmpty()) return false;
  QToolTip::showText(event->globalPos(), QStringLiteral("<pre>") + text.toHtmlEscaped() + "</pre>",
                     memories->viewport(), memories->visualItemRect(memories->item(row)));
  return true;
}

}  // namespace ostravel

#include "calc/calculation_driver.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>
#include <vector>

#include "calc/trace_directive.h"
#include "chemistry/arithmetic_reader.h"
#include "chemistry/formula_parser.h"
#include "chemistry/term_expansion.h"
#include "memory/memories.h"
#include "runtime/conversions.h"
#include "runtime/failure.h"
#include "runtime/number_format.h"
#include "runtime/replace_all.h"
#include "runtime/text_case.h"
#include "runtime/typed_text.h"
#include "session/engine_calls.h"
#include "session/session.h"
#include "solver/root_search.h"
#include "solver/simplex.h"

namespace ostravel {
namespace {

const char* const kUnmatchedParentheses = "Unmatched parentheses ()";
const char* const kUnmatchedBrackets = "Unmatched constant brackets <>";

void SetEntryLine(Session& s, std::string text) {
  s.window.entryline.Text = std::move(text);
  s.ui.Changed(Control::EntryLine);
}

// Puts the caret of the entry line after its i-th character (at the end beyond it).
void PutCaret(Session& s, std::size_t i) {
  auto& line = s.window.entryline;
  line.SelStart = static_cast<int>(std::min(i, line.Text.size()));
  line.SelLength = 0;
  s.ui.Changed(Control::EntryLine);
}

// Counts open minus close from the left on every line of the text; fails at the first
// position where the count drops below 0 or exceeds maxDepth, or at the end of a line when it
// is not 0 there (brackets never span lines).
void CheckBalance(Session& s, const std::string& text, char open, char close, int maxDepth,
                  const char* message) {
  s.engine.EvalError = message;
  int depth = 0;
  for (std::size_t i = 1; i <= text.size() + 1; ++i) {
    const char c = i <= text.size() ? text[i - 1] : '\n';
    if (c == open) ++depth;
    if (c == close) --depth;
    if (depth < 0 || depth > maxDepth || (c == '\n' && depth != 0)) {
      PutCaret(s, i);
      Fail(FailureKind::Calculation);
    }
  }
}

// The lines of the entry text: each is a calculation line of its own (a pasted or piped text
// may hold several). A CR before the line feed belongs to the line end.
std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

// The "#" directive: digits for display, for this run or, at the start of the line, for good.
void ApplyDigitDirective(Session& s, NumberFormat& saved) {
  std::string& line = s.window.entryline.Text;
  std::size_t p = line.find('#');
  if (p == std::string::npos) return;
  s.format.SigDigits = 0;
  if (p + 1 < line.size())
    s.format.SigDigits = static_cast<int>(LeadingNumber(line.substr(p + 1, 1)));
  SetSigFormat(s.format);
  if (p == 0) {
    if (!s.flags.QuietMode) {
      std::string digits = s.format.SigDigits == 0 ? "all" : std::to_string(s.format.SigDigits);
      s.ui.MessageBox(
          "Future calculations will be displayed on the list and placed in the "
          "clipboard with " +
              digits +
              " significant digits. All results are always saved as double "
              "precision numbers, however (15 significant digits).",
          MessageIcon::Exclamation, kAppTitle);
    }
    saved = s.format;
  }
  SetEntryLine(s, line.substr(0, p));
}

std::vector<std::string> SplitPieces(const std::string& line) {
  std::vector<std::string> pieces;
  std::size_t start = 0;
  while (true) {
    std::size_t end = line.find(';', start);
    std::string piece = TrimBlanks(std::string_view(line).substr(
        start, end == std::string::npos ? std::string::npos : end - start));
    if (!piece.empty()) pieces.push_back(std::move(piece));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return pieces;
}

// The "testing" directive: a calculation of its own that is exactly "testing" (a comment or
// a word that merely contains it, such as "retesting", is none).
bool HoldsTraceDirective(const std::string& text) {
  for (const std::string& line : SplitLines(text)) {
    for (const std::string& piece : SplitPieces(line.substr(0, line.find('\''))))
      if (piece == "testing") return true;
  }
  return false;
}

// The last listed result becomes what X stands for in the next calculation.
void ShowX(Session& s, double value) {
  s.window.txtX.Caption = GeneralNumberText(value);
  s.window.LblX.Visible = s.window.txtX.Visible = true;
  s.ui.Changed(Control::Labels);
}

// A piece whose kind is Calc: the engine evaluates it, or the solver solves it for x.
void EvaluatePiece(Session& s) {
  EngineState& e = s.engine;
  // The engine reads what it is given as well as it can; only a text that reads completely
  // may reach it, so that no misreading ever becomes a result.
  ReadArithmetic(s, s.calc.CalcText, s.calc.PieceText);
  s.calc.FormulaText.clear();
  e.EvalText = AsciiUpper(s.calc.CalcText);
  e.FxAbs = 0;
  // Options such as ", X0=1" after the first comma belong to the solver, not to the equation.
  std::string equation = e.EvalText.substr(0, e.EvalText.find(','));
  if (equation.find('=') != std::string::npos && equation.back() != '=') {
    CheckEquation(s, equation,
                  TrimBlanks(s.calc.ResultLabel.substr(0, s.calc.ResultLabel.find(','))));
    e.EvalText = equation;
    e.EvalMode = EvalMode::Solver;
    ShowSolver(s);
    // A search that ends without a root is a failure of the calculation, never an answer.
    RequireRoot(s);
  } else {
    e.XValue = LeadingNumber(s.window.txtX.Caption);
    e.EvalMode = EvalMode::Direct;
    EvaluateExpression(s);
  }
  const MemoryState& m = s.memory;
  if (e.XValue == kNoValue) return;
  s.calc.AnswerMemory = s.calc.ExpansionMark;
  if (s.calc.ExpansionMark == 0 || e.XValue != m.MemValues[s.calc.ExpansionMark]) {
    StoreMemory(s, e.XValue, s.calc.ResultLabel, true);
    s.calc.AnswerMemory = m.MemoryCount;
    s.window.txtE.Caption = GeneralNumberText(e.FxAbs);
    s.window.lblE.Visible = s.window.txtE.Visible = true;
  }
  // Also a result that is the memory line expansion just made (a constant or MW( term alone).
  ShowX(s, e.XValue);
}

// A bare memory reference: scroll to that memory and put its value on the clipboard.
void RecallMemory(Session& s) {
  const MemoryState& m = s.memory;
  double n = LeadingNumber(std::string_view(s.calc.CalcText).substr(1)) - 1;
  int shown = static_cast<int>(std::max(0.0, std::min(n, static_cast<double>(m.MemoryCount - 1))));
  ListModel& list = s.window.memories;
  list.TopIndex = std::max(0, static_cast<int>(list.Items.size()) - shown - 1);
  s.ui.Changed(Control::Memories);
  CopyToClipboard(s, FormatSig(s.format, m.MemValues[shown + 1]));
  ShowX(s, m.MemValues[shown + 1]);
  s.calc.AnswerMemory = shown + 1;
}

// A piece taken for a formula: its molar mass. A text of formula letters that is no formula
// may still be arithmetic with its function words in any case (Log100, Sqrt16, pH7); then it
// is evaluated, and otherwise the formula's fault is reported.
void WeighPiece(Session& s) {
  CalcState& c = s.calc;
  c.FormulaText = c.CalcText;
  double mass = 0;
  try {
    mass = FormulaMass(s, c.FormulaText);
  } catch (const RunFailure& failure) {
    if (failure.kind() != FailureKind::Calculation || !ArithmeticFault(s, c.CalcText).empty()) {
      throw;
    }
    s.engine.EvalError.clear();
    c.CalcKind = CalcKind::Calc;
    return;
  }
  if (mass != 0 && c.CalcKind == CalcKind::Form) {
    StoreMolarMass(s, mass);
    ShowX(s, mass);
    c.AnswerMemory = s.memory.MemoryCount;
  }
}

void RunPiece(Session& s, const std::string& piece) {
  CalcState& c = s.calc;
  c.ExpansionMark = 0;
  c.ResultLabel = piece;
  std::string text = piece;
  text = text.substr(0, text.find('\t'));
  text = text.substr(0, text.find('|'));
  c.PieceText = TrimBlanks(text);
  c.CalcText = StripSpaces(text);
  ExpandTerms(s);
  if (c.CalcKind == CalcKind::Error) ++c.RunErrors;
  if (c.CalcKind == CalcKind::Mem && s.flags.QuietMode) c.CalcKind = CalcKind::Calc;
  // The kinds are tested in turn: a text taken for a formula may turn out to be arithmetic
  // (2E5), and then it is evaluated.
  if (c.CalcKind == CalcKind::Form) WeighPiece(s);
  if (c.CalcKind == CalcKind::Calc) EvaluatePiece(s);
  if (c.CalcKind == CalcKind::Mem) {
    ReadArithmetic(s, c.CalcText, c.PieceText);  // a line that does not exist is refused
    RecallMemory(s);
  }
  if (c.CalcKind == CalcKind::Done && s.memory.MemoryCount >= 1) {
    ShowX(s, s.memory.MemValues[s.memory.MemoryCount]);
    c.AnswerMemory = s.memory.MemoryCount;
  }
}

// One line of the entry text: its pieces between semicolons, then, when there were several
// and none of them failed, the final result once more under the whole line (a line with a
// dropped piece has no result of its own).
void RunEntryLine(Session& s, const std::string& entryLine) {
  CalcState& c = s.calc;
  const std::string line = entryLine.substr(0, entryLine.find('\''));
  c.ExpansionMark = 0;
  const int errorsBefore = c.RunErrors;
  for (const std::string& piece : SplitPieces(line))
    RunPiece(s, piece);
  if (line.find(';') != std::string::npos && c.RunErrors == errorsBefore &&
      s.memory.MemoryCount != c.ExpansionMark) {
    double last = s.memory.MemValues[s.memory.MemoryCount];
    StoreMemory(s, LeadingNumber(GeneralNumberText(last)), line, true);
  }
}

void RunLine(Session& s, NumberFormat& saved) {
  // Characters with a plain meaning (H₂O, 2×3, 6.022 x 10^23) are written plainly first.
  std::string text = PlainEntryText(TrimBlanks(s.window.entryline.Text));
  SetEntryLine(s, text);
  saved = s.format;
  ApplyDigitDirective(s, saved);

  CalcState& c = s.calc;
  c.RunSigDigits = s.format.SigDigits;
  c.ResultLabel = TrimBlanks(s.window.entryline.Text);
  ReplaceAll(c.ResultLabel, "{", "(");
  ReplaceAll(c.ResultLabel, "[", "(");
  ReplaceAll(c.ResultLabel, "}", ")");
  ReplaceAll(c.ResultLabel, "]", ")");
  ReplaceAll(c.ResultLabel, "**", "^");

  CheckBalance(s, c.ResultLabel, '(', ')', static_cast<int>(c.ResultLabel.size()),
               kUnmatchedParentheses);
  CheckBalance(s, c.ResultLabel, '<', '>', 1, kUnmatchedBrackets);
  s.engine.EvalError.clear();

  if (!s.flags.QuietMode && HoldsTraceDirective(c.ResultLabel)) {
    ToggleTrace(s);
    return;
  }

  // Every line of the text is a line of calculations of its own; a comment ends with its line.
  for (const std::string& line : SplitLines(c.ResultLabel))
    RunEntryLine(s, line);
  s.window.memories.ListIndex = -1;
  s.ui.Changed(Control::Memories);
}

// A line runs for the length of a scope: Running set, the wait cursor shown, Calculate
// disabled. On every way out all three are put back and the number format becomes the saved
// one again, which the "#" directive of the line may have changed.
class LineRunScope {
 public:
  explicit LineRunScope(Session& s) : s_(s), saved_(s.format) {
    s.calc.Running = true;
    s.window.WaitCursor = true;
    s.window.CalculateEnabled = false;
    s.ui.Changed(Control::Cursor);
    s.ui.Changed(Control::CalculateButton);
  }
  ~LineRunScope() {
    s_.format = saved_;
    s_.window.WaitCursor = false;
    s_.window.CalculateEnabled = true;
    s_.ui.Changed(Control::Cursor);
    s_.ui.Changed(Control::CalculateButton);
    s_.calc.Running = false;
  }
  LineRunScope(const LineRunScope&) = delete;
  LineRunScope& operator=(const LineRunScope&) = delete;

  NumberFormat& SavedFormat() { return saved_; }

 private:
  Session& s_;
  NumberFormat saved_;
};

}  // namespace

void DoCalculations(Session& s) {
  CalcState& c = s.calc;
  if (c.Running) {
    // A yield let Enter or an example click through while a line runs: the engine's state
    // belongs to the running line, so the second one is refused.
    s.ui.Beep();
    return;
  }
  LineRunScope run(s);
  c.RunErrors = 0;
  c.AnswerMemory = 0;
  c.QuietMessages.clear();
  try {
    RunLine(s, run.SavedFormat());
  } catch (const RunFailure& failure) {
    ++c.RunErrors;
    ShowEvalError(s, failure.kind());
  } catch (const std::exception&) {
    // Memory exhaustion and the like: reported like any other failure of the line.
    ++c.RunErrors;
    ShowEvalError(s, FailureKind::Overflow);
  }
}

void Calculate_Click(Session& s) {
  if (s.calc.Running) {
    s.ui.Beep();
    return;
  }
  DoCalculations(s);
  if (s.engine.EvalError != kUnmatchedParentheses) SelectEntryLine(s);
}

void entryline_KeyPress(Session& s, int& key) {
  if (key != kEnterKey) return;
  key = 0;
  Calculate_Click(s);
}

void SelectEntryLine(Session& s) {
  s.window.entryline.SelStart = 0;
  s.window.entryline.SelLength = static_cast<int>(s.window.entryline.Text.size());
  s.ui.Changed(Control::EntryLine);
  s.ui.SetFocus(Control::EntryLine);
}

void ShowSolver(Session& s) {
  FrmSimplex_Load(s);
  if (s.flags.QuickSimplex || s.flags.Unattended) {
    s.solver.window.Loaded = false;
    return;
  }
  s.window.WaitCursor = false;
  s.ui.Changed(Control::Cursor);
  s.ui.ShowModal(Dialog::Simplex);
  s.solver.window.Loaded = false;
}

}  // namespace ostravel

#include "chemistry/mass_report.h"

#include <charconv>
#include <cstdlib>

#include "chemistry/exact_mass.h"
#include "chemistry/formula_composition.h"
#include "runtime/conversions.h"
#include "runtime/failure.h"
#include "session/session.h"

namespace ostravel {
namespace {

// Masses in u to six decimals: what mass spectrometers resolve, well within the table's
// precision.
std::string Mass(double value) {
  char buffer[64];
  auto [end, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
  return ec == std::errc() ? std::string(buffer, end) + " u" : "?";
}

std::string ChargeText(int charge) {
  const int magnitude = std::abs(charge);
  return (magnitude == 1 ? "" : std::to_string(magnitude)) + (charge > 0 ? "+" : "-");
}

// A mass that needs the isotope table, or the reason it cannot be given.
template <typename Compute>
std::string MassOrWhyNot(Session& s, Compute compute) {
  try {
    return compute();
  } catch (const RunFailure&) {
    std::string why = s.engine.EvalError;
    s.engine.EvalError.clear();
    return why.empty() ? "not available" : "not available: " + why;
  }
}

}  // namespace

std::vector<std::pair<std::string, std::string>> MassReport(Session& s,
                                                            const std::string& formula) {
  const Composition c = FormulaComposition(s, formula);
  std::vector<std::pair<std::string, std::string>> lines;

  const double molar = AverageMolarMass(s, c);
  std::string molarText = GeneralNumberText(molar) + " g/mol";
  const std::string uncertain = MassOrWhyNot(s, [&] {
    const MolarMassUncertainty u = MolarMassUncertaintyOf(s, c);
    molarText = ValueWithUncertainty(molar, u.Uncertainty) + " g/mol";
    if (!u.Shares.empty() && u.Uncertainty > 0) {
      molarText += " (uncertainty mostly from " + DominantElements(s, u) + ")";
    }
    for (std::size_t i = 0; i < u.WithoutStandardWeight.size(); ++i) {
      molarText += i == 0 ? "; no standard atomic weight for " : ", ";
      molarText += AtomName(s, u.WithoutStandardWeight[i]);
    }
    return std::string();
  });
  // Without the isotope table the molar mass stands alone, with the reason.
  lines.emplace_back(
      "molar mass", uncertain.empty() ? molarText : molarText + " (uncertainty " + uncertain + ")");
  lines.emplace_back("monoisotopic mass",
                     MassOrWhyNot(s, [&] { return Mass(MonoisotopicMass(s, c)); }));
  lines.emplace_back("nominal mass", MassOrWhyNot(s, [&] {
                       char buffer[32];
                       auto [end, ec] =
                           std::to_chars(buffer, buffer + sizeof buffer, NominalMass(s, c),
                                         std::chars_format::general);
                       return std::string(buffer, ec == std::errc() ? end : buffer) + " u";
                     }));
  if (c.Charge != 0) {
    lines.emplace_back("m/z", MassOrWhyNot(s, [&] {
                         return Mass(MassToCharge(s, c, formula)) + " (charge " +
                                ChargeText(c.Charge) + ")";
                       }));
  }
  return lines;
}

std::string MassReportText(Session& s, const std::string& formula) {
  std::string text;
  for (const auto& [label, value] : MassReport(s, formula)) {
    if (!text.empty()) text += '\n';
    text += label + ": " + value;
  }
  return text;
}

}  // namespace ostravel

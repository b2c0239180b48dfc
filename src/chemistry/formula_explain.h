// How a formula is read: each element with its count, its part of the molar mass and its mass
// percent, each component of a hydrate or mixture, and the molar mass. The rows come from the
// formula parser itself, so they always agree with the molar mass it computes.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace ostravel {

class Session;

struct ReadingRow {
  std::string Label;  // element symbol or isotope ("^13C"), or a component as written ("3H2O")
  double Count = 0;   // atoms of the element in the formula; a component's multiplier
  double Mass = 0;    // g/mol the element or component contributes
  double Percent = 0;
};

struct FormulaReading {
  std::string Formula;                 // as read, without an MW( ) around it
  std::vector<ReadingRow> Elements;    // in the order the formula first names them
  std::vector<ReadingRow> Components;  // empty when the formula has one component
  double MolarMass = 0;
  // The mass report: the molar mass with its uncertainty, the monoisotopic and nominal masses
  // (label and text); empty when the report cannot be made.
  std::vector<std::pair<std::string, std::string>> Masses;
};

// Reads formula (an MW( ) around it is allowed). A text that is no formula fails like the
// molar mass would, or with "... is not a molecular formula".
FormulaReading ExplainFormula(Session& s, const std::string& formula);

// The reading as a table of plain text, one row per line, then the molar mass: the lines of
// the mass report when there are any.
std::string FormulaReadingText(const FormulaReading& reading);

}  // namespace ostravel

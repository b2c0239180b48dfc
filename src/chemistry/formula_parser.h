// The molar mass of a molecular formula: each component is encoded in place into a sequence
// of character codes and evaluated on a small stack.
//
// Coded form: 0 is the count 1; 1..150 a count whose number text is CountTexts at that slot;
// 151 "(", 152 ")"; 153 followed by the atomic number is an element. In the raw part of a
// component being encoded, code 1 is the hydrate mark.
#pragma once

#include <string>
#include <string_view>

namespace ostravel {

class Session;

// The sum over the formula's components ("+" and hydrate marks separate them) of leading
// multiplier x component value. Sets CalcKind to Calc when the text is not a formula (the
// total then holds the components finished before). Callers set CalcKind to Form first.
double FormulaMass(Session& s, std::string formula);

// Codes one component of formula in place; multiplies multiplier by the component's leading
// number and sets nextMultiplier to 1. Returns the raw text after the "+" or hydrate mark that
// ended the component ("" when none).
std::string EncodeFormula(Session& s, std::string& formula, double& multiplier,
                          double& nextMultiplier);

// Gives an element without a written count the count 1: appends count code 1 to the coded
// part when its last-but-one character is the element mark.
void InsertUnitCount(std::string& coded);

// The value of a coded component: mass, filtered mass or atom count (FormulaState's flags).
double CodedFormulaValue(Session& s, std::string_view coded);

}  // namespace ostravel

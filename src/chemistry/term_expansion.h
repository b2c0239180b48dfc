// Term expansion: decides the kind of a calculation and rewrites it into plain arithmetic.
// Constants in angle brackets become their values or memory references; MW(, MOL%( and WT%(
// terms are computed and replaced by references to the memory lines that hold their results.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ostravel {

class Session;

// Works on s.calc.CalcText; sets s.calc.CalcKind (Calc, Form, Mem, Done or Error).
void ExpandTerms(Session& s);

// The value text of a bracketed constant name ("" when not found); m receives the memory line
// that holds it (0 when none).
std::string LookUpConstant(Session& s, const std::string& name, int& m);

// 100 x the element's part of the formula / the whole formula: by mass, or by atom count while
// CountAtoms is set. A whole of 0 fails with a division by zero.
double ElementPercent(Session& s, const std::string& symbolSlot, const std::string& formula);

// Stores a numeric constant as a memory line named name.
void StoreConstant(Session& s, const std::string& name, const std::string& value);
// Stores a molar mass under "MW(" + ResultLabel + ")"; a mass of 0 stores nothing.
void StoreMolarMass(Session& s, double mass);
// Stores a percentage under "mol%(" + text + ")" while CountAtoms is set, else "wt%(" ...
void StorePercent(Session& s, double value, const std::string& text);

// Index of the ")" that closes the "(" at index open; "unclosed parentheses" when none.
std::size_t MatchingParenthesis(Session& s, std::string_view text, std::size_t open);

}  // namespace ostravel

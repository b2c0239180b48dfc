// Element symbols to atomic numbers, and the expansion of radical abbreviations.
#pragma once

#include <string>
#include <string_view>

namespace ostravel {

class Session;
struct EncodingText;
struct FormulaState;

// The atomic number of a 2-character symbol slot ("H ", "He"): where the slot first occurs
// in ElementSymbols, halved; 0 when it does not occur. Case-sensitive.
int AtomicNumber(const Session& s, std::string_view slot);

// Resolves the pending symbol of the formula encoder; text.next points at the character
// after the symbol. Returns -1 after a radical was expanded in place (text.next then points
// at the inserted "("), else the atomic number written into text.coded (0 when nothing was
// pending or the letters mark the text as arithmetic). Unknown symbols set EvalError and
// raise a calculation failure.
int ResolveSymbol(Session& s, EncodingText& text);

// Reads the radical names of RadicalKeys, in list order, into the index that ResolveSymbol
// searches, when the list changed since the last time. The encoder does it for each
// component.
void PrepareRadicalIndex(Session& s);

// Takes a fresh count slot of the formula encoder, emptied; more than 150 slots fail.
void TakeCountSlot(FormulaState& f);

}  // namespace ostravel

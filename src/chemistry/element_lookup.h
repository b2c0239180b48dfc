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

// Builds the lookup tables that ResolveSymbol reads (the atomic number of every symbol
// slot, the radical names of RadicalKeys) when the element table or the radical list changed
// since the last time. FormulaMass and EncodeFormula do it before they start.
void PrepareSymbolLookup(Session& s);

// Expands the pending symbol, with the raw text after it, as a radical when one is named so
// (with the precedence rules of elements and contributed radicals); text.next then points at
// the inserted "(". False when no radical was taken; CurrentAtomicNumber then holds the
// pending symbol's atomic number.
bool ExpandPendingRadical(Session& s, EncodingText& text);

// Refuses the pending symbol, naming its letters as typed (from SymbolStart in the raw text,
// with every small letter that follows) and the formula: not an element, bad capitalization,
// or too many letters for a symbol.
[[noreturn]] void RefuseSymbol(Session& s, const EncodingText& text);

// Where a fault in a formula lies, for messages: "letters" in formula, or the formula alone.
std::string FormulaPlace(std::string_view letters, std::string_view formula);

// Takes a fresh count slot of the formula encoder, emptied; beyond kMaxCountSlots the formula
// is refused with a message that names the limit.
void TakeCountSlot(Session& s);

}  // namespace ostravel

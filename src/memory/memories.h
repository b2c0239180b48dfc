// Memory lines: every result stored with its name, listed newest first in `memories`.
#pragma once

#include <string>
#include <string_view>

namespace ostravel {

class Session;

// Stores a new memory line (numbers wrap from 1000 to 1) and lists it at the top of
// `memories`; with show, also scrolls to it, puts name into the entry line and the formatted
// value on the clipboard.
void StoreMemory(Session& s, double value, const std::string& name, bool show);
void ScrollToTop(Session& s);
// Number of the first memory from NameSearchStart to MemoryCount named exactly name; 0 if none.
int FindMemoryName(const Session& s, std::string_view name);
// Unless QuietMode: puts text on the clipboard and shows it in lblClip.
void CopyToClipboard(Session& s, const std::string& text);
// The command "&Reset".
void ResetMemories(Session& s);
// Mouse actions on the list `memories` (the selection is window.memories.ListIndex).
void memories_Click(Session& s);
void memories_DblClick(Session& s);
// The value of a memory line as shown ("18.02" of "M5: 18.02", tab, "MW(H2O)"); "" for none.
std::string MemoryLineValue(const std::string& line);
// The selected memory line's value as shown, or the whole line, to the clipboard.
void CopyMemoryValue(Session& s);
void CopyMemoryLine(Session& s);

}  // namespace ostravel

// The static pages of the web version: an index with a link to every category and one list
// page per type (constants, examples, contributed values), written from the templates that
// lie in the program folder.
#pragma once

#include <string>
#include <string_view>

namespace ostravel {

class Session;

// Writes the list pages (constants and examples only once a run, contributed values every
// time) and the index page; unless QuietMode says in the status line where they went, or in
// a message which page could not be written and why; then starts QuickUrl. Returns false when
// a page could not be written.
bool MakeHtmlPages(Session& s);
// Writes one list page for typeName ("Constants", "Examples" or "Contributed") and returns
// its index links: the heading line and one link line per category. When the page cannot be
// written and *failure is empty, *failure names it and the reason.
std::string WriteListPage(Session& s, const std::string& outputFile, const std::string& typeName,
                          std::string* failure = nullptr);
// The HTML block of one category: its heading and one radio button per entry, in
// case-insensitive order of description, then key. Reads the file s.db.IniFile names.
std::string MakeCategoryBlock(Session& s, const std::string& typeName, const std::string& category);

// Text written as HTML text or attribute value: "&", double quote, "<" and ">" as character
// references, everything else (blanks at the ends included) unchanged.
std::string HtmlText(std::string_view text);
// The argument of sdo as it goes between the single quotes of sdo('...') inside a
// double-quoted onclick attribute: first escaped for a JavaScript string, then for the
// attribute, so that the script receives the text exactly.
std::string EscapeSdoArgument(std::string_view argument);
// A category name as the fragment of a link to its anchor: "%", "#", blanks and control
// characters percent-encoded, which a browser decodes again before it looks for the anchor.
std::string UrlFragment(std::string_view name);

}  // namespace ostravel

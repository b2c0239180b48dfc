// Text routines of the web gateway: request fields, HTML escapes and templates.
#pragma once

#include <string>
#include <string_view>

namespace ostravel {

class Platform;

// Trims the text and writes "&", double quote, "<" and ">" as character references.
void HtmlEscape(std::string& text);
// The trimmed value of the first field called name in a NUL-separated field list; "" if none.
std::string GetField(std::string_view list, std::string_view name);
// The same value exactly as sent, blanks at its ends included (a password is taken as typed).
std::string GetRawField(std::string_view list, std::string_view name);
// Turns a raw request into a NUL-separated field list: "+" is a blank, the path up to "?" and
// the protocol tail from "HTTP" become fields of their own, "&" separates fields, escapes
// %XX are decoded (an encoded "&" stays in its value), and CR LF ends a field too.
std::string UrlDecode(std::string request);
// Puts the HTML-escaped value at every "%%" of a one-line pattern written with single quotes.
std::string FillPattern(std::string_view value, std::string_view pattern);
// Reads a template file and replaces every %%name%% by the field's value; lines end in CR LF.
std::string ReadTemplate(Platform& ui, const std::string& fileName, std::string_view fields);

}  // namespace ostravel

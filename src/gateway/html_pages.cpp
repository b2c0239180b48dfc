#include "gateway/html_pages.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "database/ini_access.h"
#include "database/ini_file_switch.h"
#include "gateway/full_names.h"
#include "gateway/text_utils.h"
#include "runtime/file_io.h"
#include "runtime/text_case.h"
#include "session/session.h"

namespace ostravel {
namespace {

const char* const kCrLf = "\r\n";

struct PageType {
  const char* name;
  const char* heading;
  char code;  // the page letter: tolvane<code>.htm
};

constexpr PageType kPageTypes[] = {
    {"Examples", "<a name='Examples'><H4>Examples</h4></a>", 'e'},
    {"Constants", "<a name='Constants'><H4>Constants</H4></a>", 'c'},
    {"Contributed", "<a name='More'><H4>Contributed Values</H4></a>", 'm'},
};

const PageType* FindPageType(const std::string& typeName) {
  for (const PageType& type : kPageTypes)
    if (typeName == type.name) return &type;
  return nullptr;
}

std::string InFolder(const Session& s, const char* name) {
  return s.db.ProgramFolder + "/" + name;
}

// Writes a page; the first page that cannot be written is named in *failure with the reason.
// Synced: the pages show the values users stored, and a crash must not leave one empty.
void WritePage(const std::string& path, std::string_view bytes, std::string* failure) {
  const AtomicWriteResult written =
      WriteFileAtomically(path, bytes, AtomicWrite(Durability::AtomicSynced));
  if (written) return;
  const std::string reason = std::strerror(written.error);
  if (failure != nullptr && failure->empty()) *failure = path + " (" + reason + ")";
}

// The whole file byte for byte; "" when it cannot be read.
std::string ReadRawFile(const std::string& path) {
  std::string bytes;
  if (!ReadAll(path, bytes)) bytes.clear();
  return bytes;
}

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

struct Entry {
  std::string key, value, description;
  std::string sortKey;  // description, code 7, key; compared without regard to case
};

// The entries of a category in the order of a sorted list of description, code 7 and key:
// entries without a description first, by key, then the others by description.
std::vector<Entry> SortedEntries(Session& s, const std::string& typeName,
                                 const std::string& category) {
  std::vector<Entry> entries;
  std::string keys = IniGetKeys(s, typeName + "-" + category) + kNul;
  for (std::string key = PopListItem(keys); !key.empty(); key = PopListItem(keys)) {
    Entry entry;
    entry.value = IniGetEntry(s, typeName, category, key, &entry.description);
    entry.sortKey = Lower(entry.description + '\x07' + key);
    entry.key = std::move(key);
    entries.push_back(std::move(entry));
  }
  std::stable_sort(entries.begin(), entries.end(),
                   [](const Entry& a, const Entry& b) { return a.sortKey < b.sortKey; });
  return entries;
}

}  // namespace

std::string HtmlText(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string EscapeSdoArgument(std::string_view argument) {
  std::string js;
  js.reserve(argument.size() + 8);
  for (std::size_t i = 0; i < argument.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(argument[i]);
    if (c == '\\' || c == '\'') {
      js += '\\';
      js += static_cast<char>(c);
    } else if (c == '\r') {
      js += "\\r";
    } else if (c == '\n') {
      js += "\\n";
    } else if (c < 0x20 || c == 0x7f) {
      char code[8];
      std::snprintf(code, sizeof code, "\\x%02x", c);
      js += code;
    } else if (c == '<' && i + 1 < argument.size() && argument[i + 1] == '/') {
      js += "<\\/";  // "</" never appears, so the text cannot close a script block
      ++i;
    } else {
      js += static_cast<char>(c);
    }
  }
  return HtmlText(js);
}

std::string UrlFragment(std::string_view name) {
  std::string fragment;
  for (const char c : name) {
    const auto code = static_cast<unsigned char>(c);
    if (c == '%' || c == '#' || code <= ' ' || code == 127) {
      char escape[4];
      std::snprintf(escape, sizeof escape, "%%%02X", code);
      fragment += escape;
    } else {
      fragment += c;
    }
  }
  return fragment;
}

std::string MakeCategoryBlock(Session& s, const std::string& typeName,
                              const std::string& category) {
  std::string block = FillPattern(category, "<pre><a name='%%'><h4>%%</h4></a>") + kCrLf;
  const std::vector<Entry> entries = SortedEntries(s, typeName, category);
  const std::string prefix = IniGetEntry(s, typeName, "", category);
  for (const Entry& entry : entries) {
    std::string d;
    if (!entry.description.empty() && entry.description != entry.key)
      d = " (" + entry.description + ")";
    std::string label, argument;
    if (typeName == "Examples") {
      label = entry.key + d;
      argument = entry.value + "|_";
    } else if (!prefix.empty()) {
      label = category + " " + entry.key + d;
      argument = entry.value + "|<" + prefix + entry.key + ">";
    } else {
      label = entry.key + d;
      argument = entry.value + "|" + entry.key;
    }
    block += "<INPUT type=\"radio\" name=\"rad\" onclick=\"sdo('";
    block += EscapeSdoArgument(argument);
    block += "')\">";
    block += HtmlText(label);
    block += kCrLf;
  }
  return block + "</pre>";
}

std::string WriteListPage(Session& s, const std::string& outputFile, const std::string& typeName,
                          std::string* failure) {
  const PageType* type = FindPageType(typeName);
  if (type == nullptr) return {};
  std::string page = ReadRawFile(InFolder(s, "tolvanes.ht_")) + kCrLf;
  page += FillPattern("", "<BODY><form NAME='FORM'><input type='hidden' name='SDO' value='_'>");
  page += std::string(kCrLf) + kCrLf;

  std::string links = FillPattern("", type->heading) + kCrLf;
  std::string categories;
  if (type->code == 'e') {
    categories = s.lists.ExampleCategories;
  } else if (type->code == 'c') {
    categories = s.lists.ConstCategories;
  } else {
    categories = s.lists.ContribCategories;
  }
  // The anchor's name is the category's text; the link's fragment the same text encoded.
  const std::string linkPattern =
      std::string("<a href='tolvane") + type->code + ".htm#%%' target='QORNE_list'>";
  {
    const IniFileSwitch toFile(s, type->code == 'm' ? s.db.ContribIniFile : s.db.MainIniFile);
    for (std::string category = PopListItem(categories); !category.empty();
         category = PopListItem(categories)) {
      links += FillPattern(UrlFragment(TrimBlanks(category)), linkPattern) +
               FillPattern(category, "%%</a><br>") + kCrLf;
      page += MakeCategoryBlock(s, typeName, category) + kCrLf;
    }
  }
  page += std::string("</form></body>") + kCrLf;
  WritePage(outputFile, page, failure);
  return links;
}

bool MakeHtmlPages(Session& s) {
  GatewayState& g = s.gateway;
  std::string failure;
  std::string refs = kNul + "refs=";
  if (g.IndexRefsCache.empty()) {
    refs += WriteListPage(s, InFolder(s, "tolvanec.htm"), "Constants", &failure);
    refs += WriteListPage(s, InFolder(s, "tolvanee.htm"), "Examples", &failure);
    // Pages that could not be written are made again next time.
    if (failure.empty()) g.IndexRefsCache = refs;
  }
  const std::string fields =
      (failure.empty() ? g.IndexRefsCache : refs) +
      WriteListPage(s, InFolder(s, "tolvanem.htm"), "Contributed", &failure) + kNul;
  const std::string text = ReadTemplate(s.ui, InFolder(s, "tolvane1.ht_"), fields);
  WritePage(InFolder(s, "tolvane1.htm"), text + kCrLf, &failure);
  if (!s.flags.QuietMode) {
    if (failure.empty()) {
      s.ui.ShowStatus("web pages written to " + s.db.ProgramFolder);
    } else {
      s.ui.MessageBox("The web pages could not be written: " + failure + ".",
                      MessageIcon::Exclamation, kAppTitle);
    }
    ReportNameClashes(s);  // values their names do not reach, stored before that was refused
  }
  s.ui.StartDetached(s.db.QuickUrl);  // a command that cannot start is ignored
  return failure.empty();
}

}  // namespace ostravel

// Storing the definitions of a change request: the checks of the category, its prefix and
// each line, and the changes they make to the contributed values and the user's records.
#pragma once

#include <string>

namespace ostravel {

class Session;
struct ModifyRequest;

// What a change request leaves for its answer page.
struct ModifyOutcome {
  std::string report;  // HTML: the request's own texts in it are escaped
  bool reportMade = false;
  bool changed = false;  // the contributed values changed: lists and pages are made again
};

// Stores the definitions of the request's field "MODIFY" in its category. The lines before a
// failing one are stored all the same; a request over a limit stores nothing. On failure
// s.engine.EvalError says why.
void StoreDefinitions(Session& s, const ModifyRequest& r, ModifyOutcome& out);

}  // namespace ostravel

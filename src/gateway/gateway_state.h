// State of the web gateway kept for the run.
#pragma once

#include <string>

namespace ostravel {

struct GatewayState {
  std::string IndexRefsCache;  // index links of the constants and examples pages, once made
  int LinkCount = 0;           // number of created notice labels lnkWWW(1..)
};

}  // namespace ostravel

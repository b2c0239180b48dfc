// State of the web gateway kept for the run.
#pragma once

#include <string>

namespace ostravel {

struct GatewayState {
  std::string IndexRefsCache;  // index links of the constants and examples pages, once made
  int LinkCount = 0;           // number of created notice labels lnkWWW(1..)
  // Folder of the answer files (and of the channel and the clients' slot locks); set when the
  // gateway starts, "" before: then the answer files go to "register" in the program folder.
  std::string RegisterFolder;
  bool LinkBusy = false;        // a tick is answering a command
  bool LinkQueueReset = false;  // the queue was emptied (slot 0) while a tick was at work
};

}  // namespace ostravel

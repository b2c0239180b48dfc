// State of the web gateway kept for the run.
#pragma once

#include <cstddef>
#include <string>

#include "state/sign_in_throttle.h"

namespace ostravel {

// Costs of the Argon2id hashes of the web accounts' passwords: libsodium's interactive costs
// (about 64 MB and a tenth of a second per hash). Tests lower them to stay fast.
struct PasswordCosts {
  unsigned long long OpsLimit = 2;
  std::size_t MemLimit = std::size_t{64} << 20;
};

struct GatewayState {
  PasswordCosts PasswordHash;
  std::string IndexRefsCache;  // index links of the constants and examples pages, once made
  int LinkCount = 0;           // number of created notice labels lnkWWW(1..)
  // Folder of the answer files (and of the channel and the clients' slot locks); set when the
  // gateway starts, "" before: then the answer files go to "register" in the program folder.
  std::string RegisterFolder;
  bool LinkBusy = false;        // a tick is answering a command
  bool LinkQueueReset = false;  // the queue was emptied (slot 0) while a tick was at work
  SignInThrottle SignIns;       // failed sign-ins of the web accounts, kept for the run
  bool AnswerWritten = false;   // the command in work has written its answer file
};

}  // namespace ostravel

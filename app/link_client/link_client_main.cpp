// ostravel-link: the CGI program through which a web server hands one browser request to the
// running Ostravel gateway and returns its answer page.
//
// Environment: OSTRAVEL_REGISTER (the register folder), OSTRAVEL_CHANNEL (the channel, default
// calc.sock in the register folder), OSTRAVEL_LINK_TIMEOUT (seconds to wait for the answer,
// default 30), OSTRAVEL_LINK_MAX_BYTES (longest accepted query or body, default 262144).
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "gateway/channel_protocol.h"
#include "link_client/cgi_request.h"
#include "link_client/channel_client.h"
#include "link_client/slot_lock.h"
#include "runtime/file_io.h"

namespace {

using ostravel::link::Clock;
namespace channel = ostravel::channel;

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

long EnvironmentNumber(const char* name, long fallback) {
  const std::string text = Environment(name);
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  return text.empty() || *end != '\0' || value <= 0 ? fallback : value;
}

bool IsFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The program folder as Ostravel finds it: OSTRAVEL_HOME, else this program's folder when it
// holds the database, else the user's data folder.
std::string ProgramFolder() {
  if (std::string home = Environment("OSTRAVEL_HOME"); !home.empty()) return home;
  // std::filesystem would double the size of this program, which starts once per request.
  char self[4096];
  const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
  if (length > 0) {
    std::string folder(self, static_cast<std::size_t>(length));
    folder.erase(folder.rfind('/') == std::string::npos ? 0 : folder.rfind('/'));
    if (!folder.empty() && IsFile(folder + "/TOLVANE.INI")) return folder;
  }
  if (std::string data = Environment("XDG_DATA_HOME"); !data.empty()) return data + "/ostravel";
  return Environment("HOME") + "/.local/share/ostravel";
}

std::string RegisterFolder() {
  std::string folder = Environment("OSTRAVEL_REGISTER");
  if (folder.empty()) folder = ProgramFolder() + "/register";
  while (folder.size() > 1 && folder.back() == '/')
    folder.pop_back();
  return folder;
}

// A request identifier unique among the requests that run at once: 48 random bits, which the
// gateway echoes exactly (it writes up to 15 significant digits).
std::string NewRequestId() {
  unsigned long long bits = 0;
  if (::getrandom(&bits, sizeof bits, 0) != static_cast<ssize_t>(sizeof bits))
    bits = static_cast<unsigned long long>(Clock::now().time_since_epoch().count()) ^
           (static_cast<unsigned long long>(::getpid()) << 32);
  bits &= (1ULL << 48) - 1;
  return std::to_string(bits == 0 ? 1 : bits);
}

void Respond(int status, const char* reason, const std::string& body, bool withBody,
             const char* extraHeaders = "") {
  std::printf(
      "Status: %d %s\r\nContent-Type: text/html; charset=ISO-8859-1\r\n"
      "Content-Length: %zu\r\nCache-Control: no-store\r\nX-Content-Type-Options: nosniff\r\n"
      "Referrer-Policy: same-origin\r\nContent-Security-Policy: frame-ancestors 'self'\r\n"
      "X-Frame-Options: SAMEORIGIN\r\n%s\r\n",
      status, reason, body.size(), extraHeaders);
  if (withBody) std::fwrite(body.data(), 1, body.size(), stdout);
  std::fflush(stdout);
}

void RespondError(int status, const char* reason, const std::string& message, bool withBody,
                  const char* extraHeaders = "") {
  const std::string title = std::to_string(status) + " " + reason;
  const std::string body =
      "<!DOCTYPE html>\r\n<html lang=\"en\"><head><meta charset=\"ISO-8859-1\">"
      "<title>Ostravel: " +
      title +
      "</title>"
      "<style>body{font-family:system-ui,sans-serif;margin:3em auto;max-width:40em;"
      "color:#222}h1{font-size:1.4em;color:#a31515}</style></head>\r\n<body><h1>" +
      title + "</h1>\r\n<p>" + message + "</p>\r\n</body></html>\r\n";
  Respond(status, reason, body, withBody, extraHeaders);
}

// The notice "answer file,ID,seconds": the file name may itself hold commas.
bool SplitNotice(const std::string& caption, std::string& file, std::string& id) {
  const std::size_t timeComma = caption.rfind(',');
  if (timeComma == std::string::npos || timeComma == 0) return false;
  const std::size_t idComma = caption.rfind(',', timeComma - 1);
  if (idComma == std::string::npos) return false;
  file = caption.substr(0, idComma);
  id = caption.substr(idComma + 1, timeComma - idComma - 1);
  return true;
}

// Waiting for the answer after the deadline: for the gateway's answer to a withdrawal, and
// then, for a request that is being answered, for its notice.
constexpr auto kWithdrawReply = std::chrono::seconds(2);
constexpr auto kGrace = std::chrono::seconds(30);

enum class Heard { Notice, Withdrawn, NotWaiting, Timeout, Closed };

// Reads the gateway's frames until the notice of the request id in slot (file: its answer
// file) or the answer to its withdrawal comes, or the deadline passes.
Heard Await(ostravel::link::ChannelClient& client, const std::string& slot, const std::string& id,
            Clock::time_point deadline, std::string& file) {
  using ostravel::link::ChannelClient;
  while (true) {
    char type = 0;
    std::string payload;
    const ChannelClient::Received got = client.Receive(type, payload, deadline);
    if (got == ChannelClient::Received::Timeout) return Heard::Timeout;
    if (got == ChannelClient::Received::Closed) return Heard::Closed;
    const std::size_t lf = payload.find('\n');
    if (lf == std::string::npos || payload.compare(0, lf, slot) != 0) continue;
    if (type == channel::kWithdrawn) {
      return payload.compare(lf + 1, std::string::npos, "1") == 0 ? Heard::Withdrawn
                                                                  : Heard::NotWaiting;
    }
    std::string noticeId;
    if (type == channel::kNotice && SplitNotice(payload.substr(lf + 1), file, noticeId) &&
        noticeId == id) {
      return Heard::Notice;
    }
  }
}

}  // namespace

int main() {
  using namespace ostravel::link;
  const auto deadline =
      Clock::now() + std::chrono::seconds(EnvironmentNumber("OSTRAVEL_LINK_TIMEOUT", 30));
  const auto maxBytes =
      static_cast<std::size_t>(EnvironmentNumber("OSTRAVEL_LINK_MAX_BYTES", 262144));

  CgiRequest request;
  const ReadResult read = ReadCgiRequest(request, maxBytes);
  const bool withBody = request.method != "HEAD";
  switch (read) {
    case ReadResult::TooLarge:
      RespondError(413, "Content Too Large",
                   "The request is larger than this calculator accepts (" +
                       std::to_string(maxBytes) + " bytes). Send fewer memory lines.",
                   withBody);
      return 0;
    case ReadResult::BadMethod:
      RespondError(405, "Method Not Allowed", "Send the calculator form with GET or POST.", true,
                   "Allow: GET, HEAD, POST\r\n");
      return 0;
    case ReadResult::BadRequest:
      RespondError(400, "Bad Request", "The body of the request could not be read.", withBody);
      return 0;
    case ReadResult::Ok:
      break;
  }
  // A change sent with GET would leave the password in the address bar, in the browser's
  // history and in the web server's log.
  if (request.method != "POST" && IsChangeRequest(BuildCommand(request, 0, "0"))) {
    RespondError(405, "Method Not Allowed",
                 "Changes to the database are accepted only as the contribution page sends them "
                 "(with POST).",
                 withBody, "Allow: POST\r\n");
    return 0;
  }

  const std::string folder = RegisterFolder();
  std::string channelPath = Environment("OSTRAVEL_CHANNEL");
  if (channelPath.empty()) channelPath = folder + "/calc.sock";
  ChannelClient client;
  if (!client.Connect(channelPath, deadline)) {
    RespondError(503, "Service Unavailable",
                 "The Ostravel calculator is not running at the moment. Please try again later.",
                 withBody, "Retry-After: 30\r\n");
    return 0;
  }
  SlotLock lock;
  if (!lock.Acquire(folder, deadline)) {
    RespondError(503, "Service Unavailable",
                 "The Ostravel calculator is busy with other requests. Please try again.", withBody,
                 "Retry-After: 5\r\n");
    return 0;
  }

  const std::string slot = std::to_string(lock.slot());
  const std::string id = NewRequestId();
  // Advise first: the notice cannot come before the execute that it answers. Both go in one
  // write, which the gateway reads at once.
  if (!client.SendFrames(
          channel::Frame(channel::kAdvise, slot) +
          channel::Frame(channel::kExecute, BuildCommand(request, lock.slot(), id)))) {
    RespondError(503, "Service Unavailable", "The Ostravel calculator closed the connection.",
                 withBody);
    return 0;
  }
  std::string file;
  Heard heard = Await(client, slot, id, deadline, file);
  if (heard == Heard::Timeout) {
    // Taken back while it waits, the request is surely not carried out after this answer; one
    // being answered is waited for, since its limits keep it short.
    heard = client.Send(channel::kWithdraw, slot + "\n" + id)
                ? Await(client, slot, id, Clock::now() + kWithdrawReply, file)
                : Heard::Closed;
    if (heard == Heard::NotWaiting) heard = Await(client, slot, id, Clock::now() + kGrace, file);
  }
  switch (heard) {
    case Heard::Notice:
      break;
    case Heard::Withdrawn:
      RespondError(504, "Gateway Timeout",
                   "The Ostravel calculator was too busy to answer in time; your request was not "
                   "carried out. Please try again.",
                   withBody, "Retry-After: 5\r\n");
      return 0;
    case Heard::Closed:
      RespondError(503, "Service Unavailable",
                   "The Ostravel calculator stopped before it answered. Please try again later.",
                   withBody);
      return 0;
    default:
      RespondError(504, "Gateway Timeout",
                   "The Ostravel calculator did not answer in time; your request may still be "
                   "carried out. A change of your contributions can be checked by listing them.",
                   withBody);
      return 0;
  }
  std::string page;
  if (!ostravel::ReadAll(file, page)) {
    RespondError(400, "Bad Request",
                 "This request holds nothing to answer: a calculation goes in the field CALC.",
                 withBody);
    return 0;
  }
  Respond(200, "OK", page, withBody);
  return 0;
}

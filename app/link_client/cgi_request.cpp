#include "link_client/cgi_request.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "gateway/text_utils.h"

namespace ostravel::link {
namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

bool ReadExactly(int fd, std::string& out, std::size_t count) {
  out.resize(count);
  std::size_t got = 0;
  while (got < count) {
    ssize_t n = ::read(fd, out.data() + got, count - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    got += static_cast<std::size_t>(n);
  }
  return true;
}

// Text of the request that may not reach the decoder as it is.
std::string EncodeFormData(const std::string& data) {
  std::string out;
  out.reserve(data.size());
  for (std::size_t i = 0; i < data.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(data[i]);
    if (c == 'H' && data.compare(i, 4, "HTTP") == 0) {
      out += "%48";  // the decoder takes "HTTP" for the start of the protocol tail
    } else if (c < 0x20 || c == 0x7f) {
      char code[4];
      std::snprintf(code, sizeof code, "%%%02X", c);
      out += code;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

}  // namespace

ReadResult ReadCgiRequest(CgiRequest& request, std::size_t maxBytes) {
  request.method = Environment("REQUEST_METHOD");
  request.path = Environment("SCRIPT_NAME");
  request.protocol = Environment("SERVER_PROTOCOL");
  request.remoteAddress = Environment("REMOTE_ADDR");
  if (request.path.empty()) request.path = "/calc";
  if (request.protocol.rfind("HTTP/", 0) != 0) request.protocol = "HTTP/1.0";
  if (request.method == "GET" || request.method == "HEAD") {
    request.data = Environment("QUERY_STRING");
    return request.data.size() > maxBytes ? ReadResult::TooLarge : ReadResult::Ok;
  }
  if (request.method != "POST") return ReadResult::BadMethod;
  const std::string length = Environment("CONTENT_LENGTH");
  if (length.empty()) return ReadResult::Ok;  // an empty body
  if (length.size() > 18 || length.find_first_not_of("0123456789") != std::string::npos)
    return ReadResult::BadRequest;
  const unsigned long long count = std::strtoull(length.c_str(), nullptr, 10);
  if (count > maxBytes) return ReadResult::TooLarge;
  if (!ReadExactly(STDIN_FILENO, request.data, static_cast<std::size_t>(count)))
    return ReadResult::BadRequest;
  return ReadResult::Ok;
}

std::string BuildCommand(const CgiRequest& request, int slot, const std::string& id) {
  std::string command = std::to_string(slot);
  command += ' ';
  command += request.method;
  command += ' ';
  command += EncodeFormData(request.path.substr(0, request.path.find('?')));
  command += "?ID=" + id;
  command += "&ADDR=" + EncodeFormData(request.remoteAddress);
  if (!request.data.empty()) command += "&" + EncodeFormData(request.data);
  command += ' ';
  command += request.protocol;
  return command;
}

bool IsChangeRequest(const std::string& command) {
  return UrlDecode(command).find(std::string("\0MODIFY=", 8)) != std::string::npos;
}

}  // namespace ostravel::link

// The HTTP request as a web server hands it to a CGI program.
#pragma once

#include <cstddef>
#include <string>

namespace ostravel::link {

struct CgiRequest {
  std::string method;         // "GET", "POST", "HEAD"
  std::string path;           // the script's URL path, e.g. "/calc"
  std::string protocol;       // "HTTP/1.1"
  std::string data;           // the URL-encoded form fields: the query, or the body of a POST
  std::string remoteAddress;  // the browser's network address
};

enum class ReadResult { Ok, TooLarge, BadMethod, BadRequest };

// Reads the request from the CGI environment and, for a POST, CONTENT_LENGTH bytes of
// standard input. A query or body longer than maxBytes is not read: TooLarge.
ReadResult ReadCgiRequest(CgiRequest& request, std::size_t maxBytes);

// Whether the command asks for a change of the database: its fields, decoded as the gateway
// decodes them, hold "MODIFY".
bool IsChangeRequest(const std::string& command);

// The command text for the gateway: slot, method, path up to "?", the fields ID and ADDR (the
// browser's address, by which the gateway counts failed sign-ins) first, so that fields of the
// same names in the form cannot stand in for them, then the form fields, the protocol tail. The
// form fields are written so that decoding cannot split them where the browser did not: "HTTP"
// inside them and control characters are percent-encoded (they decode to themselves).
std::string BuildCommand(const CgiRequest& request, int slot, const std::string& id);

}  // namespace ostravel::link

// The yardstick of the web benchmark: a CGI program that reads the request as ostravel-link
// does and answers with a fixed page of the size of a calculator answer, so that lighttpd
// running it costs what the CGI hop itself costs.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main() {
  const char* length = std::getenv("CONTENT_LENGTH");
  std::size_t left = length == nullptr ? 0 : std::strtoul(length, nullptr, 10);
  char buffer[8192];
  while (left > 0) {
    const ssize_t n = ::read(STDIN_FILENO, buffer, left < sizeof buffer ? left : sizeof buffer);
    if (n <= 0) break;
    left -= static_cast<std::size_t>(n);
  }
  std::string page = "<!DOCTYPE html>\r\n<html><body><output id=\"x\">2</output>\r\n";
  page.resize(4096, ' ');
  page += "\r\n</body></html>\r\n";
  std::printf(
      "Status: 200 OK\r\nContent-Type: text/html; charset=ISO-8859-1\r\nContent-Length: %zu\r\n"
      "Cache-Control: no-store\r\n\r\n",
      page.size());
  std::fwrite(page.data(), 1, page.size(), stdout);
  return 0;
}

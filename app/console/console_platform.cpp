#include "console/console_platform.h"

#include <unistd.h>

#include "console/detached_process.h"
#include "runtime/utf8_output.h"

namespace ostravel {
namespace {

bool IsTerminal(std::FILE* stream) {
  return isatty(fileno(stream)) == 1;
}

// Terminals and the programs that read ours take UTF-8.
void WriteLine(std::FILE* stream, const std::string& text) {
  const std::string utf8 = ToUtf8(text);
  std::fwrite(utf8.data(), 1, utf8.size(), stream);
  std::fputc('\n', stream);
  std::fflush(stream);
}

std::string ReadLine(std::FILE* in) {
  std::string line;
  for (int c = std::fgetc(in); c != EOF && c != '\n'; c = std::fgetc(in))
    line += static_cast<char>(c);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

}  // namespace

ConsolePlatform::ConsolePlatform(std::FILE* out, std::FILE* err, std::FILE* in)
    : out_(out), err_(err), in_(in) {}

void ConsolePlatform::MessageBox(const std::string& text, MessageIcon icon, const std::string&) {
  if (icon == MessageIcon::Exclamation) {
    WriteLine(err_, prefix_ + text);
  } else {
    WriteLine(out_, text);
  }
}

bool ConsolePlatform::AskYesNo(const std::string& text, const std::string&) {
  // The default button of a Yes/No question is Yes.
  WriteLine(err_, text + " (Yes)");
  return true;
}

std::string ConsolePlatform::InputBox(const std::string& prompt, const std::string&,
                                      const std::string& defaultText) {
  if (!IsTerminal(in_)) return defaultText;
  std::string shown = prompt + " [" + defaultText + "]: ";
  std::fwrite(shown.data(), 1, shown.size(), err_);
  std::fflush(err_);
  std::string answer = ReadLine(in_);
  return answer.empty() ? defaultText : answer;
}

bool ConsolePlatform::StartDetached(const std::string& commandLine) {
  return StartDetachedCommand(commandLine);
}

std::string ReadPipedInput(std::FILE* in) {
  if (IsTerminal(in)) return {};
  std::string text;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, in)) > 0;)
    text.append(buffer, n);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
    text.pop_back();
  return text;
}

}  // namespace ostravel

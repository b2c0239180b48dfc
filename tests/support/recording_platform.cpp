#include "support/recording_platform.h"

namespace ostravel::testing {

void RecordingPlatform::MessageBox(const std::string& text, MessageIcon icon,
                                   const std::string& title) {
  messages.push_back({text, icon, title});
}

bool RecordingPlatform::AskYesNo(const std::string& text, const std::string&) {
  questions.push_back(text);
  if (yesNoAnswers.empty()) return false;
  bool answer = yesNoAnswers.front();
  yesNoAnswers.pop_front();
  return answer;
}

std::string RecordingPlatform::InputBox(const std::string& prompt, const std::string&,
                                        const std::string& defaultText) {
  questions.push_back(prompt);
  if (inputAnswers.empty()) return defaultText;
  std::string answer = inputAnswers.front();
  inputAnswers.pop_front();
  return answer;
}

void RecordingPlatform::YieldToEvents() {
  ++yields;
  if (onYield) onYield();
}

void RecordingPlatform::ShowModal(Dialog dialog) {
  dialogs.push_back(dialog);
  if (onShowModal) onShowModal(dialog);
}

bool RecordingPlatform::StartDetached(const std::string& commandLine) {
  started.push_back(commandLine);
  return !commandLine.empty();
}

}  // namespace ostravel::testing

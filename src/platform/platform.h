// The one door from the core to the outside world. The Qt window, the console front end and
// the tests' recording fake implement it.
#pragma once

#include <string>

namespace ostravel {

// The program's name: the caption of its message boxes.
inline constexpr const char* kAppTitle = "Ostravel";

// Controls whose state in MainWindowModel changed, so a front end can show them again.
enum class Control {
  Caption,
  EntryLine,
  CalculateButton,
  Memories,
  KeyList,
  Labels,  // lblClip, LblX, txtX, lblE, txtE
  Menus,   // the category menu arrays and the option check marks
  LinkLabels,
  Timer,
  Cursor,
  SimplexWindow,  // the model of the solver window changed
  ModifyWindow,   // the model of the database editor changed
};

enum class MessageIcon { None, Exclamation, Question, Information };

// Modal windows other than the main window.
enum class Dialog { Simplex, ModifyDatabase };

class Platform {
 public:
  virtual ~Platform() = default;

  // Message box with an OK button, titled with title.
  virtual void MessageBox(const std::string& text, MessageIcon icon, const std::string& title) = 0;
  // Yes/No question; true for Yes.
  virtual bool AskYesNo(const std::string& text, const std::string& title) = 0;
  // Input box: returns the text entered, or "" when cancelled.
  virtual std::string InputBox(const std::string& prompt, const std::string& title,
                               const std::string& defaultText) = 0;

  virtual std::string ClipboardText() = 0;
  virtual void SetClipboardText(const std::string& text) = 0;  // replaces the clipboard
  virtual void ClearClipboard() = 0;

  virtual void Beep() = 0;

  // Lets pending window events run. Called after every token and operator of an evaluation,
  // so it must be cheap; a front end dispatches events at most every few milliseconds.
  virtual void YieldToEvents() = 0;

  // The model of a control changed; the front end shows the new state.
  virtual void Changed(Control control) = 0;
  // Gives the keyboard focus to a control.
  virtual void SetFocus(Control control) = 0;

  // Shows a modal window and returns when it closes. The front end drives the window's
  // handlers in the core while it is open.
  virtual void ShowModal(Dialog dialog) = 0;

  // Starts a program from a command line without waiting; false when it could not start.
  virtual bool StartDetached(const std::string& commandLine) = 0;

  // A one-line notice that needs no answer, such as where files were written: the window's
  // status line. Front ends without one show it as an information message.
  virtual void ShowStatus(const std::string& text) {
    MessageBox(text, MessageIcon::Information, kAppTitle);
  }
};

}  // namespace ostravel

// The user's actions in the main window, handed to the core's handlers after the widgets'
// state has been written back into the model.
#include <QApplication>
#include <QCloseEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <algorithm>

#include "calc/calculation_driver.h"
#include "calc/key_list_click.h"
#include "database/key_lists.h"
#include "memory/memories.h"
#include "qt/latin1.h"
#include "qt/main_window.h"
#include "qt/memory_tooltip.h"
#include "qt/qt_platform.h"
#include "qt/widget_helpers.h"
#include "session/session.h"

namespace ostravel {

void MainWindow::ReadEntrySelection() {
  TextBoxModel& model = s_.window.entryline;
  if (entryline_->hasSelectedText()) {
    model.SelStart = entryline_->selectionStart();
    model.SelLength = entryline_->selectionLength();
  } else {
    model.SelStart = entryline_->cursorPosition();
    model.SelLength = 0;
  }
}

// The text, caret and selection of the entry line. A QLineEdit forgets its selection when it
// loses the focus, so while it has none the model keeps what it held when the focus left.
void MainWindow::ReadEntryLine() {
  TextBoxModel& model = s_.window.entryline;
  model.Text = EntryFromQt(entryline_->text());
  if (entryline_->hasFocus()) ReadEntrySelection();
  const int size = static_cast<int>(model.Text.size());
  model.SelStart = std::clamp(model.SelStart, 0, size);
  model.SelLength = std::clamp(model.SelLength, 0, size - model.SelStart);
}

// While a line runs, the window still answers events (the engine yields); the engine's state
// belongs to that line, so actions that would change it are refused.
bool MainWindow::RefuseWhileRunning() {
  if (!s_.calc.Running) return false;
  ui_.Beep();
  return true;
}

void MainWindow::RunHandler(const std::function<void()>& handler) {
  if (RefuseWhileRunning()) return;
  ReadEntryLine();
  handler();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  // (Events of the entry line arrive while the window is still being built.)
  if (event->type() == QEvent::ToolTip && memories_ != nullptr &&
      watched == memories_->viewport()) {
    if (ShowMemoryToolTip(s_, memories_, static_cast<QHelpEvent*>(event))) return true;
  }
  if ((watched == memories_ || watched == lstKey_) && event->type() == QEvent::KeyPress) {
    if (ListKey(watched, static_cast<QKeyEvent*>(event))) return true;
  }
  if (watched == entryline_) {
    if (event->type() == QEvent::KeyPress) {
      auto* key = static_cast<QKeyEvent*>(event);
      if (IsEnterKey(key)) {
        OnEnter();
        return true;
      }
      if (key->modifiers() == Qt::NoModifier && BrowseHistory(key->key())) return true;
    } else if (event->type() == QEvent::FocusOut) {
      // Before QLineEdit drops its selection.
      if (!s_.calc.Running) {
        s_.window.entryline.Text = EntryFromQt(entryline_->text());
        ReadEntrySelection();
      }
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // Closing the window (or Exit) ends the program; a running line finishes first, as the
  // event loop ends only when it returns.
  event->accept();
  QApplication::quit();
}

bool MainWindow::ListKey(QObject* watched, QKeyEvent* key) {
  auto* list = static_cast<QListWidget*>(watched);
  QListWidgetItem* item = list->currentItem();
  const bool enter = IsEnterKey(key);
  const bool space = key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier;
  if (watched == memories_ && key->matches(QKeySequence::Copy)) {
    OnMemoryCommand(item, CopyMemoryValue);
    return true;
  }
  if (!enter && !space) return false;
  if (item == nullptr) return true;
  if (watched == lstKey_) {
    OnKeyClicked(item);
  } else if (enter) {
    OnMemoryClicked(item);
  } else {
    OnMemoryDoubleClicked(item);
  }
  return true;
}

bool MainWindow::BrowseHistory(int key) {
  if (key != Qt::Key_Up && key != Qt::Key_Down) return false;
  const QString shown = entryline_->text();
  const auto line = key == Qt::Key_Up ? history_.Older(shown) : history_.Newer(shown);
  if (line) {
    entryline_->setText(*line);
    entryline_->end(false);
  }
  return true;
}

void MainWindow::RunTypedLine(const std::function<void()>& handler) {
  if (RefuseWhileRunning()) return;
  const QString typed = entryline_->text();
  history_.Add(typed);
  ReadEntryLine();
  handler();
  // The memory lines stored before a calculation failed have put their names into the entry
  // line; the user gets back the line as typed, to mend it.
  if (s_.calc.RunErrors > 0 && entryline_->text() != typed && !typed.trimmed().isEmpty()) {
    entryline_->setText(typed);
    entryline_->selectAll();
    ReadEntryLine();
  }
}

void MainWindow::OnEnter() {
  RunTypedLine([this] {
    int key = kEnterKey;
    entryline_KeyPress(s_, key);
  });
}

void MainWindow::OnCalculate() {
  RunTypedLine([this] { Calculate_Click(s_); });
}

void MainWindow::OnMemoryCommand(QListWidgetItem* item, void (*command)(Session&)) {
  if (item == nullptr) return;
  RunHandler([this, item, command] {
    s_.window.memories.ListIndex = memories_->row(item);
    command(s_);
  });
}

void MainWindow::OnMemoryClicked(QListWidgetItem* item) {
  RunHandler([this, item] {
    s_.window.memories.ListIndex = memories_->row(item);
    memories_Click(s_);
  });
}

void MainWindow::OnMemoryDoubleClicked(QListWidgetItem* item) {
  RunHandler([this, item] {
    s_.window.memories.ListIndex = memories_->row(item);
    memories_DblClick(s_);
  });
}

void MainWindow::OnKeyClicked(QListWidgetItem* item) {
  RunHandler([this, item] {
    s_.window.lstKey.ListIndex = lstKey_->row(item);
    lstKey_Click(s_);
  });
}

}  // namespace ostravel

// The main window, whose object name is "dravik": the entry line, the memory list, the key list,
// the labels and the menus. It shows the model s.window and hands the user's actions to the
// core's handlers.
#pragma once

#include <QMainWindow>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/window_model.h"
#include "qt/entry_history.h"
#include "qt/override_cursor.h"

class QAction;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QPushButton;
class QSplitter;

namespace ostravel {

class Session;
class QtPlatform;
class TabStopDelegate;
class SimplexDialog;
class ModifyDialog;

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  MainWindow(Session& s, QtPlatform& ui);
  ~MainWindow() override;

  // The solver window or the database editor while it is open (nullptr otherwise).
  SimplexDialog* OpenSimplexDialog() const { return simplex_; }
  ModifyDialog* OpenModifyDialog() const { return modify_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // main_window.cpp: the controls and their layout.
  void BuildControls();
  // main_window_menus.cpp: the menus and the menu arrays.
  void BuildMenus();
  void ShowMenus();
  void ShowMenuArray(QMenu* menu, const MenuArrayModel& model, MenuArrayModel& shown,
                     const QString& name, const std::function<void(int)>& click);
  // main_window_sync.cpp: the model shown in the widgets.
  void Show(Control control);
  void ShowEntryLine();
  void ShowMemories();
  void ShowKeyList();
  void ShowLabels();
  void ShowCursor();
  void Focus(Control control);
  void ShowDialog(Dialog dialog);
  // main_window_events.cpp: user actions handed to the core.
  void ReadEntrySelection();
  void ReadEntryLine();
  bool RefuseWhileRunning();
  void RunHandler(const std::function<void()>& handler);
  void OnEnter();
  void OnCalculate();
  // Runs the entry line: a line that fails in one of its calculations stays as typed.
  void RunTypedLine(const std::function<void()>& handler);
  bool BrowseHistory(int key);
  void OnMemoryClicked(QListWidgetItem* item);
  void OnMemoryDoubleClicked(QListWidgetItem* item);
  void OnMemoryCommand(QListWidgetItem* item, void (*command)(Session&));
  void OnKeyClicked(QListWidgetItem* item);
  // Enter and Space act as click and double click in the memory list and the key list.
  bool ListKey(QObject* watched, QKeyEvent* key);
  void BuildMemoryMenu();
  QMenu* MemoryMenu();

  Session& s_;
  QtPlatform& ui_;

  QLabel* Label1_ = nullptr;
  QLineEdit* entryline_ = nullptr;
  QPushButton* Calculate_ = nullptr;
  QLabel* Label2_ = nullptr;
  QSplitter* lists_ = nullptr;
  QListWidget* memories_ = nullptr;
  QListWidget* lstKey_ = nullptr;
  QWidget* keyPane_ = nullptr;  // the key list under the name of its category
  QLabel* lblCategory_ = nullptr;
  QMenu* memoryMenu_ = nullptr;  // the context menu of the current memory line
  TabStopDelegate* memoriesTabs_ = nullptr;
  std::vector<std::string> shownMemories_, shownKeys_;  // the lines the two lists show
  QLabel* lblClip_ = nullptr;
  QLabel* LblX_ = nullptr;
  QLabel* txtX_ = nullptr;
  QLabel* lblE_ = nullptr;
  QLabel* txtE_ = nullptr;

  QMenu* mnuExamples_ = nullptr;
  QMenu* mnuConstants_ = nullptr;
  QMenu* mnuContributed_ = nullptr;
  MenuArrayModel shownExp_, shownConst_, shownMore_;  // what the category menus show
  QAction* optQuick_ = nullptr;
  QAction* optCodes_ = nullptr;
  QAction* optRadicals_ = nullptr;

  EntryHistory history_;

  SimplexDialog* simplex_ = nullptr;
  ModifyDialog* modify_ = nullptr;
  std::optional<OverrideCursor> waitCursor_;  // while the core asks for the wait cursor
  int observer_ = 0;                          // this window's registration with the platform
};

}  // namespace ostravel

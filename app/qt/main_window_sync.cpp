// Shows the model of the main window in its widgets whenever the core reports a change.
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>

#include "qt/latin1.h"
#include "qt/main_window.h"
#include "qt/modify_dialog.h"
#include "qt/simplex_dialog.h"
#include "qt/tab_stop_delegate.h"
#include "qt/widget_helpers.h"
#include "session/session.h"

namespace ostravel {
namespace {

void ShowLabel(QLabel* label, const LabelModel& model) {
  label->setText(ToQt(model.Caption));
  label->setVisible(model.Visible);
}

// Shows the lines of a list model. shown mirrors the widget's lines: new lines at the top are
// inserted, any other change rebuilds the list (up to 1000 memory lines are listed, so a
// rebuild on every result would be slow).
void ShowItems(QListWidget* list, std::vector<std::string>& shown,
               const std::vector<std::string>& items) {
  if (items.size() >= shown.size() && list->count() == static_cast<int>(shown.size()) &&
      std::equal(shown.begin(), shown.end(), items.end() - shown.size())) {
    const std::size_t added = items.size() - shown.size();
    for (std::size_t i = added; i-- > 0;)
      list->insertItem(0, ToQt(items[i]));
    shown = items;
    return;
  }
  list->clear();
  QStringList lines;
  lines.reserve(static_cast<qsizetype>(items.size()));
  for (const std::string& item : items)
    lines.append(ToQt(item));
  list->addItems(lines);
  shown = items;
}

void ShowSelection(QListWidget* list, const ListModel& model) {
  if (model.ListIndex >= 0 && model.ListIndex < list->count()) {
    list->setCurrentRow(model.ListIndex);
  } else {
    list->clearSelection();
    list->setCurrentRow(-1);
  }
}

}  // namespace

void MainWindow::Show(Control control) {
  const MainWindowModel& w = s_.window;
  switch (control) {
    case Control::Caption:
      setWindowTitle(ToQt(w.Caption));
      break;
    case Control::EntryLine:
      ShowEntryLine();
      break;
    case Control::CalculateButton:
      Calculate_->setEnabled(w.CalculateEnabled);
      break;
    case Control::Memories:
      ShowMemories();
      break;
    case Control::KeyList:
      ShowKeyList();
      break;
    case Control::Labels:
      ShowLabel(lblClip_, w.lblClip);
      ShowLabel(LblX_, w.LblX);
      ShowLabel(txtX_, w.txtX);
      ShowLabel(lblE_, w.lblE);
      ShowLabel(txtE_, w.txtE);
      break;
    case Control::Menus:
      ShowMenus();
      break;
    case Control::Cursor:
      ShowCursor();
      break;
    case Control::SimplexWindow:
      if (simplex_ != nullptr) simplex_->ShowModel();
      break;
    case Control::ModifyWindow:
      if (modify_ != nullptr) modify_->ShowModel();
      break;
    case Control::LinkLabels:
    case Control::Timer:
      break;  // the web gateway's channel server watches these
  }
}

void MainWindow::ShowEntryLine() {
  const TextBoxModel& model = s_.window.entryline;
  const QString text = TypedToQt(model.Text);
  if (entryline_->text() != text) entryline_->setText(text);
  const int size = static_cast<int>(text.size());
  const int start = std::clamp(model.SelStart, 0, size);
  const int length = std::clamp(model.SelLength, 0, size - start);
  if (length > 0) {
    entryline_->setSelection(start, length);
  } else {
    entryline_->setCursorPosition(start);
  }
}

void MainWindow::ShowMemories() {
  const ListModel& model = s_.window.memories;
  if (memoriesTabs_->TabStops() != model.TabStops) {
    memoriesTabs_->SetTabStops(model.TabStops);
    memories_->reset();
  }
  ShowItems(memories_, shownMemories_, model.Items);
  ShowSelection(memories_, model);
  if (model.TopIndex >= 0 && model.TopIndex < memories_->count())
    memories_->scrollToItem(memories_->item(model.TopIndex), QAbstractItemView::PositionAtTop);
  memories_->setVisible(model.Visible);
}

void MainWindow::ShowKeyList() {
  const ListModel& model = s_.window.lstKey;
  ShowItems(lstKey_, shownKeys_, model.Items);
  ShowSelection(lstKey_, model);
  // The list is headed by what it shows, such as "Constants: Gas Constant".
  const std::string category = s_.lists.CurType + ": " + s_.lists.CurCategory;
  lblCategory_->setText(ToQt(category).replace(QLatin1Char('&'), QLatin1String("&&")));
  lstKey_->setVisible(model.Visible);
  keyPane_->setVisible(model.Visible);
}

void MainWindow::ShowCursor() {
  if (s_.window.WaitCursor == waitCursor_.has_value()) return;
  if (s_.window.WaitCursor) {
    waitCursor_.emplace(Qt::WaitCursor);
  } else {
    waitCursor_.reset();
  }
}

void MainWindow::Focus(Control control) {
  const ControlWidgets<Control, 4> widgets{{{Control::EntryLine, entryline_},
                                            {Control::Memories, memories_},
                                            {Control::KeyList, lstKey_},
                                            {Control::CalculateButton, Calculate_}}};
  QWidget* target = WidgetOf(control, widgets);
  if (target != nullptr) target->setFocus(Qt::OtherFocusReason);
}

void MainWindow::ShowDialog(Dialog dialog) {
  switch (dialog) {
    case Dialog::Simplex: {
      SimplexDialog window(s_, this);
      simplex_ = &window;
      window.exec();
      simplex_ = nullptr;
      break;
    }
    case Dialog::ModifyDatabase: {
      ModifyDialog window(s_, this);
      modify_ = &window;
      window.exec();
      modify_ = nullptr;
      break;
    }
  }
}

}  // namespace ostravel

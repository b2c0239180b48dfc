#include "qt/modify_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "calc/calculation_driver.h"
#include "database/database_editor.h"
#include "qt/latin1.h"
#include "qt/screen_fit.h"
#include "qt/tab_stop_delegate.h"
#include "qt/widget_helpers.h"
#include "session/session.h"

namespace ostravel {
namespace {

void ShowCombo(QComboBox* combo, const ComboModel& model) {
  const QSignalBlocker blocker(combo);
  QStringList items;
  for (const std::string& item : model.Items)
    items.append(ToQt(item));
  QStringList shown;
  for (int i = 0; i < combo->count(); ++i)
    shown.append(combo->itemText(i));
  if (shown != items) {
    combo->clear();
    combo->addItems(items);
  }
  if (combo->currentIndex() != model.ListIndex) combo->setCurrentIndex(model.ListIndex);
  if (combo->isEditable() && FromQt(combo->currentText()) != model.Text)
    combo->setEditText(ToQt(model.Text));
  combo->setVisible(model.Visible);
}

}  // namespace

ModifyDialog::ModifyDialog(Session& s, QWidget* parent) : QDialog(parent), s_(s) {
  setObjectName("frmModify");
  setModal(true);
  BuildControls();
  ShowModel();
  resize(FittingSize(this, QSize(680, 440)));
}

void ModifyDialog::BuildControls() {
  auto* layout = new QVBoxLayout(this);
  auto* bar = new QMenuBar(this);
  QMenu* file = bar->addMenu(QStringLiteral("&File"));
  file->setObjectName("mnuFile");
  QAction* save = file->addAction(QStringLiteral("&Save"));
  save->setObjectName("mnuSave");
  QAction* cancel = file->addAction(QStringLiteral("&Cancel"));
  cancel->setObjectName("mnuCancel");
  layout->setMenuBar(bar);
  connect(save, &QAction::triggered, this,
          [this] { Run([this] { frmModify::mnuSave_Click(s_); }); });
  connect(cancel, &QAction::triggered, this,
          [this] { Run([this] { frmModify::mnuCancel_Click(s_); }); });

  auto* categoryRow = new QHBoxLayout;
  Label1_ = Named(new QLabel(QStringLiteral("Category:")), QStringLiteral("Label1"));
  cmbCategory_[0] = Named(new QComboBox, QStringLiteral("cmbCategory(0)"));
  cmbCategory_[1] = Named(new QComboBox, QStringLiteral("cmbCategory(1)"));
  cmbCategory_[1]->setEditable(true);
  cmbCategory_[1]->setInsertPolicy(QComboBox::NoInsert);
  cmbCategory_[1]->setMinimumContentsLength(16);
  Label1_->setBuddy(cmbCategory_[0]);
  categoryRow->addWidget(Label1_);
  categoryRow->addWidget(cmbCategory_[0]);
  categoryRow->addWidget(cmbCategory_[1], 1);
  layout->addLayout(categoryRow);

  lstINFO_ = Named(new QListWidget, QStringLiteral("lstINFO"));
  lstINFO_->setMinimumHeight(lstINFO_->fontMetrics().height() * 4);
  lstINFOTabs_ = new TabStopDelegate(lstINFO_);
  lstINFO_->setItemDelegate(lstINFOTabs_);
  lstINFO_->setUniformItemSizes(true);
  lstINFO_->setSelectionMode(QAbstractItemView::SingleSelection);
  layout->addWidget(lstINFO_, 1);

  auto* fields = new QGridLayout;
  const char* captions[] = {"Abbrev", "Value", "Description"};
  for (int i = 0; i < 3; ++i) {
    labels_[i] =
        Named(new QLabel(QString::fromLatin1(captions[i])), QStringLiteral("Label%1").arg(i + 2));
    txtINFO_[i] = Named(new QLineEdit, QStringLiteral("txtINFO(%1)").arg(i));
    labels_[i]->setBuddy(txtINFO_[i]);
    fields->addWidget(labels_[i], 0, i);
    fields->addWidget(txtINFO_[i], 1, i);
    txtINFO_[i]->installEventFilter(this);
  }
  fields->setColumnStretch(0, 1);
  fields->setColumnStretch(1, 2);
  fields->setColumnStretch(2, 3);
  layout->addLayout(fields);

  auto* buttons = new QHBoxLayout;
  okButton_ = Named(new QPushButton(QStringLiteral("OK")), QStringLiteral("Command1(3)"));
  deleteButton_ = Named(new QPushButton(QStringLiteral("Delete")), QStringLiteral("Command1(2)"));
  buttons->addStretch(1);
  buttons->addWidget(okButton_);
  buttons->addWidget(deleteButton_);
  layout->addLayout(buttons);

  // Tab goes through the controls as they stand, the three fields in a row.
  QWidget* order[] = {cmbCategory_[0], cmbCategory_[1], lstINFO_,  txtINFO_[0],
                      txtINFO_[1],     txtINFO_[2],     okButton_, deleteButton_};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i)
    setTabOrder(order[i], order[i + 1]);

  for (QComboBox* combo : cmbCategory_)
    combo->installEventFilter(this);
  cmbCategory_[1]->lineEdit()->installEventFilter(this);
  lstINFO_->installEventFilter(this);

  for (int index : {0, 1}) {
    connect(cmbCategory_[index], &QComboBox::activated, this, [this, index](int item) {
      Run([this, index, item] {
        ComboModel& combo = s_.modify.cmbCategory[index];
        combo.ListIndex = item;
        combo.Text = FromQt(cmbCategory_[index]->itemText(item));
        frmModify::cmbCategory_Click(s_, index);
      });
    });
  }
  connect(lstINFO_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
    Run([this, item] {
      s_.modify.lstINFO.ListIndex = lstINFO_->row(item);
      frmModify::lstINFO_Click(s_);
    });
  });
  connect(okButton_, &QPushButton::clicked, this,
          [this] { Run([this] { frmModify::Command1_Click(s_, ModifyButton::OK); }); });
  connect(deleteButton_, &QPushButton::clicked, this,
          [this] { Run([this] { frmModify::Command1_Click(s_, ModifyButton::Delete); }); });
}

int ModifyDialog::FieldIndex(const QObject* watched) const {
  for (int i = 0; i < 3; ++i)
    if (watched == txtINFO_[i]) return i;
  return -1;
}

void ModifyDialog::ReadFields() {
  FrmModifyModel& w = s_.modify;
  for (int i = 0; i < 3; ++i)
    w.txtINFO[i] = FromQt(txtINFO_[i]->text());
  w.cmbCategory[1].Text = FromQt(cmbCategory_[1]->currentText());
}

void ModifyDialog::Run(const std::function<void()>& handler) {
  if (closing_) return;
  ReadFields();
  ++depth_;
  handler();
  --depth_;
  ShowModel();
}

void ModifyDialog::ShowModel() {
  const FrmModifyModel& w = s_.modify;
  setWindowTitle(ToQt(w.Caption));
  ShowCombo(cmbCategory_[0], w.cmbCategory[0]);
  ShowCombo(cmbCategory_[1], w.cmbCategory[1]);

  const ListModel& list = w.lstINFO;
  if (lstINFOTabs_->TabStops() != list.TabStops) {
    lstINFOTabs_->SetTabStops(list.TabStops);
    lstINFO_->reset();
  }
  if (shownLines_ != list.Items) {
    lstINFO_->clear();
    for (const std::string& line : list.Items)
      lstINFO_->addItem(ToQt(line));
    shownLines_ = list.Items;
  }
  if (list.ListIndex >= 0 && list.ListIndex < lstINFO_->count()) {
    lstINFO_->setCurrentRow(list.ListIndex);
  } else {
    lstINFO_->setCurrentRow(-1);
  }
  for (int i = 0; i < 3; ++i) {
    // A field holding characters the model cannot (a refused edit) keeps them.
    if (FromQt(txtINFO_[i]->text()) != w.txtINFO[i]) txtINFO_[i]->setText(ToQt(w.txtINFO[i]));
    txtINFO_[i]->setReadOnly(w.ReadOnly);
  }
  deleteButton_->setEnabled(!w.ReadOnly);
  if (depth_ == 0) ApplyFocusAndClose();
}

void ModifyDialog::ApplyFocusAndClose() {
  FrmModifyModel& w = s_.modify;
  if (CloseWhenRequested(this, w.CloseRequested, closing_)) return;
  const ControlWidgets<ModifyControl, 6> widgets{{{ModifyControl::cmbCategory0, cmbCategory_[0]},
                                                  {ModifyControl::cmbCategory1, cmbCategory_[1]},
                                                  {ModifyControl::lstINFO, lstINFO_},
                                                  {ModifyControl::txtINFO0, txtINFO_[0]},
                                                  {ModifyControl::txtINFO1, txtINFO_[1]},
                                                  {ModifyControl::txtINFO2, txtINFO_[2]}}};
  ApplyFocusRequest(w.FocusRequest, widgets);
}

bool ModifyDialog::RefuseOutsideLatin1() {
  const char* const names[] = {"Abbrev", "Value", "Description"};
  const ModifyControl controls[] = {ModifyControl::txtINFO0, ModifyControl::txtINFO1,
                                    ModifyControl::txtINFO2};
  for (int i = 0; i < 3; ++i) {
    const std::string codes = OutsideLatin1(txtINFO_[i]->text());
    if (codes.empty()) continue;
    Run([&] {
      frmModify::RefuseEntry(s_,
                             std::string("The database holds Latin-1 text only: the ") + names[i] +
                                 " field holds characters it cannot store (" + codes +
                                 "). Write them with Latin-1 characters, for example H2O.",
                             controls[i]);
    });
    return true;
  }
  return false;
}

void ModifyDialog::Commit(int field) {
  if (RefuseOutsideLatin1()) return;
  Run([this, field] { frmModify::txtINFO_LostFocus(s_, field); });
}

bool ModifyDialog::eventFilter(QObject* watched, QEvent* event) {
  const int field = FieldIndex(watched);
  if (field >= 0 && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Escape) {
      int code = frmModify::kEscapeKey;
      Run([this, field, &code] { frmModify::txtINFO_KeyPress(s_, field, code); });
      if (code == 0) return true;  // the edit was given up; with none, Esc closes the window
    }
  }
  if (field >= 0 && IsEnterKey(event)) {
    // Enter in the key field moves on; in the other two it commits the entry.
    if (field > 0 && RefuseOutsideLatin1()) return true;
    Run([this, field] {
      int key = kEnterKey;
      frmModify::txtINFO_KeyPress(s_, field, key);
    });
    return true;
  }
  if (field >= 0 && event->type() == QEvent::FocusOut) {
    // The entry is committed when the focus leaves its three fields, not when it moves from
    // one of them to another. A message box or a menu taking the focus is no move at all.
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    const bool toField = FieldIndex(QApplication::focusWidget()) >= 0;
    if (!toField && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
        reason != Qt::MenuBarFocusReason) {
      Commit(field);
    }
  }
  if (IsEnterKey(event)) {
    const bool category = watched == cmbCategory_[1] || watched == cmbCategory_[1]->lineEdit();
    if (category || watched == cmbCategory_[0]) {
      if (category) {
        if (const std::string codes = OutsideLatin1(cmbCategory_[1]->currentText());
            !codes.empty()) {
          s_.ui.MessageBox(
              "The database holds Latin-1 text only: the category name holds "
              "characters it cannot store (" +
                  codes + ").",
              MessageIcon::Exclamation, frmModify::kTitle);
          return true;
        }
      }
      Run([this, category] {
        int key = kEnterKey;
        frmModify::cmbCategory_KeyPress(s_, category ? 1 : 0, key);
      });
      return true;
    }
  }
  if (watched == lstINFO_ && event->type() == QEvent::KeyPress) {
    // The list is operated with the mouse; Tab still moves on to the next control.
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Tab && key != Qt::Key_Backtab) {
      Run([this, key] {
        int code = key;
        frmModify::lstINFO_KeyDown(s_, code);
      });
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace ostravel

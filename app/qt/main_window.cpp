#include "qt/main_window.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

#include "qt/latin1.h"
#include "qt/qt_platform.h"
#include "qt/tab_stop_delegate.h"
#include "session/session.h"

namespace ostravel {
namespace {

// Names the widget after its control, for the code and for assistive tools alike.
template <typename W>
W* Named(W* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  widget->setAccessibleName(QString::fromLatin1(name));
  return widget;
}

}  // namespace

Dravik::Dravik(Session& s, QtPlatform& ui) : s_(s), ui_(ui) {
  setObjectName("dravik");
  BuildControls();
  BuildMenus();
  ui_.SetMainWindow(this);
  observer_ = ui_.AddObserver([this](Control control) { Show(control); });
  ui_.SetFocusHandler([this](Control control) { Focus(control); });
  ui_.SetModalHandler([this](Dialog dialog) { ShowDialog(dialog); });
  for (Control c : {Control::Caption, Control::EntryLine, Control::CalculateButton,
                    Control::Memories, Control::KeyList, Control::Labels, Control::Menus})
    Show(c);
  resize(880, 560);
}

Dravik::~Dravik() {
  ui_.RemoveObserver(observer_);
  ui_.SetFocusHandler({});
  ui_.SetModalHandler({});
  if (waitCursor_) QApplication::restoreOverrideCursor();
}

void Dravik::BuildControls() {
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);

  Label1_ =
      Named(new QLabel(QStringLiteral("Enter calculation(s) separated by semicolons")), "Label1");
  layout->addWidget(Label1_);

  auto* entryRow = new QHBoxLayout;
  entryline_ = Named(new QLineEdit, "entryline");
  entryline_->installEventFilter(this);
  Label1_->setBuddy(entryline_);
  Calculate_ = Named(new QPushButton(QStringLiteral("Calculate")), "Calculate");
  Calculate_->setAutoDefault(false);
  entryRow->addWidget(entryline_, 1);
  entryRow->addWidget(Calculate_);
  layout->addLayout(entryRow);

  Label2_ = Named(new QLabel(QStringLiteral(
                      "Left-click on a memory line to retrieve value; double click for formula")),
                  "Label2");
  layout->addWidget(Label2_);

  lists_ = new QSplitter(Qt::Horizontal);
  lists_->setChildrenCollapsible(false);
  memories_ = Named(new QListWidget, "memories");
  memoriesTabs_ = new TabStopDelegate(memories_);
  memories_->setItemDelegate(memoriesTabs_);
  memories_->setUniformItemSizes(true);
  memories_->setSelectionMode(QAbstractItemView::SingleSelection);
  lstKey_ = Named(new QListWidget, "lstKey");
  lstKey_->setUniformItemSizes(true);
  lstKey_->setSelectionMode(QAbstractItemView::SingleSelection);
  lists_->addWidget(memories_);
  lists_->addWidget(lstKey_);
  lists_->setStretchFactor(0, 1);
  lists_->setStretchFactor(1, 1);
  layout->addWidget(lists_, 1);

  auto* bottom = new QHBoxLayout;
  lblClip_ = Named(new QLabel, "lblClip");
  lblClip_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  LblX_ = Named(new QLabel, "LblX");
  txtX_ = Named(new QLabel, "txtX");
  txtX_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  lblE_ = Named(new QLabel, "lblE");
  txtE_ = Named(new QLabel, "txtE");
  txtE_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  bottom->addWidget(lblClip_, 1);
  for (QLabel* label : {LblX_, txtX_, lblE_, txtE_})
    bottom->addWidget(label);
  layout->addLayout(bottom);
  setCentralWidget(central);

  connect(Calculate_, &QPushButton::clicked, this, [this] { OnCalculate(); });
  connect(memories_, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { OnMemoryClicked(item); });
  connect(memories_, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* item) { OnMemoryDoubleClicked(item); });
  connect(lstKey_, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { OnKeyClicked(item); });
}

}  // namespace ostravel

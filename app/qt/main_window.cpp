#include "qt/main_window.h"

#include <QAction>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>

#include "memory/memories.h"
#include "qt/latin1.h"
#include "qt/qt_platform.h"
#include "qt/screen_fit.h"
#include "qt/tab_stop_delegate.h"
#include "qt/widget_helpers.h"
#include "session/session.h"

namespace ostravel {

MainWindow::MainWindow(Session& s, QtPlatform& ui) : s_(s), ui_(ui) {
  setObjectName("dravik");  // tests and assistive tools find the window by this name
  BuildControls();
  BuildMenus();
  ui_.SetMainWindow(this);
  observer_ = ui_.AddObserver([this](Control control) { Show(control); });
  ui_.SetFocusHandler([this](Control control) { Focus(control); });
  ui_.SetModalHandler([this](Dialog dialog) { ShowDialog(dialog); });
  for (Control c : {Control::Caption, Control::EntryLine, Control::CalculateButton,
                    Control::Memories, Control::KeyList, Control::Labels, Control::Menus})
    Show(c);
  statusBar()->setObjectName("statusBar");
  resize(FittingSize(this, QSize(880, 560)));
}

MainWindow::~MainWindow() {
  ui_.RemoveObserver(observer_);
  ui_.SetFocusHandler({});
  ui_.SetModalHandler({});
}

void MainWindow::BuildControls() {
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
  Label2_->setWordWrap(true);  // a narrow screen (or a large scale factor) still shows it
  layout->addWidget(Label2_);

  lists_ = new QSplitter(Qt::Horizontal);
  lists_->setChildrenCollapsible(false);
  memories_ = Named(new QListWidget, "memories");
  memoriesTabs_ = new TabStopDelegate(memories_);
  memoriesTabs_->SetNumberColumn(true);
  memories_->setItemDelegate(memoriesTabs_);
  memories_->setUniformItemSizes(true);
  memories_->setSelectionMode(QAbstractItemView::SingleSelection);
  memories_->installEventFilter(this);
  memories_->viewport()->installEventFilter(this);  // the reading and masses of a molar mass
  BuildMemoryMenu();

  keyPane_ = new QWidget;
  auto* keyLayout = new QVBoxLayout(keyPane_);
  keyLayout->setContentsMargins(0, 0, 0, 0);
  lblCategory_ = Named(new QLabel, "lblCategory");
  lstKey_ = Named(new QListWidget, "lstKey");
  // Long lines show in full as a tooltip.
  lstKey_->setItemDelegate(new TabStopDelegate(lstKey_));
  lstKey_->setUniformItemSizes(true);
  lstKey_->setSelectionMode(QAbstractItemView::SingleSelection);
  lstKey_->installEventFilter(this);
  lblCategory_->setBuddy(lstKey_);
  keyLayout->addWidget(lblCategory_);
  keyLayout->addWidget(lstKey_, 1);
  for (QListWidget* list : {memories_, lstKey_})
    list->setMinimumSize(list->fontMetrics().averageCharWidth() * 16,
                         list->fontMetrics().height() * 4);
  lists_->addWidget(memories_);
  lists_->addWidget(keyPane_);
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

void MainWindow::BuildMemoryMenu() {
  memories_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(memories_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    QListWidgetItem* item = memories_->itemAt(at);
    if (item == nullptr) return;
    memories_->setCurrentItem(item);
    MemoryMenu()->popup(memories_->viewport()->mapToGlobal(at));
  });
}

// Made when first asked for, so that the window's start does not wait for it.
QMenu* MainWindow::MemoryMenu() {
  if (memoryMenu_ != nullptr) return memoryMenu_;
  memoryMenu_ = new QMenu(this);
  memoryMenu_->setObjectName("memoryMenu");
  const struct {
    const char* name;
    const char* caption;
    void (*command)(Session&);
  } items[] = {
      {"mnuCopyValue", "Copy &value", CopyMemoryValue},
      {"mnuCopyLine", "Copy &line", CopyMemoryLine},
      {"mnuRecall", "&Recall calculation", memories_DblClick},
  };
  for (const auto& item : items) {
    QAction* action = memoryMenu_->addAction(QString::fromLatin1(item.caption));
    action->setObjectName(QString::fromLatin1(item.name));
    connect(action, &QAction::triggered, this,
            [this, command = item.command] { OnMemoryCommand(memories_->currentItem(), command); });
  }
  // Ctrl+C on the list copies the value (shown here; the list's key handler does it).
  memoryMenu_->actions().front()->setShortcut(QKeySequence::Copy);
  memoryMenu_->actions().front()->setShortcutContext(Qt::WidgetShortcut);
  return memoryMenu_;
}

}  // namespace ostravel

// The menus of the main window, in the order File, Options, Examples, Constants, Contributed,
// About; the category menus are rebuilt from the model's menu arrays on every change.
#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "calc/about.h"
#include "chemistry/option_switches.h"
#include "database/database_editor.h"
#include "database/key_lists.h"
#include "memory/memories.h"
#include "qt/balance_dialog.h"
#include "qt/latin1.h"
#include "qt/main_window.h"
#include "session/session.h"
#include "startup/modify_database.h"

namespace ostravel {
namespace {

QMenu* AddMenu(QMenuBar* bar, const char* name, const char* caption) {
  QMenu* menu = bar->addMenu(QString::fromLatin1(caption));
  menu->setObjectName(QString::fromLatin1(name));
  menu->setAccessibleName(QString::fromLatin1(name));
  menu->menuAction()->setObjectName(QString::fromLatin1(name));
  return menu;
}

QAction* AddItem(QMenu* menu, const char* name, const char* caption) {
  QAction* action = menu->addAction(QString::fromLatin1(caption));
  action->setObjectName(QString::fromLatin1(name));
  return action;
}

}  // namespace

void MainWindow::BuildMenus() {
  QMenuBar* bar = menuBar();
  QMenu* mnuFile = AddMenu(bar, "mnuFile", "&File");
  connect(AddItem(mnuFile, "mnuReset", "&Reset"), &QAction::triggered, this,
          [this] { RunHandler([this] { ResetMemories(s_); }); });
  connect(AddItem(mnuFile, "mnuModify", "&Modify Database"), &QAction::triggered, this,
          [this] { RunHandler([this] { mnuModify_Click(s_); }); });
  connect(AddItem(mnuFile, "mnuBalance", "&Balance Equation..."), &QAction::triggered, this,
          [this] { RunHandler([this] { BalanceDialog(s_, this).exec(); }); });
  mnuFile->addSeparator();
  QAction* exit = AddItem(mnuFile, "mnuExit", "E&xit");
  exit->setShortcut(QKeySequence::Quit);
  connect(exit, &QAction::triggered, this, &QWidget::close);

  QMenu* mnuOptions = AddMenu(bar, "mnuOptions", "&Options");
  optQuick_ = AddItem(mnuOptions, "optQuick", "&Quick Simplex");
  optCodes_ = AddItem(mnuOptions, "optCodes", "&Constants as Abbreviations");
  optRadicals_ = AddItem(mnuOptions, "optRadicals", "&Expand Radical such as 'Ac'");
  for (QAction* option : {optQuick_, optCodes_, optRadicals_})
    option->setCheckable(true);
  connect(mnuOptions, &QMenu::aboutToShow, this, [this] { mnuOptions_Click(s_); });
  connect(optQuick_, &QAction::triggered, this,
          [this] { RunHandler([this] { optQuick_Click(s_); }); });
  connect(optCodes_, &QAction::triggered, this,
          [this] { RunHandler([this] { optCodes_Click(s_); }); });
  connect(optRadicals_, &QAction::triggered, this,
          [this] { RunHandler([this] { optRadicals_Click(s_); }); });

  mnuExamples_ = AddMenu(bar, "mnuExamples", "&Examples");
  mnuConstants_ = AddMenu(bar, "mnuConstants", "&Constants");
  mnuContributed_ = AddMenu(bar, "mnuContributed", "Co&ntributed");

  // A command of its own on the menu bar, as a menu without items would do nothing.
  QAction* about = bar->addAction(QStringLiteral("&About"));
  about->setObjectName("mnuAbout");
  connect(about, &QAction::triggered, this, [this] { mnuAbout_Click(s_); });
}

void MainWindow::ShowMenuArray(QMenu* menu, const MenuArrayModel& model, MenuArrayModel& shown,
                               const QString& name, const std::function<void(int)>& click) {
  if (!menu->actions().isEmpty() && shown.Captions == model.Captions &&
      shown.Element0Visible == model.Element0Visible)
    return;
  shown = model;
  // The old elements go later: one of them may be the element whose click is running.
  for (QAction* old : menu->actions()) {
    menu->removeAction(old);
    old->deleteLater();
  }
  // Element 0 is the design-time element, shown only while the type has no categories; it
  // says so rather than showing an empty line.
  if (model.Element0Visible) {
    QAction* element0 = menu->addAction(QStringLiteral("(none)"));
    element0->setObjectName(name + QStringLiteral("_0"));
    element0->setEnabled(false);
  }
  for (std::size_t i = 0; i < model.Captions.size(); ++i) {
    const int index = static_cast<int>(i) + 1;
    // A category name is shown as written: "&" is not an accelerator here.
    QString caption = ToQt(model.Captions[i]);
    caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
    QAction* element = menu->addAction(caption);
    element->setObjectName(name + QLatin1Char('_') + QString::number(index));
    connect(element, &QAction::triggered, this,
            [this, click, index] { RunHandler([&] { click(index); }); });
  }
}

void MainWindow::ShowMenus() {
  const MainWindowModel& w = s_.window;
  ShowMenuArray(mnuExamples_, w.mnuExp, shownExp_, QStringLiteral("mnuExp"),
                [this](int index) { mnuExp_Click(s_, index); });
  ShowMenuArray(mnuConstants_, w.mnuConst, shownConst_, QStringLiteral("mnuConst"),
                [this](int index) { mnuConst_Click(s_, index); });
  ShowMenuArray(mnuContributed_, w.mnuMore, shownMore_, QStringLiteral("mnuMore"),
                [this](int index) { mnuMore_Click(s_, index); });
  optQuick_->setChecked(w.optQuickChecked);
  optCodes_->setChecked(w.optCodesChecked);
  optRadicals_->setChecked(w.optRadicalsChecked);
}

}  // namespace ostravel

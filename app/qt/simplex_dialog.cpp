#include "qt/simplex_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "calc/calculation_driver.h"
#include "qt/latin1.h"
#include "qt/widget_helpers.h"
#include "session/session.h"
#include "solver/simplex.h"

namespace ostravel {

SimplexDialog::SimplexDialog(Session& s, QWidget* parent) : QDialog(parent), s_(s) {
  setObjectName("FrmSimplex");
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  simplex_frame_ =
      Named(new QGroupBox(QStringLiteral("Simplex calculation data")), "simplex_frame");
  auto* grid = new QGridLayout(simplex_frame_);
  label_formula_ = Named(new QLabel, "label_formula");
  label_formula_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  label_formula_->setWordWrap(true);
  Label4_ = Named(new QLabel(QStringLiteral("starting guess for x?")), "Label4");
  entry_x0_ = Named(new QLineEdit, "entry_x0");
  Label4_->setBuddy(entry_x0_);
  Label5_ = Named(new QLabel(QStringLiteral("initial step?")), "Label5");
  entry_xinit_ = Named(new QLineEdit, "entry_xinit");
  Label5_->setBuddy(entry_xinit_);
  label_x_ = Named(new QLabel(QStringLiteral("x =")), "label_x");
  label_error_ = Named(new QLabel(QStringLiteral("error =")), "label_error");
  label_step_ = Named(new QLabel(QStringLiteral("step =")), "label_step");
  for (QLabel* label : {label_x_, label_error_, label_step_})
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  grid->addWidget(label_formula_, 0, 0, 1, 2);
  grid->addWidget(Label4_, 1, 0);
  grid->addWidget(entry_x0_, 1, 1);
  grid->addWidget(Label5_, 2, 0);
  grid->addWidget(entry_xinit_, 2, 1);
  grid->addWidget(label_x_, 3, 0, 1, 2);
  grid->addWidget(label_error_, 4, 0, 1, 2);
  grid->addWidget(label_step_, 5, 0, 1, 2);
  grid->setColumnStretch(1, 1);
  layout->addWidget(simplex_frame_);

  auto* buttons = new QHBoxLayout;
  cmd_ok_ = Named(new QPushButton, "cmd_ok");
  cmd_save_ = Named(new QPushButton(QStringLiteral("Save")), "cmd_save");
  cmd_cancel_ = Named(new QPushButton(QStringLiteral("Cancel")), "cmd_cancel");
  buttons->addStretch(1);
  for (QPushButton* button : {cmd_ok_, cmd_save_, cmd_cancel_}) {
    // A button answers Enter when it has the focus, never as the dialog's default.
    button->setAutoDefault(true);
    button->setDefault(false);
    buttons->addWidget(button);
  }
  layout->addLayout(buttons);

  entry_x0_->installEventFilter(this);
  entry_xinit_->installEventFilter(this);
  connect(entry_x0_, &QLineEdit::textEdited, this, [this](const QString& text) {
    s_.solver.window.entry_x0 = FromQt(text);
    Run([this] { entry_Change(s_); });
  });
  connect(entry_xinit_, &QLineEdit::textEdited, this, [this](const QString& text) {
    s_.solver.window.entry_xinit = FromQt(text);
    Run([this] { entry_Change(s_); });
  });
  connect(cmd_ok_, &QPushButton::clicked, this, [this] { Run([this] { cmd_ok_Click(s_); }); });
  connect(cmd_save_, &QPushButton::clicked, this,
          [this] { RunWhenIdle([this] { cmd_save_Click(s_); }); });
  connect(cmd_cancel_, &QPushButton::clicked, this,
          [this] { RunWhenIdle([this] { cmd_cancel_Click(s_); }); });

  ShowModel();
  entry_x0_->setFocus(Qt::OtherFocusReason);
}

bool SimplexDialog::PassRunning() const {
  return !s_.solver.window.cmd_ok_Visible;
}

ControlWidgets<SimplexControl, 5> SimplexDialog::Widgets() const {
  return {{{SimplexControl::entry_x0, entry_x0_},
           {SimplexControl::entry_xinit, entry_xinit_},
           {SimplexControl::cmd_ok, cmd_ok_},
           {SimplexControl::cmd_save, cmd_save_},
           {SimplexControl::cmd_cancel, cmd_cancel_}}};
}

void SimplexDialog::Run(const std::function<void()>& handler) {
  FrmSimplexModel& w = s_.solver.window;
  w.entry_x0 = FromQt(entry_x0_->text());
  w.entry_xinit = FromQt(entry_xinit_->text());
  w.ActiveControl = ControlOf(focusWidget(), Widgets(), SimplexControl::None);
  ++depth_;
  handler();
  --depth_;
  ShowModel();
  if (depth_ == 0 && afterPass_) {
    auto pending = std::move(afterPass_);
    afterPass_ = nullptr;
    Run(pending);
  }
}

void SimplexDialog::RunWhenIdle(const std::function<void()>& handler) {
  if (depth_ > 0 && PassRunning()) {
    afterPass_ = handler;
    return;
  }
  Run(handler);
}

void SimplexDialog::ShowModel() {
  const FrmSimplexModel& w = s_.solver.window;
  setWindowTitle(ToQt(w.Caption));
  label_formula_->setText(ToQt(w.label_formula));
  if (entry_x0_->text() != ToQt(w.entry_x0)) entry_x0_->setText(ToQt(w.entry_x0));
  if (entry_xinit_->text() != ToQt(w.entry_xinit)) entry_xinit_->setText(ToQt(w.entry_xinit));
  label_x_->setText(ToQt(w.label_x));
  label_error_->setText(ToQt(w.label_error));
  label_step_->setText(ToQt(w.label_step));
  cmd_ok_->setText(ToQt(w.cmd_ok_Caption));
  cmd_ok_->setVisible(w.cmd_ok_Visible);
  if (depth_ == 0) ApplyFocusAndClose();
}

void SimplexDialog::ApplyFocusAndClose() {
  FrmSimplexModel& w = s_.solver.window;
  if (CloseWhenRequested(this, w.CloseRequested, closing_)) return;
  ApplyFocusRequest(w.FocusRequest, Widgets());
}

bool SimplexDialog::eventFilter(QObject* watched, QEvent* event) {
  if (IsEnterKey(event)) {
    if (watched == entry_x0_) {
      Run([this] {
        int code = kEnterKey;
        entry_x0_KeyPress(s_, code);
      });
      return true;
    }
    if (watched == entry_xinit_) {
      Run([this] {
        int code = kEnterKey;
        entry_xinit_KeyPress(s_, code);
      });
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void SimplexDialog::keyPressEvent(QKeyEvent* event) {
  // Escape gives up, as the Cancel button does.
  if (event->key() == Qt::Key_Escape) {
    cmd_cancel_->click();
    return;
  }
  QDialog::keyPressEvent(event);
}

void SimplexDialog::reject() {
  if (closing_) return;
  if (depth_ > 0 && PassRunning()) {
    afterPass_ = [this] { s_.solver.window.CloseRequested = true; };
    return;
  }
  closing_ = true;
  QDialog::reject();
}

}  // namespace ostravel

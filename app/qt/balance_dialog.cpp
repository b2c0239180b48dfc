#include "qt/balance_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "chemistry/reaction_equation.h"
#include "qt/widget_helpers.h"
#include "runtime/failure.h"
#include "session/session.h"

namespace ostravel {

BalanceDialog::BalanceDialog(Session& s, QWidget* parent) : QDialog(parent), s_(s) {
  setObjectName("frmBalance");
  setWindowTitle(QStringLiteral("Balance Equation"));
  auto* layout = new QVBoxLayout(this);
  auto* prompt = new QLabel(QStringLiteral(
      "&Equation, for example KMnO4 + HCl = KCl + MnCl2 + H2O + Cl2 or "
      "MnO4^- + Fe^2+ + H^+ = Mn^2+ + Fe^3+ + H2O; masses before reactants "
      "(10 g Al + 20 g Fe2O3 = Al2O3 + Fe) give the limiting reagent and the yields:"));
  prompt->setWordWrap(true);
  txtEquation_ = Named(new QLineEdit, "txtEquation");
  prompt->setBuddy(txtEquation_);
  txtResult_ = Named(new QPlainTextEdit, "txtResult");
  txtResult_->setReadOnly(true);
  txtResult_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  layout->addWidget(prompt);
  layout->addWidget(txtEquation_);
  layout->addWidget(txtResult_, 1);

  auto* buttons = new QHBoxLayout;
  cmdBalance_ = Named(new QPushButton(QStringLiteral("&Balance")), "cmdBalance");
  cmdCopy_ = Named(new QPushButton(QStringLiteral("&Copy")), "cmdCopy");
  cmdClose_ = Named(new QPushButton(QStringLiteral("Close")), "cmdClose");
  cmdBalance_->setDefault(true);
  cmdCopy_->setEnabled(false);
  buttons->addStretch(1);
  for (QPushButton* button : {cmdBalance_, cmdCopy_, cmdClose_})
    buttons->addWidget(button);
  layout->addLayout(buttons);

  connect(cmdBalance_, &QPushButton::clicked, this, &BalanceDialog::Balance);
  connect(txtEquation_, &QLineEdit::returnPressed, this, &BalanceDialog::Balance);
  connect(txtEquation_, &QLineEdit::textEdited, this, [this] {
    // A result that no longer belongs to the equation typed must not be copied.
    balanced_ = false;
    cmdCopy_->setEnabled(false);
  });
  connect(cmdCopy_, &QPushButton::clicked, this,
          [this] { QApplication::clipboard()->setText(txtResult_->toPlainText()); });
  connect(cmdClose_, &QPushButton::clicked, this, &QDialog::accept);
  resize(560, 260);
}

void BalanceDialog::Balance() {
  // The window's text arrives as UTF-8, so arrows and superscripts keep their meaning.
  const QByteArray typed = txtEquation_->text().toUtf8();
  QString shown;
  try {
    shown = QString::fromUtf8(
        BalanceEquation(s_, std::string_view(typed.constData(), typed.size())).c_str());
    balanced_ = true;
  } catch (const RunFailure& failure) {
    const std::string& message = s_.engine.EvalError;
    shown = QString::fromUtf8(message.empty() ? failure.what() : message.c_str());
    balanced_ = false;
  }
  s_.engine.EvalError.clear();
  txtResult_->setPlainText(shown);
  cmdCopy_->setEnabled(balanced_);
}

}  // namespace ostravel

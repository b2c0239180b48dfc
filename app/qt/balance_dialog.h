// The window "Balance Equation": a reaction equation typed in, balanced with the smallest
// whole coefficients (and, when masses are written before reactants, the limiting reagent and
// the yields), with a button that copies the result.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace ostravel {

class Session;

class BalanceDialog : public QDialog {
  Q_OBJECT

 public:
  BalanceDialog(Session& s, QWidget* parent);

  // Balances the equation in the entry field and shows the result or the reason it has none.
  void Balance();

 private:
  Session& s_;
  QLineEdit* txtEquation_;
  QPlainTextEdit* txtResult_;
  QPushButton* cmdBalance_;
  QPushButton* cmdCopy_;
  QPushButton* cmdClose_;
  bool balanced_ = false;  // the result field holds a balanced equation, not a message
};

}  // namespace ostravel

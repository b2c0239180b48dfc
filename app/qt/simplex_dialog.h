// The solver window FrmSimplex: start fields, progress labels and the Go / Stop / Continue,
// Save and Cancel buttons. It shows s.solver.window and hands the user's actions to the core.
#pragma once

#include <QDialog>
#include <functional>

#include "qt/widget_helpers.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ostravel {

class Session;
enum class SimplexControl;

class SimplexDialog : public QDialog {
  Q_OBJECT

 public:
  SimplexDialog(Session& s, QWidget* parent);

  // Shows the model; outside a handler also moves the focus and closes when asked to.
  void ShowModel();

 public slots:
  // The close box (and QDialog's own rejection): the answer stays as the search left it.
  void reject() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Run(const std::function<void()>& handler);
  // Save, Cancel and the close box wait for a running pass to end.
  void RunWhenIdle(const std::function<void()>& handler);
  bool PassRunning() const;
  // The solver window's controls and their widgets.
  ControlWidgets<SimplexControl, 5> Widgets() const;
  void ApplyFocusAndClose();

  Session& s_;
  QGroupBox* simplex_frame_;
  QLabel* label_formula_;
  QLabel* Label4_;
  QLineEdit* entry_x0_;
  QLabel* Label5_;
  QLineEdit* entry_xinit_;
  QLabel* label_x_;
  QLabel* label_error_;
  QLabel* label_step_;
  QPushButton* cmd_ok_;
  QPushButton* cmd_save_;
  QPushButton* cmd_cancel_;
  int depth_ = 0;                    // handlers running (a pass yields to events)
  std::function<void()> afterPass_;  // an action that waits for the pass to end
  bool closing_ = false;
};

}  // namespace ostravel

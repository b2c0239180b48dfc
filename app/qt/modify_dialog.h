// The database editor frmModify ("Modify Database"): type and category combo boxes, the list
// of entries and the three fields of the entry being edited. It shows s.modify and hands the
// user's actions to the core's handlers.
#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace ostravel {

class Session;
class TabStopDelegate;

class ModifyDialog : public QDialog {
  Q_OBJECT

 public:
  ModifyDialog(Session& s, QWidget* parent);

  // Shows the model; outside a handler also moves the focus and closes when asked to.
  void ShowModel();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void Run(const std::function<void()>& handler);
  void ReadFields();
  void ApplyFocusAndClose();
  int FieldIndex(const QObject* watched) const;
  // Refuses the edit when a field holds characters the database cannot store (true).
  bool RefuseOutsideLatin1();
  // Commits the entry being edited, as the field leaves it.
  void Commit(int field);

  Session& s_;
  QLabel* Label1_;
  std::array<QComboBox*, 2> cmbCategory_;
  QListWidget* lstINFO_;
  TabStopDelegate* lstINFOTabs_;
  std::vector<std::string> shownLines_;
  std::array<QLabel*, 3> labels_;  // Label2, Label3, Label4
  std::array<QLineEdit*, 3> txtINFO_;
  QPushButton* okButton_;      // Command1(3)
  QPushButton* deleteButton_;  // Command1(2)
  int depth_ = 0;  // handlers running; focus and closing wait until the outermost returns
  bool closing_ = false;
};

}  // namespace ostravel

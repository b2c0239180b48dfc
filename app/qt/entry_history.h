// The lines run in this session, browsed with Up and Down in the entry line as in a
// command-line calculator: Up shows older lines, Down newer ones and at last the line that
// was being typed before browsing began.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace ostravel {

class EntryHistory {
 public:
  // A line that ran; it becomes the newest (once, when it equals the newest already).
  // Browsing starts again from the end.
  void Add(const QString& line);
  // The line to show instead of shown after Up (Older) or Down (Newer); nullopt when there is
  // none further in that direction.
  std::optional<QString> Older(const QString& shown);
  std::optional<QString> Newer(const QString& shown);

  static constexpr qsizetype kMaxLines = 200;

 private:
  QStringList lines_;
  qsizetype position_ = 0;  // index into lines_; lines_.size() while not browsing
  QString draft_;           // the text typed before browsing began
};

}  // namespace ostravel

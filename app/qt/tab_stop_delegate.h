// Draws list lines whose tab characters jump to tab stops given in dialog units (a quarter of
// the font's average character width), so that the parts of the lines line up in columns.
// A part wider than its stop would push the rest of its line out of the column; so every
// column starts at the first stop past the widest part of the column before it, over all
// lines of the list. A part wider than kMaxColumnChars is cut short with "...", and the line
// shows in full as a tooltip.
#pragma once

#include <QFont>
#include <QStyledItemDelegate>
#include <vector>

class QAbstractItemView;

namespace ostravel {

class TabStopDelegate : public QStyledItemDelegate {
 public:
  // Draws the lines of view, whose model it watches for new and changed lines.
  explicit TabStopDelegate(QAbstractItemView* view);

  // Stops in dialog units, ascending; none means a stop every 32 units.
  void SetTabStops(const std::vector<int>& stops);
  const std::vector<int>& TabStops() const { return stops_; }
  // The first ": " of a line ends a column of its own, so that in memory lines (M5: 18.02,
  // tab, name) the values line up as well as the names.
  void SetNumberColumn(bool on);

  // The x offset (from the start of the text) where text after a tab at offset x begins.
  static int NextStop(int x, const std::vector<int>& stops, int averageCharWidth);
  // Where each column starts, from the widths of the widest part of each column.
  static std::vector<int> ColumnStarts(const std::vector<int>& widest,
                                       const std::vector<int>& stops, int averageCharWidth,
                                       int numberGap);
  // The widest a column other than the last may be, in average characters.
  static constexpr int kMaxColumnChars = 40;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                 const QModelIndex& index) override;

 private:
  QStringList Parts(const QString& line) const;
  // The column starts for lines drawn in font; measured over all lines when they changed.
  const std::vector<int>& Starts(const QFont& font) const;
  std::vector<int> StartsFor(const QStringList& parts, const QFont& font) const;
  void Measure(int first, int last) const;
  void Invalidate();
  // Whether a part of the line is cut short when drawn in font.
  bool Cut(const QString& line, const QFont& font) const;

  QAbstractItemView* view_;
  std::vector<int> stops_;
  bool numberColumn_ = false;
  mutable QFont font_;
  mutable bool measured_ = false;
  mutable std::vector<int> widest_;  // pixels, per column
  mutable std::vector<int> starts_;
};

}  // namespace ostravel

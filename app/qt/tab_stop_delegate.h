// Draws list lines whose tab characters jump to tab stops given in dialog units (a quarter of
// the font's average character width), so that the parts of the lines line up in columns.
#pragma once

#include <QStyledItemDelegate>
#include <vector>

namespace ostravel {

class TabStopDelegate : public QStyledItemDelegate {
 public:
  explicit TabStopDelegate(QObject* parent = nullptr) : QStyledItemDelegate(parent) {}

  // Stops in dialog units, ascending; none means a stop every 32 units.
  void SetTabStops(const std::vector<int>& stops) { stops_ = stops; }
  const std::vector<int>& TabStops() const { return stops_; }

  // The x offset (from the start of the text) where text after a tab at offset x begins.
  static int NextStop(int x, const std::vector<int>& stops, int averageCharWidth);

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  // Width in pixels of the text laid out with the tab stops.
  int LaidOutWidth(const QString& text, const QFontMetrics& metrics) const;

  std::vector<int> stops_;
};

}  // namespace ostravel

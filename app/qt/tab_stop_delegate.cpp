#include "qt/tab_stop_delegate.h"

#include <QApplication>
#include <QPainter>

namespace ostravel {
namespace {

constexpr int kDefaultStop = 32;  // dialog units between stops when none are set

int ToPixels(int dialogUnits, int averageCharWidth) {
  return dialogUnits * averageCharWidth / 4;
}

}  // namespace

int TabStopDelegate::NextStop(int x, const std::vector<int>& stops, int averageCharWidth) {
  for (int stop : stops) {
    int pixels = ToPixels(stop, averageCharWidth);
    if (pixels > x) return pixels;
  }
  // Beyond the last stop (or with none) the stops repeat at the last interval.
  int interval = kDefaultStop;
  if (stops.size() == 1) interval = stops[0];
  if (stops.size() > 1) interval = stops.back() - stops[stops.size() - 2];
  const int step = std::max(1, ToPixels(interval, averageCharWidth));
  const int last = stops.empty() ? 0 : ToPixels(stops.back(), averageCharWidth);
  return last + ((x - last) / step + 1) * step;
}

int TabStopDelegate::LaidOutWidth(const QString& text, const QFontMetrics& metrics) const {
  const QStringList parts = text.split(QLatin1Char('\t'));
  int x = 0;
  for (qsizetype i = 0; i < parts.size(); ++i) {
    if (i > 0) x = NextStop(x, stops_, metrics.averageCharWidth());
    x += metrics.horizontalAdvance(parts[i]);
  }
  return x;
}

void TabStopDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
  QStyleOptionViewItem opt(option);
  initStyleOption(&opt, index);
  const QWidget* widget = opt.widget;
  QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
  // The text area is laid out for the whole line; the style then draws the background only.
  const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);
  const QString text = opt.text;
  opt.text.clear();
  style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

  const QFontMetrics metrics(opt.font);
  const QPalette::ColorGroup group = !(opt.state & QStyle::State_Enabled) ? QPalette::Disabled
                                     : (opt.state & QStyle::State_Active) ? QPalette::Active
                                                                          : QPalette::Inactive;
  const QPalette::ColorRole role =
      (opt.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text;
  const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;

  painter->save();
  painter->setFont(opt.font);
  painter->setPen(opt.palette.color(group, role));
  const QStringList parts = text.split(QLatin1Char('\t'));
  const int left = area.left() + margin;
  int x = 0;
  for (qsizetype i = 0; i < parts.size(); ++i) {
    if (i > 0) x = NextStop(x, stops_, metrics.averageCharWidth());
    QRect cell(left + x, area.top(), std::max(0, opt.rect.right() + 1 - left - x), area.height());
    painter->drawText(cell, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, parts[i]);
    x += metrics.horizontalAdvance(parts[i]);
  }
  painter->restore();
}

QSize TabStopDelegate::sizeHint(const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
  QStyleOptionViewItem opt(option);
  initStyleOption(&opt, index);
  QSize size = QStyledItemDelegate::sizeHint(option, index);
  const QFontMetrics metrics(opt.font);
  const int width = LaidOutWidth(opt.text, metrics) + 2 * metrics.averageCharWidth();
  size.setWidth(std::max(size.width(), width));
  return size;
}

}  // namespace ostravel

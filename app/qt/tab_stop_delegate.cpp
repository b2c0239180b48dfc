#include "qt/tab_stop_delegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>

namespace ostravel {
namespace {

constexpr int kDefaultStop = 32;  // dialog units between stops when none are set

int ToPixels(int dialogUnits, int averageCharWidth) {
  return dialogUnits * averageCharWidth / 4;
}

}  // namespace

TabStopDelegate::TabStopDelegate(QAbstractItemView* view) : QStyledItemDelegate(view), view_(view) {
  QAbstractItemModel* model = view->model();
  connect(model, &QAbstractItemModel::rowsInserted, this,
          [this](const QModelIndex&, int first, int last) {
            if (!measured_) return;
            const std::vector<int> before = starts_;
            Measure(first, last);
            if (starts_ != before) view_->viewport()->update();
          });
  connect(model, &QAbstractItemModel::rowsRemoved, this, [this] { Invalidate(); });
  connect(model, &QAbstractItemModel::rowsMoved, this, [this] { Invalidate(); });
  connect(model, &QAbstractItemModel::modelReset, this, [this] { Invalidate(); });
  connect(model, &QAbstractItemModel::layoutChanged, this, [this] { Invalidate(); });
  connect(model, &QAbstractItemModel::dataChanged, this, [this] { Invalidate(); });
}

void TabStopDelegate::SetTabStops(const std::vector<int>& stops) {
  stops_ = stops;
  Invalidate();
}

void TabStopDelegate::SetNumberColumn(bool on) {
  numberColumn_ = on;
  Invalidate();
}

// The view repaints after its own changes; the columns are measured again when it does.
// (The model also reports its reset while the view is being destroyed.)
void TabStopDelegate::Invalidate() {
  measured_ = false;
}

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

std::vector<int> TabStopDelegate::ColumnStarts(const std::vector<int>& widest,
                                               const std::vector<int>& stops, int averageCharWidth,
                                               int numberGap) {
  std::vector<int> starts{0};
  for (std::size_t i = 0; i + 1 < widest.size(); ++i) {
    const int end = starts[i] + std::min(widest[i], kMaxColumnChars * averageCharWidth);
    starts.push_back(i == 0 && numberGap > 0 ? end + numberGap
                                             : NextStop(end, stops, averageCharWidth));
  }
  return starts;
}

QStringList TabStopDelegate::Parts(const QString& line) const {
  QStringList parts = line.split(QLatin1Char('\t'));
  if (numberColumn_) {
    const qsizetype colon = parts[0].indexOf(QLatin1String(": "));
    if (colon >= 0) {
      const QString number = parts[0].left(colon + 1);
      parts[0] = parts[0].mid(colon + 2);
      parts.prepend(number);
    } else {
      parts.prepend(QString());
    }
  }
  return parts;
}

void TabStopDelegate::Measure(int first, int last) const {
  const QFontMetrics metrics(font_);
  const QAbstractItemModel* model = view_->model();
  for (int row = first; row <= last; ++row) {
    const QStringList parts = Parts(model->index(row, 0).data().toString());
    if (widest_.size() < static_cast<std::size_t>(parts.size())) widest_.resize(parts.size(), 0);
    for (qsizetype i = 0; i < parts.size(); ++i)
      widest_[i] = std::max(widest_[i], metrics.horizontalAdvance(parts[i]));
  }
  starts_ = ColumnStarts(widest_, stops_, metrics.averageCharWidth(),
                         numberColumn_ ? metrics.horizontalAdvance(QLatin1Char(' ')) : 0);
}

const std::vector<int>& TabStopDelegate::Starts(const QFont& font) const {
  if (!measured_ || font != font_) {
    font_ = font;
    widest_.clear();
    Measure(0, view_->model()->rowCount() - 1);
    measured_ = true;
  }
  return starts_;
}

std::vector<int> TabStopDelegate::StartsFor(const QStringList& parts, const QFont& font) const {
  std::vector<int> starts = Starts(font);
  // A line not measured yet may have more parts than any measured one.
  const int average = QFontMetrics(font).averageCharWidth();
  while (starts.size() < static_cast<std::size_t>(parts.size()))
    starts.push_back(NextStop(starts.back(), stops_, average));
  return starts;
}

bool TabStopDelegate::Cut(const QString& line, const QFont& font) const {
  const QStringList parts = Parts(line);
  const std::vector<int> starts = StartsFor(parts, font);
  const QFontMetrics metrics(font);
  for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
    if (metrics.horizontalAdvance(parts[i]) > starts[i + 1] - starts[i]) return true;
  }
  return false;
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

  const QStringList parts = Parts(text);
  const std::vector<int> starts = StartsFor(parts, opt.font);
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
  const int left = area.left() + margin;
  for (qsizetype i = 0; i < parts.size(); ++i) {
    const int x = starts[i];
    const bool last = i + 1 == parts.size();
    // A column ends a blank before the next one starts.
    const int width = last ? opt.rect.right() + 1 - left - x
                           : starts[i + 1] - x - metrics.horizontalAdvance(QLatin1Char(' '));
    const QString shown =
        last ? parts[i] : metrics.elidedText(parts[i], Qt::ElideRight, std::max(0, width));
    QRect cell(left + x, area.top(), std::max(0, width), area.height());
    painter->drawText(cell, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
  }
  painter->restore();
}

QSize TabStopDelegate::sizeHint(const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
  QStyleOptionViewItem opt(option);
  initStyleOption(&opt, index);
  QSize size = QStyledItemDelegate::sizeHint(option, index);
  const QFontMetrics metrics(opt.font);
  const QStringList parts = Parts(opt.text);
  const std::vector<int> starts = StartsFor(parts, opt.font);
  const int width = starts[parts.size() - 1] + metrics.horizontalAdvance(parts.back()) +
                    2 * metrics.averageCharWidth();
  size.setWidth(std::max(size.width(), width));
  return size;
}

bool TabStopDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                const QStyleOptionViewItem& option, const QModelIndex& index) {
  if (event->type() != QEvent::ToolTip || !index.isValid() ||
      index.data(Qt::ToolTipRole).isValid()) {
    return QStyledItemDelegate::helpEvent(event, view, option, index);
  }
  // A line cut short or wider than the list shows in full.
  const QString line = index.data().toString();
  const QFontMetrics metrics(option.font);
  const QStringList parts = Parts(line);
  const int width =
      StartsFor(parts, option.font)[parts.size() - 1] + metrics.horizontalAdvance(parts.back());
  if (Cut(line, option.font) || width > view->viewport()->width()) {
    QString full = line;
    full.replace(QLatin1Char('\t'), QLatin1String("   "));
    QToolTip::showText(event->globalPos(), full, view);
  } else {
    QToolTip::hideText();
  }
  return true;
}

}  // namespace ostravel

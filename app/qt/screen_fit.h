// Window sizes that fit the screen the window is on, whatever its scale factor.
#pragma once

#include <QScreen>
#include <QSize>
#include <QWidget>

namespace ostravel {

// wanted, made smaller where it would not fit nine tenths of the available area of the
// widget's screen; never below the widget's own minimum.
inline QSize FittingSize(const QWidget* widget, QSize wanted) {
  const QScreen* screen = widget->screen();
  if (screen == nullptr) return wanted;
  const QSize room = screen->availableGeometry().size() * 9 / 10;
  return wanted.boundedTo(room).expandedTo(widget->minimumSizeHint());
}

}  // namespace ostravel

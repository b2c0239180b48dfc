// What the windows of the desktop front end share: widgets named after their controls, the
// Enter-key test, and the focus and closing that a handler asks of a window through its model.
#pragma once

#include <QDialog>
#include <QEvent>
#include <QKeyEvent>
#include <QString>
#include <QWidget>
#include <array>
#include <cstddef>

namespace ostravel {

// Names the widget after its control, for the code and for assistive tools alike.
template <typename W>
W* Named(W* widget, const QString& name) {
  widget->setObjectName(name);
  widget->setAccessibleName(name);
  return widget;
}

template <typename W>
W* Named(W* widget, const char* name) {
  return Named(widget, QString::fromLatin1(name));
}

// Return on the main keyboard or Enter on the keypad.
inline bool IsEnterKey(const QKeyEvent* key) {
  return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

// A key press of Return or Enter.
inline bool IsEnterKey(const QEvent* event) {
  return event->type() == QEvent::KeyPress && IsEnterKey(static_cast<const QKeyEvent*>(event));
}

// A control of a window's model and the widget that shows it.
template <typename Control>
struct ControlWidget {
  Control control;
  QWidget* widget;
};

// The controls of a window that have widgets.
template <typename Control, std::size_t N>
using ControlWidgets = std::array<ControlWidget<Control>, N>;

// The widget that shows control; nullptr for a control the window has no widget for.
template <typename Control, std::size_t N>
QWidget* WidgetOf(Control control, const ControlWidgets<Control, N>& widgets) {
  for (const ControlWidget<Control>& shown : widgets)
    if (shown.control == control) return shown.widget;
  return nullptr;
}

// The control that widget shows; none for a widget of no control (or nullptr).
template <typename Control, std::size_t N>
Control ControlOf(const QWidget* widget, const ControlWidgets<Control, N>& widgets, Control none) {
  for (const ControlWidget<Control>& shown : widgets)
    if (widget != nullptr && shown.widget == widget) return shown.control;
  return none;
}

// Gives the focus to the widget of the control that a handler asked for. The request is
// cleared first: moving the focus makes the widget that loses it commit, which shows the model
// again.
template <typename Control, std::size_t N>
void ApplyFocusRequest(Control& request, const ControlWidgets<Control, N>& widgets) {
  QWidget* target = WidgetOf(request, widgets);
  request = Control::None;
  if (target != nullptr) target->setFocus(Qt::OtherFocusReason);
}

// Closes dialog, once, when a handler has asked for it (closing remembers that it has been
// closed); true when it has been asked, so the dialog takes no focus request.
inline bool CloseWhenRequested(QDialog* dialog, bool requested, bool& closing) {
  if (!requested) return false;
  if (!closing) {
    closing = true;
    dialog->QDialog::done(QDialog::Accepted);
  }
  return true;
}

}  // namespace ostravel

#include "search/windows/number_field.h"

#include <QFocusEvent>

#include "common/user_interface.h"

namespace vema {

NumberField::NumberField(Rules rules, UserInterface& ui, QWidget* parent)
    : QLineEdit(parent), rules_(std::move(rules)), ui_(ui) {
  if (rules_.max_length > 0) setMaxLength(rules_.max_length);
  connect(this, &QLineEdit::textChanged, this, &NumberField::check_on_change);
}

int NumberField::value() const {
  const QString t = text();
  if (t.isEmpty()) return -1;
  bool ok = false;
  const int v = t.toInt(&ok);
  return ok ? v : -1;
}

void NumberField::check_on_change() {
  const QString t = text();
  for (const QChar c : t) {
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
      clear();
      return;
    }
  }
  const int v = value();
  if (v < 1 || v > rules_.change_max()) clear();
}

bool NumberField::check_on_leave() {
  const int v = value();
  if (v >= 1 && v <= rules_.exit_max()) return true;
  if (!rules_.message.empty()) ui_.message(rules_.message);
  setText(rules_.reset_text());
  return false;
}

void NumberField::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  // Leaving means moving to another control of the window, not switching
  // windows or opening a menu.
  if (checking_ || event->reason() == Qt::ActiveWindowFocusReason ||
      event->reason() == Qt::PopupFocusReason || !isEnabled() || !isVisible()) {
    return;
  }
  checking_ = true;
  if (!check_on_leave()) setFocus(Qt::OtherFocusReason);
  checking_ = false;
}

}  // namespace vema

// A small number edit field checked twice: on every change a non-digit or a
// value outside the change range empties it; on leaving, a value outside the
// exit range shows the field's message, resets the text and takes the focus
// back. An empty field reads as -1.
#pragma once

#include <QLineEdit>
#include <functional>

namespace vema {

class UserInterface;

class NumberField : public QLineEdit {
  Q_OBJECT

 public:
  struct Rules {
    int max_length = 0;                   // 0: no limit
    std::function<int()> change_max;      // range 1..change_max() on change
    std::function<int()> exit_max;        // range 1..exit_max() on leaving
    std::string message;                  // empty: no message on leaving
    std::function<QString()> reset_text;  // the text an invalid value gets
  };

  // ui must outlive the field.
  NumberField(Rules rules, UserInterface& ui, QWidget* parent = nullptr);

  int value() const;
  // The leaving check, also run before the field's value is used. Returns
  // false when the value was invalid (and has been reset).
  bool check_on_leave();

 protected:
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void check_on_change();

  Rules rules_;
  UserInterface& ui_;
  bool checking_ = false;
};

}  // namespace vema

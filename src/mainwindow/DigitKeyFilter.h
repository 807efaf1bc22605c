#pragma once
// Lets only digits and Backspace be typed into the boxes it watches (start
// number and time stamp). Every other character is dropped with the system
// beep; keys that make no character (Delete, arrows, Home, End, Tab) work as
// usual. Control characters such as Enter, Escape and Ctrl+C/V/X count as
// characters and are refused.

#include <QObject>

class QKeyEvent;

namespace zv {

class DigitKeyFilter : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;

    // The character the key makes, or 0 when it makes none.
    static char16_t CharacterOf(const QKeyEvent& event);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace zv

#pragma once
// A number box (start number, time stamp): digits only, however they come.
//
// Typed keys go through DigitKeyFilter. The input method is off for the box:
// it answers the input-method query as disabled, so a platform input method
// (ibus, fcitx, IMM) leaves it alone instead of composing full-width text.
// Whatever still arrives as a whole text -- an input-method commit, a paste,
// a drop, the selection pasted by the middle button -- is taken only when it
// is all digits; otherwise the box keeps its text and the system beeps, as
// for a refused key.

#include <QLineEdit>

namespace zv {

class DigitBox : public QLineEdit {
    Q_OBJECT
  public:
    explicit DigitBox(QWidget* parent = nullptr);

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

  protected:
    void inputMethodEvent(QInputMethodEvent* event) override;
};

}  // namespace zv

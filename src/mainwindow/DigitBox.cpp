#include "DigitBox.h"

#include <QInputMethodEvent>
#include <QValidator>

#include "MainWindowRules.h"
#include "shared/qt/SystemBeep.h"

namespace zv {

namespace {

// Every edit of the box is checked here after it is made and undone when it
// is refused. Typed characters never get this far unless FilterDigitKey kept
// them; texts from elsewhere pass the same filter character by character.
// Backspace, which the filter keeps as a key, is no character of a text.
class DigitText final : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& text, int&) const override {
        bool refused = false;
        for (const QChar c : text) {
            if (c.unicode() == 8 || FilterDigitKey(c.unicode(), [&refused] { refused = true; }) == 0) {
                refused = true;
                break;
            }
        }
        if (!refused) return Acceptable;
        qt::SystemBeep();
        return Invalid;
    }
};

}  // namespace

DigitBox::DigitBox(QWidget* parent) : QLineEdit(parent) {
    setValidator(new DigitText(this));
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setInputMethodHints(Qt::ImhDigitsOnly | Qt::ImhNoPredictiveText);
}

QVariant DigitBox::inputMethodQuery(Qt::InputMethodQuery query) const {
    // QLineEdit answers "enabled" whenever it is editable, whatever the
    // widget attribute says; the platform input method asks only this.
    if (query == Qt::ImEnabled) return false;
    return QLineEdit::inputMethodQuery(query);
}

void DigitBox::inputMethodEvent(QInputMethodEvent* event) {
    // Nothing is composed in the box: only a committed text is an edit.
    if (event->commitString().isEmpty() && event->replacementLength() == 0) {
        event->accept();
        return;
    }
    QInputMethodEvent commit;
    commit.setCommitString(event->commitString(), event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&commit);
    event->accept();
}

}  // namespace zv

#include "DigitKeyFilter.h"

#include <QKeyEvent>

#include "MainWindowRules.h"
#include "shared/qt/SystemBeep.h"

namespace zv {

char16_t DigitKeyFilter::CharacterOf(const QKeyEvent& event) {
    const int key = event.key();
    switch (key) {
        case Qt::Key_Backspace:
            return 8;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return 13;
        case Qt::Key_Escape:
            return 27;
        case Qt::Key_Delete:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return 0;
        default:
            break;
    }
    const Qt::KeyboardModifiers mods = event.modifiers();
    if ((mods & Qt::ControlModifier) && !(mods & Qt::AltModifier) && key >= Qt::Key_A && key <= Qt::Key_Z) {
        return static_cast<char16_t>(key - Qt::Key_A + 1);
    }
    const QString text = event.text();
    if (text.isEmpty()) return 0;
    const char16_t c = text.at(0).unicode();
    // Text of DEL (from some keyboards' Delete) is not a typed character.
    return c == 127 ? 0 : c;
}

bool DigitKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    const auto& key = static_cast<const QKeyEvent&>(*event);
    const char16_t c = CharacterOf(key);
    if (c == 0) return false;
    // Swallowing the event keeps the box from acting on it at all, so a
    // refused Ctrl+V pastes nothing and a refused Enter triggers nothing.
    return FilterDigitKey(c, [] { qt::SystemBeep(); }) == 0;
}

}  // namespace zv

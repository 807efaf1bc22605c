#include "HelpKeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWhatsThis>
#include <QWidget>

#include "dialogs/Frm_Mkdir.h"

namespace zv {

namespace {

// The pages of whole windows, as the help file maps them.
constexpr int kHelpPreview = 80010;
constexpr int kHelpMkdir = 80035;
constexpr int kHelpAbout = 80040;

}  // namespace

int HelpKeys::TopicFor(const QWidget* focused, const QWidget* window) {
    for (const QWidget* w = focused; w; w = w->parentWidget()) {
        const QVariant id = w->property("helpContextId");
        if (id.isValid()) return id.toInt();
        if (w == window) break;
    }
    if (!window) return 0;
    const QString name = QString::fromLatin1(window->metaObject()->className());
    if (name.endsWith(QLatin1String("Frm_Mkdir"))) return kHelpMkdir;
    if (name.endsWith(QLatin1String("frmAbout"))) return kHelpAbout;
    for (const char* viewer : {"Frm_TextView", "Frm_ImageView", "Frm_PlaySound"})
        if (name.endsWith(QLatin1String(viewer))) return kHelpPreview;
    return 0;
}

bool HelpKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_F1 || key->isAutoRepeat()) return false;
    // Each press reaches the focused widget and, through propagation, its
    // parents: act once, for the widget that has the focus.
    if (watched != QApplication::focusWidget() && watched != QApplication::activeWindow()) return false;
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    if (mods == Qt::ShiftModifier) {
        QWhatsThis::enterWhatsThisMode();
        return true;
    }
    if (mods != Qt::NoModifier || !help_) return false;
    const int topic = TopicFor(QApplication::focusWidget(), QApplication::activeWindow());
    if (topic == 0) {
        help_->ShowContents();
    } else {
        help_->ShowTopic(topic);  // the contents when the file lacks the page
    }
    return true;
}

}  // namespace zv

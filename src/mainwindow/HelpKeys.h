#pragma once
// F1 and Shift+F1 in every window of ZVNUM: F1 opens the help at the page of
// the window in front (in the new-folder dialog, at the topic of the focused
// control); Shift+F1 starts the context help, where a click on a control
// shows its text. Needed because most window managers draw no [?] button.

#include <QObject>

#include "shared/Help.h"

namespace zv {

class HelpKeys final : public QObject {
  public:
    // help may be null until the help file is known; then F1 does nothing.
    explicit HelpKeys(QObject* parent = nullptr) : QObject(parent) {}
    void SetHelp(HelpService* help) { help_ = help; }

    // The topic F1 opens for this focused widget and its window; 0 for the
    // table of contents.
    static int TopicFor(const QWidget* focused, const QWidget* window);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    HelpService* help_ = nullptr;
};

}  // namespace zv

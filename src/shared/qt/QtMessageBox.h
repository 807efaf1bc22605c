#pragma once
// The one message box of the Qt programs: no icon, the caller's title and
// buttons. Tests switch it into answering mode, where nothing is shown: each
// box is recorded and answered from a preset queue.

#include <deque>
#include <string>
#include <vector>

#include "shared/MessageBox.h"

class QWidget;

namespace zv::qt {

struct ShownMessage {
    std::u16string prompt;
    int buttons = kOkOnly;
    std::u16string title;
};

class QtMessageBox final : public MessageBoxService {
  public:
    // parent: the window the box is modal to (may be null).
    explicit QtMessageBox(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }

    int Show(const std::u16string& prompt, int buttons, const std::u16string& title) override;

    // Test hook, shared by every instance: while on, boxes are not shown.
    // Each is answered with the next preset answer or, when none is left,
    // with the cautious choice of its button set (OK, Cancel, No).
    static void SetAnswering(bool on);
    static void PresetAnswers(std::vector<int> answers);
    static const std::vector<ShownMessage>& Shown();
    static void ClearShown();

  private:
    QWidget* parent_;
};

}  // namespace zv::qt

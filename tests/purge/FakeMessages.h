#pragma once
// A message box that answers from a preset list and records what it showed.

#include <deque>
#include <string>
#include <vector>

#include "shared/MessageBox.h"

namespace zv::test {

struct Shown {
    std::u16string prompt;
    int buttons;
    std::u16string title;
    bool operator==(const Shown&) const = default;
};

class FakeMessages final : public MessageBoxService {
  public:
    explicit FakeMessages(std::deque<int> answers = {}) : answers_(std::move(answers)) {}
    int Show(const std::u16string& prompt, int buttons, const std::u16string& title) override {
        shown.push_back({prompt, buttons, title});
        if (answers_.empty()) return buttons == kYesNo ? kNo : kOk;
        int a = answers_.front();
        answers_.pop_front();
        return a;
    }
    std::vector<Shown> shown;

  private:
    std::deque<int> answers_;
};

}  // namespace zv::test

#pragma once
// A message box for the dialog tests that gives one answer and remembers
// what it was asked.

#include <string>
#include <vector>

#include "shared/MessageBox.h"

namespace zv::test {

struct AskedMessage {
    std::u16string prompt;
    int buttons;
    std::u16string title;
    bool operator==(const AskedMessage&) const = default;
};

class ScriptedMessages final : public MessageBoxService {
  public:
    int Show(const std::u16string& prompt, int buttons, const std::u16string& title) override {
        asked.push_back({prompt, buttons, title});
        return answer;
    }
    int answer = kOk;
    std::vector<AskedMessage> asked;
};

}  // namespace zv::test

#pragma once
// Records each message box instead of showing it and answers OK.

#include <string>
#include <vector>

#include "shared/MessageBox.h"

namespace zv::test {

class FakeMessageBox final : public MessageBoxService {
  public:
    struct Shown {
        std::u16string prompt, title;
        int buttons;
    };
    std::vector<Shown> shown;
    int Show(const std::u16string& prompt, int buttons, const std::u16string& title) override {
        shown.push_back({prompt, title, buttons});
        return kOk;
    }
};

}  // namespace zv::test

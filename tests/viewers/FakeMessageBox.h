#pragma once
// Records every message box instead of showing it.

#include <string>
#include <vector>

#include "shared/MessageBox.h"

namespace zvtest {

class FakeMessageBox : public zv::MessageBoxService {
  public:
    struct Shown {
        std::u16string prompt;
        int buttons;
        std::u16string title;
    };
    int Show(const std::u16string& prompt, int buttons, const std::u16string& title) override {
        shown.push_back({prompt, buttons, title});
        return zv::kOk;
    }
    std::vector<Shown> shown;
};

}  // namespace zvtest

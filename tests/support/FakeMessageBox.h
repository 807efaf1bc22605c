#pragma once
// A message box for the window and dialog tests: it gives one answer and
// remembers every message instead of showing it.

#include <string>
#include <tuple>
#include <vector>

#include "shared/MessageBox.h"

namespace zvtest {

class FakeMessageBox final : public zv::MessageBoxService {
  public:
    using Shown = std::tuple<std::u16string, int, std::u16string>;  // prompt, buttons, title
    int Show(const std::u16string& prompt, int buttons, const std::u16string& title) override {
        shown.push_back({prompt, buttons, title});
        return answer;
    }
    int answer = zv::kOk;
    std::vector<Shown> shown;
};

}  // namespace zvtest

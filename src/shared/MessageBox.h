#pragma once
// A modal message box: prompt, buttons, title in, the button pressed out.
// The engine and the windows show every message through this, so a test can
// answer for the user.

#include <string>

namespace zv {

// Button sets, as the classic message box numbers them.
enum MsgButtons : int { kOkOnly = 0, kOkCancel = 1, kYesNo = 4 };

// The button the user pressed.
enum MsgResult : int { kOk = 1, kCancel = 2, kYes = 6, kNo = 7 };

class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    // Shows the box without an icon and returns one of MsgResult.
    virtual int Show(const std::u16string& prompt, int buttons, const std::u16string& title) = 0;
};

}  // namespace zv
